#include "data/S2pData.h"

#include "platform/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

std::string ToLower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The numbers part of a data line: a "!" starts a comment that runs to the line end.
std::string_view WithoutComment(const std::string& line)
{
    const std::size_t bang = line.find('!');
    return std::string_view(line).substr(0, bang);
}

template <typename Record>
void Scale(std::vector<Record>& records, double factor)
{
    for (Record& r : records)
        r.freq *= factor;
}

}  // namespace

double CS2pData::UnitFactor(int unit)
{
    switch (unit) {
    case HZ: return 1.0;
    case KHZ: return 1e3;
    case MHZ: return 1e6;
    default: return 1e9;
    }
}

std::string FreqUnitLabel(int unit)
{
    switch (unit) {
    case CS2pData::HZ: return "Hz";
    case CS2pData::KHZ: return "KHz";
    case CS2pData::MHZ: return "MHz";
    default: return "GHz";
    }
}

std::string CS2pData::ParamLetter(int kind)
{
    switch (kind) {
    case Y: return "Y";
    case Z: return "Z";
    case G: return "G";
    case H: return "H";
    default: return "S";
    }
}

std::string CS2pData::GetFreqUnitLabel() const
{
    return FreqUnitLabel(freqUnit);
}

std::size_t CS2pData::RecordCount() const
{
    switch (portKind) {
    case FOUR_PORT: return lines4.size();
    case THREE_PORT: return lines3.size();
    default: return lines2.size();
    }
}

double CS2pData::FreqAt(std::size_t record) const
{
    switch (portKind) {
    case FOUR_PORT: return lines4[record].freq;
    case THREE_PORT: return lines3[record].freq;
    default: return lines2[record].freq;
    }
}

CComplex CS2pData::Element(std::size_t record, int row, int col) const
{
    const int n = PortCount();
    const std::size_t k = static_cast<std::size_t>((row - 1) * n + (col - 1));
    switch (portKind) {
    case FOUR_PORT: return lines4[record].s[k];
    case THREE_PORT: return lines3[record].s[k];
    default: return lines2[record].s[k];
    }
}

void CS2pData::ConvertFreqUnit(FreqUnit target)
{
    if (target == freqUnit)
        return;
    const double multiplier = UnitFactor(freqUnit) / UnitFactor(target);
    switch (portKind) {
    case FOUR_PORT: Scale(lines4, multiplier); break;
    case THREE_PORT: Scale(lines3, multiplier); break;
    default: Scale(lines2, multiplier); break;
    }
    freqUnit = target;
}

void CS2pData::NormalizeFreqUnit()
{
    if (freqUnit == HZ || freqUnit == KHZ)
        ConvertFreqUnit(MHZ);
}

int CS2pData::Load(const std::string& path)
{
    fileName = path;
    loaded = false;
    LineList lines;
    const int rc = ReadLines(path, lines);
    if (rc != FILE_OK)
        return rc;
    if (lines.size() < 2) {
        ShowMessageBox("File contains too few lines.");
        return FILE_CANNOT_OPEN;
    }
    // The layout comes from the name; the whole path is searched, ".s3p" first.
    const std::string lower = ToLower(path);
    const std::size_t s3p = lower.find(".s3p");
    const std::size_t s4p = lower.find(".s4p");
    int result;
    if (s3p != std::string::npos && s3p > 0)
        result = ReadS3p(lines);
    else if (s4p != std::string::npos && s4p > 0)
        result = ReadS4p(lines);
    else
        result = ReadS2p(lines);
    loaded = result == FILE_OK;
    return result;
}

int CS2pData::ReadS2p(const LineList& lines)
{
    return ReadRecords(lines, lines2, TWO_PORT);
}

int CS2pData::ReadS3p(const LineList& lines)
{
    return ReadRecords(lines, lines3, THREE_PORT);
}

int CS2pData::ReadS4p(const LineList& lines)
{
    return ReadRecords(lines, lines4, FOUR_PORT);
}

template <typename Record>
int CS2pData::ReadRecords(const LineList& lines, std::vector<Record>& records, PortKind kind)
{
    constexpr int N = Record::PORTS;
    constexpr int M = 1 + 2 * N * N;

    headerComments.clear();
    lines2.clear();
    lines3.clear();
    lines4.clear();
    portKind = kind;
    // A file without an option line reads with the Touchstone defaults, whatever
    // an earlier file of this data set said.
    freqUnit = GHZ;
    paramKind = S;
    refImpedance = 50.0;
    int format = MA;
    bool optionSeen = false;
    bool dataSeen = false;
    records.reserve(std::min<std::size_t>(lines.size(), MAX_RECORDS));

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line[0] == '!') {
            if (!optionSeen && line != "! Freq")
                headerComments.push_back(line);
            continue;
        }
        if (line[0] == '#') {
            if (optionSeen || dataSeen)
                return FILE_READ_ERROR;
            optionSeen = true;
            ParseOptionLine(line, format);
            continue;
        }
        dataSeen = true;

        double numbers[M] = {};
        int count = 0;
        CTokenizer tokens = CTokenizer::Words(WithoutComment(line));
        while (count < M && !tokens.Empty())
            numbers[count++] = tokens.NextNumber();
        if constexpr (N == 2) {
            // A noise-parameter block (five numbers a line, its frequency starting
            // again at or below the last network frequency) ends the network data.
            if (count == 5 && tokens.Empty() && !records.empty()
                && std::fabs(numbers[0]) <= records.back().freq)
                break;
        } else {
            // 3- and 4-port records run on over as many lines as they need.
            while (count < M && i + 1 < lines.size()) {
                ++i;
                CTokenizer more = CTokenizer::Words(WithoutComment(lines[i]));
                while (count < M && !more.Empty())
                    numbers[count++] = more.NextNumber();
            }
        }

        if (records.size() >= MAX_RECORDS) {
            ShowMessageBox("File too big. Reading only 16001 lines of data...");
            break;
        }
        Record record;
        record.freq = std::fabs(numbers[0]);
        // An element the line does not reach is zero in every format (a zero pair in dB
        // would be magnitude 1); half a pair still counts, with its missing number 0.
        for (int k = 0; k < N * N && 1 + 2 * k < count; ++k)
            record.s[k] = ComplexFromPair(numbers[1 + 2 * k], numbers[2 + 2 * k], format);
        if constexpr (N == 2)
            std::swap(record.s[1], record.s[2]);  // the file lists N21 before N12
        records.push_back(record);
    }

    if (records.size() < MIN_RECORDS) {
        ShowMessageBox("File must contain at least 3 frequency data.");
        return FILE_CANNOT_OPEN;
    }
    // Instruments write ascending frequencies; moving the large records about is only
    // worth it when they are not.
    const auto byFreq = [](const Record& a, const Record& b) { return a.freq < b.freq; };
    if (!std::is_sorted(records.begin(), records.end(), byFreq))
        std::sort(records.begin(), records.end(), byFreq);
    return FILE_OK;
}

void CS2pData::ParseOptionLine(const std::string& line, int& format)
{
    bool pendingR = false;
    // A remark after "!" names no option, and the first word may touch the "#".
    std::string_view words = WithoutComment(line);
    if (!words.empty() && words[0] == '#')
        words.remove_prefix(1);
    CTokenizer tokens = CTokenizer::Words(words);
    while (!tokens.Empty()) {
        const std::string token = ToLower(std::string(tokens.NextToken()));
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
