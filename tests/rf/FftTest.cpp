#include "rf/Fft.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <complex>
#include <thread>
#include <vector>

// Forward and inverse against the sums they stand for, at a fast length and at lengths with a
// large prime factor, which take another way; each undoes the other.
TEST(FftTest, TransformsEqualDirectSumsAtEveryLength)
{
    using Cx = std::complex<double>;
    const double pi = std::acos(-1.0);
    for (std::size_t n : {8u, 211u, 214u}) {
        SCOPED_TRACE(n);
        std::vector<Cx> x(n);
        for (std::size_t k = 0; k < n; ++k)
            x[k] = Cx(std::cos(0.3 * k * k), std::sin(1.7 * k) - 0.2);
        std::vector<Cx> forward;
        std::vector<Cx> back;
        Fft::Forward(x, forward);
        Fft::Inverse(forward, back);
        ASSERT_EQ(forward.size(), n);
        ASSERT_EQ(back.size(), n);
        for (std::size_t k = 0; k < n; ++k) {
            Cx sum = 0;
            for (std::size_t m = 0; m < n; ++m)
                sum += x[m] * std::polar(1.0, -2 * pi * static_cast<double>(k * m % n) / n);
            EXPECT_NEAR(std::abs(forward[k] - sum), 0.0, 1e-10) << k;
            EXPECT_NEAR(std::abs(back[k] - x[k]), 0.0, 1e-12) << k;
        }
    }
    EXPECT_EQ(Fft::FastLength(211), 216u);
    EXPECT_EQ(Fft::FastLength(1), 1u);
}

// Worker threads transform files at once: plans and chirps made and evicted on several threads
// (more lengths than the caches keep) leave every result as a lone thread computes it.
TEST(FftTest, ThreadsTransformAtOnce)
{
    using Cx = std::complex<double>;
    std::vector<std::vector<Cx>> inputs;
    std::vector<std::vector<double>> expected;
    for (std::size_t n = 90; n < 130; ++n) {
        std::vector<Cx> x(n / 2 + 1);
        for (std::size_t k = 0; k < x.size(); ++k)
            x[k] = Cx(std::cos(0.1 * k * n), 0.5 / (1.0 + k));
        std::vector<double> h;
        Fft::InverseReal(x, n, h);
        inputs.push_back(x);
        expected.push_back(h);
    }
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                for (std::size_t i = 0; i < inputs.size(); ++i) {
                    const std::size_t j =
                        (i * 7 + static_cast<std::size_t>(t + round)) % inputs.size();
                    std::vector<double> h;
                    Fft::InverseReal(inputs[j], expected[j].size(), h);
                    if (h != expected[j])
                        ++mismatches;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}
