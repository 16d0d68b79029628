// Line-oriented text files: streaming reads, atomic writes and the regular-file checks of
// every read. The tokens and numbers of their lines are LineText's (included for the readers).
#pragma once

#include "data/LineText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Result codes of the file operations (0 is success).
constexpr int FILE_OK = 0;
constexpr int FILE_CANNOT_OPEN = 101;
constexpr int FILE_READ_ERROR = 102;
constexpr int FILE_WRITE_ERROR = 103;
constexpr int FILE_WRITE_ABANDONED = 104;  // the writer gave up (WriteChunksAtomic)
constexpr int FILE_CANCELLED = 105;        // the read was stopped on request, without a word

// While set, ReadLines and WriteLines report failures by their result only.
extern bool quietFileErrors;

using LineList = std::vector<std::string>;
// Lines as views into the text of a file, which must outlive them.
using LineViews = std::vector<std::string_view>;

// The largest file ReadLines reads: room for the most records a reader keeps (a million
// 2-port records are under 100 MB), low enough to refuse a runaway file before reading it.
constexpr std::size_t MAX_READ_BYTES = std::size_t(1) << 30;

// Reads the file as trimmed, non-empty lines; 0, 101 or 102. On a failed open the
// list keeps what it held. Only regular files of at most MAX_READ_BYTES are read;
// anything else is refused as a read error, with a message naming the cause. A UTF-8
// byte-order mark is skipped; UTF-16 text (a mark, or NUL bytes) is refused likewise.
int ReadLines(const std::string& path, LineList& lines);
// As ReadLines, with the lines as views into text, which receives the file: a large file
// is then held once, not once more as a string per line.
int ReadLineViews(const std::string& path, std::string& text, LineViews& lines);
// As ReadLines, the file as one text: body is the part of text that ReadLines would split
// into lines (after a read error, the lines read whole before it).
int ReadText(const std::string& path, std::string& text, std::string_view& body);
// The file's bytes as they are, with ReadLines' checks of the file but none of its text:
// for a reader that sorts good lines from bad ones itself. 0, 101 or 102; after a read
// error text holds what was read.
int ReadBytes(const std::string& path, std::string& text);

// The trimmed, non-empty lines of a text (what ReadLines keeps), one at a time: a reader
// then meets every byte while it is still in the cache, however large the file. A line
// ends at a line feed, a carriage return and line feed, or a carriage return alone.
class CLineCursor {
public:
    explicit CLineCursor(std::string_view text);
    // Reads a file a piece at a time (Open), so that it is never held whole. A line's view
    // then stays valid only until the next call of Next.
    CLineCursor();
    ~CLineCursor();
    CLineCursor(const CLineCursor&) = delete;
    CLineCursor& operator=(const CLineCursor&) = delete;

    // Opens the file with ReadText's checks and reads its first piece; 0, or ReadText's
    // code with its message shown. head is the whole lines of that piece (all of a small
    // file), valid until the first Next.
    int Open(const std::string& path, std::string_view& head);
    // Reads what remains of the file, unread; 0, or the code and message ReadText gives for
    // the file (a read error, NUL bytes, ...). The cursor is at its end afterwards. A text
    // cursor has nothing to read: 0.
    int Finish();
    // The size of the text, or of the file.
    std::size_t Size() const { return size; }

    bool AtEnd() const { return next.data() == nullptr; }
    // The next line without moving on; empty at the end.
    std::string_view Peek() const { return next; }
    // Moves on to the next line; false at the end.
    bool Next(std::string_view& line)
    {
        if (AtEnd())
            return false;
        line = next;
        number = nextNumber;
        offset = nextOffset;
        refilled = false;
        Advance();
        return true;
    }
    // The line number in the file (from 1, blank lines counted) of the line Next gave last.
    std::size_t LineNumber() const { return number; }
    // Where the line Next gave last starts in the file (or text), in bytes.
    std::uintmax_t LineOffset() const { return offset; }

    // A second cursor over the file of another (main), for a reader that reads a large
    // file's later part on another core: its lines are those that start at or after byte
    // from, numbered from 1 there. Nothing is shown; false when it cannot open.
    bool OpenTail(const CLineCursor& main, std::uintmax_t from);
    // Goes on with the line that starts at byte to of the file, after lines lines (blank
    // or not), as if the lines between had been read: they were, by a tail cursor. False,
    // with nothing changed, for a text cursor or one that has read to its end.
    bool SkipTo(std::uintmax_t to, std::size_t lines);
    // The bytes of the file read so far (where a tail cursor that is at its end ended).
    std::uintmax_t BytesRead() const;
    // Whether the reading stopped at a fault that Finish reports.
    bool Faulted() const;

private:
    struct Feed;
    void Advance();
    bool Refill();
    std::string_view rest;
    std::string_view next;
    std::size_t size = 0;
    bool refilled = false;        // the piece has been replaced since the last line was handed out
    std::size_t linesPassed = 0;  // lines, blank or not, up to and including next
    std::size_t nextNumber = 0;   // the line number of next
    std::size_t number = 0;       // the line number of the line last handed out
    std::uintmax_t nextOffset = 0;
    std::uintmax_t offset = 0;
    std::unique_ptr<Feed> feed;
};

// Writes each line followed by a line end; 0, 101 or 103.
int WriteLines(const std::string& path, const LineList& lines, bool append);

// As WriteLines without append, but through a temporary file in the same folder that
// replaces path only once it is complete: a failed write leaves the old file as it was.
int WriteLinesAtomic(const std::string& path, const LineList& lines);
// As WriteLinesAtomic, with text made a piece at a time, so that a file of a million records
// needs no buffer of its size: fill hands each piece to the function it is given (which says
// whether the write goes on) and returns false to give the file up, which then is not
// replaced and FILE_WRITE_ABANDONED returned (nothing shown for it).
using ChunkSink = std::function<bool(std::string_view)>;
using ChunkFill = std::function<bool(const ChunkSink&)>;
int WriteChunksAtomic(const std::string& path, const ChunkFill& fill);

// Splits text into trimmed, non-empty lines (what ReadLines keeps), at the line ends that
// CLineCursor knows.
void SplitLines(std::string_view text, LineViews& lines);
