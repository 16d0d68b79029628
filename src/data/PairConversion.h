// The conversion of a store's magnitude-angle and dB pairs into complex values, over every
// core once a reader has read them: the trigonometry of a large file takes about as long as
// reading its numbers.
#pragma once

#include "data/Complex.h"

#include <cstddef>

class CPairConversion {
public:
    // The most threads a conversion (or a reader) uses (0: one per core, the default).
    // Loads that run side by side set 1. Safe from any thread.
    static void SetMaxThreads(unsigned threads);
    // The threads a conversion may use: the cores, or fewer when SetMaxThreads says so.
    static unsigned Threads();

    // Converts count values at first (a DataFormat's pairs), over several threads when they
    // are many.
    static void ConvertAll(CComplex* first, std::size_t count, int format);
};
