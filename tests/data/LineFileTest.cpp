#include "data/LineFile.h"
#include "platform/NumberFormat.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(ReadLines, TrimsAndDropsBlankLinesWithEitherLineEnd)
{
    TempDir dir;
    LineList lines;
    ASSERT_EQ(ReadLines(dir.Write("crlf.txt", " a \r\n\r\n   \r\nb\r\n"), lines), 0);
    EXPECT_EQ(lines, (LineList{"a", "b"}));
    ASSERT_EQ(ReadLines(dir.Write("lf.txt", "\ta\t\n\nb"), lines), 0);
    EXPECT_EQ(lines, (LineList{"a", "b"}));  // last line without a line end counts
}

TEST(LineCursor, AFileReadsAsItsTextWhateverTheLineEnds)
{
    // Line ends of every kind, one of them split across the pieces the file is read in.
    TempDir dir;
    constexpr std::size_t piece = std::size_t(256) << 10;
    for (const char* end : {"\r\n", "\r", "\n"}) {
        for (std::size_t before : {piece - 2, piece - 1, piece}) {
            SCOPED_TRACE(std::to_string(before) + (end[0] == '\r' ? (end[1] ? " CR LF" : " CR") : " LF"));
            const std::string text = std::string(before, 'x') + end + "y\r\r\nz\n\r" + std::string(piece, 'w') + "\r";
            const std::string path = dir.Write("lines.txt", text);
            CLineCursor file;
            std::string_view head;
            ASSERT_EQ(file.Open(path, head), FILE_OK);
            CLineCursor inMemory(text);
            std::vector<std::pair<std::string, std::size_t>> fromFile, fromText;
            for (std::string_view line; file.Next(line);)
                fromFile.emplace_back(std::string(line.substr(0, 3)) + std::to_string(line.size()), file.LineNumber());
            for (std::string_view line; inMemory.Next(line);)
                fromText.emplace_back(std::string(line.substr(0, 3)) + std::to_string(line.size()),
                                      inMemory.LineNumber());
            EXPECT_EQ(file.Finish(), FILE_OK);
            const std::vector<std::pair<std::string, std::size_t>> expected = {
                {"xxx" + std::to_string(before), 1}, {"y1", 2}, {"z1", 4}, {"www" + std::to_string(piece), 6}};
            EXPECT_EQ(fromText, expected);
            EXPECT_EQ(fromFile, expected);
        }
    }
    LineList lines;
    ASSERT_EQ(ReadLines(dir.Write("mac.txt", "a\rb\r\rc"), lines), FILE_OK);
    EXPECT_EQ(lines, (LineList{"a", "b", "c"}));
}

TEST(ReadLines, EmptyFileGivesEmptyList)
{
    TempDir dir;
    LineList lines{"old"};
    EXPECT_EQ(ReadLines(dir.Write("empty.txt", ""), lines), 0);
    EXPECT_TRUE(lines.empty());
}

TEST(ReadLines, MissingFileShowsMessageAndKeepsList)
{
    TempDir dir;
    CRecordingMessageSink sink;
    LineList lines{"kept"};
    const std::string path = dir.Path("missing.txt");
    EXPECT_EQ(ReadLines(path, lines), 101);
    EXPECT_EQ(lines, LineList{"kept"});
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Cannot open file for reading: " + path);
}

TEST(ReadLines, DirectoryIsAReadError)
{
    TempDir dir;
    CRecordingMessageSink sink;
    LineList lines;
    const std::string path = dir.Root().string();
    EXPECT_EQ(ReadLines(path, lines), 102);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Problem reading file: " + path);
}

TEST(ReadLines, RefusesWhatIsNoRegularFileOrTooLarge)
{
    TempDir dir;
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = dir.Path("large.s2p");
    {
        // Sparse: one byte over the limit without writing it.
        std::ofstream(large, std::ios::binary).put('x');
        std::filesystem::resize_file(large, MAX_READ_BYTES + 1);
    }
    struct Case {
        std::string path;
        const char* phrase;
    };
    std::vector<Case> cases = {
        {fifo, "Not a regular file (a device, FIFO or socket): "},  // must not wait for a writer
        {large, "File too large to read (over 256 MB): "},
    };
    struct stat st {};
    if (stat("/dev/zero", &st) == 0)
        cases.push_back({"/dev/zero", "Not a regular file (a device, FIFO or socket): "});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CRecordingMessageSink sink;
        LineList lines{"old"};
        EXPECT_EQ(ReadLines(c.path, lines), 102);
        EXPECT_TRUE(lines.empty());
        EXPECT_EQ(sink.texts, std::vector<std::string>{c.phrase + c.path});
    }
}

TEST(ReadLines, QuietFileErrorsSuppressesTheMessage)
{
    TempDir dir;
    CRecordingMessageSink sink;
    LineList lines;
    quietFileErrors = true;
    EXPECT_EQ(ReadLines(dir.Path("missing"), lines), 101);
    quietFileErrors = false;
    EXPECT_TRUE(sink.texts.empty());
}

TEST(WriteLines, AppendKeepsAndReplaceTruncates)
{
    TempDir dir;
    const std::string path = dir.Path("out.txt");
    ASSERT_EQ(WriteLines(path, {"one", "two"}, false), 0);
    ASSERT_EQ(WriteLines(path, {"three"}, true), 0);
    EXPECT_EQ(TempDir::Read(path), "one\ntwo\nthree\n");
    ASSERT_EQ(WriteLines(path, {"new"}, false), 0);
    EXPECT_EQ(TempDir::Read(path), "new\n");
}

TEST(WriteLines, UnwritablePlaceShowsMessage)
{
    TempDir dir;
    CRecordingMessageSink sink;
    const std::string path = dir.Path("no/such/folder/out.txt");
    EXPECT_EQ(WriteLines(path, {"x"}, false), 101);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Cannot open file for writing: " + path);
}

TEST(WriteLines, FullDiskIsAWriteError)
{
    struct stat st {};
    if (stat("/dev/full", &st) != 0)
        GTEST_SKIP() << "no /dev/full here";
    CRecordingMessageSink sink;
    EXPECT_EQ(WriteLines("/dev/full", {"x"}, false), 103);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Problem writing file: /dev/full");
}

// Each row: the source, the delimiter, and the tokens expected until the source is empty.
struct TokenCase {
    const char* source;
    char delimiter;
    std::vector<std::string> tokens;
};

TEST(NextToken, FallbackRulesAndTrimming)
{
    const TokenCase cases[] = {
        {"1.5 2.5  3.5", ' ', {"1.5", "2.5", "3.5"}},
        {"1,2,3", ' ', {"1", "2", "3"}},
        {"1,2 3", ' ', {"1,2", "3"}},         // a blank occurs: no comma is looked for
        {"1,,2", ' ', {"1", "", "2"}},
        {"word", ' ', {"word"}},
        {"1.5 2.5,3", ',', {"1.5 2.5", "3"}},  // blanks never separate with a comma delimiter
        {"1\t2\t3", ',', {"1", "2", "3"}},     // a tab separates when there is no comma
        {"1\t2,3", ',', {"1\t2", "3"}},
        {"  a ,  b  ", ',', {"a", "b"}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.source);
        std::string source = c.source;
        std::vector<std::string> got;
        while (!source.empty())
            got.push_back(NextToken(source, c.delimiter));
        EXPECT_EQ(got, c.tokens);
    }
}

TEST(NextToken, EmptySourceGivesEmptyToken)
{
    std::string source;
    EXPECT_EQ(NextToken(source, ' '), "");
    EXPECT_TRUE(source.empty());
    source = "1.5 2.5 3.5";
    NextToken(source, ' ');
    NextToken(source, ' ');
    NextToken(source, ' ');
    EXPECT_EQ(NextToken(source, ' '), "");
}

TEST(NextToken, RestIsNotTrimmedUntilTheNextCall)
{
    std::string source = "a  b";
    EXPECT_EQ(NextToken(source, ' '), "a");
    EXPECT_EQ(source, " b");
}

TEST(NextNumber, ConvertsLikeAtofInTheCLocale)
{
    const std::pair<const char*, double> cases[] = {
        {"1.5", 1.5},   {"-2.25", -2.25}, {"+3", 3.0},     {"abc", 0.0},   {"1e3xyz", 1000.0},
        {"1,2", 1.0},   {".5", 0.5},      {"5.", 5.0},     {"1e", 1.0},    {"1e+", 1.0},
        {"-", 0.0},     {"1.5E-3", 0.0015}, {"0x10", 0.0}, {"nan", 0.0},   {"-nan", 0.0},
        {"inf", 0.0},   {"1e-999", 0.0},  {"", 0.0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        std::string source = text;
        EXPECT_DOUBLE_EQ(NextNumber(source, ' '), expected);
    }
    std::string huge = "1e999";
    EXPECT_TRUE(std::isinf(NextNumber(huge, ' ')));
    std::string hugeNegative = "-1e999";
    EXPECT_LT(NextNumber(hugeNegative, ' '), 0.0);
}

TEST(ParseInt, ReadsLikeAtoi)
{
    EXPECT_EQ(ParseInt("12.5"), 12);
    EXPECT_EQ(ParseInt("1e+06"), 1);
    EXPECT_EQ(ParseInt(" -45.7"), -45);
    EXPECT_EQ(ParseInt("abc"), 0);
    EXPECT_EQ(ParseInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseInt("-99999999999999999999"), -2147483647 - 1);
}

TEST(FormatNumber, GeneralFormatLengthAndWidth)
{
    EXPECT_EQ(FormatNumber(0.5, -1, -1, -1, -1), "0.5");
    EXPECT_EQ(FormatNumber(100, -1, -1, -1, -1), "100");
    EXPECT_EQ(FormatNumber(1234567, -1, -1, -1, -1), "1.23457e+06");
    EXPECT_EQ(FormatNumber(0.00001, -1, -1, -1, -1), "1e-05");
    EXPECT_EQ(FormatNumber(1234567, -1, -1, 4, -1), "1.23");
    EXPECT_EQ(FormatNumber(0.5, -1, -1, -1, 5), "0.5  ");
    EXPECT_EQ(FormatNumber(123.456, -1, -1, -1, 3), "123");
}

// A Qt program takes the locale from the environment; files must not follow it.
TEST(Locale, NumbersKeepTheDecimalPointUnderAGermanLocale)
{
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    const char* set = nullptr;
    for (const char* name : names)
        if ((set = std::setlocale(LC_ALL, name)) != nullptr)
            break;
    if (!set)
        GTEST_SKIP() << "no German locale installed";
    std::string source = "1.5 2,5";
    const double first = NextNumber(source, ' ');
    const std::string formatted = FormatNumber(1.5, -1, -1, -1, -1);
    std::setlocale(LC_ALL, "C");
    EXPECT_DOUBLE_EQ(first, 1.5);
    EXPECT_EQ(formatted, "1.5");
}

TEST(Tokenizer, ManyCommaTokensOnOneLine)
{
    // The separator positions are remembered between tokens; each must still be right.
    std::string line;
    for (int i = 0; i < 10000; ++i)
        line += "1,";
    CTokenizer tokens(line, ' ');
    long count = 0;
    double sum = 0;
    while (!tokens.Empty()) {
        sum += tokens.NextNumber();
        ++count;
    }
    EXPECT_EQ(count, 10000);
    EXPECT_DOUBLE_EQ(sum, 10000.0);
}

TEST(NumberReader, ReadsWhatTheWordTokenizerReads)
{
    // Random lines of number characters, separators and stray letters, compared number
    // by number (to the bit) with cutting words and converting each.
    const std::string alphabet = "0123456789.eE+-  \t,,\v\rx";
    unsigned seed = 12345;
    const auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    std::vector<std::string> lines = {"", " ", "1,2 3", "1 2,3", "1, ,2", "1,,2", "-.5e-3\t+2",
                                      "1e999 -1e-999", "- 5", "inf nan 0x10", "1\v2 3", "1 ,"};
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        const unsigned length = next() % 24;
        for (unsigned k = 0; k < length; ++k)
            line += alphabet[next() % alphabet.size()];
        lines.push_back(line);
    }
    for (const std::string& line : lines) {
        CTokenizer words = CTokenizer::Words(line);
        CNumberReader numbers(line);
        while (!words.Empty()) {
            ASSERT_FALSE(numbers.Empty()) << '"' << line << '"';
            const double expected = words.NextNumber();
            const double got = numbers.Next();
            ASSERT_EQ(std::signbit(expected), std::signbit(got)) << '"' << line << '"';
            ASSERT_TRUE(expected == got || (std::isnan(expected) && std::isnan(got)))
                << '"' << line << "\": " << expected << " != " << got;
        }
        EXPECT_TRUE(numbers.Empty()) << '"' << line << '"';
    }
}

}  // namespace

namespace {

TEST(WriteLinesAtomic, ReplacesWholeOrNotAtAll)
{
    TempDir dir;
    const std::string path = dir.Write("settings.ini", "old\n");
    ASSERT_EQ(WriteLinesAtomic(path, {"a", "b"}), 0);
    EXPECT_EQ(TempDir::Read(path), "a\nb\n");
    // Nothing else is left in the folder.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Root())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);

    CRecordingMessageSink sink;
    const std::string missing = dir.Path("nofolder/x.ini");
    EXPECT_EQ(WriteLinesAtomic(missing, {"a"}), 101);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Cannot open file for writing: " + missing});
}

TEST(WriteLinesAtomic, ReadOnlyFolderKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const std::string path = dir.Write("m.txt", "keep\n");
    chmod(dir.Root().c_str(), 0500);
    CRecordingMessageSink sink;
    EXPECT_NE(WriteLinesAtomic(path, {"new"}), 0);
    chmod(dir.Root().c_str(), 0700);
    EXPECT_EQ(TempDir::Read(path), "keep\n");
}

}  // namespace

namespace {

// A format that would read a missing argument or write through one is never used as given.
TEST(FormatValue, UnsafeFormatsFallBackToGeneral)
{
    EXPECT_EQ(FormatValue("%.2f MHz", 2.5), "2.50 MHz");
    EXPECT_EQ(FormatValue("%s", 2.5), "2.5");
    EXPECT_EQ(FormatValue("%n", 2.5), "2.5");
    EXPECT_EQ(FormatValue("%*g", 2.5), "2.5");
    EXPECT_EQ(FormatValue("%g %g", 2.5), "2.5");
    EXPECT_EQ(FormatValue("100%% %.1f", 2.5), "100% 2.5");
}

}  // namespace

namespace {

TEST(WriteLinesAtomic, KeepsPermissionsAndWritesThroughLinks)
{
    TempDir dir;
    const std::string real = dir.Write("real.txt", "old\n");
    chmod(real.c_str(), 0640);
    const std::string link = dir.Path("link.txt");
    std::filesystem::create_symlink(real, link);
    ASSERT_EQ(WriteLinesAtomic(link, {"new"}), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempDir::Read(real), "new\n");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
