// Reading Touchstone files of any port count, version 1 and version 2 (members of CS2pData).
#include "data/S2pData.h"

#include "platform/AsciiText.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// The numbers part of a data line: a "!" starts a comment that runs to the line end.
std::string_view WithoutComment(std::string_view line)
{
    return line.substr(0, line.find('!'));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && AsciiLower(text.substr(0, prefix.size())) == prefix;
}

// A line as a message names it: its start, in quotes.
std::string Quote(std::string_view line)
{
    return "\"" + std::string(line.substr(0, 40)) + (line.size() > 40 ? "...\"" : "\"");
}

// A whole non-negative number, or -1.
long WholeNumber(std::string_view text)
{
    text = TrimView(text);
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return -1;
    return ParseInt(text);
}

// HFSS writes the ports' impedances after each record as "! Port Impedance" followed by
// a real and an imaginary part per port (or, in some versions, one real value per port).
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
    while (!tokens.Empty())
        numbers.push_back(tokens.Next());
    const std::size_t n = static_cast<std::size_t>(ports);
    if (numbers.size() == 2 * n) {
        for (std::size_t p = 0; p < n; ++p)
            impedances.push_back(numbers[2 * p]);
    } else if (numbers.size() == n) {
        impedances = numbers;
    }
}

// How a version 2 Z, Y, H or G value of element (row, col), 0-based, becomes the
// normalised value that version 1 files hold: v = V / sqrt(R), i = I sqrt(R) at each port.
double NormalisingFactor(int kind, int row, int col, const std::vector<double>& r, bool& divide)
{
    const double ri = r[static_cast<std::size_t>(row)];
    const double rj = r[static_cast<std::size_t>(col)];
    divide = false;
    switch (kind) {
    case CS2pData::Z: divide = true; return std::sqrt(ri * rj);
    case CS2pData::Y: return std::sqrt(ri * rj);
    case CS2pData::H:
        if (row == 0 && col == 0) {
            divide = true;
            return ri;
        }
        if (row == 1 && col == 1)
            return ri;
        return std::sqrt(r[1] / r[0]);
    case CS2pData::G:
        if (row == 0 && col == 0)
            return ri;
        if (row == 1 && col == 1) {
            divide = true;
            return ri;
        }
        return std::sqrt(r[0] / r[1]);
    default: return 1.0;
    }
}

// The pair (a, b) scaled by f (or 1 / f) before it becomes complex, so that a value in
// ohms and its normalised twin in a version 1 file come out the same to the last bit.
CComplex ScaledPair(double a, double b, int format, double f, bool divide)
{
    const auto scale = [&](double v) { return divide ? v / f : v * f; };
    switch (format) {
    case RI: return ComplexFromPair(scale(a), scale(b), format);
    case DB: return ComplexFromPair(a + 20.0 * std::log10(divide ? 1.0 / f : f), b, format);
    default: return ComplexFromPair(scale(a), b, format);
    }
}

}  // namespace

int CS2pData::PortsFromName(const std::string& path)
{
    // The whole path is searched, directories included, ".s3p" and ".s4p" first as they
    // always were; then the last ".sNp" of any other count.
    const std::string lower = AsciiLower(path);
    const std::size_t s3p = lower.find(".s3p");
    if (s3p != std::string::npos && s3p > 0)
        return 3;
    const std::size_t s4p = lower.find(".s4p");
    if (s4p != std::string::npos && s4p > 0)
        return 4;
    int ports = 0;
    for (std::size_t p = lower.find(".s", 1); p != std::string::npos; p = lower.find(".s", p + 1)) {
        std::size_t q = p + 2;
        int n = 0;
        while (q < lower.size() && q < p + 4 && std::isdigit(static_cast<unsigned char>(lower[q])))
            n = n * 10 + (lower[q++] - '0');
        if (q > p + 2 && q < lower.size() && lower[q] == 'p' && n >= 1)
            ports = n;
    }
    return ports;
}

namespace {

// Whether a file can be read as it streams in: a version 1 file whose first piece shows
// two lines and a data line before any keyword. Anything else is read whole.
bool StreamsAsVersion1(std::string_view head)
{
    CLineCursor lines(head);
    std::string_view line;
    int count = 0;
    bool dataSeen = false;
    while (lines.Next(line) && !(count >= 2 && dataSeen)) {
        ++count;
        if (dataSeen || line[0] == '!' || line[0] == '#')
            continue;
        if (line[0] == '[')
            return false;
        dataSeen = true;
    }
    return count >= 2 && dataSeen;
}

}  // namespace

int CS2pData::Load(const std::string& path)
{
    fileName = path;
    loaded = false;
    const int named = PortsFromName(path);
    {
        // Version 1 files, the large ones, are read line by line as they come in and
        // never held whole.
        CLineCursor stream;
        std::string_view head;
        const int rc = stream.Open(path, head);
        if (rc != FILE_OK)
            return rc;
        if (StreamsAsVersion1(head)) {
            const int result = ReadVersion1(stream, named >= 1 && named <= MAX_PORTS ? named : 2);
            loaded = result == FILE_OK;
            return result;
        }
    }
    // The file is held once as text and read line by line from it.
    std::string text;
    std::string_view body;
    const int rc = ReadText(path, text, body);
    if (rc != FILE_OK)
        return rc;
    CLineCursor twoLines(body);
    std::string_view first;
    if (!twoLines.Next(first) || twoLines.AtEnd()) {
        ShowMessageBox("File contains too few lines.");
        return FILE_CANNOT_OPEN;
    }
    const int result = Read(body, named);
    loaded = result == FILE_OK;
    return result;
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
    // A keyword before the first data line makes a version 2 file, whatever its name.
    CLineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(line)) {
        if (line[0] == '!' || line[0] == '#')
            continue;
        if (line[0] == '[')
            return ReadVersion2(text);
        break;
    }
    CLineCursor lines(text);
    return ReadVersion1(lines, portCount >= 1 && portCount <= MAX_PORTS ? portCount : 2);
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

int CS2pData::ReadVersion1(CLineCursor& cursor, int portCount)
{
    const int n = portCount;
    const int cells = n * n;
    const int m = 1 + 2 * cells;
    StartRead(n);
    int format = MA;
    bool optionSeen = false;
    bool dataSeen = false;
    std::vector<double> numbers(static_cast<std::size_t>(m));

    // A file that streams in is only known to be whole text once read to its end: its
    // faults come before anything this reader has to say.
    std::string_view line;
    while (cursor.Next(line)) {
        if (line[0] == '!') {
            if (!optionSeen && line != "! Freq")
                headerComments.emplace_back(line);
            ReadPortImpedances(line, n, refImpedances);
            continue;
        }
        if (line[0] == '#') {
            if (optionSeen || dataSeen) {
                const int rc = cursor.Finish();
                return rc != FILE_OK ? rc : FILE_READ_ERROR;
            }
            optionSeen = true;
            ParseOptionLine(line, format);
            continue;
        }
        dataSeen = true;
        std::string_view last = line;
        std::size_t recordBytes = line.size() + 1;

        std::fill(numbers.begin(), numbers.end(), 0.0);
        int count = 0;
        CNumberReader tokens(WithoutComment(line));
        while (count < m && !tokens.Empty())
            numbers[static_cast<std::size_t>(count++)] = tokens.Next();
        if (n == 2) {
            // A noise-parameter block (five numbers a line, its frequency starting
            // again at or below the last network frequency) ends the network data.
            if (count == 5 && tokens.Empty() && RecordCount() > 0
                && std::fabs(numbers[0]) <= freqs.back()) {
                if (const int rc = cursor.Finish())
                    return rc;
                break;
            }
        } else if (n > 2) {
            // Records of three ports and more run on over as many lines as they need.
            while (count < m && cursor.Next(last)) {
                recordBytes += last.size() + 1;
                if (last[0] == '!')
                    ReadPortImpedances(last, n, refImpedances);
                CNumberReader more(WithoutComment(last));
                while (count < m && !more.Empty())
                    numbers[static_cast<std::size_t>(count++)] = more.Next();
            }
        }

        if (RecordCount() >= MAX_RECORDS) {
            if (const int rc = cursor.Finish())
                return rc;
            ShowMessageBox("File too big. Reading only 16001 lines of data...");
            break;
        }
        if (RecordCount() == 0) {
            // The first record tells how many bytes a record takes: room for all of them
            // at once, rather than a store that doubles as it grows.
            const std::size_t expected = std::min(cursor.Size() / recordBytes + 1, MAX_RECORDS);
            freqs.reserve(expected);
            elements.reserve(expected * static_cast<std::size_t>(cells));
        }
        AppendRecord(std::fabs(numbers[0]));
        CComplex* s = Matrix(RecordCount() - 1);
        // An element the line does not reach is zero in every format (a zero pair in dB
        // would be magnitude 1); half a pair still counts, with its missing number 0.
        for (int k = 0; k < cells && 1 + 2 * k < count; ++k)
            s[k] = ComplexFromPair(numbers[static_cast<std::size_t>(1 + 2 * k)],
                                   numbers[static_cast<std::size_t>(2 + 2 * k)], format);
        if (n == 2)
            std::swap(s[1], s[2]);  // the file lists N21 before N12
    }

    if (const int rc = cursor.Finish())
        return rc;
    if (RecordCount() < MIN_RECORDS) {
        ShowMessageBox("File must contain at least 3 frequency data.");
        return FILE_CANNOT_OPEN;
    }
    if (refImpedances.empty())
        refImpedances.assign(static_cast<std::size_t>(n), refImpedance);
    SortRecords();
    return FILE_OK;
}

int CS2pData::ReadVersion2(std::string_view text)
{
    StartRead(2);
    version = 2;
    const auto fail = [](const std::string& why) {
        ShowMessageBox("Invalid Touchstone 2 file: " + why);
        return FILE_READ_ERROR;
    };
    enum { FULL, LOWER, UPPER } matrixFormat = FULL;
    int format = MA;
    int n = 0;             // [Number of Ports]
    int order = 0;         // [Two-Port Data Order]: 1 for 12_21, 2 for 21_12
    long frequencies = -1; // [Number of Frequencies]
    long noiseFrequencies = -1;
    std::vector<double> references;
    bool versionSeen = false;
    bool optionSeen = false;
    bool networkSeen = false;
    bool inNetwork = false;
    bool inInformation = false;
    bool skipping = false;  // the arguments of a keyword that describes no network data
    bool endSeen = false;
    bool truncated = false;
    std::vector<double> numbers;

    // The words of a keyword's argument, which may run on over the following lines.
    // Only blanks separate them: a mixed-mode entry such as D1,2 holds a comma.
    CLineCursor cursor(text);
    const auto collect = [&](std::string_view part, std::size_t wanted, std::vector<std::string_view>& words) {
        for (;;) {
            part = WithoutComment(part);
            std::size_t p = 0;
            while (words.size() < wanted && p < part.size()) {
                while (p < part.size() && IsBlank(part[p]))
                    ++p;
                const std::size_t start = p;
                while (p < part.size() && !IsBlank(part[p]))
                    ++p;
                if (p > start)
                    words.push_back(part.substr(start, p - start));
            }
            if (words.size() >= wanted || cursor.AtEnd())
                return;
            const char c = cursor.Peek()[0];
            if (c == '[' || c == '#')
                return;
            cursor.Next(part);
        }
    };

    std::string_view line;
    while (!endSeen && !truncated && cursor.Next(line)) {
        if (line[0] == '!') {
            if (!optionSeen && line != "! Freq")
                headerComments.emplace_back(line);
            continue;
        }
        if (inInformation) {
            if (line[0] == '[' && StartsWithNoCase(line, "[end information]"))
                inInformation = false;
            continue;
        }
        if (line[0] == '#') {
            if (optionSeen)
                return fail("a second option line " + Quote(line) + ".");
            if (networkSeen)
                return fail("the option line comes after [Network Data].");
            optionSeen = true;
            ParseOptionLine(line, format);
            continue;
        }
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos)
                return fail("a keyword without \"]\": " + Quote(line) + ".");
            // Keywords in any letter case, and with any run of blanks between the words.
            std::string keyword;
            for (char c : AsciiLower(line.substr(1, close - 1))) {
                if (IsBlank(c)) {
                    if (!keyword.empty() && keyword.back() != ' ')
                        keyword += ' ';
                } else {
                    keyword += c;
                }
            }
            if (!keyword.empty() && keyword.back() == ' ')
                keyword.pop_back();
            const std::string_view argument = TrimView(WithoutComment(line.substr(close + 1)));
            const std::string name = "[" + std::string(line.substr(1, close - 1)) + "]";
            skipping = false;
            inNetwork = false;
            if (!versionSeen && keyword != "version")
                return fail("[Version] missing before " + name + ".");
            if (keyword == "version") {
                if (versionSeen)
                    return fail("a second [Version].");
                if (argument.substr(0, 2) != "2." && argument != "2")
                    return fail("[Version] " + std::string(argument) + " is not 2.0 or 2.1.");
                versionSeen = true;
            } else if (keyword == "number of ports") {
                if (networkSeen || n > 0)
                    return fail("[Number of Ports] again or after [Network Data].");
                const long count = WholeNumber(argument);
                if (count < 1 || count > MAX_PORTS)
                    return fail("[Number of Ports] " + std::string(argument) + " is not 1 to 99.");
                n = static_cast<int>(count);
            } else if (keyword == "two-port data order") {
                const std::string value = AsciiLower(argument);
                if (value == "12_21")
                    order = 1;
                else if (value == "21_12")
                    order = 2;
                else
                    return fail("[Two-Port Data Order] " + std::string(argument) + " is not 12_21 or 21_12.");
            } else if (keyword == "number of frequencies") {
                frequencies = WholeNumber(argument);
                if (frequencies < 1)
                    return fail("[Number of Frequencies] " + std::string(argument) + " is not a count.");
            } else if (keyword == "number of noise frequencies") {
                noiseFrequencies = WholeNumber(argument);
                if (noiseFrequencies < 1)
                    return fail("[Number of Noise Frequencies] " + std::string(argument) + " is not a count.");
            } else if (keyword == "reference") {
                if (n == 0)
                    return fail("[Reference] before [Number of Ports].");
                std::vector<std::string_view> words;
                collect(argument, static_cast<std::size_t>(n), words);
                if (words.size() < static_cast<std::size_t>(n))
                    return fail("[Reference] holds " + std::to_string(words.size()) + " impedances for "
                                + std::to_string(n) + " ports.");
                references.clear();
                for (const std::string_view w : words) {
                    const double r = ParseDouble(w);
                    if (!(r > 0) || !std::isfinite(r))
                        return fail("[Reference] impedance " + std::string(w) + " is not positive.");
                    references.push_back(r);
                }
            } else if (keyword == "matrix format") {
                const std::string value = AsciiLower(argument);
                if (value == "full")
                    matrixFormat = FULL;
                else if (value == "lower")
                    matrixFormat = LOWER;
                else if (value == "upper")
                    matrixFormat = UPPER;
                else
                    return fail("[Matrix Format] " + std::string(argument) + " is not Full, Lower or Upper.");
            } else if (keyword == "mixed-mode order") {
                if (n == 0)
                    return fail("[Mixed-Mode Order] before [Number of Ports].");
                std::vector<std::string_view> words;
                collect(argument, static_cast<std::size_t>(n), words);
                if (words.size() < static_cast<std::size_t>(n))
                    return fail("[Mixed-Mode Order] names " + std::to_string(words.size()) + " of "
                                + std::to_string(n) + " ports.");
                // Logical ports are numbered by first appearance: D1,2 and C1,2 share one.
                std::vector<std::pair<int, int>> logical;
                portModes.clear();
                for (const std::string_view w : words) {
                    const char mode = static_cast<char>(std::tolower(static_cast<unsigned char>(w[0])));
                    const std::string_view numbered = w.substr(1);
                    const std::size_t comma = numbered.find(',');
                    const long a = WholeNumber(numbered.substr(0, comma));
                    const long b = comma == std::string_view::npos ? 0 : WholeNumber(numbered.substr(comma + 1));
                    const bool pair = mode == 'd' || mode == 'c';
                    const bool ok = a >= 1 && a <= n
                        && (pair ? comma != std::string_view::npos && b >= 1 && b <= n && a != b
                                 : mode == 's' && comma == std::string_view::npos);
                    if (!ok)
                        return fail("[Mixed-Mode Order] entry " + std::string(w) + " is not Sn, Dn,m or Cn,m.");
                    const std::pair<int, int> key(static_cast<int>(a), static_cast<int>(b));
                    auto found = std::find(logical.begin(), logical.end(), key);
                    if (found == logical.end())
                        found = logical.insert(logical.end(), key);
                    PortMode pm;
                    pm.mode = mode;
                    pm.port = static_cast<int>(found - logical.begin()) + 1;
                    for (const PortMode& other : portModes)
                        if (other.mode == pm.mode && other.port == pm.port)
                            return fail("[Mixed-Mode Order] names " + std::string(w) + " twice.");
                    portModes.push_back(pm);
                }
            } else if (keyword == "begin information") {
                inInformation = true;
            } else if (keyword == "network data") {
                if (networkSeen)
                    return fail("a second [Network Data].");
                if (n == 0)
                    return fail("[Number of Ports] missing before [Network Data].");
                if (n == 2 && order == 0)
                    return fail("[Two-Port Data Order] missing (required for 2-port files).");
                if (frequencies < 0)
                    return fail("[Number of Frequencies] missing before [Network Data].");
                networkSeen = true;
                inNetwork = true;
                ResetRecords(n);
                const std::size_t expected = std::min(static_cast<std::size_t>(frequencies), MAX_RECORDS);
                freqs.reserve(expected);
                elements.reserve(expected * Cells());
            } else if (keyword == "noise data") {
                if (!networkSeen)
                    return fail("[Noise Data] before [Network Data].");
                if (noiseFrequencies < 0)
                    return fail("[Noise Data] without [Number of Noise Frequencies].");
                skipping = true;  // noise parameters are not shown
            } else if (keyword == "end") {
                endSeen = true;
            } else {
                skipping = true;
            }
            continue;
        }
        if (skipping)
            continue;
        if (!inNetwork)
            return fail("numbers outside [Network Data]: " + Quote(line) + ".");

        // One record: the frequency and the matrix (or its half), row by row, whatever
        // the line breaks; a keyword or the end of the file inside it is an error.
        const int cells = matrixFormat == FULL ? n * n : n * (n + 1) / 2;
        const std::size_t m = static_cast<std::size_t>(1 + 2 * cells);
        numbers.resize(m);
        std::size_t count = 0;
        std::string_view last = line;
        CNumberReader tokens(WithoutComment(line));
        for (;;) {
            while (count < m && !tokens.Empty())
                numbers[count++] = tokens.Next();
            if (count == m)
                break;
            while (!cursor.AtEnd() && cursor.Peek()[0] == '!')
                cursor.Next(last);
            if (cursor.AtEnd() || cursor.Peek()[0] == '[' || cursor.Peek()[0] == '#')
                return fail("the record that starts at " + Quote(line) + " holds "
                            + std::to_string(count) + " of " + std::to_string(m)
                            + " numbers (a matrix row short).");
            cursor.Next(last);
            tokens = CNumberReader(WithoutComment(last));
        }
        if (!tokens.Empty())
            return fail("more numbers than a record holds at " + Quote(last) + ".");
        if (RecordCount() >= MAX_RECORDS) {
            ShowMessageBox("File too big. Reading only 16001 lines of data...");
            truncated = true;
            break;
        }
        if (references.empty())
            references.assign(static_cast<std::size_t>(n), refImpedance);
        const bool normalise = paramKind != S && (n == 2 || paramKind == Z || paramKind == Y);
        AppendRecord(std::fabs(numbers[0]));
        CComplex* s = Matrix(RecordCount() - 1);
        std::size_t k = 1;
        for (int r = 0; r < n; ++r) {
            const int from = matrixFormat == UPPER ? r : 0;
            const int to = matrixFormat == LOWER ? r : n - 1;
            for (int c = from; c <= to; ++c, k += 2) {
                bool divide = false;
                const double f = normalise ? NormalisingFactor(paramKind, r, c, references, divide) : 1.0;
                const CComplex v = normalise ? ScaledPair(numbers[k], numbers[k + 1], format, f, divide)
                                             : ComplexFromPair(numbers[k], numbers[k + 1], format);
                s[r * n + c] = v;
                if (matrixFormat != FULL)
                    s[c * n + r] = v;  // the other half of a reciprocal network
            }
        }
        if (n == 2 && matrixFormat == FULL && order == 2)
            std::swap(s[1], s[2]);
    }

    if (!truncated) {
        if (!networkSeen)
            return fail("[Network Data] missing.");
        if (!endSeen)
            return fail("[End] missing.");
        if (static_cast<long>(RecordCount()) != frequencies)
            return fail("[Number of Frequencies] is " + std::to_string(frequencies) + ", but the file holds "
                        + std::to_string(RecordCount()) + " records.");
    }
    if (RecordCount() < MIN_RECORDS) {
        ShowMessageBox("File must contain at least 3 frequency data.");
        return FILE_CANNOT_OPEN;
    }
    refImpedances = references;
    SortRecords();
    return FILE_OK;
}

void CS2pData::ParseOptionLine(std::string_view line, int& format)
{
    bool pendingR = false;
    // A remark after "!" names no option, and the first word may touch the "#".
    std::string_view words = WithoutComment(line);
    if (!words.empty() && words[0] == '#')
        words.remove_prefix(1);
    CTokenizer tokens = CTokenizer::Words(words);
    while (!tokens.Empty()) {
        const std::string token = AsciiLower(tokens.NextToken());
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
            refImpedance = std::fabs(ParseDouble(token));
            pendingR = false;
        }
    }
}
