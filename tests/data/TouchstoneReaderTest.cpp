#include "data/S2pData.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

const char* const threeLines2Port =
    "1 0.5 -90 0.9 -45 0.2 10 0.5 90\n"
    "2 0.5 -90 0.9 -45 0.2 10 0.5 90\n"
    "3 0.5 -90 0.9 -45 0.2 10 0.5 90\n";

// Loads text saved under name; messages are recorded in sink.
struct Loaded {
    int rc;
    CS2pData data;
};

class Reader : public ::testing::Test {
protected:
    Loaded Load(const std::string& name, const std::string& text)
    {
        Loaded result;
        result.rc = result.data.Load(dir.Write(name, text));
        return result;
    }
    static void ExpectPolar(const CComplex& z, double mag, double deg)
    {
        const double rad = deg * std::acos(-1.0) / 180.0;
        EXPECT_NEAR(z.re, mag * std::cos(rad), 1e-12);
        EXPECT_NEAR(z.im, mag * std::sin(rad), 1e-12);
    }

    TempDir dir;
    CRecordingMessageSink sink;
};

TEST_F(Reader, TwoPortMagnitudeAngleInRowOrder)
{
    const Loaded r = Load("a.s2p", std::string("# GHz S MA R 50\n") + threeLines2Port);
    ASSERT_EQ(r.rc, 0);
    EXPECT_TRUE(r.data.loaded);
    ASSERT_EQ(r.data.RecordCount(), 3u);
    EXPECT_EQ(r.data.FreqAt(0), 1.0);
    EXPECT_EQ(r.data.FreqAt(2), 3.0);
    EXPECT_EQ(r.data.freqUnit, CS2pData::GHZ);
    ExpectPolar(r.data.Matrix(0)[0], 0.5, -90);  // S11
    ExpectPolar(r.data.Matrix(0)[2], 0.9, -45);  // S21: the file's second pair
    ExpectPolar(r.data.Matrix(0)[1], 0.2, 10);   // S12: the file's third pair
    ExpectPolar(r.data.Matrix(0)[3], 0.5, 90);
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(Reader, OptionLineKeywords)
{
    struct Case {
        const char* option;
        int unit;
        int kind;
        double r;
        int format;
    };
    const Case cases[] = {
        {"# mhz s ri r 75", CS2pData::MHZ, CS2pData::S, 75, RI},
        {"# GHz R db 50 S", CS2pData::GHZ, CS2pData::S, 50, DB},
        {"# khz z ri r 25", CS2pData::KHZ, CS2pData::Z, 25, RI},
        {"# Hz Y MA R 50 GHz", CS2pData::GHZ, CS2pData::Y, 50, MA},  // later unit wins
        {"#GHz H RI", CS2pData::GHZ, CS2pData::H, 50, RI},
        {"#MHz S RI R 75", CS2pData::MHZ, CS2pData::S, 75, RI},  // the unit touches the mark
        {"#,MHz,G,RI,R,100", CS2pData::MHZ, CS2pData::G, 100, RI},
        {"# GHz S MA R 50 ! converted from DB", CS2pData::GHZ, CS2pData::S, 50, MA},
        {"# khz S RI!hz db r 10", CS2pData::KHZ, CS2pData::S, 50, RI},
        {"#\tMHz\tS DB R\t75", CS2pData::MHZ, CS2pData::S, 75, DB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const Loaded r = Load("o.s2p", std::string(c.option) + "\n" + threeLines2Port);
        ASSERT_EQ(r.rc, 0);
        EXPECT_EQ(r.data.freqUnit, c.unit);
        EXPECT_EQ(r.data.paramKind, c.kind);
        EXPECT_EQ(r.data.refImpedance, c.r);
        const CComplex s21 = r.data.Matrix(0)[2];  // the pair 0.9, -45
        if (c.format == RI) {
            EXPECT_EQ(s21.re, 0.9);
            EXPECT_EQ(s21.im, -45.0);
        } else {
            ExpectPolar(s21, c.format == DB ? std::pow(10.0, 0.9 / 20) : 0.9, -45);
        }
    }
}

TEST_F(Reader, ReferenceImpedanceMustBeAPositiveNumber)
{
    const std::pair<const char*, const char*> cases[] = {
        {"# MHz S RI R 50abc", "the reference impedance \"50abc\" is not a positive number"},
        {"# MHz S RI R -25", "the reference impedance \"-25\" is not a positive number"},
        {"# MHz S RI R 0", "the reference impedance \"0\" is not a positive number"},
        {"# MHz S RI R", "R is followed by no reference impedance"},
    };
    for (const auto& [option, why] : cases) {
        SCOPED_TRACE(option);
        sink.texts.clear();
        const Loaded r = Load("r.s2p", std::string(option) + "\n" + threeLines2Port);
        EXPECT_EQ(r.rc, 102);
        EXPECT_EQ(sink.texts,
                  std::vector<std::string>{"Invalid Touchstone file: line 1 \""
                                           + std::string(option) + "\": " + why + "."});
    }
}

TEST_F(Reader, Utf8MarkIsSkippedAndUtf16IsRefused)
{
    const std::string text = std::string("# MHz S RI R 75\n") + threeLines2Port;
    const Loaded marked = Load("bom.s2p", "\xEF\xBB\xBF" + text);
    ASSERT_EQ(marked.rc, 0);
    EXPECT_EQ(marked.data.RecordCount(), 3u);  // the option line is no data line
    EXPECT_EQ(marked.data.freqUnit, CS2pData::MHZ);
    EXPECT_EQ(marked.data.refImpedance, 75.0);
    EXPECT_EQ(marked.data.Matrix(0)[2].re, 0.9);
    EXPECT_TRUE(sink.texts.empty());

    const auto utf16 = [&](const char* mark, bool littleEndian) {
        std::string wide = mark;
        for (char c : text)
            wide += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
        return wide;
    };
    struct Case {
        const char* name;
        std::string content;
        const char* phrase;
    };
    const Case cases[] = {
        {"le.s2p", utf16("\xFF\xFE", true), "File is UTF-16 text, not ASCII or UTF-8: "},
        {"be.s2p", utf16("\xFE\xFF", false), "File is UTF-16 text, not ASCII or UTF-8: "},
        {"nomark.s2p", utf16("", true), "File holds NUL bytes (UTF-16 or binary data), not text: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sink.texts.clear();
        const Loaded r = Load(c.name, c.content);
        EXPECT_EQ(r.rc, 102);
        EXPECT_FALSE(r.data.loaded);
        EXPECT_EQ(sink.texts, std::vector<std::string>{c.phrase + dir.Path(c.name)});
    }
}

TEST_F(Reader, DbFormatConvertsMagnitude)
{
    const Loaded r = Load(
        "d.s2p", "# GHz S DB R 50\n1 -20 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0\n3 0 0 0 0 0 0 0 0\n");
    ASSERT_EQ(r.rc, 0);
    EXPECT_NEAR(r.data.Matrix(0)[0].re, 0.1, 1e-15);
    EXPECT_NEAR(r.data.Matrix(0)[2].re, 1.0, 1e-15);
    // A magnitude no double holds is refused, not stored as infinity.
    const Loaded huge =
        Load("h.s2p", "# GHz S DB\n1 0 0 0 0 0 0 0 0\n2 0 0 7000 0 0 0 0 0\n3 0 0 0 0 0 0 0 0\n");
    EXPECT_EQ(huge.rc, 102);
    EXPECT_EQ(
        sink.texts,
        std::vector<std::string>{"Invalid Touchstone file: line 3 \"2 0 0 7000 0 0 0 0 0\": pair 2 "
                                 "(7000, 0) gives no finite value."});
}

TEST_F(Reader, ShortRecordsAreRefusedInEveryFormat)
{
    // A missing element is no zero (in dB a zero pair would even be magnitude 1): a record
    // short of numbers refuses the file, naming the line.
    for (const char* format : {"RI", "MA", "DB"}) {
        SCOPED_TRACE(format);
        sink.texts.clear();
        const std::string option = std::string("# GHz S ") + format + "\n";
        const Loaded two =
            Load("m.s2p", option + "1 0 0 0 0 0 0 0 0\n2 0 0 -6\n3 0 0 0 0 0 0 0 0\n");
        EXPECT_EQ(two.rc, 102);
        EXPECT_FALSE(two.data.loaded);
        // A 4-port record cut short by the end of the file.
        const Loaded four = Load("m.s4p", option + "1 0 0\n0 0 0 0\n0 0 0 0\n0 0 0 0\n");
        EXPECT_EQ(four.rc, 102);
        EXPECT_EQ(sink.texts,
                  (std::vector<std::string>{"Invalid Touchstone file: line 3 \"2 0 0 -6\": 4 "
                                            "numbers, where a 2-port record has 9 on one line.",
                                            "Invalid Touchstone file: line 2 \"1 0 0\": the file "
                                            "ends inside the 4-port record that starts "
                                            "there (15 of 33 numbers)."}));
    }
}

TEST_F(Reader, NoOptionLineReadsWithDefaultsEvenAfterAnotherFile)
{
    CS2pData data;
    ASSERT_EQ(data.Load(dir.Write("first.s2p", std::string("# MHz Z RI R 75\n") + threeLines2Port)),
              0);
    ASSERT_EQ(data.Load(dir.Write("second.s2p", threeLines2Port)), 0);
    EXPECT_EQ(data.freqUnit, CS2pData::GHZ);
    EXPECT_EQ(data.paramKind, CS2pData::S);
    EXPECT_EQ(data.refImpedance, 50.0);
    ExpectPolar(data.Matrix(0)[0], 0.5, -90);  // MA again, not RI
}

TEST_F(Reader, ShortLinesAndNegativeFrequenciesAreRefused)
{
    const std::string full = "2 0.5 0 0.5 0 0.5 0 0.5 0\n3 0.5 0 0.5 0 0.5 0 0.5 0\n";
    const std::pair<const char*, const char*> cases[] = {
        {"-3 0.5 0 0.5 0 0.5 0 0.5 0\n",
         "line 1 \"-3 0.5 0 0.5 0 0.5 0 0.5 0\": the frequency is negative."},
        {"1 0.5 0\n", "line 1 \"1 0.5 0\": 3 numbers, where a 2-port record has 9 on one line."},
        {"1 0.1 0 0.2 0 9\n",
         "line 1 \"1 0.1 0 0.2 0 9\": 6 numbers, where a 2-port record has 9 on one line."},
        {"1 0.5 0 0.5 0 0.5 0 0.5 0 7 7\n",
         "line 1 \"1 0.5 0 0.5 0 0.5 0 0.5 0 7 7\": more than 9 numbers, where a 2-port record has "
         "9 on one "
         "line."},
    };
    for (const auto& [first, message] : cases) {
        SCOPED_TRACE(first);
        sink.texts.clear();
        const Loaded r = Load("s.s2p", first + full);
        EXPECT_EQ(r.rc, 102);
        EXPECT_FALSE(r.data.loaded);
        EXPECT_EQ(sink.texts,
                  std::vector<std::string>{std::string("Invalid Touchstone file: ") + message});
    }
    // -0 is a frequency of 0.
    const Loaded zero = Load("z.s1p", "-0 1 0\n1 1 0\n2 1 0\n");
    ASSERT_EQ(zero.rc, 0);
    EXPECT_FALSE(std::signbit(zero.data.FreqAt(0)));
}

TEST_F(Reader, DescendingRecordsComeOutAscending)
{
    const Loaded r = Load("desc.s1p", "5 1 0\n4 1 0\n3 1 0\n2 1 0\n");
    ASSERT_EQ(r.rc, 0);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(r.data.FreqAt(i), static_cast<double>(i + 2));
}

TEST_F(Reader, TrailingCommentsAreCutOffDataLines)
{
    const Loaded r = Load("c.s2p",
                          "! header\n"
                          "1 0.5 0 0.9 0 0 0 0 0 ! S11 and S21 only\n"
                          "2 0.5 0 0.9 0 0.2 0 0.1 0 !full\n"
                          "3 0.5 0 0.9 0 0 0 0 0!glued\n");
    ASSERT_EQ(r.rc, 0);
    EXPECT_EQ(r.data.Matrix(0)[1].re, 0.0);
    EXPECT_DOUBLE_EQ(r.data.Matrix(1)[3].re, 0.1);
    EXPECT_DOUBLE_EQ(r.data.Matrix(2)[2].re, 0.9);
}

TEST_F(Reader, NoiseParameterBlockEndsTheNetworkData)
{
    const Loaded r = Load("n.s2p",
                          "# GHz S MA R 50\n"
                          "1 0.5 0 0.9 0 0.2 0 0.1 0\n"
                          "2 0.5 0 0.8 0 0.2 0 0.1 0\n"
                          "3 0.5 0 0.7 0 0.2 0 0.1 0\n"
                          "! noise parameters\n"
                          "1 0.5 0.3 45 0.2\n"
                          "2 0.6 0.3 50 0.2\n");
    ASSERT_EQ(r.rc, 0);
    ASSERT_EQ(r.data.RecordCount(), 3u);
    EXPECT_DOUBLE_EQ(r.data.Matrix(0)[2].re, 0.9);
    EXPECT_DOUBLE_EQ(r.data.Matrix(2)[2].re, 0.7);

    // Every noise line is checked: nothing after the network data goes unread.
    const std::string records =
        "1 0.5 0 0.9 0 0.2 0 0.1 0\n2 0.5 0 0.8 0 0.2 0 0.1 0\n"
        "3 0.5 0 0.7 0 0.2 0 0.1 0\n1 0.5 0.3 45 0.2\n";
    const std::pair<const char*, const char*> bad[] = {
        {"2 0.6 0.3 50 x\n", "line 5 \"2 0.6 0.3 50 x\": \"x\" is not a finite decimal number."},
        {"5 0.1 0 0.9 0 0.9 0 0.1 0\n",
         "line 5 \"5 0.1 0 0.9 0 0.9 0 0.1 0\": 9 numbers, where a noise-parameter line has 5."},
        {"-2 0.6 0.3 50 0.2\n", "line 5 \"-2 0.6 0.3 50 0.2\": the frequency is negative."},
        {"# GHz Z MA R 1\n",
         "line 5 \"# GHz Z MA R 1\": an option line inside the noise parameters."},
    };
    for (const auto& [tail, message] : bad) {
        SCOPED_TRACE(tail);
        sink.texts.clear();
        EXPECT_EQ(Load("n.s2p", records + tail).rc, 102);
        EXPECT_EQ(sink.texts,
                  std::vector<std::string>{std::string("Invalid Touchstone file: ") + message});
    }
}

TEST_F(Reader, FiveNumberLineAboveTheLastFrequencyIsRefused)
{
    const Loaded r = Load("f.s2p", "1 0.1 0 0.9 0 0 0 0 0\n2 0.1 0 0.9 0\n3 0.1 0 0.9 0\n");
    EXPECT_EQ(r.rc, 102);
    EXPECT_EQ(
        sink.texts,
        std::vector<std::string>{"Invalid Touchstone file: line 2 \"2 0.1 0 0.9 0\": 5 numbers, "
                                 "where a 2-port record has 9 on one line."});
}

TEST_F(Reader, BlanksAndTabsBothSeparateNumbers)
{
    const char* const rows[] = {
        "1\t2 3 4 5 6 7 8 9",  // a tab after the frequency, blanks elsewhere
        "1 2\t3\t4 5 6 7 8 9",       "1 \t2 3\t 4 5 6 7\t\t8 9",
        "1\t2\t3\t4\t5\t6\t7\t8\t9",  // tabs only
        "1,2,3,4,5,6,7,8,9",          // commas where there is neither
    };
    for (const char* row : rows) {
        SCOPED_TRACE(row);
        std::string text = "# GHz S RI\n";
        for (int i = 0; i < 3; ++i)
            text += std::string(row) + "\n";
        const Loaded r = Load("t.s2p", text);
        ASSERT_EQ(r.rc, 0);
        EXPECT_EQ(r.data.FreqAt(0), 1.0);
        const CComplex* s = r.data.Matrix(0);
        const double expected[4][2] = {{2, 3}, {6, 7}, {4, 5}, {8, 9}};  // row order
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(s[k].re, expected[k][0]) << "element " << k;
            EXPECT_EQ(s[k].im, expected[k][1]) << "element " << k;
        }
    }
    // A 3-port record continued on a line that mixes them.
    std::string text = "# GHz S RI\n";
    for (int f = 1; f <= 3; ++f)
        text += std::to_string(f) + "\t1 0 2 0 3 0\n4 0\t5 0 6 0\n7 0 8 0\t9 0\n";
    const Loaded three = Load("t.s3p", text);
    ASSERT_EQ(three.rc, 0);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(three.data.Matrix(2)[k].re, k + 1.0);
}

TEST_F(Reader, ThreePortRecordsSpanLinesOrStandOnOne)
{
    std::string oneLine = "# GHz S RI\n";
    std::string threeLines = "# GHz S RI\n";
    for (int f = 1; f <= 3; ++f) {
        std::string row[3];
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                row[r] += " " + std::to_string(f * 100 + r * 10 + c) + " " + std::to_string(-c);
        oneLine += std::to_string(f) + row[0] + row[1] + row[2] + "\n";
        threeLines += std::to_string(f) + row[0] + "\n" + row[1] + " ! row 2\n" + row[2] + "\n";
    }
    const Loaded a = Load("one.s3p", oneLine);
    const Loaded b = Load("three.s3p", threeLines);
    ASSERT_EQ(a.rc, 0);
    ASSERT_EQ(b.rc, 0);
    ASSERT_EQ(a.data.RecordCount(), 3u);
    ASSERT_EQ(b.data.RecordCount(), 3u);
    EXPECT_EQ(a.data.GetPortKind(), CS2pData::THREE_PORT);
    for (std::size_t i = 0; i < 3; ++i)
        for (int k = 0; k < 9; ++k) {
            EXPECT_EQ(a.data.Matrix(i)[k].re, b.data.Matrix(i)[k].re);
            EXPECT_EQ(a.data.Matrix(i)[k].im, b.data.Matrix(i)[k].im);
        }
    EXPECT_EQ(a.data.Matrix(1)[5].re, 212.0);  // S23 of the second record
    EXPECT_EQ(a.data.Matrix(1)[5].im, -2.0);
}

TEST_F(Reader, CommentLineInsideARecordGivesNoNumbers)
{
    std::string text = "# GHz S RI\n";
    for (int f = 1; f <= 3; ++f) {
        text +=
            std::to_string(f) + " 1 0 2 0 3 0\n! a note in the middle\n4 0 5 0 6 0\n7 0 8 0 9 0\n";
    }
    const Loaded r = Load("x.s3p", text);
    ASSERT_EQ(r.rc, 0);
    ASSERT_EQ(r.data.RecordCount(), 3u);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(r.data.Matrix(2)[k].re, k + 1.0);
}

TEST_F(Reader, FourPortInstrumentLayoutWithCrLf)
{
    std::string text = "! 4-port\r\n# MHz S RI R 50\r\n";
    for (int f = 3; f >= 1; --f) {
        text += std::to_string(f);
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c)
                text += " " + std::to_string(r * 4 + c) + " " + std::to_string(f);
            text += "\r\n";
        }
    }
    const Loaded r = Load("q.S4P", text);
    ASSERT_EQ(r.rc, 0);
    EXPECT_EQ(r.data.GetPortKind(), CS2pData::FOUR_PORT);
    ASSERT_EQ(r.data.RecordCount(), 3u);
    EXPECT_EQ(r.data.FreqAt(0), 1.0);
    EXPECT_EQ(r.data.Matrix(0)[15].re, 15.0);
    EXPECT_EQ(r.data.Matrix(0)[15].im, 1.0);
    EXPECT_EQ(r.data.headerComments, "! 4-port\n");
}

TEST_F(Reader, RecordsOfThreePortsAndMoreEndWithALine)
{
    std::string row = "";
    for (int k = 0; k < 9; ++k)
        row += " 0.5 0";
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        // The first record swallows the later lines as its continuation and the file ends.
        {"short.s4p", "# GHz S RI\n1 1 0\n1 0 1 0\n1 0\n",
         "line 2 \"1 1 0\": the file ends inside the 4-port record that starts there (9 of 33 "
         "numbers)."},
        // 1-port records whose count happens to fill 4-port ones: lines hold whole pairs.
        {"one.s4p",
         "# GHz S RI\n1 1 0\n2 1 0\n3 1 0\n4 1 0\n5 1 0\n6 1 0\n7 1 0\n8 1 0\n9 1 0\n10 1 0\n11 1 "
         "0\n",
         "line 3 \"2 1 0\": 3 numbers, not whole pairs, inside the 4-port record of line 2."},
        {"half.s3p", "1 0.5 0 0.5\n0 0.5 0\n",
         "line 1 \"1 0.5 0 0.5\": a frequency and 3 numbers, not whole pairs, start a 3-port "
         "record."},
        // A 2-port file under a 3-port name: its records end inside the second line.
        {"two.s3p", std::string("! 2-port\n") + threeLines2Port,
         "line 3 \"2 0.5 -90 0.9 -45 0.2 10 0.5 90\": 9 numbers, not whole pairs, inside the "
         "3-port record of line 2."},
        {"twopairs.s3p", "1 0.5 0 0.5 0 0.5 0 0.5 0 0.5 0\n2 0.5 0 0.5 0 0.5 0 0.5 0 0.5 0\n",
         "line 2 \"2 0.5 0 0.5 0 0.5 0 0.5 0 0.5 0\": the 3-port record of line 1 (19 numbers) "
         "ends inside this "
         "line."},
        {"long.s3p", "1" + row + " 7\n2" + row + "\n3" + row + "\n",
         "line 1 \"1 0.5 0 0.5 0 0.5 0 0.5 0 0.5 0 0.5 0 0....\": a 3-port record of 19 numbers "
         "ends inside "
         "this line."},
        {"opt.s3p", "1 0.5 0 0.5 0 0.5 0\n# MHz\n",
         "line 2 \"# MHz\": an option line inside the 3-port record of line 1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sink.texts.clear();
        const Loaded r = Load(c.name, c.text);
        EXPECT_EQ(r.rc, 102);
        EXPECT_FALSE(r.data.loaded);
        EXPECT_EQ(sink.texts,
                  std::vector<std::string>{std::string("Invalid Touchstone file: ") + c.message});
    }
}

TEST_F(Reader, OptionLinePlacement)
{
    const Loaded second = Load("two.s2p", std::string("# GHz\n# MHz\n") + threeLines2Port);
    EXPECT_EQ(second.rc, 102);
    const Loaded late = Load("late.s2p", std::string(threeLines2Port) + "# MHz\n");
    EXPECT_EQ(late.rc, 102);
    EXPECT_FALSE(late.data.loaded);
    EXPECT_EQ(sink.texts,
              (std::vector<std::string>{
                  "Invalid Touchstone file: line 2 \"# MHz\": a second option line.",
                  "Invalid Touchstone file: line 4 \"# MHz\": an option line after the data."}));
}

TEST_F(Reader, HeaderComments)
{
    const Loaded r =
        Load("h.s2p", std::string("! Freq\n! Freq S11\n! one\n# GHz\n! after\n") + threeLines2Port);
    ASSERT_EQ(r.rc, 0);
    EXPECT_EQ(r.data.headerComments, "! Freq S11\n! one\n");
}

TEST_F(Reader, TooFewLinesAndRecords)
{
    const Loaded one = Load("one.s2p", "1 0 0 0 0 0 0 0 0\n");
    EXPECT_EQ(one.rc, 101);
    const Loaded two = Load("two.s1p", "1 0 0\n2 0 0\n");
    EXPECT_EQ(two.rc, 101);
    const Loaded empty = Load("empty.s2p", "");
    EXPECT_EQ(empty.rc, 101);
    EXPECT_EQ(sink.texts,
              (std::vector<std::string>{"File contains too few lines.",
                                        "File must contain at least 3 frequency data.",
                                        "File contains too few lines."}));
}

TEST_F(Reader, TheMostRecordsAreReadWholeAndOneMoreIsCut)
{
    std::string text;
    text.reserve((MAX_RECORDS + 1) * 14);
    for (std::size_t i = 1; i <= MAX_RECORDS; ++i)
        text.append(std::to_string(i)).append(" 1 0\n");
    const Loaded whole = Load("whole.s1p", text);
    EXPECT_EQ(whole.rc, 0);
    EXPECT_EQ(whole.data.RecordCount(), MAX_RECORDS);
    EXPECT_EQ(whole.data.FreqAt(MAX_RECORDS - 1), 1000001.0);
    EXPECT_TRUE(sink.texts.empty());

    text.append("1000002 1 0\n");
    const Loaded cut = Load("cut.s1p", text);
    EXPECT_EQ(cut.rc, 0);
    EXPECT_EQ(cut.data.RecordCount(), MAX_RECORDS);
    EXPECT_EQ(cut.data.FreqAt(MAX_RECORDS - 1), 1000001.0);
    EXPECT_EQ(sink.texts,
              std::vector<std::string>{"File too big: more than 1000001 frequency "
                                       "records. Reading only the first 1000001..."});
}

TEST_F(Reader, LayoutChosenByTheNamesOwnEnding)
{
    struct Case {
        const char* name;
        int ports;
    };
    const Case cases[] = {
        {"A.S3P", 3},
        {"b.s4p", 4},
        {"c.out", 2},
        {"d.txt", 2},
        {"run.S3P/data.s2p", 2},  // a folder name says nothing
        {"old.s4p/a.s2p", 2},
        {"a.s4p.bak.s2p", 2},  // only the last ending counts
        {"x.s4p.s3p", 3},
        {"y.s3p.bak", 2},  // no ending of the Touchstone kind: 2-port
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text;
        for (int f = 1; f <= 3; ++f) {
            text += std::to_string(f);
            for (int k = 0; k < c.ports * c.ports; ++k)
                text += " 0.5 0";
            text += "\n";
        }
        CS2pData data;
        ASSERT_EQ(data.Load(dir.Write(c.name, text)), 0);
        EXPECT_EQ(data.PortCount(), c.ports);
    }
    EXPECT_TRUE(sink.texts.empty());
    for (const char* name : {"e.s0p", "f.S100P", "g.s1000p"}) {
        SCOPED_TRACE(name);
        sink.texts.clear();
        CS2pData data;
        const std::string path = dir.Write(name, threeLines2Port);
        EXPECT_EQ(data.Load(path), 102);
        EXPECT_FALSE(data.loaded);
        EXPECT_EQ(sink.texts,
                  std::vector<std::string>{"The file name's .sNp gives no port count of 1 to 99: "
                                           + path});
    }
}

TEST_F(Reader, MissingFileAndDirectory)
{
    CS2pData data;
    const std::string missing = dir.Path("nope.s2p");
    EXPECT_EQ(data.Load(missing), 101);
    EXPECT_EQ(data.fileName, missing);
    EXPECT_FALSE(data.loaded);
    EXPECT_EQ(data.Load(dir.Root().string()), 102);
    EXPECT_EQ(sink.texts,
              (std::vector<std::string>{"Cannot open file for reading: " + missing,
                                        "Problem reading file: " + dir.Root().string()}));
}

TEST_F(Reader, GarbageNeverCrashes)
{
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    const std::string nul("1\0 2 3\n\0\0\0\n4 5\n6 7 8\n", 22);
    const std::string hugeLine(50 * 1024 * 1024 / 8, 'x');
    const std::string cases[] = {
        binary,
        nul,
        "1e999 1e999 -1e999\n2 nan -nan\n3 inf 1\n",
        "!\n#\n",
        hugeLine + "\nx\n",
        std::string("1 2 3\n") + std::string(300000, ' ') + "4\n5 6\n",
    };
    for (const std::string& text : cases) {
        for (const char* name : {"g.s2p", "g.s3p", "g.s4p"}) {
            CS2pData data;
            const int rc = data.Load(dir.Write(name, text));
            EXPECT_TRUE(rc == 0 || rc == 101 || rc == 102);
            EXPECT_EQ(data.loaded, rc == 0);
            for (std::size_t i = 0; i < data.RecordCount(); ++i)
                EXPECT_FALSE(std::isnan(data.FreqAt(i)));
        }
    }
}

#if !defined(__SANITIZE_ADDRESS__)
// Loads path in a child process whose address space may grow by `room` bytes at most;
// the child's exit status is 0 when the load failed with 102 and exactly the message
// wanted (no std::bad_alloc ended it).
int LoadUnderMemoryCap(const std::string& path, std::size_t room, const std::string& wanted)
{
    const pid_t child = fork();
    if (child == 0) {
        // Earlier tests may leave free room at the heap's end, which the load could give
        // back and then use beyond the cap: give it back before measuring.
        malloc_trim(0);
        long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlim_t cap =
            static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + room;
        const rlimit limit{cap, cap};
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(3);
        CRecordingMessageSink sink;
        CS2pData data;
        const int rc = data.Load(path);
        _exit(rc == 102 && sink.texts == std::vector<std::string>{wanted} ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
#endif

TEST_F(Reader, MemoryStaysWithinWhatTheFileHolds)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the cap leaves";
#else
    // A six-line file that announces 999999 records of 99 ports reserved gigabytes.
    const std::string announced = dir.Write(
        "huge.ts",
        "[Version] 2.0\n[Number of Ports] 99\n[Number of Frequencies] 999999\n[Network Data]\n"
        "1 0 0\n[End]\n");
    EXPECT_EQ(
        LoadUnderMemoryCap(
            announced, std::size_t(256) << 20,
            "Invalid Touchstone 2 file: the record of line 5 \"1 0 0\" holds 3 of 19603 numbers "
            "(a matrix row short)."),
        0);
    // A real store larger than the memory there is: a message, not std::bad_alloc.
    const std::string big = dir.Path("big.s99p");
    {
        std::ofstream out(big);
        std::string record;
        for (int r = 0; r < 99; ++r) {
            for (int c = 0; c < 99; ++c)
                record += " 0 0";
            record += "\n";
        }
        for (int f = 1; f <= 600; ++f)
            out << f << record;
    }
    EXPECT_EQ(
        LoadUnderMemoryCap(big, std::size_t(64) << 20, "Not enough memory to read file: " + big),
        0);
#endif
    // Comment lines are kept in one text no larger than the file.
    std::string comments;
    for (int i = 0; i < 100000; ++i)
        comments += "! comment " + std::to_string(i) + "\n";
    const Loaded r = Load("comments.s2p", comments + threeLines2Port);
    ASSERT_EQ(r.rc, 0);
    EXPECT_EQ(r.data.headerComments, comments);
    EXPECT_LE(r.data.headerComments.capacity(),
              comments.size() + std::string(threeLines2Port).size());
}

TEST_F(Reader, WordsThatAreNoWholeFiniteNumberAreRefused)
{
    struct Case {
        const char* line2;
        const char* word;
    };
    const Case cases[] = {
        {"2 0.5x 0 0 0 0 0 0 0", "0.5x"},
        {"2 1.2.3 0 0 0 0 0 0 0", "1.2.3"},
        {"2 hello 0 0 0 0 0 0 0", "hello"},
        {"2,0 0,5 0 0 0 0 0 0 0 0", "2,0"},  // decimal commas
        {"2 1e999 0 0 0 0 0 0 0", "1e999"},  // overflows: infinite
        {"2 nan 0 0 0 0 0 0 0", "nan"},
        {"inf 0 0 0 0 0 0 0 0", "inf"},
        {"2 0x10 0 0 0 0 0 0 0", "0x10"},
        {"2 1e 0 0 0 0 0 0 0", "1e"},
        {"2 . 0 0 0 0 0 0 0", "."},
        {"2 -\x01\x1b[2J 0", "-\\x01\\x1B[2J"},  // control bytes come out escaped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line2);
        sink.texts.clear();
        const Loaded r = Load(
            "w.s2p",
            std::string("# GHz S RI\n1 0 0 0 0 0 0 0 0\n") + c.line2 + "\n3 0 0 0 0 0 0 0 0\n");
        EXPECT_EQ(r.rc, 102);
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_NE(sink.texts[0].find("line 3 \""), std::string::npos) << sink.texts[0];
        EXPECT_NE(
            sink.texts[0].find(std::string(": \"") + c.word + "\" is not a finite decimal number."),
            std::string::npos)
            << sink.texts[0];
        EXPECT_EQ(sink.texts[0].find_first_of("\x01\x1b"), std::string::npos);
    }
    // Commas without blanks still separate numbers, and a tiny number is a number.
    const Loaded commas =
        Load("c.s2p", "1.0,0.5,0,1e-999,0,0,0,0.5,0\n2,0.5,0,0,0,0,0,0.5,0\n3,0,0,0,0,0,0,0,0\n");
    ASSERT_EQ(commas.rc, 0);
    EXPECT_EQ(commas.data.Matrix(0)[0].re, 0.5);
}

}  // namespace
