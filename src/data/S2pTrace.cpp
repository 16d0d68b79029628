// Derivation of plottable traces from a data set (members of CS2pData).
#include "data/S2pData.h"

#include "chart/ChartTrace.h"

#include <cmath>
#include <complex>
#include <limits>

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

// Solves a x = b for every column of b (N x N, row-major) by Gaussian elimination with
// partial pivoting and leaves x in b; false when a is singular.
template <int N>
bool Solve(Cx (&a)[N * N], Cx (&b)[N * N])
{
    for (int c = 0; c < N; ++c) {
        int p = c;
        for (int r = c + 1; r < N; ++r)
            if (std::abs(a[r * N + c]) > std::abs(a[p * N + c]))
                p = r;
        if (a[p * N + c] == Cx(0.0, 0.0))
            return false;
        for (int k = 0; p != c && k < N; ++k) {
            std::swap(a[p * N + k], a[c * N + k]);
            std::swap(b[p * N + k], b[c * N + k]);
        }
        for (int r = c + 1; r < N; ++r) {
            const Cx f = a[r * N + c] / a[c * N + c];
            for (int k = c; k < N; ++k)
                a[r * N + k] -= f * a[c * N + k];
            for (int k = 0; k < N; ++k)
                b[r * N + k] -= f * b[c * N + k];
        }
    }
    for (int r = N - 1; r >= 0; --r)
        for (int k = 0; k < N; ++k) {
            Cx sum = b[r * N + k];
            for (int j = r + 1; j < N; ++j)
                sum -= a[r * N + j] * b[j * N + k];
            b[r * N + k] = sum / a[r * N + r];
        }
    return true;
}

// Normalised Z or Y of an N-port as S: S = (z + I)^-1 (z - I) or (I + y)^-1 (I - y).
// Both factors are functions of the one matrix and commute, so this is the same as
// (z - I)(z + I)^-1; solving avoids forming the inverse. H and G exist for 2-ports only,
// so other kinds stay as they are.
template <int N>
void MatrixToS(CComplex (&x)[N * N], int kind)
{
    if (kind != CS2pData::Z && kind != CS2pData::Y)
        return;
    const double sign = kind == CS2pData::Z ? 1.0 : -1.0;
    Cx a[N * N];
    Cx b[N * N];
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) {
            const Cx v = x[r * N + c].ToStd();
            const double one = r == c ? 1.0 : 0.0;
            a[r * N + c] = v + one;
            b[r * N + c] = sign * (v - one);
        }
    const bool solved = Solve<N>(a, b);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < N * N; ++k)
        x[k] = solved ? CComplex(b[k]) : CComplex(nan, nan);
}

bool Available(int value, int portKind)
{
    if (value < 0 || value > 21)
        return false;
    if (value >= 16)
        return true;
    const int row = value / 4 + 1;
    const int col = value % 4 + 1;
    const int ports = portKind == CS2pData::FOUR_PORT ? 4 : portKind == CS2pData::THREE_PORT ? 3 : 2;
    return row <= ports && col <= ports;
}

// Row and column (1-based) of the element a value selects.
void ElementOf(int value, int& row, int& col)
{
    switch (value) {
    case 16: row = 2; col = 1; return;  // insertion loss
    case 17: row = 1; col = 1; return;  // return loss
    case 18: row = 2; col = 1; return;
    case 19: row = 1; col = 2; return;
    case 20: row = 1; col = 1; return;
    case 21: row = 2; col = 2; return;
    default: row = value / 4 + 1; col = value % 4 + 1; return;
    }
}

std::string NameBase(int value, int paramKind)
{
    switch (value) {
    case 16: return "IL[dB]";
    case 17: return "RL[dB]";
    case 18: return CS2pData::ParamLetter(paramKind) + "21";
    case 19: return CS2pData::ParamLetter(paramKind) + "12";
    case 20: return CS2pData::ParamLetter(paramKind) + "11";
    case 21: return CS2pData::ParamLetter(paramKind) + "22";
    default: return "S" + std::to_string(value / 4 + 1) + std::to_string(value % 4 + 1);
    }
}

std::string UnitLabel(int valueFormat)
{
    switch (valueFormat) {
    case 0: return "[dB]";
    case 1: return "[deg]";
    case 2: return "[ns]";
    case 3: return "(mag)";
    case 4: return "(re)";
    case 5: return "(im)";
    default: return "";
    }
}

double Quantity(const CComplex& z, int valueFormat)
{
    static const double pi = 4.0 * std::atan(1.0);
    switch (valueFormat) {
    case 0: return z.GetDb();
    case 1:
    case 2: return std::atan2(z.im, z.re) * 180.0 / pi;
    case 3: return std::sqrt(z.re * z.re + z.im * z.im);
    case 4: return z.re;
    case 5: return z.im;
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
    case S:
        return record;
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
    default:
        return record;  // no kind the reader knows: taken as S, as its letter says
    }
    record.s[0] = s11;
    record.s[1] = s12;
    record.s[2] = s21;
    record.s[3] = s22;
    return record;
}

CS2pData::DataLineS3P CS2pData::ConvertToS(DataLineS3P record, int kind)
{
    MatrixToS<3>(record.s, kind);
    return record;
}

CS2pData::DataLineS4P CS2pData::ConvertToS(DataLineS4P record, int kind)
{
    MatrixToS<4>(record.s, kind);
    return record;
}

CComplex CS2pData::SElement(std::size_t record, int row, int col) const
{
    switch (portKind) {
    case FOUR_PORT: return ConvertToS(lines4[record], paramKind).s[(row - 1) * 4 + (col - 1)];
    case THREE_PORT: return ConvertToS(lines3[record], paramKind).s[(row - 1) * 3 + (col - 1)];
    default: return ConvertToS(lines2[record], paramKind).s[(row - 1) * 2 + (col - 1)];
    }
}

bool CS2pData::BuildTrace(CChartTrace& trace, int fileNumber, int value, int valueFormat) const
{
    if (!Available(value, portKind))
        return false;
    const bool loss = value == 16 || value == 17;
    const int format = loss ? 0 : valueFormat;
    int row = 1;
    int col = 1;
    ElementOf(value, row, col);
    const bool convert = value <= 17 && paramKind != S;

    const std::size_t n = RecordCount();
    std::vector<double> y(n);
    for (std::size_t i = 0; i < n; ++i) {
        const CComplex z = convert ? SElement(i, row, col) : Element(i, row, col);
        y[i] = Quantity(z, format);
        if (loss)
            y[i] = -y[i];
    }

    std::vector<CChartTrace::XYpair> points(n);
    for (std::size_t i = 0; i < n; ++i)
        points[i] = CChartTrace::XYpair(FreqAt(i), y[i]);

    if (format == 2 && n > 0) {
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

    trace.SetPoints(points);
    trace.name = loss ? NameBase(value, paramKind) : NameBase(value, paramKind) + UnitLabel(format);
    if (fileNumber >= 0)
        trace.name += "(" + std::to_string(fileNumber) + ")";
    trace.color = NextTraceColor();
    return true;
}
