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
        {{0, 0}, -300.0}, {{1, 0}, 0.0}, {{0.999999, 0}, 0.0}, {{0.1, 0}, -20.0},
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
    EXPECT_EQ(data.portKind, CS2pData::TWO_PORT);
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
    data.portKind = CS2pData::THREE_PORT;
    data.freqUnit = CS2pData::KHZ;
    data.lines3.resize(2);
    data.lines3[0].freq = 1000;
    data.lines3[1].freq = 2500;
    data.lines2.resize(1);
    data.lines2[0].freq = 7;  // not the list in use: untouched
    data.NormalizeFreqUnit();
    EXPECT_EQ(data.freqUnit, CS2pData::MHZ);
    EXPECT_DOUBLE_EQ(data.lines3[0].freq, 1.0);
    EXPECT_DOUBLE_EQ(data.lines3[1].freq, 2.5);
    EXPECT_EQ(data.lines2[0].freq, 7.0);

    data.ConvertFreqUnit(CS2pData::MHZ);  // same unit: nothing changes
    EXPECT_DOUBLE_EQ(data.lines3[1].freq, 2.5);

    CS2pData four;
    four.portKind = CS2pData::FOUR_PORT;
    four.freqUnit = CS2pData::HZ;
    four.lines4.resize(1);
    four.lines4[0].freq = 3e9;
    four.NormalizeFreqUnit();
    EXPECT_DOUBLE_EQ(four.lines4[0].freq, 3000.0);

    CS2pData ghz;
    ghz.lines2.resize(1);
    ghz.lines2[0].freq = 1.5;
    ghz.NormalizeFreqUnit();  // GHz stays GHz
    EXPECT_EQ(ghz.freqUnit, CS2pData::GHZ);
    EXPECT_DOUBLE_EQ(ghz.lines2[0].freq, 1.5);
}

}  // namespace
