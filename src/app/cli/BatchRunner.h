// Work on many files spread over worker threads, its results taken in file order.
#pragma once

#include "app/cli/TerminalLine.h"

#include <cstddef>
#include <functional>
#include <iosfwd>

class CBatchRunner {
public:
    // jobs worker threads (0: one per core), never more than there are files.
    explicit CBatchRunner(int jobs);

    // Calls work(i) for every i below count, on the worker threads and in any order, and
    // take(i) on the calling thread in the order 0, 1, 2, ... as soon as work(i) is done, so
    // that the output is the same for any number of threads. work must be safe to run
    // beside itself; take may free what work(i) made. With progress set, a line
    // "\rDONE/COUNT files" on it follows the files taken; it is erased at the end.
    void Run(std::size_t count, const std::function<void(std::size_t)>& work,
             const std::function<void(std::size_t)>& take, std::ostream* progress = nullptr) const;

    // Erases the progress line, so that a message written from take starts a line of its
    // own; the next finished file shows it again.
    void EraseProgress() const;

    // The number of worker threads for count files.
    std::size_t Threads(std::size_t count) const;

private:
    void Work(std::size_t count, const std::function<void(std::size_t)>& work,
              const std::function<void(std::size_t)>& take) const;
    void ShowProgress(std::size_t done, std::size_t count) const;

    int jobs;
    // The progress line of the run under way; only the calling thread touches it.
    mutable CTerminalLine progressLine;
};
