// Large files are read in two halves at once; whatever a file holds, that must give what
// one reader alone gives: the same data to the last bit, the same messages, the same lines.
#include "data/PairConversion.h"
#include "data/S2pData.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int rc = 0;
    std::vector<std::string> messages;
    std::vector<double> freqs;
    std::vector<CComplex> values;
};

Outcome LoadWith(const std::string& path, unsigned threads)
{
    CRecordingMessageSink sink;
    CPairConversion::SetMaxThreads(threads);
    CS2pData data;
    Outcome out;
    out.rc = data.Load(path);
    CPairConversion::SetMaxThreads(0);
    out.messages = sink.texts;
    for (std::size_t r = 0; r < data.RecordCount(); ++r) {
        out.freqs.push_back(data.FreqAt(r));
        out.values.insert(out.values.end(), data.Matrix(r), data.Matrix(r) + 4);
    }
    return out;
}

// About 20 MB of 2-port records in dB, lines numbered from the option line's next.
std::vector<std::string> Records()
{
    std::vector<std::string> lines;
    char buf[160];
    for (int i = 0; i < 280000; ++i) {
        std::snprintf(buf, sizeof buf, "%d %.4f %.3f %.4f %.3f %.4f %.3f %.4f %.3f", 1000 + i,
                      -20.0 - i * 1e-4, -i * 0.1, -0.5, i * 0.2, -0.5, i * 0.2, -18.0, i * 0.05);
        lines.emplace_back(buf);
    }
    return lines;
}

TEST(LargeFileReader, TwoHalvesReadAsOne)
{
    const std::vector<std::string> records = Records();
    const std::size_t at = records.size() * 3 / 4;  // in the later half
    const std::size_t mid = records.size() / 2;
    struct Case {
        const char* name;
        // Changes the records; eol is the line end.
        void (*change)(std::vector<std::string>&, std::size_t at, std::size_t mid);
        const char* eol;
    };
    const Case cases[] = {
        {"plain", [](std::vector<std::string>&, std::size_t, std::size_t) {}, "\n"},
        {"CRLF", [](std::vector<std::string>&, std::size_t, std::size_t) {}, "\r\n"},
        {"CR alone", [](std::vector<std::string>&, std::size_t, std::size_t) {}, "\r"},
        {"blank lines about the middle",
         [](std::vector<std::string>& l, std::size_t, std::size_t m) {
             for (std::size_t k = m - 300; k < m + 300; k += 7)
                 l[k] += "\n\n  \t";
         },
         "\n"},
        {"a word that is no number",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) { l[a] += "x"; }, "\n"},
        {"a comment line and a comment after numbers",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) {
             l[a] += " ! note";
             l[a + 5] = "! a comment\n" + l[a + 5];
         },
         "\n"},
        {"an option line in the data",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) {
             l[a] = "# GHz S RI R 50\n" + l[a];
         },
         "\n"},
        {"seven numbers",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) {
             l[a] = "5000000 1 2 3 4 5 6";
         },
         "\n"},
        {"noise data to the end",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) {
             for (std::size_t k = a; k < l.size(); ++k)
                 l[k] = std::to_string(k - a) + " 1.5 0.4 120 0.3";
         },
         "\n"},
        {"a NUL byte",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) { l[a][3] = '\0'; }, "\n"},
        {"a magnitude past any double",
         [](std::vector<std::string>& l, std::size_t a, std::size_t) {
             l[a] = "5000000 7000 0 1 0 1 0 1 0";
         },
         "\n"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines = records;
        c.change(lines, at, mid);
        std::string text = "! large\n# MHz S DB R 50\n";
        for (const std::string& l : lines)
            text.append(l).append(c.eol);
        const std::string path = dir.Write("large.s2p", text);
        const Outcome alone = LoadWith(path, 1);
        const Outcome split = LoadWith(path, 2);
        EXPECT_EQ(split.rc, alone.rc);
        EXPECT_EQ(split.messages, alone.messages);
        if (alone.rc != 0)
            continue;  // what a failed load leaves is nobody's
        ASSERT_EQ(split.freqs, alone.freqs);
        ASSERT_EQ(split.values.size(), alone.values.size());
        EXPECT_EQ(std::memcmp(split.values.data(), alone.values.data(),
                              split.values.size() * sizeof(CComplex)),
                  0);
        if (std::string(c.name) == "plain") {
            EXPECT_EQ(split.freqs.size(), records.size());
        }
    }
}

}  // namespace
