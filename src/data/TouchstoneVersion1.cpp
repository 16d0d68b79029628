// Reading Touchstone version 1 files of any port count (a member of CS2pData): records
// of one line for 1 and 2 ports, of as many lines as they need for more.
#include "data/S2pData.h"

#include "data/PairConversion.h"
#include "data/TouchstoneText.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

using namespace TouchstoneText;

namespace {

const char* const INVALID = "Invalid Touchstone file: ";

// HFSS writes the ports' impedances after each record as "! Port Impedance" followed by
// a real and an imaginary part per port (or, in some versions, one real value per port).
// A list that is not all positive numbers is no impedance list and changes nothing.
void ReadPortImpedances(std::string_view line, int ports, std::vector<double>& impedances)
{
    if (!impedances.empty())
        return;
    std::string_view rest = TrimView(line.substr(1));
    if (!StartsWithNoCase(rest, "port impedance"))
        return;
    rest.remove_prefix(14);
    std::vector<double> numbers;
    CNumberReader tokens(rest);
    while (!tokens.Empty()) {
        numbers.push_back(tokens.Next());
        if (!tokens.Complete() || numbers.size() > 2 * static_cast<std::size_t>(ports))
            return;
    }
    const std::size_t n = static_cast<std::size_t>(ports);
    const std::size_t step = numbers.size() == 2 * n ? 2 : numbers.size() == n ? 1 : 0;
    if (step == 0)
        return;
    std::vector<double> real;
    for (std::size_t p = 0; p < n; ++p) {
        if (!(numbers[step * p] > 0))
            return;
        real.push_back(numbers[step * p]);
    }
    impedances = real;
}

// The numbers of version 1 records of n ports: 1 and 2 ports a record a line, more ports
// a record over as many lines as it needs, ending with a line.
class CVersion1Record {
public:
    CVersion1Record(CLineCursor& lines, int ports, std::vector<double>& portImpedances)
        : cursor(lines),
          n(ports),
          m(static_cast<std::size_t>(1 + 2 * ports * ports)),
          numbers(m),
          impedances(portImpedances),
          layout(std::to_string(ports) + "-port record")
    {
    }

    // Reads the record that starts at line into Numbers(); empty, or why it is refused.
    // lastFreq is the frequency of the record before (negative: none); noise is set
    // instead for the first line of a noise-parameter block.
    std::string Read(std::string_view line, double lastFreq, bool& noise);
    const std::vector<double>& Numbers() const { return numbers; }
    // The bytes of the record's lines.
    std::size_t Bytes() const { return bytes; }
    // The record's first line as messages name it (line is that line, if still at hand).
    std::string Start(std::string_view line) const
    {
        return LineRef(first, continued ? std::string_view(startText) : line);
    }

private:
    // Takes the numbers of a line up to m in all; false at a word that is no number.
    bool Take(CNumberReader& tokens)
    {
        while (count < m && !tokens.Empty()) {
            const double v = tokens.Next();
            if (!tokens.Complete())
                return false;
            numbers[count++] = v;
        }
        return true;
    }
    std::string Continue();

    CLineCursor& cursor;
    const int n;
    const std::size_t m;
    std::vector<double> numbers;
    std::vector<double>& impedances;
    const std::string layout;
    std::size_t count = 0;
    std::size_t bytes = 0;
    std::size_t first = 0;   // the line number of the record's first line
    bool continued = false;  // that line is no longer at hand, but startText is
    std::string startText;   // the start of that line, kept for messages
};

std::string CVersion1Record::Read(std::string_view line, double lastFreq, bool& noise)
{
    first = cursor.LineNumber();
    bytes = line.size() + 1;
    count = 0;
    continued = false;
    noise = false;
    const auto where = [&]() { return LineRef(first, line) + ": "; };
    CNumberReader tokens(WithoutComment(line));
    if (!Take(tokens))
        return where() + BadNumber(tokens);
    if (numbers[0] < 0)
        return where() + "the frequency is negative";
    if (n <= 2) {
        // A noise-parameter block (five numbers a line, its frequency starting again at
        // or below the last network frequency) ends the network data.
        if (n == 2 && count == 5 && tokens.Empty() && lastFreq >= 0 && numbers[0] <= lastFreq) {
            noise = true;
            return std::string();
        }
        if (count < m || !tokens.Empty())
            return where() + (count < m ? std::to_string(count) : "more than " + std::to_string(m))
                + " numbers, where a " + layout + " has " + std::to_string(m) + " on one line";
        return std::string();
    }
    if (count == m && !tokens.Empty())
        return where() + "a " + layout + " of " + std::to_string(m)
            + " numbers ends inside this line";
    if (count == m)
        return std::string();
    // Lines hold whole pairs after the frequency: a record of another port count, cut
    // into lines, might otherwise fit by chance.
    if (count % 2 == 0)
        return where() + "a frequency and " + std::to_string(count - 1)
            + " numbers, not whole pairs, start a " + layout;
    // A copy of as much as a message quotes (40 characters of up to 4 bytes), into room
    // that the records share: the line goes when the cursor moves on.
    startText.assign(line.substr(0, 4 * 40 + 1));
    continued = true;
    return Continue();
}

std::string CVersion1Record::Continue()
{
    std::string_view last;
    while (count < m) {
        if (!cursor.Next(last))
            return Start({}) + ": the file ends inside the " + layout + " that starts there ("
                + std::to_string(count) + " of " + std::to_string(m) + " numbers)";
        bytes += last.size() + 1;
        const auto here = [&]() { return LineRef(cursor.LineNumber(), last) + ": "; };
        if (last[0] == '!') {
            ReadPortImpedances(last, n, impedances);
            continue;
        }
        if (last[0] == '#')
            return here() + "an option line inside the " + layout + " of line "
                + std::to_string(first);
        CNumberReader more(WithoutComment(last));
        const std::size_t before = count;
        if (!Take(more))
            return here() + BadNumber(more);
        if ((count - before) % 2 != 0)
            return here() + std::to_string(count - before)
                + " numbers, not whole pairs, inside the " + layout + " of line "
                + std::to_string(first);
        if (count == m && !more.Empty())
            return here() + "the " + layout + " of line " + std::to_string(first) + " ("
                + std::to_string(m) + " numbers) ends inside this line";
    }
    return std::string();
}

// The lines after a noise block's first: each five finite numbers from a frequency of 0
// on, comments aside; empty, or why not. Nothing after the network data goes unread.
std::string CheckNoiseLines(CLineCursor& cursor)
{
    std::string_view line;
    while (cursor.Next(line)) {
        if (line[0] == '!')
            continue;
        const std::string where = LineRef(cursor.LineNumber(), line) + ": ";
        if (line[0] == '#')
            return where + "an option line inside the noise parameters";
        const std::string why = NoiseLineFault(line);
        if (!why.empty())
            return where + why;
    }
    return std::string();
}

// The pairs of a record's numbers into out, as read, in the store's order (a 2-port file
// lists N21 before N12); 0, or the number (from 1) of the first pair that can give no
// finite value, then out is not filled.
int StorePairs(const std::vector<double>& numbers, int n, int format, CComplex* out)
{
    for (int k = 0; k < n * n; ++k) {
        const double a = numbers[static_cast<std::size_t>(1 + 2 * k)];
        const double b = numbers[static_cast<std::size_t>(2 + 2 * k)];
        if (!PairIsFinite(a, b, format))
            return k + 1;
        out[k] = CComplex(a, b);
    }
    if (n == 2)
        std::swap(out[1], out[2]);
    return 0;
}

// Files of this size on are read in two halves at once, when there are cores for it.
constexpr std::size_t SPLIT_BYTES = std::size_t(16) << 20;

// The later half of a large file of one-line records, read on another core while the
// reader reads the first. It takes plain records only and stops at the first line that
// is anything else (a comment, an option line, noise data, a fault): the reader reads
// that line and all after it itself, so every message stays the reader's.
class CVersion1Tail {
public:
    struct Result {
        // Huge pages where the system has them, as for the store: fresh small pages cost
        // more to fault in than the numbers take to read.
        std::vector<double, CLargeBlockAllocator<double>> freqs;
        std::vector<CComplex, CLargeBlockAllocator<CComplex>> pairs;  // as read, as stored
        std::uintmax_t stop = 0;    // the offset of the first line not taken
        std::size_t firstLine = 0;  // the tail's line numbers (from 1 at its start)
        std::size_t stopLine = 0;   //   of its first line and of that line (0: none)
        bool usable = false;
    };

    CVersion1Tail() = default;
    CVersion1Tail(const CVersion1Tail&) = delete;
    CVersion1Tail& operator=(const CVersion1Tail&) = delete;
    ~CVersion1Tail()
    {
        cancel = true;
        if (worker.joinable())
            worker.join();
    }

    // Starts on the lines from byte start on; false (and not Running) when it cannot.
    bool Start(const CLineCursor& main, std::uintmax_t start, int ports, int pairFormat,
               std::size_t recordBytes)
    {
        if (!lines.OpenTail(main, start))
            return false;
        from = start;
        n = ports;
        format = pairFormat;
        expected = static_cast<std::size_t>((main.Size() - start) / recordBytes + 1);
        try {
            worker = std::thread(&CVersion1Tail::Run, this);
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }
    bool Running() const { return worker.joinable(); }
    // Where the reader hands over: the first line that starts here or later is the tail's.
    std::uintmax_t From() const { return from; }
    Result Join()
    {
        worker.join();
        return std::move(result);
    }

private:
    void Run()
    {
        try {
            const std::size_t cells = static_cast<std::size_t>(n * n);
            result.freqs.reserve(std::min(expected, MAX_RECORDS));
            result.pairs.reserve(std::min(expected, MAX_RECORDS) * cells);
            std::vector<double> impedances;
            CVersion1Record record(lines, n, impedances);
            std::string_view line;
            double last = -1.0;
            while (lines.Next(line)) {
                if (result.firstLine == 0)
                    result.firstLine = lines.LineNumber();
                if (cancel.load(std::memory_order_relaxed) || result.freqs.size() >= MAX_RECORDS)
                    return;  // unusable: a file past the limit is the reader's alone
                if (!Take(record, line, last)) {
                    result.stop = lines.LineOffset();
                    result.stopLine = lines.LineNumber();
                    result.usable = true;
                    ConvertPairs(result.pairs.data(), result.pairs.size(), format);
                    return;
                }
            }
            result.stop = lines.BytesRead();
            result.usable = !lines.Faulted();
            ConvertPairs(result.pairs.data(), result.pairs.size(), format);
        } catch (const std::bad_alloc&) {
            result.usable = false;  // the reader reads it all itself
        }
    }
    // Stores the plain record of line; false for anything else.
    bool Take(CVersion1Record& record, std::string_view line, double& last)
    {
        if (line[0] == '!' || line[0] == '#')
            return false;
        bool noise = false;
        if (!record.Read(line, last, noise).empty() || noise)
            return false;
        const std::size_t size = result.pairs.size();
        result.pairs.resize(size + static_cast<std::size_t>(n * n));
        if (StorePairs(record.Numbers(), n, format, result.pairs.data() + size) != 0) {
            result.pairs.resize(size);
            return false;
        }
        last = record.Numbers()[0] + 0.0;
        result.freqs.push_back(last);
        return true;
    }

    CLineCursor lines;
    std::uintmax_t from = 0;
    int n = 2;
    int format = RI;
    std::size_t expected = 0;
    std::atomic<bool> cancel{false};
    Result result;
    std::thread worker;
};

}  // namespace

int CS2pData::ReadVersion1(CLineCursor& cursor, int portCount)
{
    const int n = portCount;
    StartRead(n);
    int format = MA;
    bool optionSeen = false;
    bool dataSeen = false;
    CVersion1Record record(cursor, n, refImpedances);
    // The pairs are stored as read and converted at the end, on every core.
    std::size_t converted = 0;  // values from the start that are complex already
    CVersion1Tail tail;
    // The tail's records follow the reader's at its start; the reader then goes on where
    // the tail stopped. False, with nothing changed, when they cannot be used.
    const auto takeTail = [&]() {
        // While the tail finishes, the reader converts its own pairs (on every core: the
        // tail may be done already) and the tail its.
        CPairConversion::ConvertAll(elements.data() + converted, elements.size() - converted,
                                    format);
        converted = elements.size();
        CVersion1Tail::Result part = tail.Join();
        if (!part.usable || part.freqs.empty() || RecordCount() + part.freqs.size() > MAX_RECORDS)
            return false;
        // The line in hand is the tail's first; the tail counted the blank lines before it.
        const std::size_t before = cursor.LineNumber() - part.firstLine;
        if (!cursor.SkipTo(part.stop, part.stopLine > 0 ? before + part.stopLine - 1 : 0))
            return false;
        freqs.insert(freqs.end(), part.freqs.begin(), part.freqs.end());
        elements.insert(elements.end(), part.pairs.begin(), part.pairs.end());
        converted = elements.size();
        return true;
    };

    // A file that streams in is only known to be whole text once read to its end: its
    // faults come before anything this reader has to say.
    const auto fail = [&cursor](const std::string& why) {
        if (const int rc = cursor.Finish())
            return rc;
        ShowMessageBox(INVALID + why + ".");
        return FILE_READ_ERROR;
    };
    std::string_view line;
    while (cursor.Next(line)) {
        if (tail.Running() && cursor.LineOffset() >= tail.From() && takeTail())
            continue;
        if (line[0] == '!') {
            if (!optionSeen && line != "! Freq")
                AddHeaderComment(line, cursor.Size());
            ReadPortImpedances(line, n, refImpedances);
            continue;
        }
        if (line[0] == '#') {
            const std::string where = LineRef(cursor.LineNumber(), line) + ": ";
            if (optionSeen || dataSeen)
                return fail(
                    where
                    + (optionSeen ? "a second option line" : "an option line after the data"));
            optionSeen = true;
            std::string why;
            if (!ParseOptionLine(line, format, why))
                return fail(where + why);
            continue;
        }
        dataSeen = true;
        bool noise = false;
        const std::string why = record.Read(line, RecordCount() > 0 ? freqs.back() : -1.0, noise);
        if (!why.empty())
            return fail(why);
        if (noise) {
            const std::string bad = CheckNoiseLines(cursor);
            if (!bad.empty())
                return fail(bad);
            break;
        }
        if (RecordCount() >= MAX_RECORDS) {
            if (const int rc = cursor.Finish())
                return rc;
            ShowMessageBox(TooManyRecordsMessage());
            break;
        }
        if (RecordCount() == 0) {
            // The first record tells how many bytes a record takes: room for all of them
            // at once, rather than a store that doubles as it grows.
            ReserveRecords(std::min(cursor.Size() / record.Bytes() + 1, MAX_RECORDS));
            // A large file of one-line records is read in two halves at once.
            const std::uintmax_t here = cursor.LineOffset() + line.size();
            if (n <= 2 && cursor.Size() >= SPLIT_BYTES && CPairConversion::Threads() >= 2
                && cursor.Size() > here)
                tail.Start(cursor, here + (cursor.Size() - here) / 2, n, format, record.Bytes());
        }
        const std::vector<double>& numbers = record.Numbers();
        AppendRecord(numbers[0] + 0.0);  // + 0.0: a frequency of -0 is 0
        if (const int bad = StorePairs(numbers, n, format, Matrix(RecordCount() - 1)))
            return fail(record.Start(line) + ": "
                        + PairOutOfRange(numbers[static_cast<std::size_t>(2 * bad - 1)],
                                         numbers[static_cast<std::size_t>(2 * bad)], bad));
    }

    if (const int rc = cursor.Finish())
        return rc;
    FitHeaderComments();
    if (RecordCount() < MIN_RECORDS) {
        ShowMessageBox("File must contain at least 3 frequency data.");
        return FILE_CANNOT_OPEN;
    }
    if (refImpedances.empty())
        refImpedances.assign(static_cast<std::size_t>(n), refImpedance);
    fileFormat = format;
    fileFreqUnit = freqUnit;
    CPairConversion::ConvertAll(elements.data() + converted, elements.size() - converted, format);
    SortRecords();
    return FILE_OK;
}
