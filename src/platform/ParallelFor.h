// Independent pieces of work spread over threads: the caller's thread takes its share, so
// that one thread, or none to spare, still does it all. Std-only.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

// fn(0), ..., fn(count - 1) on at most threads threads, in any order; the calls must be
// independent. The first exception of a call is thrown again here once all have ended.
template <typename Fn>
void ParallelFor(std::size_t count, std::size_t threads, Fn&& fn)
{
    threads = std::min(threads, count);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    auto run = [&] {
        try {
            for (std::size_t i = next++; i < count && !failed; i = next++)
                fn(i);
        } catch (...) {
            if (!failed.exchange(true))
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(threads);
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(run);
        } catch (const std::system_error&) {
            break;  // fewer threads: this one does the rest
        }
    }
    run();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}
