#include "rf/Fft.h"

#include <fftw3.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>

namespace {

using Cx = std::complex<double>;

enum class Kind { REAL_INVERSE, INVERSE, FORWARD };

// FFTW's planner and fftw_destroy_plan are not thread-safe; only the execute functions are.
std::mutex& PlannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Memory from fftw_malloc, aligned as FFTW's SIMD code wants it; the plans are made on such
// buffers, so every buffer they are later executed on has to be one as well.
class AlignedBuffer {
public:
    explicit AlignedBuffer(std::size_t bytes) : data(fftw_malloc(std::max<std::size_t>(bytes, 16)))
    {
        if (!data)
            throw std::bad_alloc();
    }
    ~AlignedBuffer() { fftw_free(data); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    fftw_complex* Complex() const { return static_cast<fftw_complex*>(data); }
    double* Real() const { return static_cast<double*>(data); }

private:
    void* data;
};

class Plan {
public:
    explicit Plan(fftw_plan made) : plan(made) {}
    ~Plan()
    {
        const std::lock_guard<std::mutex> lock(PlannerMutex());
        fftw_destroy_plan(plan);
    }
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;

    fftw_plan plan;
};

// The plans of the lengths used lately; a session sees a handful of lengths, so a few
// entries suffice, and a plan in use on another thread lives on until that thread is done.
class PlanCache {
public:
    std::shared_ptr<const Plan> Get(Kind kind, std::size_t n)
    {
        std::shared_ptr<const Plan> evicted;  // released after the lock: ~Plan takes it
        const std::lock_guard<std::mutex> lock(PlannerMutex());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].kind == kind && entries[i].n == n) {
                std::rotate(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(i),
                            entries.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                return entries.front().plan;
            }
        }
        auto plan = std::make_shared<const Plan>(Make(kind, n));
        if (entries.size() >= MAX_ENTRIES) {
            evicted = std::move(entries.back().plan);
            entries.pop_back();
        }
        entries.insert(entries.begin(), Entry{kind, n, plan});
        return plan;
    }

private:
    static constexpr std::size_t MAX_ENTRIES = 16;
    struct Entry {
        Kind kind;
        std::size_t n;
        std::shared_ptr<const Plan> plan;
    };

    // FFTW_ESTIMATE leaves the arrays alone and plans in microseconds, where measuring would
    // take seconds at the odd lengths of a low-pass transform.
    static fftw_plan Make(Kind kind, std::size_t n)
    {
        const int length = static_cast<int>(n);
        AlignedBuffer in(n * sizeof(fftw_complex));
        AlignedBuffer out(n * sizeof(fftw_complex));
        fftw_plan plan = nullptr;
        switch (kind) {
        case Kind::REAL_INVERSE:
            plan = fftw_plan_dft_c2r_1d(length, in.Complex(), out.Real(), FFTW_ESTIMATE);
            break;
        case Kind::INVERSE:
            plan =
                fftw_plan_dft_1d(length, in.Complex(), out.Complex(), FFTW_BACKWARD, FFTW_ESTIMATE);
            break;
        case Kind::FORWARD:
            plan =
                fftw_plan_dft_1d(length, in.Complex(), out.Complex(), FFTW_FORWARD, FFTW_ESTIMATE);
            break;
        }
        if (!plan)
            throw std::runtime_error("FFTW could not plan a transform");
        return plan;
    }

    std::vector<Entry> entries;  // most recently used first
};

// Function-local, so that it is built after (and destroyed before) the planner mutex.
std::shared_ptr<const Plan> PlanFor(Kind kind, std::size_t n)
{
    PlannerMutex();
    static PlanCache cache;
    return cache.Get(kind, n);
}

void CheckLength(std::size_t n)
{
    if (n == 0 || n > Fft::MAX_LENGTH)
        throw std::length_error("transform length out of range");
}

void Complex(Kind kind, const std::vector<Cx>& in, std::vector<Cx>& out)
{
    const std::size_t n = in.size();
    CheckLength(n);
    const std::shared_ptr<const Plan> plan = PlanFor(kind, n);
    AlignedBuffer a(n * sizeof(fftw_complex));
    AlignedBuffer b(n * sizeof(fftw_complex));
    std::copy(in.begin(), in.end(), reinterpret_cast<Cx*>(a.Complex()));
    fftw_execute_dft(plan->plan, a.Complex(), b.Complex());
    const Cx* result = reinterpret_cast<const Cx*>(b.Complex());
    out.assign(result, result + n);
    if (kind == Kind::INVERSE) {
        const double scale = 1.0 / static_cast<double>(n);
        for (Cx& v : out)
            v *= scale;
    }
}

}  // namespace

namespace Fft {

void InverseReal(const std::vector<Cx>& spectrum, std::size_t n, std::vector<double>& out)
{
    CheckLength(n);
    const std::size_t bins = n / 2 + 1;
    if (spectrum.size() < bins)
        throw std::invalid_argument("too few bins for the inverse real transform");
    const std::shared_ptr<const Plan> plan = PlanFor(Kind::REAL_INVERSE, n);
    AlignedBuffer a(bins * sizeof(fftw_complex));
    AlignedBuffer b(n * sizeof(double));
    std::copy_n(spectrum.begin(), bins, reinterpret_cast<Cx*>(a.Complex()));
    fftw_execute_dft_c2r(plan->plan, a.Complex(), b.Real());  // destroys a, a copy
    const double scale = 1.0 / static_cast<double>(n);
    out.resize(n);
    for (std::size_t m = 0; m < n; ++m)
        out[m] = b.Real()[m] * scale;
}

void Inverse(const std::vector<Cx>& in, std::vector<Cx>& out)
{
    Complex(Kind::INVERSE, in, out);
}

void Forward(const std::vector<Cx>& in, std::vector<Cx>& out)
{
    Complex(Kind::FORWARD, in, out);
}

std::size_t FastLength(std::size_t n)
{
    for (std::size_t m = std::max<std::size_t>(n, 1);; ++m) {
        std::size_t r = m;
        for (std::size_t p : {2, 3, 5, 7})
            while (r % p == 0)
                r /= p;
        if (r == 1)
            return m;
    }
}

}  // namespace Fft
