// The conversion of a store's magnitude-angle and dB-angle pairs into complex values, on
// other cores while a reader still fills the store: the trigonometry of a large file takes
// about as long as reading its numbers.
#pragma once

#include "data/Complex.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

class CPairConversion {
public:
    CPairConversion() = default;
    ~CPairConversion();
    CPairConversion(const CPairConversion&) = delete;
    CPairConversion& operator=(const CPairConversion&) = delete;

    // The most threads one conversion uses (0: one per core, the default). Loads that run
    // side by side set 1. Safe from any thread.
    static void SetMaxThreads(unsigned threads);
    // The threads a conversion may use: the cores, or fewer when SetMaxThreads says so.
    static unsigned Threads();

    // Starts converting pairs of the format (a DataFormat) behind the reader, in a thread
    // of its own, for a store of about expected values at base that stays there until
    // Stop. Nothing happens for RI pairs, a small store, a single core, or a second time.
    void Start(CComplex* base, std::size_t expected, int format);
    // The first count values of the store are read and may be converted.
    void Publish(std::size_t count)
    {
        if (!worker.joinable())
            return;
        ready.store(count, std::memory_order_release);
        if (count >= nextWake)
            Wake(count);
    }
    // Waits for the thread and returns how many values from the start it converted (0
    // when none ran). Before the store moves, and at the end.
    std::size_t Stop();

    // Converts count values at first, over several threads when they are many.
    static void ConvertAll(CComplex* first, std::size_t count, int format);

private:
    void Wake(std::size_t count);
    void Run();

    int format = RI;
    CComplex* base = nullptr;
    std::atomic<std::size_t> ready{0};
    std::size_t done = 0;  // the worker's own until joined
    std::size_t nextWake = 0;
    bool stopping = false;  // under mutex
    std::mutex mutex;
    std::condition_variable wake;
    std::thread worker;
};
