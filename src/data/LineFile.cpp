#include "data/LineFile.h"

#include "data/LineFileDetail.h"

#include "platform/AsciiText.h"
#include "platform/LargeBlock.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>

bool quietFileErrors = false;

void LineFileDetail::Report(const char* phrase, const std::string& path)
{
    if (!quietFileErrors)
        ShowMessageBox(phrase + EscapeName(path));
}

namespace {

using LineFileDetail::FilePtr;
using LineFileDetail::Report;

constexpr std::size_t npos = std::string_view::npos;

const char* const TOO_LARGE = "File too large to read (over 1 GiB): ";

// Why a file of this kind is not read, or nullptr when it may be. A device such as
// /dev/zero never ends, and opening a FIFO waits for a writer.
const char* Refusal(const struct stat& st)
{
    if (S_ISDIR(st.st_mode))
        return "Problem reading file: ";
    if (!S_ISREG(st.st_mode))
        return "Not a regular file (a device, FIFO or socket): ";
    if (static_cast<std::uintmax_t>(st.st_size) > MAX_READ_BYTES)
        return TOO_LARGE;
    return nullptr;
}

// Opens a file for reading, with the checks every read makes; 0, or 101 or 102 with the
// message shown.
int OpenForReading(const std::string& path, FilePtr& file, struct stat& st)
{
    // Look before opening, so that a device or FIFO is never opened at all.
    if (stat(path.c_str(), &st) == 0) {
        if (const char* why = Refusal(st)) {
            Report(why, path);
            return FILE_READ_ERROR;
        }
    }
    // Non-blocking, in case the name has become a FIFO since: checked again below.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Report("Cannot open file for reading: ", path);
        return FILE_CANNOT_OPEN;
    }
    const char* why = fstat(fd, &st) == 0 ? Refusal(st) : "Problem reading file: ";
    const int flags = fcntl(fd, F_GETFL);
    if (!why && (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0))
        why = "Problem reading file: ";
    file.reset(why ? nullptr : fdopen(fd, "rb"));
    if (!file) {
        close(fd);
        Report(why ? why : "Problem reading file: ", path);
        return FILE_READ_ERROR;
    }
    return FILE_OK;
}

}  // namespace

void SplitLines(std::string_view text, LineViews& lines)
{
    lines.reserve(lines.size()
                  + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    CLineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(line))
        lines.emplace_back(line);
}

namespace {

// Bytes read at a time: small enough to stay in the cache while the lines are read.
constexpr std::size_t PIECE = std::size_t(256) << 10;

const char* const UTF16 = "File is UTF-16 text, not ASCII or UTF-8: ";
const char* const NUL_BYTES = "File holds NUL bytes (UTF-16 or binary data), not text: ";
const char* const READ_PROBLEM = "Problem reading file: ";

// Gives back a buffer of AllocateBlock.
struct BlockRelease {
    std::size_t bytes = 0;
    void operator()(char* block) const noexcept { FreeBlock(block, bytes); }
};

}  // namespace

// Two buffers in turn: a piece is read into the one that does not hold the line last
// handed out, so that line stays valid.
struct CLineCursor::Feed {
    struct Buffer {
        std::unique_ptr<char[], BlockRelease> data;
        std::size_t capacity = 0;

        // A buffer of at least bytes holding the first keep bytes of from; throws
        // std::bad_alloc.
        void Grow(std::size_t bytes, const char* from, std::size_t keep)
        {
            std::unique_ptr<char[], BlockRelease> bigger(static_cast<char*>(AllocateBlock(bytes)),
                                                         BlockRelease{bytes});
            std::copy_n(from, keep, bigger.get());
            data = std::move(bigger);
            capacity = bytes;
        }
    };
    FilePtr file;
    std::string path;
    Buffer buffers[2];
    int current = 0;
    std::uintmax_t total = 0;  // bytes read
    std::uintmax_t end = 0;    // where the bytes the lines get end in the file
    bool ended = false;        // no more lines come (the end of the file, or a fault)
    bool done = false;         // nothing more is read
    // Faults, in the order of precedence in which ReadText reports them.
    bool tooLarge = false;
    bool readError = false;
    bool utf16 = false;
    bool nul = false;
    bool cancelled = false;  // the one waiting asked the read to stop

    // Reads a piece after keep bytes of buffer b; how many bytes the lines get.
    std::size_t ReadPiece(Buffer& b, std::size_t keep)
    {
        std::size_t n = std::fread(b.data.get() + keep, 1, PIECE, file.get());
        total += n;
        if (total > MAX_READ_BYTES) {
            tooLarge = true;  // it grew while being read
            ended = done = true;
            return 0;
        }
        if (n < PIECE) {
            readError = std::ferror(file.get()) != 0;
            ended = done = true;
        }
        // UTF-16 without a mark: every ASCII character comes with a NUL byte. The check
        // is made while the piece is in the cache; the lines stop before it.
        if (!nul) {
            if (const void* zero = std::memchr(b.data.get() + keep, '\0', n)) {
                nul = true;
                ended = true;
                n = static_cast<std::size_t>(static_cast<const char*>(zero)
                                             - (b.data.get() + keep));
            }
            end += n;
        } else {
            n = 0;
        }
        return n;
    }
};

CLineCursor::CLineCursor() = default;

CLineCursor::CLineCursor(std::string_view text) : rest(text), size(text.size())
{
    Advance();
}
CLineCursor::~CLineCursor() = default;

bool CLineCursor::Refill()
{
    Feed& f = *feed;
    if (f.ended)
        return false;
    const std::size_t keep = rest.size();
    // Once this line has been handed out, its buffer is not touched until the next.
    const int target = refilled ? f.current : 1 - f.current;
    Feed::Buffer& b = f.buffers[target];
    try {
        if (b.capacity < keep + PIECE) {
            // Room for a piece and a line's start from the first, so that the buffer need
            // not grow with the second piece; a file of a megabyte and more reads into a
            // large block, whose pages come at a single fault.
            const std::size_t first = size >= LARGE_BLOCK_BYTES ? LARGE_BLOCK_BYTES : 2 * PIECE;
            b.Grow(std::max({keep + PIECE, first, 2 * b.capacity}), rest.data(), keep);
        } else if (keep > 0) {
            std::memmove(b.data.get(), rest.data(), keep);
        }
    } catch (const std::bad_alloc&) {
        f.readError = true;  // a line larger than memory
        f.ended = f.done = true;
        return false;
    }
    f.current = target;
    refilled = true;
    const std::size_t n = f.ReadPiece(b, keep);
    rest = std::string_view(b.data.get(), keep + n);
    if (!ReportProgress(f.end, size)) {
        // No more lines, not even the part in hand: Finish says why.
        f.cancelled = true;
        f.ended = f.done = true;
        rest = {};
        return false;
    }
    return n > 0;
}

namespace {

// Where the first line of text ends (stop) and how many bytes its line end takes (skip): a
// line feed, a carriage return and line feed, or a carriage return alone, as old Mac
// programs end lines. False when text holds no line end, or only a carriage return as its
// last byte, which a line feed may follow in the next piece.
bool FindLineEnd(std::string_view text, std::size_t& stop, std::size_t& skip)
{
    if (text.empty())  // an empty view may have no data pointer, which memchr must not see
        return false;
    const char* data = text.data();
    const void* lf = std::memchr(data, '\n', text.size());
    const std::size_t feed =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : npos;
    const void* cr = std::memchr(data, '\r', lf ? feed : text.size());
    if (cr) {
        stop = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        if (stop + 1 == feed) {
            skip = 2;
            return true;
        }
        skip = 1;
        return stop + 1 < text.size();
    }
    if (!lf)
        return false;
    stop = feed;
    skip = 1;
    return true;
}

}  // namespace

void CLineCursor::Advance()
{
    for (;;) {
        std::size_t stop = 0;
        std::size_t skip = 0;
        if (!FindLineEnd(rest, stop, skip)) {
            if (feed && Refill())
                continue;
            if (rest.empty())
                break;
            stop = rest.size();  // the last line, without a line end
            skip = 0;
        }
        const std::string_view line = TrimView(rest.substr(0, stop));
        const std::uintmax_t start = BytesRead() - rest.size();
        rest.remove_prefix(stop + skip);
        ++linesPassed;
        if (!line.empty()) {
            next = line;
            nextNumber = linesPassed;
            nextOffset = start;
            return;
        }
    }
    next = {};
}

int CLineCursor::Open(const std::string& path, std::string_view& head)
{
    head = {};
    rest = next = {};
    linesPassed = nextNumber = number = 0;
    feed = std::make_unique<Feed>();
    feed->path = path;
    struct stat st {};
    if (const int rc = OpenForReading(path, feed->file, st)) {
        feed.reset();
        return rc;
    }
    size = static_cast<std::size_t>(st.st_size);
    Refill();
    refilled = false;
    // UTF-8 is read as bytes; only its byte-order mark would spoil the first line.
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);
    if (rest.substr(0, 2) == "\xFF\xFE" || rest.substr(0, 2) == "\xFE\xFF") {
        feed->utf16 = true;
        return Finish();
    }
    if (feed->ended && (feed->tooLarge || feed->readError || feed->nul || feed->cancelled))
        return Finish();
    head = feed->ended ? rest : rest.substr(0, rest.find_last_of("\r\n") + 1);
    Advance();
    return FILE_OK;
}

bool CLineCursor::OpenTail(const CLineCursor& main, std::uintmax_t from)
{
    rest = next = {};
    linesPassed = nextNumber = number = 0;
    feed.reset();
    if (!main.feed || !main.feed->file || from == 0)
        return false;
    // The same file again, with an offset of its own, even if its name has gone since.
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(main.feed->file.get()));
    const int fd = open(self.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    auto tail = std::make_unique<Feed>();
    tail->path = main.feed->path;
    tail->file.reset(fdopen(fd, "rb"));
    if (!tail->file) {
        close(fd);
        return false;
    }
    // From the byte before, so that a line starting at from itself is kept.
    if (fseeko(tail->file.get(), static_cast<off_t>(from - 1), SEEK_SET) != 0)
        return false;
    tail->total = tail->end = from - 1;
    feed = std::move(tail);
    size = main.size;
    Refill();
    refilled = false;
    const std::size_t lf = rest.find('\n');
    if (lf == std::string_view::npos) {
        feed.reset();  // a line longer than a piece: not worth it
        rest = {};
        return false;
    }
    rest.remove_prefix(lf + 1);
    Advance();
    return true;
}

bool CLineCursor::SkipTo(std::uintmax_t to, std::size_t lines)
{
    if (!feed || feed->ended || feed->done
        || fseeko(feed->file.get(), static_cast<off_t>(to), SEEK_SET) != 0)
        return false;
    feed->total = feed->end = to;
    rest = next = {};
    refilled = false;
    linesPassed = lines;
    Advance();
    return true;
}

std::uintmax_t CLineCursor::BytesRead() const
{
    return feed ? feed->end : size;
}

bool CLineCursor::Faulted() const
{
    return feed && (feed->tooLarge || feed->readError || feed->utf16 || feed->nul);
}

int CLineCursor::Finish()
{
    if (!feed)
        return FILE_OK;
    Feed& f = *feed;
    rest = next = {};
    Feed::Buffer& b = f.buffers[f.current];
    if (b.capacity < PIECE) {
        try {
            b.Grow(PIECE, nullptr, 0);
        } catch (const std::bad_alloc&) {
            f.readError = f.done = true;
        }
    }
    while (!f.done)
        f.ReadPiece(b, 0);
    f.ended = true;
    if (f.cancelled)
        return FILE_CANCELLED;
    const char* why = f.tooLarge ? TOO_LARGE
        : f.readError            ? READ_PROBLEM
        : f.utf16                ? UTF16
        : f.nul                  ? NUL_BYTES
                                 : nullptr;
    f.tooLarge = f.readError = f.utf16 = f.nul = false;  // told once
    if (!why)
        return FILE_OK;
    Report(why, f.path);
    return FILE_READ_ERROR;
}

namespace {

// Reads the whole file into text; 0, or 101 or 102 with the message shown. A read error
// after the open is only flagged in failed (text keeps what was read), for the caller to
// report as it sees fit.
int ReadRaw(const std::string& path, std::string& text, bool& failed)
{
    failed = false;
    struct stat st {};
    FilePtr file;
    if (const int rc = OpenForReading(path, file, st))
        return rc;
    text.clear();
    try {
        if (st.st_size > 0)
            text.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[1 << 16];
        for (;;) {
            const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
            text.append(buffer, n);
            if (n < sizeof buffer)
                break;
            if (text.size() > MAX_READ_BYTES) {
                text.clear();
                Report(TOO_LARGE, path);  // it grew while being read
                return FILE_READ_ERROR;
            }
        }
        failed = std::ferror(file.get()) != 0;
    } catch (const std::bad_alloc&) {
        text.clear();  // a file larger than memory is a read error, not a crash
        failed = true;
    } catch (const std::length_error&) {
        text.clear();
        failed = true;
    }
    return FILE_OK;
}

}  // namespace

int ReadBytes(const std::string& path, std::string& text)
{
    bool failed = false;
    if (const int rc = ReadRaw(path, text, failed))
        return rc;
    if (failed) {
        Report(READ_PROBLEM, path);
        return FILE_READ_ERROR;
    }
    return FILE_OK;
}

int ReadText(const std::string& path, std::string& text, std::string_view& body)
{
    body = {};
    bool failed = false;
    if (const int rc = ReadRaw(path, text, failed))
        return rc;
    std::string_view all(text);
    if (failed) {
        // Keep only the lines that were read whole before the error.
        const std::size_t lastEnd = all.find_last_of("\r\n");
        body = all.substr(0, lastEnd == npos ? 0 : lastEnd);
        Report(READ_PROBLEM, path);
        return FILE_READ_ERROR;
    }
    // UTF-8 is read as bytes; only its byte-order mark would spoil the first line.
    if (all.substr(0, 3) == "\xEF\xBB\xBF")
        all.remove_prefix(3);
    if (all.substr(0, 2) == "\xFF\xFE" || all.substr(0, 2) == "\xFE\xFF") {
        Report(UTF16, path);
        return FILE_READ_ERROR;
    }
    // UTF-16 without a mark: every ASCII character comes with a NUL byte.
    const std::size_t nul = all.find('\0');
    if (nul != npos) {
        const std::size_t lastEnd = all.find_last_of("\r\n", nul);
        body = all.substr(0, lastEnd == npos ? 0 : lastEnd);
        Report(NUL_BYTES, path);
        return FILE_READ_ERROR;
    }
    body = all;
    return FILE_OK;
}

int ReadLineViews(const std::string& path, std::string& text, LineViews& lines)
{
    std::string_view body;
    const int rc = ReadText(path, text, body);
    if (rc == FILE_CANNOT_OPEN)
        return rc;
    lines.clear();
    try {
        SplitLines(body, lines);
    } catch (const std::bad_alloc&) {
        lines.clear();
        Report("Problem reading file: ", path);
        return FILE_READ_ERROR;
    }
    return rc;
}

int ReadLines(const std::string& path, LineList& lines)
{
    std::string text;
    LineViews views;
    const int rc = ReadLineViews(path, text, views);
    if (rc == FILE_CANNOT_OPEN)
        return rc;
    lines.clear();
    try {
        lines.reserve(views.size());
        for (const std::string_view line : views)
            lines.emplace_back(line);
    } catch (const std::bad_alloc&) {
        lines.clear();
        Report("Problem reading file: ", path);
        return FILE_READ_ERROR;
    }
    return rc;
}
