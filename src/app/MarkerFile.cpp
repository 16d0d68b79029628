#include "app/MarkerFile.h"

#include <cmath>
#include <string>

std::vector<double> CMarkerFile::Parse(const LineList& lines)
{
    std::vector<double> values;
    for (const std::string& fileLine : lines) {
        std::string line = Trim(fileLine);
        while (!line.empty() && values.size() < MAX_VALUES) {
            const double v = NextNumber(line, ',');
            // Infinity (an overflowing number) is no frequency.
            if (v > 0.00001 && std::isfinite(v))
                values.push_back(v);
        }
        if (values.size() >= MAX_VALUES)
            break;
    }
    return values;
}
