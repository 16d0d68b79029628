// Numbers in the program's own files (settings, marker lists): written with just as many
// digits as read back to the same double, so a saved value comes back unchanged.
#pragma once

#include <string>

// The shortest of "%.15g", "%.16g" and "%.17g" of value that reads back (ParseLeadingDouble) as
// value, with a decimal point whatever the locale.
std::string FormatExact(double value);
