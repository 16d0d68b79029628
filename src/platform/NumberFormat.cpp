#include "platform/NumberFormat.h"

#include <locale.h>
#include <clocale>
#include <cstdio>

namespace {

// True when format holds exactly one conversion that takes a double, with nothing that would
// read a second argument ("*") or write through a pointer ("%n").
bool IsDoubleFormat(const std::string& format)
{
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() && std::string("-+ #0").find(format[i]) != std::string::npos)
            ++i;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9')
            ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9')
                ++i;
        }
        if (i < format.size() && format[i] == 'l')
            ++i;
        if (i >= format.size() || std::string("eEfFgGaA").find(format[i]) == std::string::npos)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

// The "C" locale, made once and used per call on this thread only.
locale_t CLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

template <typename T>
std::string Format(const std::string& format, T value)
{
    const locale_t old = uselocale(CLocale());
    char buffer[128];
    int n = std::snprintf(buffer, sizeof buffer, format.c_str(), value);
    std::string text;
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof buffer) {
        text.assign(buffer, static_cast<std::size_t>(n));
    } else if (n > 0) {
        text.resize(static_cast<std::size_t>(n) + 1);
        std::snprintf(text.data(), text.size(), format.c_str(), value);
        text.resize(static_cast<std::size_t>(n));
    }
    uselocale(old);
    return text;
}

}  // namespace

std::string FormatValue(const std::string& format, double value)
{
    return Format(IsDoubleFormat(format) ? format : std::string("%g"), value);
}

std::string FormatInt(const std::string& format, int value)
{
    return Format(format, value);
}
