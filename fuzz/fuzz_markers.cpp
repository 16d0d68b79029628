// Feeds arbitrary bytes to the marker-file reader as a file's lines: at most 21 values,
// each finite and above the floor, and none where the file holds no number.
#include "app/MarkerFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    LineViews views;
    SplitLines(std::string_view(reinterpret_cast<const char*>(bytes), size), views);
    const LineList lines(views.begin(), views.end());
    const std::vector<double> values = CMarkerFile::Parse(lines);
    if (values.size() > CMarkerFile::MAX_VALUES)
        std::abort();
    for (const double v : values)
        if (!std::isfinite(v) || !(v > 0.00001))
            std::abort();
    return 0;
}
