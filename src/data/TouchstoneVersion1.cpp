// Reading Touchstone version 1 files of any port count (a member of CS2pData): records
// of one line for 1 and 2 ports, of as many lines as they need for more.
#include "data/S2pData.h"

#include "data/TouchstoneText.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

int CS2pData::ReadVersion1(CLineCursor& cursor, int portCount)
{
    const int n = portCount;
    StartRead(n);
    int format = MA;
    bool optionSeen = false;
    bool dataSeen = false;
    CVersion1Record record(cursor, n, refImpedances);

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
        }
        const std::vector<double>& numbers = record.Numbers();
        AppendRecord(numbers[0] + 0.0);  // + 0.0: a frequency of -0 is 0
        CComplex* s = Matrix(RecordCount() - 1);
        for (int k = 0; k < n * n; ++k) {
            const double a = numbers[static_cast<std::size_t>(1 + 2 * k)];
            const double b = numbers[static_cast<std::size_t>(2 + 2 * k)];
            s[k] = ComplexFromPair(a, b, format);
            if (!std::isfinite(s[k].re) || !std::isfinite(s[k].im))
                return fail(record.Start(line) + ": " + PairOutOfRange(a, b, k + 1));
        }
        if (n == 2)
            std::swap(s[1], s[2]);  // the file lists N21 before N12
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
    SortRecords();
    return FILE_OK;
}
