#include "data/TouchstoneWriter.h"

#include "data/LineFile.h"
#include "data/S2pData.h"
#include "data/Version2Values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace TouchstoneWriter {

namespace {

// The room of one number of 17 significant digits ("-1.2345678901234567e-308") and the
// blank or line end after it.
constexpr std::size_t NUMBER_ROOM = 26;
// The floor of DB values: a zero has no finite decibels.
constexpr double DB_FLOOR = -400.0;

char* Put(char* p, double v)
{
    if (v == 0.0)
        v = 0.0;  // no "-0" in a file
    return std::to_chars(p, p + NUMBER_ROOM, v, std::chars_format::general, 17).ptr;
}

std::string Number(double v)
{
    char buffer[NUMBER_ROOM];
    return std::string(buffer, Put(buffer, v));
}

const char* UnitWord(int unit)
{
    switch (unit) {
    case CS2pData::HZ: return "HZ";
    case CS2pData::KHZ: return "KHZ";
    case CS2pData::MHZ: return "MHZ";
    default: return "GHZ";
    }
}

const char* FormatWord(int format)
{
    switch (format) {
    case MA: return "MA";
    case DB: return "DB";
    default: return "RI";
    }
}

// One comment line; control bytes become blanks, so that a name cannot end the comment.
std::string CommentLine(const std::string& line)
{
    std::string text = "! " + line;
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return text + "\n";
}

// Every port's reference, in ohms.
std::vector<double> PortReferences(const CS2pData& data)
{
    const std::size_t n = static_cast<std::size_t>(data.PortCount());
    if (data.refImpedances.size() == n)
        return data.refImpedances;
    return std::vector<double>(n, data.refImpedance);
}

// How one element is written: where it sits in the matrix, whether a line starts before it,
// and (version 2 Z, Y, H, G) how its value is scaled to ohms or siemens.
struct Cell {
    int at = 0;  // row-major index
    bool newLine = false;
    bool scaled = false;
    bool divide = false;
    double factor = 1.0;
};

std::vector<Cell> Layout(const CS2pData& data, int version, const std::vector<double>& refs)
{
    const int n = data.PortCount();
    const int kind = data.paramKind;
    // The readers' rule for which values of a version 2 file are in ohms or siemens.
    const bool scaled = version == 2 && kind != CS2pData::S
        && (n == 2 || kind == CS2pData::Z || kind == CS2pData::Y);
    std::vector<Cell> cells;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            Cell cell;
            // Version 1 2-ports list N21 before N12.
            cell.at = version == 1 && n == 2 ? c * n + r : r * n + c;
            cell.newLine = n > 2 && c % 4 == 0 && !(r == 0 && c == 0);
            if (scaled) {
                const int row = cell.at / n;
                const int col = cell.at % n;
                cell.scaled = true;
                cell.factor = Version2Values::NormalisingFactor(kind, row, col, refs, cell.divide);
            }
            cells.push_back(cell);
        }
    }
    return cells;
}

// The pair of a value in the format.
void Pair(const CComplex& v, int format, double& a, double& b)
{
    if (format == RI) {
        a = v.re;
        b = v.im;
        return;
    }
    static const double degrees = 45.0 / std::atan(1.0);
    const double magnitude = std::hypot(v.re, v.im);
    a = magnitude;
    if (format != MA) {
        // A finite element whose magnitude overflows still has a finite level: from halves.
        const double level = std::isfinite(magnitude)
            ? 20.0 * std::log10(magnitude)
            : 20.0 * (std::log10(std::hypot(0.5 * v.re, 0.5 * v.im)) + std::log10(2.0));
        a = std::max(level, DB_FLOOR);
    }
    b = std::atan2(v.im, v.re) * degrees;
}

// The [Mixed-Mode Order] entries: the ports the file named, or, where a data set does not
// know them, ports counted up in the order of the logical ports.
std::string ModeOrder(const std::vector<CS2pData::PortMode>& modes)
{
    const bool known = std::all_of(modes.begin(), modes.end(),
                                   [](const CS2pData::PortMode& m) { return m.first > 0; });
    std::vector<std::pair<int, int>> ports;  // per logical port, when invented
    if (!known) {
        int logical = 0;
        for (const CS2pData::PortMode& m : modes)
            logical = std::max(logical, m.port);
        int next = 1;
        for (int p = 1; p <= logical; ++p) {
            const auto pair = std::find_if(modes.begin(), modes.end(), [p](const auto& m) {
                return m.port == p && m.mode != 's';
            });
            ports.emplace_back(next, pair != modes.end() ? next + 1 : 0);
            next += pair != modes.end() ? 2 : 1;
        }
    }
    std::string text;
    for (const CS2pData::PortMode& m : modes) {
        const std::size_t p = static_cast<std::size_t>(m.port - 1);
        const int a = known ? m.first : p < ports.size() ? ports[p].first : 0;
        const int b = known ? m.second : p < ports.size() ? ports[p].second : 0;
        text += ' ';
        text += static_cast<char>(m.mode == 'd' ? 'D' : m.mode == 'c' ? 'C' : 'S');
        text += std::to_string(a);
        if (m.mode != 's')
            text += "," + std::to_string(b);
    }
    return text;
}

std::string Header(const CS2pData& data, const Options& options, int format, int unit,
                   const std::vector<double>& refs)
{
    std::string text;
    for (const std::string& line : options.comments)
        text += CommentLine(line);
    const int n = data.PortCount();
    const bool same = std::all_of(refs.begin(), refs.end(), [&](double r) { return r == refs[0]; });
    // Version 1 has one reference for all ports: theirs, whatever the data set's R.
    const double r = options.version == 1 && same ? refs[0] : data.refImpedance;
    const std::string option = std::string("# ") + UnitWord(unit) + " "
        + CS2pData::ParamLetter(data.paramKind) + " " + FormatWord(format) + " R " + Number(r)
        + "\n";
    if (options.version == 1)
        return text + option;
    text += "[Version] 2.0\n" + option;
    text += "[Number of Ports] " + std::to_string(n) + "\n";
    if (n == 2)
        text += "[Two-Port Data Order] 12_21\n";
    text += "[Number of Frequencies] " + std::to_string(data.RecordCount()) + "\n";
    if (std::any_of(refs.begin(), refs.end(), [&](double z) { return z != data.refImpedance; })) {
        text += "[Reference]";
        for (const double z : refs)
            text += " " + Number(z);
        text += "\n";
    }
    if (data.IsMixedMode())
        text += "[Mixed-Mode Order]" + ModeOrder(data.portModes) + "\n";
    return text + "[Network Data]\n";
}

// Empty, or why the data cannot be written.
std::string Refusal(const CS2pData& data, const Options& options, const std::vector<double>& refs)
{
    if (options.version != 1 && options.version != 2)
        return "Touchstone has versions 1 and 2 only.";
    if (data.RecordCount() == 0)
        return "The data set holds no frequencies.";
    const auto positive = [](double r) { return std::isfinite(r) && r > 0; };
    if (!std::all_of(refs.begin(), refs.end(), positive) || !positive(data.refImpedance))
        return "A reference impedance is not a positive number.";
    if (options.version == 2)
        return std::string();
    if (data.IsMixedMode())
        return "Version 1 files (.sNp) cannot hold mixed-mode data: use .ts.";
    if (!std::all_of(refs.begin(), refs.end(), [&](double r) { return r == refs[0]; }))
        return "The ports' reference impedances differ, which version 1 files (.sNp) cannot "
               "hold: use .ts.";
    return std::string();
}

}  // namespace

namespace {

// The whole text, handed to put a piece of about a megabyte at a time; false, with why,
// when the data cannot be written (put has then been given part of the text) or put says
// to stop.
bool Emit(const CS2pData& data, const Options& options, const ChunkSink& put, std::string& why)
{
    const std::vector<double> refs = PortReferences(data);
    why = Refusal(data, options, refs);
    if (!why.empty())
        return false;
    const int format = options.format >= RI && options.format <= DB ? options.format
        : data.fileFormat >= RI && data.fileFormat <= DB            ? data.fileFormat
                                                                    : RI;
    const int own = data.fileFreqUnit >= CS2pData::HZ && data.fileFreqUnit <= CS2pData::GHZ
        ? data.fileFreqUnit
        : data.freqUnit;
    const int unit =
        options.unit >= CS2pData::HZ && options.unit <= CS2pData::GHZ ? options.unit : own;
    const double toUnit = unit == data.freqUnit
        ? 1.0
        : CS2pData::UnitFactor(data.freqUnit) / CS2pData::UnitFactor(unit);

    const std::vector<Cell> cells = Layout(data, options.version, refs);
    if (!put(Header(data, options, format, unit, refs)))
        return false;
    // Records are formatted into a buffer of room for one more before it is handed on.
    constexpr std::size_t kChunk = 1 << 20;
    const std::size_t recordRoom = (1 + 2 * cells.size()) * NUMBER_ROOM + 8;
    std::string buffer(kChunk + recordRoom, '\0');
    char* const start = buffer.data();
    char* p = start;
    const std::size_t records = data.RecordCount();
    for (std::size_t i = 0; i < records; ++i) {
        const double freq = data.FreqAt(i) * toUnit;
        if (!std::isfinite(freq) || freq < 0) {
            why = "Frequency " + Number(freq) + " (record " + std::to_string(i + 1)
                + ") is no frequency a file can hold.";
            return false;
        }
        p = Put(p, freq);
        const CComplex* matrix = data.Matrix(i);
        for (const Cell& cell : cells) {
            *p++ = cell.newLine ? '\n' : ' ';
            double a = 0.0;
            double b = 0.0;
            Pair(matrix[cell.at], format, a, b);
            if (cell.scaled)
                Version2Values::UnscalePair(a, b, format, cell.factor, cell.divide);
            if (!std::isfinite(a) || !std::isfinite(b)) {
                const int n = data.PortCount();
                const CComplex& v = matrix[cell.at];
                const bool finite = std::isfinite(v.re) && std::isfinite(v.im);
                why = "Element " + data.ElementName(cell.at / n + 1, cell.at % n + 1) + " at "
                    + Number(freq) + " " + UnitWord(unit)
                    + (finite ? " has a magnitude too large for this format; real and imaginary "
                                "parts can hold it."
                              : " is not a finite number.");
                return false;
            }
            p = Put(p, a);
            *p++ = ' ';
            p = Put(p, b);
        }
        *p++ = '\n';
        if (static_cast<std::size_t>(p - start) >= kChunk) {
            if (!put(std::string_view(start, static_cast<std::size_t>(p - start))))
                return false;
            p = start;
        }
    }
    if (options.version == 2)
        p = std::copy_n("[End]\n", 6, p);
    return put(std::string_view(start, static_cast<std::size_t>(p - start)));
}

}  // namespace

bool Format(const CS2pData& data, const Options& options, std::string& text, std::string& why)
{
    text.clear();
    const bool done = Emit(
        data, options,
        [&text](std::string_view piece) {
            text.append(piece);
            return true;
        },
        why);
    if (!done)
        text.clear();
    return done;
}

int Write(const std::string& path, const CS2pData& data, const Options& options, std::string& why)
{
    // Refusals come before any file is touched, as far as they can be known up front.
    why = Refusal(data, options, PortReferences(data));
    if (!why.empty())
        return REFUSED;
    bool refused = false;
    const int rc = WriteChunksAtomic(path, [&](const ChunkSink& put) {
        bool putFailed = false;
        const bool done = Emit(
            data, options,
            [&](std::string_view piece) {
                putFailed = !put(piece);
                return !putFailed;
            },
            why);
        refused = !done && !putFailed;
        return done;
    });
    return refused ? REFUSED : rc;
}

}  // namespace TouchstoneWriter
