#include "app/ExactNumber.h"

#include "data/LineFile.h"
#include "platform/NumberFormat.h"

std::string FormatExact(double value)
{
    // 15 digits keep 2.9 as "2.9"; 17 always suffice for a finite double.
    for (const char* format : {"%.15g", "%.16g"}) {
        std::string text = FormatValue(format, value);
        if (ParseLeadingDouble(text) == value)
            return text;
    }
    return FormatValue("%.17g", value);
}
