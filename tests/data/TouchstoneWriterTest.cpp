// Written files read back as the data they came from: every port count, version and format.
#include "data/TouchstoneWriter.h"

#include "data/S2pData.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include <cmath>
#include <random>
#include <string>

namespace {

// A data set of awkward numbers: frequencies and values with all 17 digits in use.
CS2pData MakeData(int ports, std::size_t records, CS2pData::ParamKind kind = CS2pData::S)
{
    CS2pData data;
    data.ResetRecords(ports);
    data.paramKind = kind;
    data.freqUnit = CS2pData::MHZ;
    std::mt19937_64 random(static_cast<unsigned>(ports) * 7919u + static_cast<unsigned>(kind));
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    const int cells = ports * ports;
    for (std::size_t i = 0; i < records; ++i) {
        data.AppendRecord(100.0 / 3.0 + 0.1 * static_cast<double>(i));
        CComplex* m = data.Matrix(i);
        for (int k = 0; k < cells; ++k)
            m[k] = CComplex(value(random), value(random) * 1e-3);
    }
    data.refImpedances.assign(static_cast<std::size_t>(ports), 50.0);
    return data;
}

// Reads text as a file of the given port count would be read.
bool ReadBack(const std::string& text, int ports, CS2pData& back)
{
    CRecordingMessageSink sink;
    const int rc = back.Read(text, ports);
    EXPECT_EQ(rc, 0) << (sink.texts.empty() ? "" : sink.texts[0]) << "\n" << text.substr(0, 600);
    return rc == 0;
}

// The same records: to the last bit, or within a relative tolerance of each element.
void ExpectSameRecords(const CS2pData& a, const CS2pData& b, double tolerance)
{
    ASSERT_EQ(a.PortCount(), b.PortCount());
    ASSERT_EQ(a.RecordCount(), b.RecordCount());
    const int cells = a.PortCount() * a.PortCount();
    int faults = 0;
    for (std::size_t i = 0; i < a.RecordCount() && faults < 5; ++i) {
        EXPECT_EQ(a.FreqAt(i), b.FreqAt(i));
        for (int k = 0; k < cells; ++k) {
            const std::complex<double> x = a.Matrix(i)[k].ToStd();
            const std::complex<double> y = b.Matrix(i)[k].ToStd();
            const bool same = tolerance == 0 ? x == y : std::abs(x - y) <= tolerance * std::abs(x);
            if (!same && ++faults <= 5)
                ADD_FAILURE() << "record " << i << " element " << k << ": " << x << " vs " << y;
        }
    }
}

TEST(TouchstoneWriter, EveryPortCountVersionAndFormatReadsBack)
{
    for (const int ports : {1, 2, 3, 4, 8, 32}) {
        const CS2pData data = MakeData(ports, ports > 8 ? 3 : 7);
        for (const int version : {1, 2}) {
            for (const int format : {RI, MA, DB}) {
                SCOPED_TRACE(std::to_string(ports) + " ports, version " + std::to_string(version)
                             + ", format " + std::to_string(format));
                TouchstoneWriter::Options options;
                options.version = version;
                options.format = format;
                options.comments = {"Torvex test", "two\nlines"};
                std::string text, why;
                ASSERT_TRUE(TouchstoneWriter::Format(data, options, text, why)) << why;
                CS2pData back;
                ASSERT_TRUE(ReadBack(text, ports, back));
                EXPECT_EQ(back.version, version);
                EXPECT_EQ(back.fileFormat, format);
                EXPECT_EQ(back.freqUnit, CS2pData::MHZ);
                EXPECT_EQ(back.refImpedances, data.refImpedances);
                EXPECT_EQ(back.headerComments, "! Torvex test\n! two lines\n");
                ExpectSameRecords(data, back, format == RI ? 0.0 : 1e-12);
            }
        }
    }
}

// Version 2 holds Z, Y, H and G in ohms and siemens against each port's own reference; the
// writer scales back what the reader scales, to the rounding of the scaling.
TEST(TouchstoneWriter, Version2ImmittancesAgainstPortReferencesReadBack)
{
    const struct {
        int ports;
        CS2pData::ParamKind kind;
    } rows[] = {{3, CS2pData::Z}, {4, CS2pData::Y}, {2, CS2pData::H}, {2, CS2pData::G}};
    for (const auto& row : rows) {
        SCOPED_TRACE(CS2pData::ParamLetter(row.kind) + std::to_string(row.ports));
        CS2pData data = MakeData(row.ports, 50, row.kind);
        for (int p = 0; p < row.ports; ++p)
            data.refImpedances[static_cast<std::size_t>(p)] = 50.0 + 17.3 * p;
        TouchstoneWriter::Options options;
        options.version = 2;
        options.format = RI;
        std::string text, why;
        ASSERT_TRUE(TouchstoneWriter::Format(data, options, text, why)) << why;
        EXPECT_NE(text.find("[Reference] 50 67.299999999999997"), std::string::npos);
        CS2pData back;
        ASSERT_TRUE(ReadBack(text, 0, back));
        EXPECT_EQ(back.paramKind, row.kind);
        EXPECT_EQ(back.refImpedances, data.refImpedances);
        ExpectSameRecords(data, back, 1e-15);
        // Version 1 has one reference for all ports.
        options.version = 1;
        EXPECT_FALSE(TouchstoneWriter::Format(data, options, text, why));
        EXPECT_NE(why.find("use .ts"), std::string::npos) << why;
    }
}

TEST(TouchstoneWriter, LinesAsEachPortCountWantsThem)
{
    CS2pData two = MakeData(2, 1);
    const CComplex s2[] = {{0.5, 0}, {0.25, 0}, {-1, 0}, {0, 0.125}};  // 11 12 21 22
    std::copy_n(s2, 4, two.Matrix(0));
    TouchstoneWriter::Options options;
    options.format = RI;
    options.unit = CS2pData::GHZ;
    std::string text, why;
    ASSERT_TRUE(TouchstoneWriter::Format(two, options, text, why)) << why;
    EXPECT_EQ(text, "# GHZ S RI R 50\n0.03333333333333334 0.5 0 -1 0 0.25 0 0 0.125\n");
    options.version = 2;
    ASSERT_TRUE(TouchstoneWriter::Format(two, options, text, why)) << why;
    EXPECT_EQ(text,
              "[Version] 2.0\n# GHZ S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n"
              "[Number of Frequencies] 1\n[Network Data]\n"
              "0.03333333333333334 0.5 0 0.25 0 -1 0 0 0.125\n[End]\n");

    // Five ports: each row from a new line, four pairs a line.
    CS2pData five = MakeData(5, 1);
    for (int k = 0; k < 25; ++k)
        five.Matrix(0)[k] = CComplex(k, 0);
    five.Matrix(0)[0] = CComplex(0, 0);
    options.version = 1;
    options.unit = -1;
    five.fileFreqUnit = CS2pData::KHZ;  // the unit the file had
    ASSERT_TRUE(TouchstoneWriter::Format(five, options, text, why)) << why;
    EXPECT_EQ(text,
              "# KHZ S RI R 50\n33333.333333333336 0 0 1 0 2 0 3 0\n4 0\n5 0 6 0 7 0 8 0\n9 0\n"
              "10 0 11 0 12 0 13 0\n14 0\n15 0 16 0 17 0 18 0\n19 0\n20 0 21 0 22 0 23 0\n24 0\n");
}

TEST(TouchstoneWriter, KeepsTheFileOwnFormatUnitAndModes)
{
    const std::string file =
        "[Version] 2.0\n# kHz S DB R 50\n[Number of Ports] 4\n"
        "[Reference] 50 50 60 60\n[Number of Frequencies] 3\n"
        "[Mixed-Mode Order] S4 D1,2 C1,2 S3\n[Network Data]\n";
    std::string text = file;
    for (int i = 1; i <= 3; ++i) {
        text += std::to_string(i);
        for (int k = 0; k < 16; ++k)
            text += k % 5 == 0 ? " -3 45" : " -40 -90";
        text += "\n";
    }
    text += "[End]\n";
    CS2pData data;
    ASSERT_TRUE(ReadBack(text, 0, data));
    data.NormalizeFreqUnit();
    std::string written, why;
    TouchstoneWriter::Options options;
    options.version = 2;
    ASSERT_TRUE(TouchstoneWriter::Format(data, options, written, why)) << why;
    EXPECT_NE(written.find("# KHZ S DB R 50\n"), std::string::npos) << written;
    EXPECT_NE(written.find("[Mixed-Mode Order] S4 D1,2 C1,2 S3\n"), std::string::npos) << written;
    CS2pData back;
    ASSERT_TRUE(ReadBack(written, 0, back));
    ASSERT_EQ(back.portModes.size(), 4u);
    for (std::size_t p = 0; p < 4; ++p) {
        EXPECT_EQ(back.portModes[p].mode, data.portModes[p].mode);
        EXPECT_EQ(back.portModes[p].port, data.portModes[p].port);
    }
    EXPECT_EQ(back.refImpedances, data.refImpedances);
    back.NormalizeFreqUnit();
    ExpectSameRecords(data, back, 1e-12);
    options.version = 1;
    EXPECT_FALSE(TouchstoneWriter::Format(data, options, written, why));
    EXPECT_NE(why.find("mixed-mode"), std::string::npos) << why;
}

TEST(TouchstoneWriter, OnlyFiniteNumbersAreWritten)
{
    CS2pData data = MakeData(2, 3);
    data.Matrix(1)[0] = CComplex(0, 0);
    TouchstoneWriter::Options options;
    options.format = DB;
    std::string text, why;
    ASSERT_TRUE(TouchstoneWriter::Format(data, options, text, why)) << why;
    EXPECT_NE(text.find("33.433333333333337 -400 0 "), std::string::npos) << text;
    data.Matrix(2)[3] = CComplex(std::nan(""), 0);
    EXPECT_FALSE(TouchstoneWriter::Format(data, options, text, why));
    EXPECT_EQ(why, "Element S22 at 33.533333333333339 MHZ is not a finite number.");
    EXPECT_TRUE(text.empty());

    // Written through a temporary file; a folder that is not there is an error.
    TempDir dir;
    CRecordingMessageSink sink;
    data.Matrix(2)[3] = CComplex(0, 0);
    EXPECT_EQ(TouchstoneWriter::Write(dir.Path("a.s2p"), data, options, why), FILE_OK);
    EXPECT_EQ(TempDir::Read(dir.Path("a.s2p")).substr(0, 16), "# MHZ S DB R 50\n");
    EXPECT_EQ(TouchstoneWriter::Write(dir.Path("no/a.s2p"), data, options, why), FILE_CANNOT_OPEN);
    EXPECT_EQ(sink.texts.size(), 1u);
    // A value found bad on the way leaves the old file whole and no temporary one behind.
    const std::string before = TempDir::Read(dir.Path("a.s2p"));
    data.Matrix(2)[3] = CComplex(std::nan(""), 0);
    EXPECT_EQ(TouchstoneWriter::Write(dir.Path("a.s2p"), data, options, why),
              TouchstoneWriter::REFUSED);
    EXPECT_EQ(TempDir::Read(dir.Path("a.s2p")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(sink.texts.size(), 1u);
}

}  // namespace
