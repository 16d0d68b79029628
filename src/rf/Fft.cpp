#include "rf/Fft.h"

#include <fftw3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>

namespace {

using Cx = std::complex<double>;

enum class Kind { REAL_INVERSE, INVERSE, FORWARD };

// FFTW transforms a length with a large prime factor by Rader's algorithm, which is several
// times slower than a fast length when p - 1 is not smooth itself (32003 = 2 * 16001 + 1, the
// low-pass length of a 16001-point file, takes five times as long as 32004). Such lengths go
// through Bluestein's convolution on fast lengths instead.
constexpr std::size_t LARGEST_DIRECT_FACTOR = 100;
// Work areas, plans and chirps up to this many points (4 MB of complex values) are kept from
// call to call; larger ones, of grids far beyond any analyser's, are made for the call alone.
constexpr std::size_t KEPT_POINTS = std::size_t{1} << 18;

bool Direct(std::size_t n)
{
    std::size_t r = n;
    for (std::size_t p = 2; p <= LARGEST_DIRECT_FACTOR && p * p <= r; ++p)
        while (r % p == 0)
            r /= p;
    return r <= LARGEST_DIRECT_FACTOR;
}

void CheckLength(std::size_t n)
{
    if (n == 0 || n > Fft::MAX_LENGTH)
        throw std::length_error("transform length out of range");
}

// Memory from fftw_malloc, aligned as FFTW's SIMD code wants it; the plans are made on such
// memory, so everything they are later executed on has to be such memory as well.
class AlignedArea {
public:
    AlignedArea() = default;
    ~AlignedArea() { fftw_free(data); }
    AlignedArea(const AlignedArea&) = delete;
    AlignedArea& operator=(const AlignedArea&) = delete;

    // Room for at least n complex values (or 2 n doubles); the contents are not kept.
    Cx* Get(std::size_t n)
    {
        if (n > size) {
            Free();
            data = fftw_malloc(n * sizeof(fftw_complex));
            if (!data)
                throw std::bad_alloc();
            size = n;
        }
        return static_cast<Cx*>(data);
    }
    void Free()
    {
        fftw_free(data);
        data = nullptr;
        size = 0;
    }
    std::size_t Size() const { return size; }

private:
    void* data = nullptr;
    std::size_t size = 0;
};

fftw_complex* F(Cx* p)
{
    return reinterpret_cast<fftw_complex*>(p);
}

// Two work areas per thread, kept from call to call: a fresh megabyte costs more in page
// faults than the transform it serves. Very large ones are given back after their call.
struct Workspace {
    AlignedArea a;
    AlignedArea b;
};

class WorkspaceScope {
public:
    WorkspaceScope() : space(Local()) {}
    ~WorkspaceScope()
    {
        for (AlignedArea* area : {&space.a, &space.b})
            if (area->Size() > KEPT_POINTS)
                area->Free();
    }
    WorkspaceScope(const WorkspaceScope&) = delete;
    WorkspaceScope& operator=(const WorkspaceScope&) = delete;

    Workspace& space;

private:
    static Workspace& Local()
    {
        thread_local Workspace workspace;
        return workspace;
    }
};

// FFTW's planner and fftw_destroy_plan are not thread-safe; only the execute functions are.
std::mutex& PlannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

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
        if (n > KEPT_POINTS)
            return plan;
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
        AlignedArea in;
        AlignedArea out;
        fftw_complex* i = F(in.Get(n));
        fftw_complex* o = F(out.Get(n));
        fftw_plan plan = nullptr;
        switch (kind) {
        case Kind::REAL_INVERSE:
            plan = fftw_plan_dft_c2r_1d(length, i, reinterpret_cast<double*>(o), FFTW_ESTIMATE);
            break;
        case Kind::INVERSE:
            plan = fftw_plan_dft_1d(length, i, o, FFTW_BACKWARD, FFTW_ESTIMATE);
            break;
        case Kind::FORWARD:
            plan = fftw_plan_dft_1d(length, i, o, FFTW_FORWARD, FFTW_ESTIMATE);
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

// Complex transform of length n, unscaled, from one aligned area to another.
void Execute(Kind kind, std::size_t n, Cx* in, Cx* out)
{
    fftw_execute_dft(PlanFor(kind, n)->plan, F(in), F(out));
}

// What Bluestein's algorithm needs for one length n and input count: with
// k m = (k^2 + m^2 - (m - k)^2) / 2, sum_k a_k e^{2 pi j k m / n} is e^{j pi m^2 / n} times the
// convolution of a_k e^{j pi k^2 / n} with b_i = e^{-j pi i^2 / n}, i = -(count-1) .. n-1,
// done circularly on a fast length p >= n + count - 1.
struct Chirp {
    std::size_t n = 0;
    std::size_t count = 0;
    std::size_t p = 0;
    std::vector<Cx> w;     // e^{j pi k^2 / n}, k = 0 .. max(n, count) - 1
    std::vector<Cx> bHat;  // forward transform of b, divided by p

    // Made in the caller's work areas, which are free until the chirp is there.
    Chirp(std::size_t length, std::size_t inputs, Workspace& space)
        : n(length),
          count(inputs),
          p(Fft::FastLength(length + inputs - 1)),
          w(std::max(length, inputs)),
          bHat(p)
    {
        const double pi = 3.14159265358979323846;
        for (std::size_t k = 0; k < w.size(); ++k) {
            // k^2 modulo 2n keeps the angle exact for the largest k.
            const std::uint64_t r = static_cast<std::uint64_t>(k) * k % (2 * n);
            w[k] = std::polar(1.0, pi * static_cast<double>(r) / static_cast<double>(n));
        }
        Cx* b = space.a.Get(p);
        std::fill(b, b + p, Cx(0.0, 0.0));
        for (std::size_t i = 0; i < n; ++i)
            b[i] = std::conj(w[i]);
        for (std::size_t i = 1; i < count; ++i)
            b[p - i] = std::conj(w[i]);
        Cx* transformed = space.b.Get(p);
        Execute(Kind::FORWARD, p, b, transformed);
        for (std::size_t i = 0; i < p; ++i)
            bHat[i] = transformed[i] / static_cast<double>(p);
    }
};

std::shared_ptr<const Chirp> ChirpFor(std::size_t n, std::size_t count, Workspace& space)
{
    static std::mutex mutex;
    static std::vector<std::shared_ptr<const Chirp>> chirps;  // most recently used first
    const std::lock_guard<std::mutex> lock(mutex);
    for (std::size_t i = 0; i < chirps.size(); ++i) {
        if (chirps[i]->n == n && chirps[i]->count == count) {
            std::rotate(chirps.begin(), chirps.begin() + static_cast<std::ptrdiff_t>(i),
                        chirps.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return chirps.front();
        }
    }
    auto chirp = std::make_shared<const Chirp>(n, count, space);
    if (chirp->p > KEPT_POINTS)
        return chirp;
    chirps.insert(chirps.begin(), chirp);
    if (chirps.size() > 8)
        chirps.pop_back();
    return chirp;
}

// The plain product: std::complex's operator* checks for infinities on every call.
Cx Mul(const Cx& a, const Cx& b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// Bluestein's sum: a holds a_k for k < chirp.count and room for chirp.p values, b room for
// chirp.p; leaves sum_k a_k e^{2 pi j k m / n} in a[m], m < n.
void ChirpSum(const Chirp& chirp, Cx* a, Cx* b)
{
    for (std::size_t k = 0; k < chirp.count; ++k)
        a[k] = Mul(a[k], chirp.w[k]);
    std::fill(a + chirp.count, a + chirp.p, Cx(0.0, 0.0));
    Execute(Kind::FORWARD, chirp.p, a, b);
    for (std::size_t i = 0; i < chirp.p; ++i)
        b[i] = Mul(b[i], chirp.bHat[i]);
    Execute(Kind::INVERSE, chirp.p, b, a);
    for (std::size_t m = 0; m < chirp.n; ++m)
        a[m] = Mul(a[m], chirp.w[m]);
}

void Complex(Kind kind, const std::vector<Cx>& in, std::vector<Cx>& out)
{
    const std::size_t n = in.size();
    CheckLength(n);
    WorkspaceScope scope;
    const double scale = kind == Kind::INVERSE ? 1.0 / static_cast<double>(n) : 1.0;
    if (Direct(n)) {
        Cx* a = scope.space.a.Get(n);
        Cx* b = scope.space.b.Get(n);
        std::copy(in.begin(), in.end(), a);
        Execute(kind, n, a, b);
        out.resize(n);
        for (std::size_t m = 0; m < n; ++m)
            out[m] = b[m] * scale;
        return;
    }
    // The forward sum is the conjugate of the inverse one of the conjugates.
    const bool conjugate = kind == Kind::FORWARD;
    const std::shared_ptr<const Chirp> chirp = ChirpFor(n, n, scope.space);
    Cx* a = scope.space.a.Get(chirp->p);
    Cx* b = scope.space.b.Get(chirp->p);
    for (std::size_t k = 0; k < n; ++k)
        a[k] = conjugate ? std::conj(in[k]) : in[k];
    ChirpSum(*chirp, a, b);
    out.resize(n);
    for (std::size_t m = 0; m < n; ++m)
        out[m] = (conjugate ? std::conj(a[m]) : a[m]) * scale;
}

}  // namespace

namespace Fft {

void InverseReal(const std::vector<Cx>& spectrum, std::size_t n, std::vector<double>& out)
{
    CheckLength(n);
    const std::size_t bins = n / 2 + 1;
    if (spectrum.size() < bins)
        throw std::invalid_argument("too few bins for the inverse real transform");
    WorkspaceScope scope;
    const double scale = 1.0 / static_cast<double>(n);
    out.resize(n);
    if (Direct(n)) {
        Cx* a = scope.space.a.Get(bins);
        double* b = reinterpret_cast<double*>(scope.space.b.Get(bins));
        std::copy_n(spectrum.begin(), bins, a);
        fftw_execute_dft_c2r(PlanFor(Kind::REAL_INVERSE, n)->plan, F(a), b);  // destroys a
        for (std::size_t m = 0; m < n; ++m)
            out[m] = b[m] * scale;
        return;
    }
    // Every bin but DC (and Nyquist) stands for itself and its conjugate: the real part of the
    // one-sided sum with those bins doubled.
    const std::shared_ptr<const Chirp> chirp = ChirpFor(n, bins, scope.space);
    Cx* a = scope.space.a.Get(chirp->p);
    Cx* b = scope.space.b.Get(chirp->p);
    for (std::size_t k = 0; k < bins; ++k)
        a[k] = k == 0 || 2 * k == n ? spectrum[k] : 2.0 * spectrum[k];
    ChirpSum(*chirp, a, b);
    for (std::size_t m = 0; m < n; ++m)
        out[m] = a[m].real() * scale;
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
