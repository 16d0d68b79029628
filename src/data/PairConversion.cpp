#include "data/PairConversion.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace {

std::atomic<unsigned> maxThreads{0};

// Values a thread converts at least: fewer are not worth starting it.
constexpr std::size_t VALUES_PER_THREAD = std::size_t(1) << 16;
// Values the reader publishes between two wake-ups of the worker.
constexpr std::size_t WAKE_STEP = std::size_t(1) << 15;

bool Converts(int format)
{
    return format == MA || format == DB;
}

}  // namespace

CPairConversion::~CPairConversion()
{
    Stop();
}

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

void CPairConversion::Start(CComplex* store, std::size_t expected, int pairFormat)
{
    if (base || !Converts(pairFormat) || expected < VALUES_PER_THREAD || Threads() < 2)
        return;
    format = pairFormat;
    base = store;
    ready = 0;
    done = 0;
    nextWake = WAKE_STEP;
    stopping = false;
    try {
        worker = std::thread(&CPairConversion::Run, this);
    } catch (const std::system_error&) {
        // No thread: the values are converted at the end.
    }
}

void CPairConversion::Wake(std::size_t count)
{
    nextWake = count + WAKE_STEP;
    // Taking the lock orders this with the worker's look at ready before it waits.
    {
        const std::lock_guard<std::mutex> lock(mutex);
    }
    wake.notify_one();
}

std::size_t CPairConversion::Stop()
{
    if (!worker.joinable())
        return 0;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    worker.join();
    return done;
}

void CPairConversion::Run()
{
    for (;;) {
        const std::size_t until = ready.load(std::memory_order_acquire);
        if (until > done) {
            ConvertPairs(base + done, until - done, format);
            done = until;
            continue;
        }
        std::unique_lock<std::mutex> lock(mutex);
        if (stopping)
            return;  // what was published after the last look is the reader's to convert
        wake.wait(lock, [&] { return stopping || ready.load(std::memory_order_acquire) > done; });
    }
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
