#include "app/cli/BatchRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

CBatchRunner::CBatchRunner(int jobCount) : jobs(jobCount) {}

std::size_t CBatchRunner::Threads(std::size_t count) const
{
    std::size_t threads = jobs > 0 ? static_cast<std::size_t>(jobs)
                                   : std::max(1u, std::thread::hardware_concurrency());
    return std::max<std::size_t>(1, std::min(threads, count));
}

void CBatchRunner::ShowProgress(std::size_t done, std::size_t count) const
{
    progressLine.Show(std::to_string(done) + "/" + std::to_string(count) + " files", done == count);
}

void CBatchRunner::EraseProgress() const
{
    progressLine.Erase();
}

void CBatchRunner::Run(std::size_t count, const std::function<void(std::size_t)>& work,
                       const std::function<void(std::size_t)>& take, std::ostream* progress) const
{
    progressLine = CTerminalLine(progress);
    Work(count, work, take);
    EraseProgress();
    progressLine = CTerminalLine();
}

void CBatchRunner::Work(std::size_t count, const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t)>& take) const
{
    const std::size_t threads = Threads(count);
    if (threads == 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            take(i);
            ShowProgress(i + 1, count);
        }
        return;
    }
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<char> done(count, 0);
    const auto worker = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) {
            work(i);
            const std::lock_guard<std::mutex> lock(mutex);
            done[i] = 1;
            finished.notify_one();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (std::size_t t = 0; t < threads; ++t)
        pool.emplace_back(worker);
    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            finished.wait(lock, [&] { return done[i] != 0; });
        }
        take(i);
        ShowProgress(i + 1, count);
    }
    for (std::thread& thread : pool)
        thread.join();
}
