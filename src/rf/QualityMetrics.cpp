#include "rf/QualityMetrics.h"

#include "data/S2pData.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

namespace QualityMetrics {
namespace {

using Cx = std::complex<double>;

constexpr double PASSIVITY_LIMIT = 1.00001;
constexpr double RECIPROCITY_LIMIT = 1e-6;
constexpr double WEIGHT_SPAN = 0.1;  // a metric's excess over its limit per whole record lost

// |z| by its square root of squares, which is much faster than the overflow-safe library
// call; that serves only where the squares overflow.
double Magnitude(const Cx& z)
{
    const double m = std::sqrt(z.real() * z.real() + z.imag() * z.imag());
    return std::isfinite(m) ? m : std::abs(z);
}

// The stored rows (0-based) of a mixed-mode file's block of one mode, by logical port.
std::vector<int> ModeRows(const CS2pData& data, char mode)
{
    std::vector<int> rows;
    for (std::size_t r = 0; r < data.portModes.size(); ++r)
        if (data.portModes[r].mode == mode)
            rows.push_back(static_cast<int>(r));
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return data.portModes[static_cast<std::size_t>(a)].port
            < data.portModes[static_cast<std::size_t>(b)].port;
    });
    return rows;
}

char ModeOf(Block block)
{
    return block == Block::DIFFERENTIAL ? 'd' : block == Block::COMMON ? 'c' : 's';
}

// The judged matrix of each record, from the file's matrix of any kind.
class CBlockSource {
public:
    CBlockSource(const CS2pData& source, Block block, PortPairing portPairing)
        : data(source), ports(source.PortCount()), pairing(portPairing)
    {
        if (data.paramKind != CS2pData::S)
            scratch.resize(static_cast<std::size_t>(ports) * static_cast<std::size_t>(ports));
        if (block == Block::SINGLE_ENDED) {
            for (int r = 0; r < ports; ++r)
                rows.push_back(r);
        } else if (data.IsMixedMode()) {
            rows = ModeRows(data, ModeOf(block));
        } else {
            mode = ModeOf(block);
            size = ports / 2;
            return;
        }
        size = static_cast<int>(rows.size());
    }

    int Size() const { return size; }

    // The record's judged matrix into s (Size() x Size()); false when it is not finite.
    template <typename Matrix>
    bool Read(std::size_t record, Matrix& s)
    {
        const CComplex* m = data.Matrix(record);
        if (!scratch.empty()) {
            std::copy_n(m, scratch.size(), scratch.data());
            CS2pData::ConvertMatrixToS(scratch.data(), ports, data.paramKind);
            m = scratch.data();
        }
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j)
                s(i, j) = mode != 0
                    ? MixedMode::Element(m, ports, mode, i + 1, mode, j + 1, pairing).ToStd()
                    : m[rows[static_cast<std::size_t>(i)] * ports
                        + rows[static_cast<std::size_t>(j)]]
                          .ToStd();
        return s.allFinite();
    }

private:
    const CS2pData& data;
    int ports;
    PortPairing pairing;
    char mode = 0;                  // 'd' or 'c' for a block computed from pairs
    std::vector<int> rows;          // else the stored rows (0-based) that make the block
    std::vector<CComplex> scratch;  // the record as S, for files of other kinds
    int size = 0;
};

// The running sums of the three metrics over the records judged so far; every matrix is
// made once, so the loop over the records allocates nothing.
template <typename Matrix>
class CJudge {
public:
    using Array = Eigen::Array<double, Matrix::RowsAtCompileTime, Matrix::ColsAtCompileTime>;

    explicit CJudge(int size) : n(size), solver(size)
    {
        for (Matrix* m : {&s, &scaled, &gram, &previous, &step, &previousStep})
            m->resize(n, n);
        for (Array* a : {&turn, &clockwise, &turning}) {
            a->resize(n, n);
            a->setZero();
        }
    }

    Matrix s;  // the record's matrix, filled by the caller before Add

    // Takes s as the next record; returns PM_n and RM_n (0 for one port).
    void Add(double freq, double& sigma, double& reciprocity)
    {
        sigma = SnapToOne(LargestSingularValue());
        passivityWeight += sigma > PASSIVITY_LIMIT ? (sigma - PASSIVITY_LIMIT) / WEIGHT_SPAN : 0.0;
        if (records == 0 || sigma > result.largestSigma) {
            result.largestSigma = sigma;
            result.worstPassivityFreq = freq;
        }
        reciprocity = n > 1 ? Asymmetry() : 0.0;
        if (n > 1) {
            reciprocityWeight += reciprocity > RECIPROCITY_LIMIT
                ? (reciprocity - RECIPROCITY_LIMIT) / WEIGHT_SPAN
                : 0.0;
            if (records == 0 || reciprocity > result.largestReciprocity) {
                result.largestReciprocity = reciprocity;
                result.worstReciprocityFreq = freq;
            }
        }
        if (records > 0) {
            step = s - previous;
            if (records > 1) {
                turn = step.real().array() * previousStep.imag().array()
                    - step.imag().array() * previousStep.real().array();
                clockwise += turn.max(0.0);
                turning += turn.abs();
            }
            previousStep = step;
        }
        previous = s;
        ++records;
    }

    Outcome Finish(std::size_t skipped, Result& out)
    {
        const double nf = static_cast<double>(records);
        result.ports = n;
        result.records = records;
        result.skipped = skipped;
        result.hasReciprocity = n > 1;
        result.passivity = std::max(nf - passivityWeight, 0.0) / nf * 100.0;
        result.reciprocity = n > 1 ? std::max(nf - reciprocityWeight, 0.0) / nf * 100.0 : 100.0;
        result.causality = 100.0;
        // Turns of elements near 1e150 overflow; their ratio would be NaN.
        if (!turning.allFinite())
            return Outcome::OUT_OF_RANGE;
        for (Eigen::Index k = 0; k < turning.size(); ++k) {
            const double all = turning(k);
            result.causality =
                std::min(result.causality, all > 0.0 ? clockwise(k) / all * 100.0 : 100.0);
        }
        const double fields[] = {result.causality, result.passivity, result.reciprocity,
                                 result.largestSigma, result.largestReciprocity};
        for (double v : fields)
            if (!std::isfinite(v))
                return Outcome::OUT_OF_RANGE;
        out = result;
        return Outcome::OK;
    }

private:
    // A lossless network's largest singular value is exactly 1, but S^H S and its eigenvalue
    // carry round-off of a few ulps per port, so it comes out as 1 + 2e-16 and would fail a
    // mask at 1 or read as gain. Values that close to 1 are 1.
    double SnapToOne(double value) const
    {
        const double bound = 16.0 * n * std::numeric_limits<double>::epsilon();
        return std::abs(value - 1.0) <= bound ? 1.0 : value;
    }

    // The square root of the largest eigenvalue of S^H S; matrices of very large or very
    // small elements are scaled first, so that S^H S neither overflows nor underflows.
    double LargestSingularValue()
    {
        // |S_ij|^2 needs no square root; it overflows only where scaling is due anyway.
        const double largestSquare = s.cwiseAbs2().maxCoeff();
        const bool rescale = !(largestSquare < 1e200) || largestSquare < 1e-200;
        const double largest = rescale ? s.cwiseAbs().maxCoeff() : std::sqrt(largestSquare);
        if (n == 1 || !(largest > 0.0))
            return largest;
        if (rescale)
            scaled = s / largest;
        Gram(rescale ? scaled : s);
        solver.compute(gram, Eigen::EigenvaluesOnly);
        // Ascending; rounding can leave a tiny negative where S is zero.
        const double top = std::sqrt(std::max(solver.eigenvalues()(n - 1), 0.0));
        return rescale ? top * largest : top;
    }

    // S^H S. Of a large matrix only the lower triangle, all the solver reads, a column at a
    // time: faster there than a matrix product, and it needs no workspace from the heap.
    void Gram(const Matrix& m)
    {
        if constexpr (Matrix::RowsAtCompileTime == Eigen::Dynamic) {
            for (int j = 0; j < n; ++j)
                gram.col(j).tail(n - j).noalias() = m.rightCols(n - j).adjoint() * m.col(j);
        } else {
            gram.noalias() = m.adjoint() * m;
        }
    }

    // RM_n: every pair i != j counts twice, as |S_ij - S_ji| and |S_ji - S_ij|.
    double Asymmetry() const
    {
        double sum = 0.0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                sum += 2.0 * Magnitude(s(i, j) - s(j, i));
        return sum / (static_cast<double>(n) * static_cast<double>(n - 1));
    }

    int n;
    Matrix scaled, gram, previous, step, previousStep;
    Eigen::SelfAdjointEigenSolver<Matrix> solver;
    Array turn, clockwise, turning;  // per element: this R_n, sum of positive R_n, of |R_n|
    double passivityWeight = 0.0;
    double reciprocityWeight = 0.0;
    std::size_t records = 0;
    Result result;
};

template <typename Matrix>
Outcome Judge(const CS2pData& data, CBlockSource& source, Result& result, PerRecord* perRecord)
{
    const int n = source.Size();
    CJudge<Matrix> judge(n);
    const std::size_t count = data.RecordCount();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PerRecord local;
    if (perRecord) {
        local.sigma.assign(count, nan);
        if (n > 1)
            local.reciprocity.assign(count, nan);
    }
    std::size_t skipped = 0;
    for (std::size_t r = 0; r < count; ++r) {
        if (!source.Read(r, judge.s)) {
            ++skipped;
            continue;
        }
        double sigma = 0.0;
        double reciprocity = 0.0;
        judge.Add(data.FreqAt(r), sigma, reciprocity);
        if (perRecord) {
            local.sigma[r] = sigma;
            if (n > 1)
                local.reciprocity[r] = reciprocity;
        }
    }
    if (skipped == count)
        return Outcome::NO_FINITE_MATRIX;
    const Outcome outcome = judge.Finish(skipped, result);
    if (outcome == Outcome::OK && perRecord)
        *perRecord = std::move(local);
    return outcome;
}

}  // namespace

bool HasBlock(const CS2pData& data, Block block)
{
    if (block == Block::SINGLE_ENDED)
        return data.PortCount() >= 1;
    if (data.IsMixedMode())
        return !ModeRows(data, ModeOf(block)).empty();
    return MixedMode::Offered(data.PortCount());
}

Outcome Compute(const CS2pData& data, Block block, PortPairing pairing, Result& result,
                PerRecord* perRecord)
{
    if (!HasBlock(data, block))
        return Outcome::NO_BLOCK;
    if (data.RecordCount() == 0)
        return Outcome::NO_FINITE_MATRIX;
    CBlockSource source(data, block, pairing);
    // Fixed sizes for the common small matrices: their products and eigenvalues unroll.
    switch (source.Size()) {
    case 2: return Judge<Eigen::Matrix2cd>(data, source, result, perRecord);
    case 3: return Judge<Eigen::Matrix3cd>(data, source, result, perRecord);
    case 4: return Judge<Eigen::Matrix4cd>(data, source, result, perRecord);
    default: return Judge<Eigen::MatrixXcd>(data, source, result, perRecord);
    }
}

const char* Rating(Metric metric, double percent)
{
    const bool causality = metric == Metric::CAUSALITY;
    if (percent > (causality ? 80.0 : 99.9))
        return "good";
    if (percent > (causality ? 50.0 : 99.0))
        return "acceptable";
    if (percent > (causality ? 20.0 : 80.0))
        return "inconclusive";
    return "poor";
}

}  // namespace QualityMetrics
