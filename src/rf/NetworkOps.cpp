#include "rf/NetworkOps.h"

#include "data/S2pData.h"
#include "platform/NumberFormat.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

namespace NetworkOps {

namespace {

using Cx = std::complex<double>;
using Matrix = Eigen::MatrixXcd;
using Matrix2 = Eigen::Matrix2cd;

std::vector<double> References(const CS2pData& data)
{
    const std::size_t n = static_cast<std::size_t>(data.PortCount());
    if (data.refImpedances.size() == n)
        return data.refImpedances;
    return std::vector<double>(n, data.refImpedance);
}

bool Positive(double z)
{
    return std::isfinite(z) && z > 0.0;
}

std::string Ohms(double z)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", z);
    return text;
}

// "1 port", "3 ports".
std::string Ports(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " port" : " ports");
}

// The frequency of a record in Hz, and its text for a message.
double Hz(const CS2pData& data, std::size_t record)
{
    return data.FreqAt(record) * CS2pData::UnitFactor(data.freqUnit);
}

std::string FrequencyText(const CS2pData& data, std::size_t record)
{
    return Ohms(data.FreqAt(record)) + " " + data.GetFreqUnitLabel();
}

// "f_a GHz of the file, f_b GHz" of a record whose frequencies differ: both in the file's
// unit, with as many digits as it takes to tell them apart (they may differ in the ninth).
std::string MismatchText(const CS2pData& a, const CS2pData& b, std::size_t record)
{
    const double factor = CS2pData::UnitFactor(a.freqUnit);
    const double fa = a.FreqAt(record);
    const double fb = Hz(b, record) / factor;
    std::string ta, tb;
    for (int digits = 6; digits <= 17 && ta == tb; ++digits) {
        const std::string format = "%." + std::to_string(digits) + "g";
        ta = FormatValue(format, fa);
        tb = FormatValue(format, fb);
    }
    const std::string unit = " " + a.GetFreqUnitLabel();
    return ta + unit + " of the file, " + tb + unit;
}

// What every operation asks of a data set: single-ended ports with real, positive references.
bool Plain(const CS2pData& data, const char* role, std::string& why)
{
    if (data.IsMixedMode()) {
        why = std::string(role) + " has mixed-mode ports: operations work on single-ended ports";
        return false;
    }
    for (double z : References(data)) {
        if (!Positive(z)) {
            why = std::string(role) + " has a reference impedance that is no positive number";
            return false;
        }
    }
    return true;
}

bool TwoPort(const CS2pData& data, const char* role, std::string& why)
{
    if (!Plain(data, role, why))
        return false;
    if (data.PortCount() != 2) {
        why = std::string(role) + " has " + Ports(static_cast<std::size_t>(data.PortCount()))
            + "; only 2-ports can be cascaded or de-embedded";
        return false;
    }
    return true;
}

bool SameFrequencies(const CS2pData& a, const CS2pData& b, const char* role, std::string& why)
{
    if (a.RecordCount() != b.RecordCount()) {
        why = std::string(role) + " has " + std::to_string(b.RecordCount())
            + " frequencies, the file " + std::to_string(a.RecordCount());
        return false;
    }
    for (std::size_t i = 0; i < a.RecordCount(); ++i) {
        const double fa = Hz(a, i);
        const double fb = Hz(b, i);
        if (std::fabs(fa - fb) > 1e-9 * std::max(std::fabs(fa), std::fabs(fb))) {
            why = std::string("the frequencies do not match: ") + MismatchText(a, b, i) + " of "
                + role;
            return false;
        }
    }
    return true;
}

Matrix MatrixAt(const CS2pData& data, std::size_t record)
{
    const int n = data.PortCount();
    Matrix m(n, n);
    const CComplex* s = data.Matrix(record);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            m(r, c) = s[r * n + c].ToStd();
    return m;
}

// A copy of like's settings with an empty store of n ports.
CS2pData Emptied(const CS2pData& like, int n)
{
    CS2pData out;
    out.freqUnit = like.freqUnit;
    out.paramKind = CS2pData::S;
    out.refImpedance = like.refImpedance;
    out.version = like.version;
    out.fileFormat = like.fileFormat;
    out.fileFreqUnit = like.fileFreqUnit;
    out.headerComments = like.headerComments;
    out.fileName = like.fileName;
    out.displayName = like.displayName;
    out.loaded = like.loaded;
    out.ResetRecords(n);
    out.ReserveRecords(like.RecordCount());
    return out;
}

void Append(CS2pData& data, double freq, const Matrix& m)
{
    const int n = static_cast<int>(m.rows());
    std::vector<CComplex> cells(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            cells[static_cast<std::size_t>(r * n + c)] = CComplex(m(r, c));
    data.AppendRecord(freq, cells.data());
}

// Sets the references; the option line's R follows when they are all one.
void SetReferences(CS2pData& data, const std::vector<double>& refs)
{
    data.refImpedances = refs;
    if (!refs.empty()
        && std::all_of(refs.begin(), refs.end(), [&](double z) { return z == refs[0]; }))
        data.refImpedance = refs[0];
}

// The transfer matrix of a two-port's S, false where S21 is 0.
bool ToT(const Matrix& s, Matrix2& t)
{
    const Cx s21 = s(1, 0);
    if (s21 == Cx(0.0, 0.0))
        return false;
    const Cx det = s(0, 0) * s(1, 1) - s(0, 1) * s(1, 0);
    t << -det / s21, s(0, 0) / s21, -s(1, 1) / s21, 1.0 / s21;
    return t.allFinite();
}

// S of a transfer matrix, false where its T22 is 0.
bool FromT(const Matrix2& t, Matrix& s)
{
    if (t(1, 1) == Cx(0.0, 0.0))
        return false;
    s.resize(2, 2);
    s(1, 0) = 1.0 / t(1, 1);
    s(0, 0) = t(0, 1) / t(1, 1);
    s(1, 1) = -t(1, 0) / t(1, 1);
    s(0, 1) = t(0, 0) - t(0, 1) * t(1, 0) / t(1, 1);
    return s.allFinite();
}

// Whether a matrix holds values whose products overflow or vanish, so that a failed step says
// nothing about the network itself.
bool Extreme(const Matrix& m)
{
    for (Eigen::Index i = 0; i < m.size(); ++i) {
        const double big = std::max(std::fabs(m(i).real()), std::fabs(m(i).imag()));
        if (big != 0.0 && !(big >= 1e-150 && big <= 1e150))
            return true;
    }
    return false;
}

std::string ExtremeText(const std::string& at)
{
    return "at " + at + " the values are too large or too small to compute with (their products "
           "overflow or vanish)";
}

// The inverse of a, false where it has none.
template <typename M>
bool Inverted(const M& a, M& inverse)
{
    const Eigen::FullPivLU<Matrix> lu(a);
    if (!lu.isInvertible())
        return false;
    inverse = lu.inverse();
    return inverse.allFinite();
}

}  // namespace

bool ToS(CS2pData& data, std::string& why)
{
    if (data.paramKind == CS2pData::S)
        return true;
    if ((data.paramKind == CS2pData::H || data.paramKind == CS2pData::G) && data.PortCount() != 2) {
        why = "H and G parameters exist for 2-ports only";
        return false;
    }
    CS2pData converted = data;
    for (std::size_t i = 0; i < converted.RecordCount(); ++i) {
        CComplex* m = converted.Matrix(i);
        CS2pData::ConvertMatrixToS(m, converted.PortCount(), converted.paramKind);
        const int cells = converted.PortCount() * converted.PortCount();
        if (!std::all_of(m, m + cells, [](const CComplex& c) {
                return std::isfinite(c.re) && std::isfinite(c.im);
            })) {
            why = "its " + CS2pData::ParamLetter(data.paramKind)
                + "-parameters have no S-parameters at " + FrequencyText(data, i);
            return false;
        }
    }
    converted.paramKind = CS2pData::S;
    data = std::move(converted);
    return true;
}

bool UsableReference(double ohms)
{
    return ohms >= MIN_REFERENCE && ohms <= MAX_REFERENCE;
}

bool Renormalize(CS2pData& data, const std::vector<double>& references, std::string& why)
{
    const std::size_t n = static_cast<std::size_t>(data.PortCount());
    if (!Plain(data, "the file", why))
        return false;
    if (references.size() != 1 && references.size() != n) {
        why = "give one reference impedance for all ports or one for each of the " + Ports(n);
        return false;
    }
    std::vector<double> target(n, references[0]);
    if (references.size() == n)
        target = references;
    for (double z : target) {
        if (!UsableReference(z)) {
            why = "reference impedances are positive numbers of ohms, from " + Ohms(MIN_REFERENCE)
                + " to " + Ohms(MAX_REFERENCE) + "; " + Ohms(z) + " is not";
            return false;
        }
    }
    CS2pData work = data;
    if (!ToS(work, why))
        return false;
    const std::vector<double> from = References(work);
    const int ports = work.PortCount();
    Eigen::VectorXcd gamma(ports), a(ports);
    for (int p = 0; p < ports; ++p) {
        const double g = (target[p] - from[p]) / (target[p] + from[p]);
        gamma(p) = g;
        a(p) = std::sqrt(1.0 - g * g);
    }
    const Matrix identity = Matrix::Identity(ports, ports);
    CS2pData out = Emptied(work, ports);
    for (std::size_t i = 0; i < work.RecordCount(); ++i) {
        const Matrix s = MatrixAt(work, i);
        Matrix inverse;
        if (!Inverted<Matrix>(identity - gamma.asDiagonal() * s, inverse)) {
            why = Extreme(s)
                ? ExtremeText(FrequencyText(work, i))
                : "the matrix at " + FrequencyText(work, i) + " cannot be renormalised (singular)";
            return false;
        }
        const Matrix r = a.cwiseInverse().asDiagonal() * (s - Matrix(gamma.asDiagonal())) * inverse
            * a.asDiagonal();
        Append(out, work.FreqAt(i), r);
    }
    SetReferences(out, target);
    data = std::move(out);
    return true;
}

bool Cascade(CS2pData& data, const CS2pData& next, std::string& why)
{
    if (!TwoPort(data, "the file", why) || !TwoPort(next, "the cascaded file", why)
        || !SameFrequencies(data, next, "the cascaded file", why))
        return false;
    CS2pData a = data;
    CS2pData b = next;
    if (!ToS(a, why) || !ToS(b, why))
        return false;
    const std::vector<double> ra = References(a), rb = References(b);
    if (ra[1] != rb[0]) {
        why = "port 2 of the file has " + Ohms(ra[1]) + " ohm, port 1 of the cascaded file "
            + Ohms(rb[0]) + " ohm: renormalise one of them first";
        return false;
    }
    CS2pData out = Emptied(a, 2);
    for (std::size_t i = 0; i < a.RecordCount(); ++i) {
        Matrix2 ta, tb;
        Matrix s;
        if (!ToT(MatrixAt(a, i), ta) || !ToT(MatrixAt(b, i), tb) || !FromT(ta * tb, s)) {
            why = Extreme(MatrixAt(a, i)) || Extreme(MatrixAt(b, i))
                ? ExtremeText(FrequencyText(a, i))
                : "the transmission at " + FrequencyText(a, i)
                    + " is 0, so the two cannot be cascaded (singular)";
            return false;
        }
        Append(out, a.FreqAt(i), s);
    }
    SetReferences(out, {ra[0], rb[1]});
    data = std::move(out);
    return true;
}

bool Deembed(CS2pData& data, const CS2pData* left, const CS2pData* right, std::string& why)
{
    if (!left && !right) {
        why = "nothing to de-embed";
        return false;
    }
    if (!TwoPort(data, "the file", why))
        return false;
    CS2pData dut = data;
    if (!ToS(dut, why))
        return false;
    CS2pData sides[2];
    const CS2pData* given[2] = {left, right};
    const char* roles[2] = {"the left fixture", "the right fixture"};
    for (int k = 0; k < 2; ++k) {
        if (!given[k])
            continue;
        sides[k] = *given[k];
        if (!TwoPort(sides[k], roles[k], why) || !SameFrequencies(dut, sides[k], roles[k], why)
            || !ToS(sides[k], why))
            return false;
    }
    std::vector<double> result = References(dut);
    // The file's outer ports are the fixtures' outer ones: they must share a reference.
    for (int k = 0; k < 2; ++k) {
        if (!given[k])
            continue;
        const double outer = References(sides[k])[k == 0 ? 0 : 1];
        if (outer != result[static_cast<std::size_t>(k)]) {
            why = "port " + std::to_string(k + 1) + " of the file has "
                + Ohms(result[static_cast<std::size_t>(k)]) + " ohm, " + roles[k] + " "
                + Ohms(outer) + " ohm there: renormalise one of them first";
            return false;
        }
    }
    CS2pData out = Emptied(dut, 2);
    for (std::size_t i = 0; i < dut.RecordCount(); ++i) {
        Matrix2 t, tl, tr, inverse;
        Matrix s;
        bool ok = ToT(MatrixAt(dut, i), t);
        if (ok && left) {
            ok = ToT(MatrixAt(sides[0], i), tl) && Inverted<Matrix2>(tl, inverse);
            t = inverse * t;
        }
        if (ok && right) {
            ok = ToT(MatrixAt(sides[1], i), tr) && Inverted<Matrix2>(tr, inverse);
            t = t * inverse;
        }
        if (!ok || !FromT(t, s)) {
            const bool extreme = Extreme(MatrixAt(dut, i))
                || (left && Extreme(MatrixAt(sides[0], i)))
                || (right && Extreme(MatrixAt(sides[1], i)));
            why = extreme ? ExtremeText(FrequencyText(dut, i))
                          : "at " + FrequencyText(dut, i)
                    + " a fixture or the file has no transmission (singular)";
            return false;
        }
        Append(out, dut.FreqAt(i), s);
    }
    // The device's ports face the fixtures: their references are the fixtures' inner ones.
    if (left)
        result[0] = References(sides[0])[1];
    if (right)
        result[1] = References(sides[1])[0];
    SetReferences(out, result);
    data = std::move(out);
    return true;
}

bool Terminate(CS2pData& data, const std::vector<Load>& loads, std::string& why)
{
    if (!Plain(data, "the file", why))
        return false;
    const int n = data.PortCount();
    std::vector<int> closed(static_cast<std::size_t>(n) + 1, 0);  // 1-based; index of the load
    for (std::size_t k = 0; k < loads.size(); ++k) {
        const int p = loads[k].port;
        if (p < 1 || p > n) {
            why = "the file has no port " + std::to_string(p);
            return false;
        }
        if (closed[static_cast<std::size_t>(p)]) {
            why = "port " + std::to_string(p) + " is terminated twice";
            return false;
        }
        if (loads[k].kind == Load::Kind::OHMS
            && !(std::isfinite(loads[k].ohms) && loads[k].ohms >= 0)) {
            why = "a load is a number of ohms (0 or more), open or short";
            return false;
        }
        closed[static_cast<std::size_t>(p)] = static_cast<int>(k) + 1;
    }
    std::vector<int> kept, shut;
    for (int p = 1; p <= n; ++p)
        (closed[static_cast<std::size_t>(p)] ? shut : kept).push_back(p - 1);
    if (kept.empty()) {
        why = "every port would be terminated: nothing is left";
        return false;
    }
    CS2pData work = data;
    if (!ToS(work, why))
        return false;
    const std::vector<double> refs = References(work);
    const int q = static_cast<int>(shut.size());
    Eigen::VectorXcd g(q);
    for (int j = 0; j < q; ++j) {
        const Load& load =
            loads[static_cast<std::size_t>(closed[static_cast<std::size_t>(shut[j] + 1)] - 1)];
        const double z0 = refs[static_cast<std::size_t>(shut[j])];
        g(j) = load.kind == Load::Kind::OPEN ? 1.0
            : load.kind == Load::Kind::SHORT ? -1.0
                                             : (load.ohms - z0) / (load.ohms + z0);
    }
    const int p = static_cast<int>(kept.size());
    CS2pData out = Emptied(work, p);
    for (std::size_t i = 0; i < work.RecordCount(); ++i) {
        const Matrix s = MatrixAt(work, i);
        const Matrix spp = s(kept, kept), spq = s(kept, shut), sqp = s(shut, kept),
                     sqq = s(shut, shut);
        Matrix inverse;
        if (!Inverted<Matrix>(Matrix::Identity(q, q) - sqq * g.asDiagonal(), inverse)) {
            why = Extreme(s) ? ExtremeText(FrequencyText(work, i))
                             : "at " + FrequencyText(work, i)
                    + " the loads resonate with the network (singular)";
            return false;
        }
        Append(out, work.FreqAt(i), spp + spq * g.asDiagonal() * inverse * sqp);
    }
    std::vector<double> keptRefs;
    for (int k : kept)
        keptRefs.push_back(refs[static_cast<std::size_t>(k)]);
    SetReferences(out, keptRefs);
    data = std::move(out);
    return true;
}

bool Reorder(CS2pData& data, const std::vector<int>& order, std::string& why)
{
    if (!Plain(data, "the file", why))
        return false;
    const int n = data.PortCount();
    std::vector<bool> seen(static_cast<std::size_t>(n) + 1, false);
    for (int p : order) {
        if (p < 1 || p > n) {
            why = "the file has no port " + std::to_string(p);
            return false;
        }
        if (seen[static_cast<std::size_t>(p)]) {
            why = "port " + std::to_string(p) + " is named twice";
            return false;
        }
        seen[static_cast<std::size_t>(p)] = true;
    }
    if (static_cast<int>(order.size()) != n) {
        why = n == 1 ? std::string("name the one port once")
                     : "name every one of the " + Ports(static_cast<std::size_t>(n)) + " once";
        return false;
    }
    CS2pData work = data;
    if (!ToS(work, why))
        return false;
    std::vector<int> index;
    for (int p : order)
        index.push_back(p - 1);
    const std::vector<double> refs = References(work);
    CS2pData out = Emptied(work, n);
    for (std::size_t i = 0; i < work.RecordCount(); ++i)
        Append(out, work.FreqAt(i), MatrixAt(work, i)(index, index));
    std::vector<double> moved;
    for (int k : index)
        moved.push_back(refs[static_cast<std::size_t>(k)]);
    SetReferences(out, moved);
    data = std::move(out);
    return true;
}

}  // namespace NetworkOps
