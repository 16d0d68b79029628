#include "data/LineFile.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
            SCOPED_TRACE(std::to_string(before)
                         + (end[0] == '\r' ? (end[1] ? " CR LF" : " CR") : " LF"));
            const std::string text =
                std::string(before, 'x') + end + "y\r\r\nz\n\r" + std::string(piece, 'w') + "\r";
            const std::string path = dir.Write("lines.txt", text);
            CLineCursor file;
            std::string_view head;
            ASSERT_EQ(file.Open(path, head), FILE_OK);
            CLineCursor inMemory(text);
            std::vector<std::pair<std::string, std::size_t>> fromFile, fromText;
            for (std::string_view line; file.Next(line);)
                fromFile.emplace_back(std::string(line.substr(0, 3)) + std::to_string(line.size()),
                                      file.LineNumber());
            for (std::string_view line; inMemory.Next(line);)
                fromText.emplace_back(std::string(line.substr(0, 3)) + std::to_string(line.size()),
                                      inMemory.LineNumber());
            EXPECT_EQ(file.Finish(), FILE_OK);
            const std::vector<std::pair<std::string, std::size_t>> expected = {
                {"xxx" + std::to_string(before), 1},
                {"y1", 2},
                {"z1", 4},
                {"www" + std::to_string(piece), 6}};
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
        {large, "File too large to read (over 1 GiB): "},
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

TEST(WriteLinesAtomic, NeverReplacesWhatIsNoRegularFile)
{
    // A FIFO, a folder, a link to either or to nothing: refused with a message, left in place.
    TempDir dir;
    const std::string fifo = dir.Path("fifo.s2p");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.Path("folder.s2p");
    std::filesystem::create_directory(folder);
    const std::string toFifo = dir.Path("to-fifo.s2p");
    std::filesystem::create_symlink(fifo, toFifo);
    const std::string dangling = dir.Path("dangling.s2p");
    std::filesystem::create_symlink(dir.Path("gone.s2p"), dangling);
    for (const std::string& path : {fifo, folder, toFifo, dangling}) {
        SCOPED_TRACE(path);
        CRecordingMessageSink sink;
        EXPECT_EQ(WriteLinesAtomic(path, {"data"}), FILE_CANNOT_OPEN);
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_NE(sink.texts[0].find("nothing written"), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_symlink(toFifo));
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("gone.s2p")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              4);  // no temporary file left
}

}  // namespace
