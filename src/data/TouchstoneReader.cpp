// Reading Touchstone files: the choice of version and port count, and version 1 files of
// any port count (members of CS2pData; version 2 files are read in TouchstoneVersion2.cpp).
#include "data/S2pData.h"

#include "data/TouchstoneText.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>
#include <stdexcept>

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

// What the first lines of a text say: whether it has two lines, and whether its first
// line that is neither a comment nor an option line is a keyword (version 2).
struct Sniffed {
    int lines = 0;  // counted up to 2
    enum { UNKNOWN, DATA_FIRST, KEYWORD_FIRST } kind = UNKNOWN;
};

Sniffed Sniff(CLineCursor& cursor)
{
    Sniffed s;
    std::string_view line;
    while ((s.lines < 2 || s.kind == Sniffed::UNKNOWN) && cursor.Next(line)) {
        s.lines = std::min(s.lines + 1, 2);
        if (s.kind == Sniffed::UNKNOWN && line[0] != '!' && line[0] != '#')
            s.kind = line[0] == '[' ? Sniffed::KEYWORD_FIRST : Sniffed::DATA_FIRST;
    }
    return s;
}

}  // namespace

int CS2pData::PortsFromName(const std::string& path)
{
    // Only the name's own ending counts: folders and earlier endings ("a.s4p.bak.s2p")
    // say nothing about this file.
    const std::string lower = AsciiLower(path.substr(path.find_last_of('/') + 1));
    if (lower.size() < 4 || lower.back() != 'p')
        return 0;
    std::size_t digits = lower.size() - 1;
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(lower[digits - 1])))
        --digits;
    const std::size_t count = lower.size() - 1 - digits;
    if (count == 0 || digits < 2 || lower.compare(digits - 2, 2, ".s") != 0)
        return 0;
    if (count > 2)
        return -1;
    const int n = std::stoi(lower.substr(digits, count));
    return n >= 1 && n <= MAX_PORTS ? n : -1;
}

int CS2pData::Load(const std::string& path)
{
    fileName = path;
    loaded = false;
    const int named = PortsFromName(path);
    if (named < 0) {
        ShowMessageBox("The file name's .sNp gives no port count of 1 to 99: " + path);
        return FILE_READ_ERROR;
    }
    try {
        const int result = LoadFile(path, named);
        loaded = result == FILE_OK;
        return result;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // Whatever was read goes, so that the memory is there for the message.
    ResetRecords(ports);
    std::string().swap(headerComments);
    ShowMessageBox("Not enough memory to read file: " + path);
    return FILE_READ_ERROR;
}

int CS2pData::LoadFile(const std::string& path, int named)
{
    // The file is read line by line as it comes in and never held whole.
    CLineCursor stream;
    std::string_view head;
    if (const int rc = stream.Open(path, head))
        return rc;
    CLineCursor headLines(head);
    Sniffed sniffed = Sniff(headLines);
    if (sniffed.lines < 2 || sniffed.kind == Sniffed::UNKNOWN) {
        // The first piece does not tell (a long header, or a long first line): look
        // through the file as far as it takes.
        CLineCursor scan;
        if (const int rc = scan.Open(path, head))
            return rc;
        sniffed = Sniff(scan);
        if (scan.AtEnd()) {
            if (const int rc = scan.Finish())
                return rc;
        }
    }
    if (sniffed.lines < 2) {
        ShowMessageBox("File contains too few lines.");
        return FILE_CANNOT_OPEN;
    }
    if (sniffed.kind == Sniffed::KEYWORD_FIRST)
        return ReadVersion2(stream);
    return ReadVersion1(stream, named > 0 ? named : 2);
}

namespace {

std::string Joined(const LineList& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).push_back('\n');
    return text;
}

}  // namespace

int CS2pData::ReadS2p(const LineList& lines)
{
    return Read(Joined(lines), 2);
}

int CS2pData::ReadS3p(const LineList& lines)
{
    return Read(Joined(lines), 3);
}

int CS2pData::ReadS4p(const LineList& lines)
{
    return Read(Joined(lines), 4);
}

int CS2pData::Read(std::string_view text, int portCount)
{
    try {
        // A keyword before the first data line makes a version 2 file, whatever its name.
        CLineCursor sniff(text);
        CLineCursor lines(text);
        if (Sniff(sniff).kind == Sniffed::KEYWORD_FIRST)
            return ReadVersion2(lines);
        return ReadVersion1(lines, portCount >= 1 && portCount <= MAX_PORTS ? portCount : 2);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    ResetRecords(ports);
    std::string().swap(headerComments);
    ShowMessageBox("Not enough memory to read file: " + fileName);
    return FILE_READ_ERROR;
}

void CS2pData::StartRead(int portCount)
{
    headerComments.clear();
    ResetRecords(portCount);
    // A file without an option line reads with the Touchstone defaults, whatever
    // an earlier file of this data set said.
    freqUnit = GHZ;
    paramKind = S;
    refImpedance = 50.0;
    refImpedances.clear();
    portModes.clear();
    version = 1;
}

void CS2pData::AddHeaderComment(std::string_view line, std::size_t fileSize)
{
    // A header of many lines gets room for the whole file at once, rather than a text
    // that doubles as it grows and for a moment needs the room twice.
    constexpr std::size_t SMALL = std::size_t(64) << 10;
    const std::size_t needed = headerComments.size() + line.size() + 1;
    if (needed > headerComments.capacity() && needed > SMALL)
        headerComments.reserve(std::max(needed, fileSize));
    headerComments.append(line).push_back('\n');
}

void CS2pData::FitHeaderComments()
{
    if (headerComments.capacity() > 2 * headerComments.size() + (std::size_t(64) << 10))
        headerComments.shrink_to_fit();
}

namespace {

// The numbers of version 1 records of n ports: 1 and 2 ports a record a line, more ports
// a record over as many lines as it needs, ending with a line.
class CVersion1Record {
public:
    CVersion1Record(CLineCursor& lines, int ports, std::vector<double>& portImpedances)
        : cursor(lines), n(ports), m(static_cast<std::size_t>(1 + 2 * ports * ports)), numbers(m),
          impedances(portImpedances), layout(std::to_string(ports) + "-port record")
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
    std::size_t first = 0;  // the line number of the record's first line
    bool continued = false; // that line is no longer at hand, but startText is
    std::string startText;  // the start of that line, kept for messages
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
        return where() + "a " + layout + " of " + std::to_string(m) + " numbers ends inside this line";
    if (count == m)
        return std::string();
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
            return here() + "an option line inside the " + layout + " of line " + std::to_string(first);
        CNumberReader more(WithoutComment(last));
        if (!Take(more))
            return here() + BadNumber(more);
        if (count == m && !more.Empty())
            return here() + "the " + layout + " of line " + std::to_string(first) + " (" + std::to_string(m)
                   + " numbers) ends inside this line";
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
                return fail(where + (optionSeen ? "a second option line" : "an option line after the data"));
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
        if (noise)
            break;
        if (RecordCount() >= MAX_RECORDS) {
            if (const int rc = cursor.Finish())
                return rc;
            ShowMessageBox("File too big. Reading only 16001 lines of data...");
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
    SortRecords();
    return FILE_OK;
}

bool CS2pData::ParseOptionLine(std::string_view line, int& format, std::string& why)
{
    bool pendingR = false;
    // A remark after "!" names no option, and the first word may touch the "#".
    std::string_view words = WithoutComment(line);
    if (!words.empty() && words[0] == '#')
        words.remove_prefix(1);
    CTokenizer tokens = CTokenizer::Words(words);
    while (!tokens.Empty()) {
        const std::string_view word = tokens.NextToken();
        const std::string token = AsciiLower(word);
        if (token == "hz") freqUnit = HZ;
        else if (token == "khz") freqUnit = KHZ;
        else if (token == "mhz") freqUnit = MHZ;
        else if (token == "ghz") freqUnit = GHZ;
        else if (token == "s") paramKind = S;
        else if (token == "y") paramKind = Y;
        else if (token == "z") paramKind = Z;
        else if (token == "g") paramKind = G;
        else if (token == "h") paramKind = H;
        else if (token == "ma") format = MA;
        else if (token == "ri") format = RI;
        else if (token == "db") format = DB;
        else if (token == "r") pendingR = true;
        else if (pendingR) {
            double r = 0.0;
            if (!ParseNumber(word, r) || !(r > 0)) {
                why = "the reference impedance \"" + EscapeInput(word) + "\" is not a positive number";
                return false;
            }
            refImpedance = r;
            pendingR = false;
        }
    }
    if (pendingR) {
        why = "R is followed by no reference impedance";
        return false;
    }
    return true;
}
