// Fields of the command line's CSV output.
#pragma once

#include <string>

// The text as one field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
// A number with 17 significant digits and a decimal point whatever the locale, so that it
// reads back exactly; empty for a NaN or an infinity, which no field may hold.
std::string CsvNumber(double value);
// CsvNumber of value when have is set, else empty.
std::string CsvNumberIf(bool have, double value);
