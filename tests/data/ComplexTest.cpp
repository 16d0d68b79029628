#include "data/Complex.h"
#include "data/S2pData.h"

#include <gtest/gtest.h>

namespace {

TEST(ComplexFromPair, ThreeFormats)
{
    const CComplex ma = ComplexFromPair(1, 90, MA);
    EXPECT_NEAR(ma.re, 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(ma.im, 1.0);
    const CComplex db = ComplexFromPair(-20, 0, DB);
    EXPECT_DOUBLE_EQ(db.re, 0.1);
    EXPECT_DOUBLE_EQ(db.im, 0.0);
    const CComplex ri = ComplexFromPair(3, 4, RI);
    EXPECT_EQ(ri.re, 3.0);
    EXPECT_EQ(ri.im, 4.0);
    const CComplex other = ComplexFromPair(3, 4, 17);
    EXPECT_EQ(other.re, 3.0);
    EXPECT_EQ(other.im, 4.0);
}

TEST(Complex, GetDb)
{
    const std::pair<CComplex, double> cases[] = {
        {{0, 0}, -300.0}, {{1, 0}, 0.0},  {{0.999999, 0}, 0.0}, {{0.1, 0}, -20.0},
        {{10, 0}, 20.0},  {{0, -1}, 0.0}, {{1e-16, 0}, -300.0},
    };
    for (const auto& [z, db] : cases) {
        SCOPED_TRACE(testing::Message() << z.re << "," << z.im);
        EXPECT_NEAR(z.GetDb(), db, 1e-12);
    }
    EXPECT_EQ(CComplex(0.999999, 0).GetDb(), 0.0);  // exactly zero, not nearly
}

TEST(Complex, ConstructionFromStdComplex)
{
    const CComplex z(std::complex<double>(1.5, -2.5));
    EXPECT_EQ(z.re, 1.5);
    EXPECT_EQ(z.im, -2.5);
    EXPECT_EQ(CComplex().re, 0.0);
    EXPECT_EQ(CComplex().im, 0.0);
}

TEST(S2pData, FreshDataSetDefaults)
{
    const CS2pData data;
    EXPECT_EQ(data.RecordCount(), 0u);
    EXPECT_EQ(data.freqUnit, CS2pData::GHZ);
    EXPECT_EQ(data.paramKind, CS2pData::S);
    EXPECT_EQ(data.refImpedance, 50.0);
    EXPECT_FALSE(data.loaded);
    EXPECT_EQ(data.GetPortKind(), CS2pData::TWO_PORT);
}

TEST(S2pData, LabelsForAnyValue)
{
    EXPECT_EQ(FreqUnitLabel(0), "Hz");
    EXPECT_EQ(FreqUnitLabel(1), "KHz");
    EXPECT_EQ(FreqUnitLabel(2), "MHz");
    EXPECT_EQ(FreqUnitLabel(3), "GHz");
    EXPECT_EQ(FreqUnitLabel(7), "GHz");
    EXPECT_EQ(CS2pData::ParamLetter(1), "Y");
    EXPECT_EQ(CS2pData::ParamLetter(4), "H");
    EXPECT_EQ(CS2pData::ParamLetter(9), "S");
}

TEST(S2pData, ConvertAndNormalizeFrequencyUnits)
{
    CS2pData data;
    data.ResetRecords(3);
    data.freqUnit = CS2pData::KHZ;
    data.AppendRecord(1000);
    data.AppendRecord(2500);
    data.NormalizeFreqUnit();
    EXPECT_EQ(data.freqUnit, CS2pData::MHZ);
    EXPECT_DOUBLE_EQ(data.FreqAt(0), 1.0);
    EXPECT_DOUBLE_EQ(data.FreqAt(1), 2.5);

    data.ConvertFreqUnit(CS2pData::MHZ);  // same unit: nothing changes
    EXPECT_DOUBLE_EQ(data.FreqAt(1), 2.5);

    CS2pData four;
    four.ResetRecords(4);
    four.freqUnit = CS2pData::HZ;
    four.AppendRecord(3e9);
    four.NormalizeFreqUnit();
    EXPECT_DOUBLE_EQ(four.FreqAt(0), 3000.0);

    CS2pData ghz;
    ghz.AppendRecord(1.5);
    ghz.NormalizeFreqUnit();  // GHz stays GHz
    EXPECT_EQ(ghz.freqUnit, CS2pData::GHZ);
    EXPECT_DOUBLE_EQ(ghz.FreqAt(0), 1.5);
}

}  // namespace
