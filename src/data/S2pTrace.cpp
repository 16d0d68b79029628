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
    default: {
        // The elements taken as a transfer-scattering matrix T.
        const Cx d = x11;
        s11 = Div(x21, d);
        s12 = Div(x11 * x22 - x12 * x21, d);
        s21 = Div(one, d);
        s22 = Div(-x12, d);
        break;
    }
    }
    record.s[0] = s11;
    record.s[1] = s12;
    record.s[2] = s21;
    record.s[3] = s22;
    return record;
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
    const bool convert = portKind == TWO_PORT && value <= 17;

    const std::size_t n = RecordCount();
    std::vector<double> y(n);
    for (std::size_t i = 0; i < n; ++i) {
        const CComplex z = convert ? ConvertToS(lines2[i], paramKind).s[(row - 1) * 2 + (col - 1)]
                                   : Element(i, row, col);
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
