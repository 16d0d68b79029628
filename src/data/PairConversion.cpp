#include "data/PairConversion.h"

#include "platform/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <thread>

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
    ParallelFor(threads, threads, [&](std::size_t t) {
        const std::size_t from = t * share;
        ConvertPairs(first + from, t + 1 == threads ? count - from : share, format);
    });
}
