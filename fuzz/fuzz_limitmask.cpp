// Feeds arbitrary bytes to the limit-mask reader: it must never crash, keep only sound
// segments, and never quote a control byte in a message.
#include "chart/LimitMask.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    CLimitMask mask;
    std::vector<CLimitMask::ParseError> errors;
    const bool ok = mask.Parse(text, errors);
    if (ok != errors.empty() || errors.size() > 21)
        std::abort();
    for (const CLimitMask::Segment& s : mask.segments) {
        if (!std::isfinite(s.f1) || !std::isfinite(s.f2) || !std::isfinite(s.v1)
            || !std::isfinite(s.v2) || s.f1 > s.f2 || s.line < 1)
            std::abort();
    }
    for (const CLimitMask::ParseError& e : errors) {
        for (const char c : e.message) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F)
                std::abort();
        }
    }
    return 0;
}
