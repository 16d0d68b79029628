// Files of any port count and Touchstone version 2: each version 2 file is checked
// against the same network written as a version 1 file.
#include "chart/ChartTrace.h"
#include "data/S2pData.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>

namespace {

std::string TestFile(const char* name)
{
    return std::string(TORVEX_TESTDATA) + "/" + name;
}

class NPort : public ::testing::Test {
protected:
    int Load(CS2pData& data, const std::string& name, const std::string& text)
    {
        return data.Load(dir.Write(name, text));
    }
    // Everything --dump shows, exactly.
    static void ExpectSameData(const CS2pData& a, const CS2pData& b)
    {
        ASSERT_EQ(a.PortCount(), b.PortCount());
        ASSERT_EQ(a.RecordCount(), b.RecordCount());
        EXPECT_EQ(a.freqUnit, b.freqUnit);
        EXPECT_EQ(a.paramKind, b.paramKind);
        EXPECT_EQ(a.refImpedances, b.refImpedances);
        const int n = a.PortCount();
        for (std::size_t i = 0; i < a.RecordCount(); ++i) {
            EXPECT_EQ(a.FreqAt(i), b.FreqAt(i));
            for (int k = 0; k < n * n; ++k) {
                EXPECT_EQ(a.Matrix(i)[k].re, b.Matrix(i)[k].re)
                    << "record " << i << " element " << k;
                EXPECT_EQ(a.Matrix(i)[k].im, b.Matrix(i)[k].im)
                    << "record " << i << " element " << k;
            }
        }
    }

    TempDir dir;
    CRecordingMessageSink sink;
};

TEST_F(NPort, VersionTwoReadsAsItsVersionOneTwin)
{
    struct Twin {
        const char* label;
        const char* v2;
        const char* v1Name;
        const char* v1;
    };
    const Twin twins[] = {
        {"2-port 12_21, noise and information skipped, keywords in any case",
         "! a two-port\n[Version] 2.0\n# GHz S RI R 50\n[number of  PORTS] 2\n"
         "[Two-Port Data Order] 12_21\n[Number of Frequencies] 3\n[Number of Noise Frequencies] 2\n"
         "[Begin Information]\n[Manufacturer] nobody\n1 2 3\n[End Information]\n[Network Data]\n"
         "1 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8\n2 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 ! remark\n"
         "3 0.1 0.2\n0.3 0.4 0.5 0.6 0.7 0.8\n[Noise Data]\n1 2 0.5 45 0.2\n2 2 0.5 45 "
         "0.2\n[End]\n",
         "t.s2p",
         "! a two-port\n# GHz S RI R 50\n1 0.1 0.2 0.5 0.6 0.3 0.4 0.7 0.8\n"
         "2 0.1 0.2 0.5 0.6 0.3 0.4 0.7 0.8\n3 0.1 0.2 0.5 0.6 0.3 0.4 0.7 0.8\n"},
        {"2-port 21_12 in MA",
         "[Version] 2.1\n# MHz S MA R 75\n[Number of Ports] 2\n[Two-Port Data Order] 21_12\n"
         "[Number of Frequencies] 3\n[Network Data]\n1 0.5 -90 0.9 -45 0.2 10 0.5 90\n"
         "2 0.5 -91 0.9 -46 0.2 11 0.5 91\n3 0.5 -92 0.9 -47 0.2 12 0.5 92\n[End]\n",
         "t.s2p",
         "# MHz S MA R 75\n1 0.5 -90 0.9 -45 0.2 10 0.5 90\n2 0.5 -91 0.9 -46 0.2 11 0.5 91\n"
         "3 0.5 -92 0.9 -47 0.2 12 0.5 92\n"},
        {"3-port Lower, Z in ohms, [Reference] over two lines",
         "[Version] 2.0\n# GHz Z RI\n[Number of Ports] 3\n[Number of Frequencies] 3\n"
         "[Reference] 50 50\n50\n[Matrix Format] Lower\n[Network Data]\n"
         "1 75 25\n 10 5 100 -50\n 25 0 50 0 200 100\n"
         "2 75 25 10 5 100 -50 25 0 50 0 200 100\n"
         "3 75 25\n10 5 100 -50\n25 0 50 0 200 100\n[End]\n",
         "t.s3p",
         "# GHz Z RI R 50\n1 1.5 0.5 0.2 0.1 0.5 0\n0.2 0.1 2 -1 1 0\n0.5 0 1 0 4 2\n"
         "2 1.5 0.5 0.2 0.1 0.5 0\n0.2 0.1 2 -1 1 0\n0.5 0 1 0 4 2\n"
         "3 1.5 0.5 0.2 0.1 0.5 0\n0.2 0.1 2 -1 1 0\n0.5 0 1 0 4 2\n"},
        {"4-port Upper in dB",
         "[Version] 2.0\n# GHz S DB R 50\n[Number of Ports] 4\n[Number of Frequencies] 3\n"
         "[Matrix Format] UPPER\n[Network Data]\n"
         "1 -1 10 -2 20 -3 30 -4 40\n-5 50 -6 60 -7 70\n-8 80 -9 90\n-10 100\n"
         "2 -1 10 -2 20 -3 30 -4 40\n-5 50 -6 60 -7 70\n-8 80 -9 90\n-10 100\n"
         "3 -1 10 -2 20 -3 30 -4 40\n-5 50 -6 60 -7 70\n-8 80 -9 90\n-10 100\n[End]\n",
         "t.s4p",
         "# GHz S DB R 50\n"
         "1 -1 10 -2 20 -3 30 -4 40\n-2 20 -5 50 -6 60 -7 70\n-3 30 -6 60 -8 80 -9 90\n-4 40 -7 70 "
         "-9 90 -10 100\n"
         "2 -1 10 -2 20 -3 30 -4 40\n-2 20 -5 50 -6 60 -7 70\n-3 30 -6 60 -8 80 -9 90\n-4 40 -7 70 "
         "-9 90 -10 100\n"
         "3 -1 10 -2 20 -3 30 -4 40\n-2 20 -5 50 -6 60 -7 70\n-3 30 -6 60 -8 80 -9 90\n-4 40 -7 70 "
         "-9 90 -10 100\n"},
        {"1-port named .ts",
         "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 1\n[Number of Frequencies] 3\n[Network "
         "Data]\n"
         "3e9 0.1 0.2\n1e9 0.3 0.4\n2e9\n0.5 0.6\n[End]\n",
         "t.s1p", "# Hz S RI R 50\n3e9 0.1 0.2\n1e9 0.3 0.4\n2e9 0.5 0.6\n"},
    };
    for (const Twin& t : twins) {
        SCOPED_TRACE(t.label);
        CS2pData v2;
        CS2pData v1;
        ASSERT_EQ(Load(v2, "twin.ts", t.v2), 0) << (sink.texts.empty() ? "" : sink.texts.back());
        ASSERT_EQ(Load(v1, t.v1Name, t.v1), 0);
        EXPECT_EQ(v2.version, 2);
        EXPECT_EQ(v1.version, 1);
        ExpectSameData(v2, v1);
    }
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(NPort, MixedModeElementsKeepTheirNames)
{
    const std::string matrix =
        " 1 0 2 0 3 0 4 0\n 5 0 6 0 7 0 8 0\n 9 0 10 0 11 0 12 0\n 13 0 14 0 15 0 16 0\n";
    std::string text =
        "[Version] 2.0\n# GHz S RI R 50\n[Number of Ports] 4\n[Number of Frequencies] 3\n"
        "[Mixed-Mode Order] D1,3 D2,4\nC1,3 C2,4\n[Network Data]\n";
    std::string twin = "# GHz S RI R 50\n";
    for (const char* f : {"1", "2", "3"}) {
        text += f + matrix;
        twin += f + matrix;
    }
    text += "[End]\n";
    CS2pData mixed;
    CS2pData plain;
    ASSERT_EQ(Load(mixed, "m.s4p", text), 0);
    ASSERT_EQ(Load(plain, "p.s4p", twin), 0);
    ExpectSameData(mixed, plain);

    EXPECT_EQ(mixed.ElementName(1, 1), "Sdd11");
    EXPECT_EQ(mixed.ElementName(2, 1), "Sdd21");
    EXPECT_EQ(mixed.ElementName(3, 2), "Scd12");
    EXPECT_EQ(mixed.ElementName(1, 4), "Sdc12");
    const int sdd21 = ValueCode::Parse("Sdd21");
    EXPECT_TRUE(mixed.HasCode(sdd21));
    EXPECT_TRUE(plain.HasCode(sdd21));  // computed from the single-ended matrix
    EXPECT_FALSE(plain.HasCode(ValueCode::Parse("Sdd13")));  // a 4-port has two pairs
    EXPECT_FALSE(plain.HasCode(ValueCode::Parse("Sss11")));
    EXPECT_FALSE(mixed.HasCode(4));  // S21 is no element of a mixed-mode matrix
    CChartTrace trace;
    ASSERT_TRUE(mixed.BuildTrace(trace, 1, sdd21, 4));
    EXPECT_EQ(trace.name, "Sdd21(re)(1)");
    EXPECT_EQ(trace.points[0].y, 5.0);
}

TEST_F(NPort, BrokenVersionTwoFilesAreRefused)
{
    const std::string head = "[Version] 2.0\n# GHz S RI R 50\n";
    const std::string two = "[Number of Ports] 2\n[Two-Port Data Order] 12_21\n";
    const std::string rows = "1 1 0 0 0 0 0 1 0\n2 1 0 0 0 0 0 1 0\n3 1 0 0 0 0 0 1 0\n";
    struct Bad {
        std::string text;
        const char* message;
    };
    const Bad bad[] = {
        {"# GHz S RI R 50\n[Number of Ports] 2\n" + rows,
         "[Version] missing before [Number of Ports]."},
        {head + "[Number of Frequencies] 3\n[Network Data]\n" + rows + "[End]\n",
         "[Number of Ports] missing before [Network Data]."},
        {head + "[Number of Ports] 2\n[Number of Frequencies] 3\n[Network Data]\n" + rows
             + "[End]\n",
         "[Two-Port Data Order] missing (required for 2-port files)."},
        {head + two + "[Network Data]\n" + rows + "[End]\n",
         "[Number of Frequencies] missing before [Network Data]."},
        {head + two + "[Number of Frequencies] 4\n[Network Data]\n" + rows + "[End]\n",
         "[Number of Frequencies] is 4, but the file holds 3 records."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows, "[End] missing."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows + "4 1 0 0 0\n[End]\n",
         "the record of line 10 \"4 1 0 0 0\" holds 5 of 9 numbers (a matrix row short)."},
        {head
             + "[Number of Ports] 3\n[Number of Frequencies] 1\n[Network Data]\n"
               "1 1 0 0 0 0 0\n0 0 1 0 0 0\n0 0 0 0 1 0 7\n[End]\n",
         "line 8 \"0 0 0 0 1 0 7\": more numbers than a record holds."},
        {head + "[Number of Ports] 3\n[Reference] 50 50\n[Number of Frequencies] 3\n",
         "[Reference] holds 2 impedances for 3 ports."},
        {head + two + "[Matrix Format] Diagonal\n",
         "[Matrix Format] Diagonal is not Full, Lower or Upper."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 D3,4 C1,2 X3\n",
         "[Mixed-Mode Order] entry X3 is not Sn, Dn,m or Cn,m."},
        {head + "[Number of Ports] 100\n", "[Number of Ports] 100 is not 1 to 99."},
        {"[Version] 3.0\n# GHz S RI\n", "[Version] 3.0 is not 2.0 or 2.1."},
        {"[Version] 2.9\n# GHz S RI\n", "[Version] 2.9 is not 2.0 or 2.1."},
        {head + two + "[Number of Frequencies] 3\n[Number of Noise Frequencies] 2\n[Network Data]\n"
             + rows + "[Noise Data]\n1 2 0.5 10 0.3\n2 2 0.5 10 x\n[End]\n",
         "line 13 \"2 2 0.5 10 x\": \"x\" is not a finite decimal number."},
        {head + two + "[Number of Frequencies] 3\n[Number of Noise Frequencies] 2\n[Network Data]\n"
             + rows + "[Noise Data]\n1 2 0.5 10 0.3\n[End]\n",
         "[Number of Noise Frequencies] is 2, but [Noise Data] holds 1 lines."},
        {"[Version] 2.0\n[Version] 2.0\n", "line 2 \"[Version] 2.0\": a second [Version]."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows
             + "[Reference] 75 75\n[End]\n",
         "line 10 \"[Reference] 75 75\": [Reference] after [Network Data]."},
        {head + two + "[Number of Frequencies] 3\n[Number of Frequencies] 2\n",
         "line 6 \"[Number of Frequencies] 2\": a second [Number of Frequencies]."},
        {head + two + "[Two-Port Data Order] 21_12\n",
         "line 5 \"[Two-Port Data Order] 21_12\": a second [Two-Port Data Order]."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows + "[Network Data]\n",
         "line 10 \"[Network Data]\": a second [Network Data]."},
        {head + "[Number of Ports] 2\n[Reference] 50 75 100\n",
         "[Reference] holds more than 2 impedances for 2 ports."},
        {head + "[Number of Ports] 2\n[Mixed-Mode Order] D1,2 C1,2 S1\n",
         "[Mixed-Mode Order] names more than 2 ports."},
        {head + two + "1 1 0 0 0 0 0 1 0\n",
         "numbers outside [Network Data]: line 5 \"1 1 0 0 0 0 0 1 0\"."},
        {head + "[Number of Ports] 2\n[Reference] 50abc 50\n",
         "[Reference] impedance 50abc is not a positive number."},
        {head + "[Number of Ports] 2\n[Reference] 50 0\n",
         "[Reference] impedance 0 is not a positive number."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 D3,4 D1,3 D2,4\n",
         "[Mixed-Mode Order] uses port 1 in D1,2 and in D1,3."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 C1,2 S1 S2\n",
         "[Mixed-Mode Order] uses port 1 in C1,2 and in S1."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 S3 S4 C3,4\n",
         "[Mixed-Mode Order] uses port 3 in S3 and in C3,4."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 C1,2 D3,4 S3\n",
         "[Mixed-Mode Order] uses port 3 in D3,4 and in S3."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 D3,4 C3,4 S1\n",
         "[Mixed-Mode Order] uses port 1 in D1,2 and in S1."},
        {head + "[Number of Ports] 3\n[Mixed-Mode Order] D1,2 S3 S3\n",
         "[Mixed-Mode Order] names S3 twice."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 D3,4\n",
         "[Mixed-Mode Order] D1,2 has no C1,2."},
        {head + "[Number of Ports] 2\n[Mixed-Mode Order] garbage\n",
         "[Mixed-Mode Order] entry garbage is not Sn, Dn,m or Cn,m."},
        {head + "[Number of Ports] 4\n[Mixed-Mode Order] D1,2 D3,4 C1,2 D1,2\n",
         "[Mixed-Mode Order] names D1,2 twice."},
        {head + "[Number of Ports] 3\n[Mixed-Mode Order] D1,2 S3 C2,1\n",
         "[Mixed-Mode Order] uses port 2 in D1,2 and in C2,1."},
        {head + "[Number of Ports] 3\n[Mixed-Mode Order] D1,2 C1,3 S3\n",
         "[Mixed-Mode Order] uses port 1 in D1,2 and in C1,3."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows
             + "[End]\n4 1 0 0 0 0 0 1 0\n",
         "line 11 \"4 1 0 0 0 0 0 1 0\" after [End]."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows + "[End] 4\n",
         "[End] 4: nothing may follow it."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n" + rows
             + "[End]\n[Network Data]\n",
         "line 11 \"[Network Data]\" after [End]."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n-1 1 0 0 0 0 0 1 0\n" + rows
             + "[End]\n",
         "line 7 \"-1 1 0 0 0 0 0 1 0\": the frequency is negative."},
        {head + two + "[Number of Frequencies] 3\n[Network Data]\n1 1 0 0 0 0 0 1,5 0\n" + rows
             + "[End]\n",
         "line 7 \"1 1 0 0 0 0 0 1,5 0\": \"1,5\" is not a finite decimal number."},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.message);
        sink.texts.clear();
        CS2pData data;
        EXPECT_EQ(Load(data, "bad.ts", b.text), FILE_READ_ERROR);
        EXPECT_FALSE(data.loaded);
        EXPECT_EQ(sink.texts,
                  std::vector<std::string>{std::string("Invalid Touchstone 2 file: ") + b.message});
    }
}

TEST_F(NPort, PortCountFromTheName)
{
    const std::pair<const char*, int> names[] = {
        {"a.s1p", 1},
        {"B.S12P", 12},
        {"c.s99p", 99},
        {"d.s2p", 2},
        {"e.ts", 0},
        {"f.out", 0},
        {"g.s100p", -1},
        {"h.s0p", -1},
        {"run.S3P/data.s6p", 6},
        {"run.s6p/data.s8p", 8},
        {"a.s4p.bak.s2p", 2},
        {"a.s4p.bak", 0},
        {"s2p", 0},
        {"x.sp", 0},
        {"x.s1234567890p", -1},
    };
    for (const auto& [name, ports] : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CS2pData::PortsFromName(name), ports);
    }
    // A version 2 file says its port count itself, whatever its name.
    CS2pData data;
    ASSERT_EQ(Load(data, "named.s4p",
                   "[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 3\n[Network Data]\n"
                   "1 0.5 0\n2 0.5 0\n3 0.5 0\n[End]\n"),
              0);
    EXPECT_EQ(data.PortCount(), 1);
}

TEST_F(NPort, FilesOfOneSixAndTwelvePorts)
{
    CS2pData one;
    ASSERT_EQ(one.Load(TestFile("termination.s1p")), 0);
    EXPECT_EQ(one.PortCount(), 1);
    EXPECT_EQ(one.ElementCodes(), std::vector<int>{0});
    EXPECT_TRUE(one.HasCode(ValueCode::RETURN_LOSS));
    EXPECT_FALSE(one.HasCode(ValueCode::INSERTION_LOSS));
    EXPECT_FALSE(one.HasCode(4));
    EXPECT_EQ(one.Element(1, 1, 1).re, 0.3);
    EXPECT_EQ(one.Element(1, 1, 1).im, -0.4);

    // HFSS: four pairs a line, each row on a new line, port impedances in comments.
    CS2pData six;
    ASSERT_EQ(six.Load(TestFile("hfss.s6p")), 0);
    ASSERT_EQ(six.PortCount(), 6);
    ASSERT_EQ(six.RecordCount(), 3u);
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 6; ++c) {
            EXPECT_EQ(six.Element(2, r, c).re, r * 10 + c);
            EXPECT_EQ(six.Element(2, r, c).im, -3);
        }
    EXPECT_EQ(six.refImpedances, (std::vector<double>{50, 50, 50, 75, 50, 50}));
    EXPECT_EQ(six.GetPortKind(), CS2pData::FOUR_PORT);
    EXPECT_EQ(six.CodeAt(5, 6), ValueCode::Element(5, 6));
    EXPECT_EQ(six.CodeAt(2, 3), 6);  // the 4 x 4 codes stay

    // CST: a whole row on one line.
    CS2pData twelve;
    ASSERT_EQ(twelve.Load(TestFile("cst.s12p")), 0);
    ASSERT_EQ(twelve.PortCount(), 12);
    EXPECT_EQ(twelve.ElementCodes().size(), 144u);
    CChartTrace trace;
    ASSERT_TRUE(twelve.BuildTrace(trace, 1, ValueCode::Element(10, 2), 3));
    EXPECT_EQ(trace.name, "S10_2(mag)(1)");
    EXPECT_NEAR(trace.points[1].y, 0.1002, 1e-12);
    ASSERT_TRUE(twelve.BuildTrace(trace, 2, ValueCode::Element(12, 12), 1));
    EXPECT_EQ(trace.name, "S12_12[deg](2)");
    EXPECT_NEAR(trace.points[2].y, 30.0, 1e-9);
    EXPECT_FALSE(twelve.BuildTrace(trace, 1, ValueCode::Element(13, 1), 0));
    EXPECT_FALSE(six.BuildTrace(trace, 1, ValueCode::Element(7, 1), 0));
}

TEST_F(NPort, RecordLimitsHoldForEveryPortCount)
{
    std::string twoRecords6 = "# GHz S RI\n";
    for (int f = 1; f <= 2; ++f) {
        twoRecords6 += std::to_string(f);
        for (int k = 0; k < 36; ++k)
            twoRecords6 += " 0.5 0";
        twoRecords6 += "\n";
    }
    // One record past the limit, of one port to keep the files small.
    std::string records;
    for (std::size_t f = 1; f <= MAX_RECORDS + 1; ++f)
        records.append(std::to_string(f)).append(" 0.5 0\n");
    const std::string big1 = "# Hz S RI\n" + records;
    const std::string big2 =
        "[Version] 2.0\n[Number of Ports] 1\n"
        "[Number of Frequencies] 1000002\n[Network Data]\n"
        + records + "[End]\n";
    // Past the limit the records are still counted: one more than announced is refused.
    std::string miscounted = big2;
    miscounted.replace(miscounted.find("1000002"), 7, "1000001");
    const char* const tooBig =
        "File too big: more than 1000001 frequency records. Reading only the first 1000001...";
    struct Case {
        const char* name;
        std::string text;
        int rc;
        std::size_t records;
        const char* message;
    };
    const Case cases[] = {
        {"few.s6p", twoRecords6, 101, 2, "File must contain at least 3 frequency data."},
        {"few.s1p", "1 0 0\n2 0 0\n", 101, 2, "File must contain at least 3 frequency data."},
        {"big.s1p", big1, 0, MAX_RECORDS, tooBig},
        {"big.ts", big2, 0, MAX_RECORDS, tooBig},
        {"miscounted.ts", miscounted, 102, MAX_RECORDS,
         "Invalid Touchstone 2 file: [Number of Frequencies] is 1000001, but the file holds "
         "1000002 records."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sink.texts.clear();
        CS2pData data;
        EXPECT_EQ(Load(data, c.name, c.text), c.rc);
        EXPECT_EQ(data.RecordCount(), c.records);
        EXPECT_EQ(sink.texts, std::vector<std::string>{c.message});
    }
}

// A 5-port of equal couplings, z = a I + b J (J all ones) normalised to 50 ohms, has the
// closed forms y = z^-1 = (I - b / (a + 5b) J) / a and S = (z - I)(z + I)^-1 =
// ((a - 1) I + (b - (a - 1) c - 5 b c) J) / (a + 1), c = b / (a + 1 + 5b).
TEST_F(NPort, ZAndYOfFivePortsConvertAsTheirClosedForm)
{
    const double a = 2.0;
    const double b = 0.5;
    const double c = b / (a + 1 + 5 * b);
    const double sDiag = ((a - 1) + (b - (a - 1) * c - 5 * b * c)) / (a + 1);
    const double sOff = (b - (a - 1) * c - 5 * b * c) / (a + 1);
    const double yDiag = (1 - b / (a + 5 * b)) / a;
    const double yOff = -b / (a + 5 * b) / a;
    const auto file = [](bool v2, const char* kind, double diag, double off) {
        std::string text = v2 ? "[Version] 2.0\n# GHz " + std::string(kind)
                + " RI R 50\n[Number of Ports] 5\n[Number of Frequencies] 3\n[Network Data]\n"
                              : "# GHz " + std::string(kind) + " RI R 50\n";
        char buf[64];
        for (int f = 1; f <= 3; ++f) {
            text += std::to_string(f);
            for (int r = 0; r < 5; ++r) {
                for (int k = 0; k < 5; ++k) {
                    std::snprintf(buf, sizeof buf, " %.17g 0", r == k ? diag : off);
                    text += buf;
                }
                text += "\n";
            }
        }
        return v2 ? text + "[End]\n" : text;
    };
    struct Form {
        const char* label;
        std::string text;
    };
    const Form forms[] = {
        {"Z normalised", file(false, "Z", a + b, b)},
        {"Y normalised", file(false, "Y", yDiag, yOff)},
        {"Z in ohms", file(true, "Z", 50 * (a + b), 50 * b)},
        {"Y in siemens", file(true, "Y", yDiag / 50, yOff / 50)},
        {"S", file(false, "S", sDiag, sOff)},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.label);
        CS2pData data;
        ASSERT_EQ(Load(data, "net.s5p", f.text), 0);
        CChartTrace trace;
        ASSERT_TRUE(data.BuildTrace(trace, 1, ValueCode::Element(5, 5), 4));
        EXPECT_NEAR(trace.points[0].y, sDiag, 1e-12);
        ASSERT_TRUE(data.BuildTrace(trace, 1, ValueCode::Element(2, 5), 4));
        EXPECT_NEAR(trace.points[1].y, sOff, 1e-12);
        ASSERT_TRUE(data.BuildTrace(trace, 1, 1, 5));  // S12: no imaginary part
        EXPECT_NEAR(trace.points[2].y, 0.0, 1e-12);
    }
}

TEST(ValueCodes, NamesAndSpellings)
{
    const std::pair<int, const char*> names[] = {
        {0, "S11"},
        {4, "S21"},
        {15, "S44"},
        {ValueCode::Element(5, 1), "S51"},
        {ValueCode::Element(10, 2), "S10_2"},
        {ValueCode::Element(99, 99), "S99_99"},
        {ValueCode::MixedMode('d', 2, 'd', 1), "Sdd21"},
        {ValueCode::MixedMode('c', 1, 's', 12), "Scs1_12"},
    };
    for (const auto& [code, name] : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ValueCode::Name(code), name);
        EXPECT_EQ(ValueCode::Parse(name), code);
    }
    EXPECT_EQ(ValueCode::Parse("s1_2"), 1);
    EXPECT_EQ(ValueCode::Parse("SDD21"), ValueCode::MixedMode('d', 2, 'd', 1));
    for (const char* bad : {"S102", "S0_1", "S100_1", "Sxd21", "S1", "S", "Y21", "S1_", "Sdd2"})
        EXPECT_EQ(ValueCode::Parse(bad), -1) << bad;
    for (int code : {16, 17, 21, 22, 99, -1, 10000, 10101, 10404})
        EXPECT_EQ(ValueCode::Name(code), "") << code;

    // No two elements share a code, and none takes a derived code.
    std::set<int> codes;
    const char modes[] = {'d', 'c', 's'};
    for (int r = 1; r <= MAX_PORTS; ++r)
        for (int c = 1; c <= MAX_PORTS; ++c) {
            codes.insert(ValueCode::Element(r, c));
            for (char m1 : modes)
                for (char m2 : modes)
                    codes.insert(ValueCode::MixedMode(m1, r, m2, c));
        }
    EXPECT_EQ(codes.size(), 10u * MAX_PORTS * MAX_PORTS);
    for (int derived = 16; derived <= 21; ++derived)
        EXPECT_EQ(codes.count(derived), 0u);
}

}  // namespace
