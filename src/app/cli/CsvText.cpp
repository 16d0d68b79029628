#include "app/cli/CsvText.h"

#include "platform/NumberFormat.h"

#include <cmath>

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvNumber(double value)
{
    // + 0.0 turns a negative zero (a product of -1 and 0, say) into 0: "-0" reads as a fault.
    return std::isfinite(value) ? FormatValue("%.17g", value + 0.0) : std::string();
}

std::string CsvNumberIf(bool have, double value)
{
    return have ? CsvNumber(value) : std::string();
}
