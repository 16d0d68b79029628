// Derivation of plottable traces from a data set (members of CS2pData).
#include "data/S2pData.h"

#include "chart/ChartTrace.h"
#include "chart/Reflection.h"
#include "data/MixedMode.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

namespace {

using Cx = std::complex<double>;

// Complex division that gives NaN in both parts for a zero divisor.
Cx Div(const Cx& a, const Cx& d)
{
    if (d == Cx(0.0, 0.0)) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    return a / d;
}

// Solves a x = b for every column of b (n x n, row-major) by Gaussian elimination with
// partial pivoting and leaves x in b; false when a is singular.
bool Solve(Cx* a, Cx* b, int n)
{
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::abs(a[r * n + c]) > std::abs(a[p * n + c]))
                p = r;
        if (a[p * n + c] == Cx(0.0, 0.0))
            return false;
        for (int k = 0; p != c && k < n; ++k) {
            std::swap(a[p * n + k], a[c * n + k]);
            std::swap(b[p * n + k], b[c * n + k]);
        }
        for (int r = c + 1; r < n; ++r) {
            const Cx f = a[r * n + c] / a[c * n + c];
            for (int k = c; k < n; ++k)
                a[r * n + k] -= f * a[c * n + k];
            for (int k = 0; k < n; ++k)
                b[r * n + k] -= f * b[c * n + k];
        }
    }
    for (int r = n - 1; r >= 0; --r)
        for (int k = 0; k < n; ++k) {
            Cx sum = b[r * n + k];
            for (int j = r + 1; j < n; ++j)
                sum -= a[r * n + j] * b[j * n + k];
            b[r * n + k] = sum / a[r * n + r];
        }
    return true;
}

// Normalised Z or Y of an n-port as S: S = (z + I)^-1 (z - I) or (I + y)^-1 (I - y).
// Both factors are functions of the one matrix and commute, so this is the same as
// (z - I)(z + I)^-1; solving avoids forming the inverse. H and G exist for 2-ports only,
// so other kinds stay as they are.
void MatrixToS(CComplex* x, int n, int kind)
{
    if (kind != CS2pData::Z && kind != CS2pData::Y)
        return;
    const double sign = kind == CS2pData::Z ? 1.0 : -1.0;
    const std::size_t cells = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    // Kept from call to call: a trace converts every record in turn.
    thread_local std::vector<Cx> a;
    thread_local std::vector<Cx> b;
    a.resize(cells);
    b.resize(cells);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const std::size_t k = static_cast<std::size_t>(r * n + c);
            const Cx v = x[k].ToStd();
            const double one = r == c ? 1.0 : 0.0;
            a[k] = v + one;
            b[k] = sign * (v - one);
        }
    const bool solved = Solve(a.data(), b.data(), n);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t k = 0; k < cells; ++k)
        x[k] = solved ? CComplex(b[k]) : CComplex(nan, nan);
}

// Row and column (1-based) of the element a derived code 16..21 selects.
void DerivedElement(int value, int& row, int& col)
{
    switch (value) {
    case 16:
        row = 2;
        col = 1;
        return;  // insertion loss
    case 17:
        row = 1;
        col = 1;
        return;  // return loss
    case 18:
        row = 2;
        col = 1;
        return;
    case 19:
        row = 1;
        col = 2;
        return;
    case 20:
        row = 1;
        col = 1;
        return;
    default:
        row = 2;
        col = 2;
        return;
    }
}

std::string DerivedName(int value, int paramKind)
{
    switch (value) {
    case 16: return "IL[dB]";
    case 17: return "RL[dB]";
    case 18: return CS2pData::ParamLetter(paramKind) + "21";
    case 19: return CS2pData::ParamLetter(paramKind) + "12";
    case 20: return CS2pData::ParamLetter(paramKind) + "11";
    default: return CS2pData::ParamLetter(paramKind) + "22";
    }
}

// The modes and logical ports of a mixed-mode code.
void DecodeMixed(int code, char& rowMode, int& row, char& colMode, int& col)
{
    static const char modes[] = {'d', 'c', 's'};
    const int m = (code - ValueCode::MIXED_BASE) / 10000;
    rowMode = modes[m / 3];
    colMode = modes[m % 3];
    row = code / 100 % 100;
    col = code % 100;
}

// y of one point: z in a rectangular format; z0 is the reference for R, X and |Z|.
double Quantity(const CComplex& z, int valueFormat, double z0)
{
    static const double pi = 4.0 * std::atan(1.0);
    const double mag = std::sqrt(z.re * z.re + z.im * z.im);
    switch (valueFormat) {
    case ValueFormat::DB: return z.GetDb();
    case ValueFormat::PHASE:
    case ValueFormat::DELAY: return std::atan2(z.im, z.re) * 180.0 / pi;
    case ValueFormat::LIN_MAG:
    case ValueFormat::SMITH:
    case ValueFormat::POLAR: return mag;
    case ValueFormat::REAL: return z.re;
    case ValueFormat::IMAG: return z.im;
    case ValueFormat::VSWR:
        // A total reflection has no finite standing-wave ratio; the chart skips infinities.
        return StandingWaveRatio(mag);
    case ValueFormat::RESISTANCE:
    case ValueFormat::REACTANCE:
    case ValueFormat::IMPEDANCE: {
        const Cx impedance = ReflectionImpedance(z.ToStd(), z0);
        if (valueFormat == ValueFormat::RESISTANCE)
            return impedance.real();
        if (valueFormat == ValueFormat::REACTANCE)
            return impedance.imag();
        return std::abs(impedance);
    }
    default: return 0.0;
    }
}

}  // namespace

CS2pData::DataLine CS2pData::ConvertToS(DataLine record, int kind)
{
    const Cx x11 = record.s[0].ToStd();
    const Cx x12 = record.s[1].ToStd();
    const Cx x21 = record.s[2].ToStd();
    const Cx x22 = record.s[3].ToStd();
    const Cx one(1.0, 0.0);
    Cx s11, s12, s21, s22;
    switch (kind) {
    case S: return record;
    case Z: {
        const Cx d = (x11 + one) * (x22 + one) - x12 * x21;
        s11 = Div((x11 - one) * (x22 + one) - x12 * x21, d);
        s12 = Div(2.0 * x12, d);
        s21 = Div(2.0 * x21, d);
        s22 = Div((x11 + one) * (x22 - one) - x12 * x21, d);
        break;
    }
    case Y: {
        const Cx d = (one + x11) * (one + x22) - x12 * x21;
        s11 = Div((one - x11) * (one + x22) + x12 * x21, d);
        s12 = Div(-2.0 * x12, d);
        s21 = Div(-2.0 * x21, d);
        s22 = Div((one + x11) * (one - x22) + x12 * x21, d);
        break;
    }
    case H: {
        const Cx d = (x11 + one) * (x22 + one) - x12 * x21;
        s11 = Div((x11 - one) * (x22 + one) - x12 * x21, d);
        s12 = Div(2.0 * x12, d);
        s21 = Div(-2.0 * x21, d);
        s22 = Div((one + x11) * (one - x22) + x12 * x21, d);
        break;
    }
    case G: {
        // G is the inverse of H; it is H of the network seen with its ports swapped.
        const Cx d = (one + x11) * (one + x22) - x12 * x21;
        s11 = Div((one - x11) * (one + x22) + x12 * x21, d);
        s12 = Div(-2.0 * x12, d);
        s21 = Div(2.0 * x21, d);
        s22 = Div((one + x11) * (x22 - one) - x12 * x21, d);
        break;
    }
    default: return record;  // no kind the reader knows: taken as S, as its letter says
    }
    record.s[0] = s11;
    record.s[1] = s12;
    record.s[2] = s21;
    record.s[3] = s22;
    return record;
}

CS2pData::DataLineS3P CS2pData::ConvertToS(DataLineS3P record, int kind)
{
    MatrixToS(record.s, 3, kind);
    return record;
}

CS2pData::DataLineS4P CS2pData::ConvertToS(DataLineS4P record, int kind)
{
    MatrixToS(record.s, 4, kind);
    return record;
}

void CS2pData::ConvertMatrixToS(CComplex* matrix, int n, int kind)
{
    if (n == 2) {
        DataLine record;
        std::copy_n(matrix, 4, record.s);
        record = ConvertToS(record, kind);
        std::copy_n(record.s, 4, matrix);
        return;
    }
    MatrixToS(matrix, n, kind);
}

int CS2pData::CodeAt(int row, int col) const
{
    if (row < 1 || col < 1 || row > ports || col > ports)
        return -1;
    if (portModes.size() == static_cast<std::size_t>(ports)) {
        const PortMode& r = portModes[static_cast<std::size_t>(row - 1)];
        const PortMode& c = portModes[static_cast<std::size_t>(col - 1)];
        return ValueCode::MixedMode(r.mode, r.port, c.mode, c.port);
    }
    return ValueCode::Element(row, col);
}

std::vector<int> CS2pData::ElementCodes() const
{
    std::vector<int> codes;
    codes.reserve(Cells());
    for (int r = 1; r <= ports; ++r)
        for (int c = 1; c <= ports; ++c)
            codes.push_back(CodeAt(r, c));
    return codes;
}

bool CS2pData::PositionOf(int code, int& row, int& col) const
{
    if (!ValueCode::IsElement(code))
        return false;
    if (IsMixedMode()) {
        // The names of a mixed-mode matrix follow the file's order list, not a formula.
        for (int r = 1; r <= ports; ++r)
            for (int c = 1; c <= ports; ++c)
                if (CodeAt(r, c) == code) {
                    row = r;
                    col = c;
                    return true;
                }
        return false;
    }
    int r = 0;
    int c = 0;
    if (code <= 15) {
        r = code / 4 + 1;
        c = code % 4 + 1;
    } else if (code < ValueCode::MIXED_BASE) {
        r = (code - ValueCode::LARGE_BASE) / 100;
        c = code % 100;
    } else {
        return false;
    }
    if (r > ports || c > ports)
        return false;
    row = r;
    col = c;
    return true;
}

bool CS2pData::HasCode(int code) const
{
    if (ValueCode::IsQuality(code))
        return code == ValueCode::SIGMA || ports > 1;
    int row = 0;
    int col = 0;
    if (code >= ValueCode::INSERTION_LOSS && code <= ValueCode::LAST_DERIVED) {
        DerivedElement(code, row, col);
        return row <= ports && col <= ports;
    }
    if (PositionOf(code, row, col))
        return true;
    if (IsMixedMode() || !MixedMode::Offered(ports) || code < ValueCode::MIXED_BASE
        || !ValueCode::IsElement(code))
        return false;
    char rowMode = 's';
    char colMode = 's';
    DecodeMixed(code, rowMode, row, colMode, col);
    return rowMode != 's' && colMode != 's' && row <= ports / 2 && col <= ports / 2;
}

double CS2pData::ReferenceOf(int code, PortPairing pairing) const
{
    if (!ValueCode::IsElement(code))
        return refImpedance;
    const auto portReference = [this](int port) {
        const std::size_t k = static_cast<std::size_t>(port - 1);
        return k < refImpedances.size() ? refImpedances[k] : refImpedance;
    };
    int row = 0;
    int col = 0;
    if (code < ValueCode::MIXED_BASE)
        return PositionOf(code, row, col) ? portReference(row) : refImpedance;
    char rowMode = 's';
    char colMode = 's';
    DecodeMixed(code, rowMode, row, colMode, col);
    if (IsMixedMode()) {
        // The order list does not keep which single-ended ports a pair joins, so the
        // option line's reference stands for both.
        return rowMode == 's' ? refImpedance
                              : MixedMode::ReferenceImpedance(rowMode, refImpedance, refImpedance);
    }
    int plus = 0;
    int minus = 0;
    MixedMode::PairPorts(ports, row, pairing, plus, minus);
    return MixedMode::ReferenceImpedance(rowMode, portReference(plus), portReference(minus));
}

bool CS2pData::CanBuildTrace(int value, int valueFormat) const
{
    const bool derived = value >= ValueCode::INSERTION_LOSS && value <= ValueCode::LAST_DERIVED;
    const bool loss = value == ValueCode::INSERTION_LOSS || value == ValueCode::RETURN_LOSS;
    const int format = loss ? ValueFormat::DB : valueFormat;
    if (!HasCode(value))
        return false;
    if (ValueCode::IsQuality(value))
        return valueFormat == ValueFormat::LIN_MAG;
    return !((ValueFormat::NeedsReflection(format) && !ValueCode::IsReflection(value))
             || (derived
                 && (ValueFormat::NeedsReflection(format) || ValueFormat::IsComplex(format)
                     || ValueFormat::IsTime(format))));
}

bool CS2pData::BuildTrace(CChartTrace& trace, int fileNumber, int value, int valueFormat,
                          PortPairing pairing) const
{
    const bool derived = value >= ValueCode::INSERTION_LOSS && value <= ValueCode::LAST_DERIVED;
    const bool loss = value == ValueCode::INSERTION_LOSS || value == ValueCode::RETURN_LOSS;
    const int format = loss ? ValueFormat::DB : valueFormat;
    // The quality of the whole matrix, and the time formats (transforms over all the
    // frequencies), are the rf layer's to build.
    if (!CanBuildTrace(value, valueFormat) || ValueCode::IsQuality(value)
        || ValueFormat::IsTime(format))
        return false;
    int row = 1;
    int col = 1;
    // Mixed-mode elements of a single-ended file are computed from the whole matrix.
    bool computedMixed = false;
    char rowMode = 's';
    char colMode = 's';
    if (derived)
        DerivedElement(value, row, col);
    else if (!PositionOf(value, row, col)) {
        computedMixed = true;
        DecodeMixed(value, rowMode, row, colMode, col);
    }
    // The file's own parameters (18..21) are shown as they are; the rest as S.
    const bool toS = (!derived || loss) && paramKind != S;
    const bool complex = ValueFormat::IsComplex(format);
    const double z0 = ReferenceOf(value, pairing);

    const std::size_t n = RecordCount();
    const std::size_t cells = Cells();
    const std::size_t at = static_cast<std::size_t>((row - 1) * ports + (col - 1));
    std::vector<CComplex> scratch(toS ? cells : 0);
    std::vector<double> y(n);
    std::vector<CChartTrace::XYpair> gamma(complex ? n : 0);
    for (std::size_t i = 0; i < n; ++i) {
        const CComplex* matrix = Matrix(i);
        if (toS) {
            std::copy_n(matrix, cells, scratch.data());
            ConvertMatrixToS(scratch.data(), ports, paramKind);
            matrix = scratch.data();
        }
        const CComplex z = computedMixed
            ? MixedMode::Element(matrix, ports, rowMode, row, colMode, col, pairing)
            : matrix[at];
        y[i] = Quantity(z, format, z0);
        if (loss)
            y[i] = -y[i];
        if (complex)
            gamma[i] = CChartTrace::XYpair(z.re, z.im);
    }

    std::vector<CChartTrace::XYpair> points(n);
    for (std::size_t i = 0; i < n; ++i)
        points[i] = CChartTrace::XYpair(FreqAt(i), y[i]);

    if (format == ValueFormat::DELAY && n > 0) {
        static const double pi = 4.0 * std::atan(1.0);
        // Unwrap: the offset follows the jumps of more than 180 degrees between neighbours.
        double offset = 0.0;
        std::vector<double> u(n);
        u[0] = y[0];
        for (std::size_t i = 1; i < n; ++i) {
            if (std::fabs(y[i - 1] - y[i]) > 180.0)
                offset += y[i - 1] < y[i] ? 360.0 : -360.0;
            u[i] = y[i] - offset;
        }
        // Backward differences, in ns, at the upper frequency of each step. Two records at
        // the same frequency have no difference quotient: the delay before them carries on.
        const double w = 8.0 * std::atan(1.0) * UnitFactor(freqUnit);
        std::vector<double> delay(n, 0.0);
        for (std::size_t i = 1; i < n; ++i) {
            const double df = points[i].x - points[i - 1].x;
            const double du = (u[i] - u[i - 1]) * pi / 180.0;
            delay[i] = df > 0 ? -du * 1e9 / (df * w) : (i >= 2 ? delay[i - 1] : 0.0);
        }
        if (n > 1)
            delay[0] = delay[1];
        for (std::size_t i = 0; i < n; ++i)
            points[i].y = delay[i];
    }

    // SetPoints sorts by frequency (stably); gamma has to follow the same order.
    if (complex && !std::is_sorted(points.begin(), points.end(), [](const auto& a, const auto& b) {
            return a.x < b.x;
        })) {
        std::vector<std::size_t> order(n);
        for (std::size_t i = 0; i < n; ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return points[a].x < points[b].x; });
        std::vector<CChartTrace::XYpair> sorted(n);
        for (std::size_t i = 0; i < n; ++i)
            sorted[i] = gamma[order[i]];
        gamma.swap(sorted);
    }
    trace.SetPoints(points);
    trace.gamma = std::move(gamma);
    if (complex)
        trace.refImpedance = z0;
    trace.name = TraceName(fileNumber, value, valueFormat);
    trace.color = NextTraceColor();
    return true;
}

std::string CS2pData::TraceName(int fileNumber, int value, int valueFormat) const
{
    const bool derived = value >= ValueCode::INSERTION_LOSS && value <= ValueCode::LAST_DERIVED;
    const bool loss = value == ValueCode::INSERTION_LOSS || value == ValueCode::RETURN_LOSS;
    const std::string base = derived ? DerivedName(value, paramKind) : ValueCode::Name(value);
    std::string name = loss ? base : base + ValueFormat::Label(valueFormat);
    // The quality items are named as they are asked for: one quantity, one format.
    if (ValueCode::IsQuality(value))
        name = value == ValueCode::SIGMA ? "S:sigma" : "S:recip";
    if (fileNumber >= 0)
        name += "(" + std::to_string(fileNumber) + ")";
    return name;
}

namespace ValueFormat {

std::string Label(int format)
{
    switch (format) {
    case DB: return "[dB]";
    case PHASE: return "[deg]";
    case DELAY: return "[ns]";
    case LIN_MAG: return "(mag)";
    case REAL: return "(re)";
    case IMAG: return "(im)";
    case VSWR: return "[VSWR]";
    case RESISTANCE: return "[R]";
    case REACTANCE: return "[X]";
    case IMPEDANCE: return "[|Z|]";
    case IMPULSE: return "[impulse]";
    case STEP: return "[step]";
    case BANDPASS: return "[bandpass]";
    case TDR: return "[TDR ohm]";
    default: return "";
    }
}

std::string AxisTitle(int format)
{
    switch (format) {
    case DB: return "LogMag[dB]";
    case PHASE: return "Phase[deg]";
    case DELAY: return "Delay[ns]";
    case LIN_MAG: return "Lin Mag";
    case REAL: return "Re";
    case IMAG: return "Im";
    case VSWR: return "VSWR";
    case RESISTANCE: return "R[ohm]";
    case REACTANCE: return "X[ohm]";
    case IMPEDANCE: return "|Z|[ohm]";
    case SMITH: return "Smith";
    case POLAR: return "Polar";
    case IMPULSE: return "Impulse";
    case STEP: return "Step";
    case BANDPASS: return "Band-pass |h|";
    case TDR: return "Impedance[ohm]";
    default: return "";
    }
}

bool NeedsReflection(int format)
{
    return format == RESISTANCE || format == REACTANCE || format == IMPEDANCE || format == SMITH
        || format == TDR;
}

bool IsComplex(int format)
{
    return format == SMITH || format == POLAR;
}

bool IsTime(int format)
{
    return format >= IMPULSE && format <= TDR;
}

}  // namespace ValueFormat
