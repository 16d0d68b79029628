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

int CMarkerFile::Read(const std::string& path, std::vector<double>& values)
{
    values.clear();
    CLineCursor cursor;
    std::string_view head;
    const int rc = cursor.Open(path, head);
    if (rc != FILE_OK)
        return rc;
    LineList line(1);
    std::string_view next;
    while (values.size() < MAX_VALUES && cursor.Next(next)) {
        line[0].assign(next);
        for (const double v : Parse(line)) {
            if (values.size() == MAX_VALUES)
                break;
            values.push_back(v);
        }
    }
    return FILE_OK;
}
