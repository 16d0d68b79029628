// One quantity to plot: an S-parameter and a display format. The view selection is a
// list of them.
#pragma once

#include <cstdint>
#include <vector>

struct ValueFormatPair {
    ValueFormatPair() = default;
    ValueFormatPair(std::int32_t v, std::int32_t f) : value(v), valueFormat(f) {}
    virtual ~ValueFormatPair() = default;
    ValueFormatPair(const ValueFormatPair&) = default;
    ValueFormatPair& operator=(const ValueFormatPair&) = default;

    bool operator==(const ValueFormatPair& o) const
    {
        return value == o.value && valueFormat == o.valueFormat;
    }
    bool operator!=(const ValueFormatPair& o) const { return !(*this == o); }

    // A value code (ValueCode.cpp): Sij of ports 1..4 as 4 * (i - 1) + (j - 1); any other
    // pair of ports up to 99 as LARGE_BASE + 100 * i + j; a mixed-mode element (modes d, c, s
    // as 0, 1, 2) as MIXED_BASE + 10000 * (3 * mode_i + mode_j) + 100 * i + j.
    std::int32_t value = 0;
    std::int32_t valueFormat = 0;  // 0 dB, 1 phase in degrees, 2 group delay in ns, and
                                   // the further formats of ValueFormat
};

using ViewSelection = std::vector<ValueFormatPair>;
