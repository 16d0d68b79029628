// Reading Touchstone version 2 files (a member of CS2pData): keywords, then the network
// data of any port count, in full or as one half of a reciprocal matrix.
#include "data/S2pData.h"

#include "data/TouchstoneText.h"
#include "data/Version2Values.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>

using namespace TouchstoneText;

namespace {

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

// The modes of a [Mixed-Mode Order]: every single-ended port used once, by an Sn or by
// one pair, and every pair there as Dn,m and as Cn,m. Logical ports are numbered by first
// appearance, so D1,2 and C1,2 share one. Empty, or why not.
std::string ReadModeOrder(const std::vector<std::string>& words, int n,
                          std::vector<CS2pData::PortMode>& modes)
{
    const std::string what = "[Mixed-Mode Order] ";
    struct Group {
        int a = 0;
        int b = 0;         // 0 for a single-ended port
        std::string d, c;  // the entries of a pair
    };
    std::vector<Group> groups;
    std::vector<std::string> user(static_cast<std::size_t>(n) + 1);  // the entry using a port
    modes.clear();
    for (const std::string& word : words) {
        const std::string w = EscapeInput(word);
        const char mode = static_cast<char>(std::tolower(static_cast<unsigned char>(word[0])));
        const std::string_view numbered = std::string_view(word).substr(1);
        const std::size_t comma = numbered.find(',');
        const long a = WholeNumber(numbered.substr(0, comma));
        const long b =
            comma == std::string_view::npos ? 0 : WholeNumber(numbered.substr(comma + 1));
        const bool pair = mode == 'd' || mode == 'c';
        const bool ok = a >= 1 && a <= n
            && (pair ? comma != std::string_view::npos && b >= 1 && b <= n && a != b
                     : mode == 's' && comma == std::string_view::npos);
        if (!ok)
            return what + "entry " + w + " is not Sn, Dn,m or Cn,m.";
        auto found = std::find_if(groups.begin(), groups.end(),
                                  [&](const Group& g) { return g.a == a && g.b == b; });
        if (found == groups.end()) {
            Group g;
            g.a = static_cast<int>(a);
            g.b = static_cast<int>(b);
            found = groups.insert(groups.end(), g);
        } else if (!pair || !(mode == 'd' ? found->d : found->c).empty()) {
            return what + "names " + w + " twice.";
        }
        if (pair)
            (mode == 'd' ? found->d : found->c) = w;
        for (const long p : {a, b}) {
            if (p == 0)
                continue;
            std::string& used = user[static_cast<std::size_t>(p)];
            if (!used.empty() && (mode == 's' || used.substr(1) != w.substr(1)))
                return what + "uses port " + std::to_string(p) + " in " + used + " and in " + w
                    + ".";
            used = w;
        }
        CS2pData::PortMode pm;
        pm.mode = mode;
        pm.port = static_cast<int>(found - groups.begin()) + 1;
        pm.first = static_cast<int>(a);
        pm.second = static_cast<int>(b);
        modes.push_back(pm);
    }
    for (const Group& g : groups) {
        if (g.b != 0 && (g.d.empty() || g.c.empty())) {
            const std::string ports = std::to_string(g.a) + "," + std::to_string(g.b);
            return what + (g.d.empty() ? "C" + ports + " has no D" : "D" + ports + " has no C")
                + ports + ".";
        }
    }
    return std::string();
}

enum MatrixLayout { FULL, LOWER, UPPER };

// What the keywords (and the option line) of a file said so far.
struct KeywordState {
    MatrixLayout matrixFormat = FULL;
    int format = MA;
    int n = 0;              // [Number of Ports]
    int order = 0;          // [Two-Port Data Order]: 1 for 12_21, 2 for 21_12
    long frequencies = -1;  // [Number of Frequencies]
    long noiseFrequencies = -1;
    bool versionSeen = false;
    bool optionSeen = false;
    bool networkSeen = false;
    bool endSeen = false;
    std::vector<std::string> seen;  // the keywords met so far, by name
};

// One read of a version 2 file, a line at a time.
class CVersion2Reader {
public:
    CVersion2Reader(CS2pData& target, CLineCursor& lines) : data(target), cursor(lines) {}

    // Reads the lines to the end; empty, or why the file is refused.
    std::string Run();
    // Records beyond the store's limit were read, and counted, but not kept.
    bool Truncated() const { return records > MAX_RECORDS; }
    // The data format of the option line (MA without one).
    int Format() const { return keywords.format; }
    std::vector<double> references;

private:
    std::string Keyword(std::string_view line);
    // One method per keyword, given its argument (trimmed, without comment): empty, or
    // why the file is refused.
    std::string Version(std::string_view argument);
    std::string NumberOfPorts(std::string_view argument);
    std::string TwoPortDataOrder(std::string_view argument);
    std::string NumberOfFrequencies(std::string_view argument);
    std::string NumberOfNoiseFrequencies(std::string_view argument);
    std::string Reference(std::string_view argument);
    std::string MatrixFormat(std::string_view argument);
    std::string MixedModeOrder(std::string_view argument);
    std::string BeginInformation(std::string_view argument);
    std::string NetworkData(std::string_view argument);
    std::string NoiseData(std::string_view argument);
    std::string End(std::string_view argument);
    std::string Record(std::string_view line);
    std::string NoiseLine(std::string_view line);
    // The words of a keyword's argument, which may run on over the following lines; true
    // when words are left over on the last line read.
    bool Collect(std::string_view part, std::size_t wanted, std::vector<std::string>& words);

    CS2pData& data;
    CLineCursor& cursor;
    KeywordState keywords;
    bool inNetwork = false;
    bool inInformation = false;
    bool skipping = false;  // the arguments of a keyword that describes no network data
    bool inNoise = false;   // in [Noise Data]: its lines are checked, not kept
    bool noiseSeen = false;
    long noiseLines = 0;
    std::size_t records = 0;  // every record of the network data, kept or not
    std::vector<double> numbers;
    std::string startText;  // the start of a record's first line, kept for messages
};

bool CVersion2Reader::Collect(std::string_view part, std::size_t wanted,
                              std::vector<std::string>& words)
{
    // Only blanks separate them: a mixed-mode entry such as D1,2 holds a comma. The words
    // are copied, as a line's text lasts only until the next.
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
                words.emplace_back(part.substr(start, p - start));
        }
        if (words.size() >= wanted)
            return TrimView(part.substr(p)).size() > 0;
        if (cursor.AtEnd())
            return false;
        const char c = cursor.Peek()[0];
        if (c == '[' || c == '#')
            return false;
        cursor.Next(part);
    }
}

std::string CVersion2Reader::Run()
{
    std::string_view line;
    while (cursor.Next(line)) {
        if (line[0] == '!') {
            if (!keywords.optionSeen && line != "! Freq")
                data.AddHeaderComment(line, cursor.Size());
            continue;
        }
        const std::string here =
            keywords.endSeen || line[0] == '#' ? LineRef(cursor.LineNumber(), line) : std::string();
        if (keywords.endSeen)
            return here + " after [End].";
        if (inInformation) {
            if (line[0] == '[' && StartsWithNoCase(line, "[end information]"))
                inInformation = false;
            continue;
        }
        if (line[0] == '#') {
            if (keywords.optionSeen)
                return "a second option line, " + here + ".";
            if (keywords.networkSeen)
                return "the option line comes after [Network Data].";
            keywords.optionSeen = true;
            std::string why;
            if (!data.ParseOptionLine(line, keywords.format, why))
                return here + ": " + why + ".";
            continue;
        }
        std::string why;
        if (line[0] == '[')
            why = Keyword(line);
        else if (inNoise)
            why = NoiseLine(line);
        else if (skipping)
            continue;
        else if (!inNetwork)
            why = "numbers outside [Network Data]: " + LineRef(cursor.LineNumber(), line) + ".";
        else
            why = Record(line);
        if (!why.empty())
            return why;
    }
    if (!keywords.networkSeen)
        return "[Network Data] missing.";
    if (!keywords.endSeen)
        return "[End] missing.";
    if (static_cast<long>(records) != keywords.frequencies)
        return "[Number of Frequencies] is " + std::to_string(keywords.frequencies)
            + ", but the file holds " + std::to_string(records) + " records.";
    if (noiseSeen && noiseLines != keywords.noiseFrequencies)
        return "[Number of Noise Frequencies] is " + std::to_string(keywords.noiseFrequencies)
            + ", but [Noise Data] holds " + std::to_string(noiseLines) + " lines.";
    if (references.empty())
        references.assign(static_cast<std::size_t>(keywords.n), data.refImpedance);
    return std::string();
}

std::string CVersion2Reader::NoiseLine(std::string_view line)
{
    ++noiseLines;
    const std::string why = NoiseLineFault(line);
    return why.empty() ? why : LineRef(cursor.LineNumber(), line) + ": " + why + ".";
}

// The keyword's name in lower case, with one blank between its words: keywords come in
// any letter case and with any run of blanks between the words.
std::string KeywordName(std::string_view inBrackets)
{
    std::string keyword;
    for (char c : AsciiLower(inBrackets)) {
        if (IsBlank(c)) {
            if (!keyword.empty() && keyword.back() != ' ')
                keyword += ' ';
        } else {
            keyword += c;
        }
    }
    if (!keyword.empty() && keyword.back() == ' ')
        keyword.pop_back();
    return keyword;
}

std::string CVersion2Reader::Keyword(std::string_view line)
{
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return "a keyword without \"]\": " + LineRef(cursor.LineNumber(), line) + ".";
    const std::string keyword = KeywordName(line.substr(1, close - 1));
    const std::string_view argument = TrimView(WithoutComment(line.substr(close + 1)));
    const std::string name = "[" + EscapeInput(line.substr(1, close - 1)) + "]";
    skipping = false;
    inNetwork = false;
    inNoise = false;
    if (!keywords.versionSeen && keyword != "version")
        return "[Version] missing before " + name + ".";
    // Every keyword says its one thing once, and the header keywords describe the data that
    // follow them: a late or repeated one would silently change or lose what was read.
    static const char* const once[] = {"version",
                                       "number of ports",
                                       "two-port data order",
                                       "number of frequencies",
                                       "number of noise frequencies",
                                       "reference",
                                       "matrix format",
                                       "mixed-mode order",
                                       "network data",
                                       "noise data"};
    static const char* const header[] = {"number of ports",
                                         "two-port data order",
                                         "number of frequencies",
                                         "number of noise frequencies",
                                         "reference",
                                         "matrix format",
                                         "mixed-mode order"};
    const auto named = [&keyword](const char* k) { return keyword == k; };
    if (std::any_of(std::begin(once), std::end(once), named)) {
        if (std::find(keywords.seen.begin(), keywords.seen.end(), keyword) != keywords.seen.end())
            return LineRef(cursor.LineNumber(), line) + ": a second " + name + ".";
        keywords.seen.push_back(keyword);
    }
    if (keywords.networkSeen && std::any_of(std::begin(header), std::end(header), named))
        return LineRef(cursor.LineNumber(), line) + ": " + name + " after [Network Data].";
    using Handler = std::string (CVersion2Reader::*)(std::string_view);
    static const struct {
        const char* name;
        Handler handler;
    } handlers[] = {
        {"version", &CVersion2Reader::Version},
        {"number of ports", &CVersion2Reader::NumberOfPorts},
        {"two-port data order", &CVersion2Reader::TwoPortDataOrder},
        {"number of frequencies", &CVersion2Reader::NumberOfFrequencies},
        {"number of noise frequencies", &CVersion2Reader::NumberOfNoiseFrequencies},
        {"reference", &CVersion2Reader::Reference},
        {"matrix format", &CVersion2Reader::MatrixFormat},
        {"mixed-mode order", &CVersion2Reader::MixedModeOrder},
        {"begin information", &CVersion2Reader::BeginInformation},
        {"network data", &CVersion2Reader::NetworkData},
        {"noise data", &CVersion2Reader::NoiseData},
        {"end", &CVersion2Reader::End},
    };
    for (const auto& h : handlers) {
        if (keyword == h.name)
            return (this->*h.handler)(argument);
    }
    skipping = true;  // a keyword that describes no network data
    return std::string();
}

std::string CVersion2Reader::Version(std::string_view argument)
{
    if (argument != "2.0" && argument != "2.1")
        return "[Version] " + EscapeInput(argument) + " is not 2.0 or 2.1.";
    keywords.versionSeen = true;
    return std::string();
}

std::string CVersion2Reader::NumberOfPorts(std::string_view argument)
{
    const long count = WholeNumber(argument);
    if (count < 1 || count > MAX_PORTS)
        return "[Number of Ports] " + EscapeInput(argument) + " is not 1 to 99.";
    keywords.n = static_cast<int>(count);
    return std::string();
}

std::string CVersion2Reader::TwoPortDataOrder(std::string_view argument)
{
    const std::string value = AsciiLower(argument);
    if (value == "12_21")
        keywords.order = 1;
    else if (value == "21_12")
        keywords.order = 2;
    else
        return "[Two-Port Data Order] " + EscapeInput(argument) + " is not 12_21 or 21_12.";
    return std::string();
}

std::string CVersion2Reader::NumberOfFrequencies(std::string_view argument)
{
    keywords.frequencies = WholeNumber(argument);
    if (keywords.frequencies < 1)
        return "[Number of Frequencies] " + EscapeInput(argument) + " is not a count.";
    return std::string();
}

std::string CVersion2Reader::NumberOfNoiseFrequencies(std::string_view argument)
{
    keywords.noiseFrequencies = WholeNumber(argument);
    if (keywords.noiseFrequencies < 1)
        return "[Number of Noise Frequencies] " + EscapeInput(argument) + " is not a count.";
    return std::string();
}

std::string CVersion2Reader::Reference(std::string_view argument)
{
    const int n = keywords.n;
    if (n == 0)
        return "[Reference] before [Number of Ports].";
    std::vector<std::string> words;
    if (Collect(argument, static_cast<std::size_t>(n), words))
        return "[Reference] holds more than " + std::to_string(n) + " impedances for "
            + std::to_string(n) + " ports.";
    if (words.size() < static_cast<std::size_t>(n))
        return "[Reference] holds " + std::to_string(words.size()) + " impedances for "
            + std::to_string(n) + " ports.";
    references.clear();
    for (const std::string& w : words) {
        double r = 0.0;
        if (!ParseDouble(w, r) || !(r > 0))
            return "[Reference] impedance " + EscapeInput(w) + " is not a positive number.";
        references.push_back(r);
    }
    return std::string();
}

std::string CVersion2Reader::MatrixFormat(std::string_view argument)
{
    const std::string value = AsciiLower(argument);
    if (value == "full")
        keywords.matrixFormat = FULL;
    else if (value == "lower")
        keywords.matrixFormat = LOWER;
    else if (value == "upper")
        keywords.matrixFormat = UPPER;
    else
        return "[Matrix Format] " + EscapeInput(argument) + " is not Full, Lower or Upper.";
    return std::string();
}

std::string CVersion2Reader::MixedModeOrder(std::string_view argument)
{
    const int n = keywords.n;
    if (n == 0)
        return "[Mixed-Mode Order] before [Number of Ports].";
    std::vector<std::string> words;
    if (Collect(argument, static_cast<std::size_t>(n), words))
        return "[Mixed-Mode Order] names more than " + std::to_string(n) + " ports.";
    if (words.size() < static_cast<std::size_t>(n)) {
        // A bad or unpaired entry says more than the count.
        std::vector<CS2pData::PortMode> scratch;
        const std::string why = ReadModeOrder(words, n, scratch);
        if (!why.empty())
            return why;
    }
    if (words.size() < static_cast<std::size_t>(n))
        return "[Mixed-Mode Order] names " + std::to_string(words.size()) + " of "
            + std::to_string(n) + " ports.";
    return ReadModeOrder(words, n, data.portModes);
}

std::string CVersion2Reader::BeginInformation(std::string_view /*argument*/)
{
    inInformation = true;
    return std::string();
}

std::string CVersion2Reader::NetworkData(std::string_view /*argument*/)
{
    const int n = keywords.n;
    if (n == 0)
        return "[Number of Ports] missing before [Network Data].";
    if (n == 2 && keywords.order == 0)
        return "[Two-Port Data Order] missing (required for 2-port files).";
    if (keywords.frequencies < 0)
        return "[Number of Frequencies] missing before [Network Data].";
    keywords.networkSeen = true;
    inNetwork = true;
    data.ResetRecords(n);
    return std::string();
}

std::string CVersion2Reader::NoiseData(std::string_view /*argument*/)
{
    if (!keywords.networkSeen)
        return "[Noise Data] before [Network Data].";
    if (keywords.noiseFrequencies < 0)
        return "[Noise Data] without [Number of Noise Frequencies].";
    inNoise = noiseSeen = true;  // noise parameters are checked, not shown
    return std::string();
}

std::string CVersion2Reader::End(std::string_view argument)
{
    if (!argument.empty())
        return "[End] " + EscapeInput(argument) + ": nothing may follow it.";
    keywords.endSeen = true;
    return std::string();
}

std::string CVersion2Reader::Record(std::string_view line)
{
    // One record: the frequency and the matrix (or its half), row by row, whatever
    // the line breaks; it ends with a line, and a keyword or the end of the file inside
    // it is an error.
    const int n = keywords.n;
    const MatrixLayout matrixFormat = keywords.matrixFormat;
    const int format = keywords.format;
    const int cells = matrixFormat == FULL ? n * n : n * (n + 1) / 2;
    const std::size_t m = static_cast<std::size_t>(1 + 2 * cells);
    numbers.resize(m);
    std::size_t count = 0;
    const std::size_t first = cursor.LineNumber();
    bool continued = false;  // the first line is no longer at hand, but startText
    const auto start = [&]() {
        return LineRef(first, continued ? std::string_view(startText) : line);
    };
    std::string_view last = line;
    std::size_t bytes = line.size() + 1;
    CNumberReader tokens(WithoutComment(line));
    for (;;) {
        while (count < m && !tokens.Empty()) {
            const double v = tokens.Next();
            if (!tokens.Complete())
                return LineRef(cursor.LineNumber(), last) + ": " + BadNumber(tokens) + ".";
            numbers[count++] = v;
        }
        if (!continued) {  // still on the first line
            if (numbers[0] < 0)
                return LineRef(first, line) + ": the frequency is negative.";
            if (count == m)
                break;
            // A copy of as much as a message quotes (40 characters of up to 4 bytes).
            startText.assign(line.substr(0, 4 * 40 + 1));
            continued = true;
        }
        if (count == m)
            break;
        while (!cursor.AtEnd() && cursor.Peek()[0] == '!')
            cursor.Next(last);
        if (cursor.AtEnd() || cursor.Peek()[0] == '[' || cursor.Peek()[0] == '#')
            return "the record of " + start() + " holds " + std::to_string(count) + " of "
                + std::to_string(m) + " numbers (a matrix row short).";
        cursor.Next(last);
        bytes += last.size() + 1;
        tokens = CNumberReader(WithoutComment(last));
    }
    if (!tokens.Empty())
        return LineRef(cursor.LineNumber(), last) + ": more numbers than a record holds.";
    // Records past the store's limit are read to the end, so that the count and [End]
    // are checked, but not kept.
    if (++records > MAX_RECORDS)
        return std::string();
    if (records == 1) {
        // Room for the records announced, but no more than the file holds of records
        // the size of the first: a short header cannot claim gigabytes.
        const std::size_t fit = cursor.Size() / bytes + 1;
        data.ReserveRecords(
            std::min({static_cast<std::size_t>(keywords.frequencies), MAX_RECORDS, fit}));
    }
    if (references.empty())
        references.assign(static_cast<std::size_t>(n), data.refImpedance);
    const int kind = data.paramKind;
    const bool normalise =
        kind != CS2pData::S && (n == 2 || kind == CS2pData::Z || kind == CS2pData::Y);
    data.AppendRecord(numbers[0] + 0.0);  // + 0.0: a frequency of -0 is 0
    CComplex* s = data.Matrix(data.RecordCount() - 1);
    std::size_t k = 1;
    for (int r = 0; r < n; ++r) {
        const int from = matrixFormat == UPPER ? r : 0;
        const int to = matrixFormat == LOWER ? r : n - 1;
        for (int c = from; c <= to; ++c, k += 2) {
            bool divide = false;
            const double f =
                normalise ? Version2Values::NormalisingFactor(kind, r, c, references, divide) : 1.0;
            const CComplex v = normalise
                ? Version2Values::ScaledPair(numbers[k], numbers[k + 1], format, f, divide)
                : ComplexFromPair(numbers[k], numbers[k + 1], format);
            if (!std::isfinite(v.re) || !std::isfinite(v.im))
                return start() + ": "
                    + PairOutOfRange(numbers[k], numbers[k + 1], static_cast<int>(k + 1) / 2) + ".";
            s[r * n + c] = v;
            if (matrixFormat != FULL)
                s[c * n + r] = v;  // the other half of a reciprocal network
        }
    }
    if (n == 2 && matrixFormat == FULL && keywords.order == 2)
        std::swap(s[1], s[2]);
    return std::string();
}

}  // namespace

int CS2pData::ReadVersion2(CLineCursor& cursor)
{
    StartRead(2);
    version = 2;
    CVersion2Reader reader(*this, cursor);
    const std::string why = reader.Run();
    // Faults of the file itself (NUL bytes, a read error) come first.
    if (const int rc = cursor.Finish())
        return rc;
    FitHeaderComments();
    if (!why.empty()) {
        ShowMessageBox("Invalid Touchstone 2 file: " + why);
        return FILE_READ_ERROR;
    }
    if (reader.Truncated())
        ShowMessageBox(TooManyRecordsMessage());
    if (RecordCount() < MIN_RECORDS) {
        ShowMessageBox("File must contain at least 3 frequency data.");
        return FILE_CANNOT_OPEN;
    }
    refImpedances = reader.references;
    fileFormat = reader.Format();
    fileFreqUnit = freqUnit;
    SortRecords();
    return FILE_OK;
}
