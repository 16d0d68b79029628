#include "data/PairConversion.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace {

std::atomic<unsigned> maxThreads{0};

// Values a thread converts at least: fewer are not worth starting it.
constexpr std::size_t VALUES_PER_THREAD = std::size_t(1) << 16;

bool Converts(int format)
{
    return format == MA || format == DB;
}

}  // namespace

void CPairConversion::SetMaxThreads(unsigned threads)
{
    maxThreads = threads;
}

unsigned CPairConversion::Threads()
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned most = maxThreads.load();
    return most == 0 ? cores : std::min(most, cores);
}

void CPairConversion::ConvertAll(CComplex* first, std::size_t count, int format)
{
    if (!Converts(format))
        return;
    const std::size_t threads =
        std::max<std::size_t>(1, std::min<std::size_t>(Threads(), count / VALUES_PER_THREAD));
    const std::size_t share = count / threads;
    std::vector<std::thread> helpers;
    helpers.reserve(threads);  // no reallocation once threads run
    std::size_t from = 0;
    for (std::size_t t = 1; t < threads; ++t, from += share) {
        try {
            helpers.emplace_back(ConvertPairs, first + from, share, format);
        } catch (const std::system_error&) {
            break;  // no more threads: this one converts the rest
        }
    }
    ConvertPairs(first + from, count - from, format);
    for (std::thread& helper : helpers)
        helper.join();
}
