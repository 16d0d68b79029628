#include "platform/NumberParse.h"

#include "platform/AsciiText.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <system_error>

namespace {

// DecimalAt, also saying whether the number was out of a double's range.
double DecimalAt(const char* first, const char* last, const char*& after, DecimalKind& kind)
{
    after = first;
    kind = DecimalKind::None;
    const char* p = first;
    const bool negative = p < last && *p == '-';
    if (p < last && (*p == '+' || *p == '-'))
        ++p;
    // Only a digit or a point may start a decimal number: this keeps out the "inf",
    // "nan" and hexadecimal forms that from_chars would take.
    if (p >= last || !((*p >= '0' && *p <= '9') || *p == '.'))
        return 0.0;
    double value = 0.0;
    kind = DecimalKind::Finite;
    if (NumberParseDetail::ShortDecimalAt(p, last, value, after))
        return negative ? -value : value;
    const auto [ptr, ec] = std::from_chars(p, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // atof gives HUGE_VAL on overflow and (nearly) zero on underflow.
        const std::string_view number(p, static_cast<std::size_t>(ptr - p));
        const std::size_t e = number.find_first_of("eE");
        const bool tiny =
            e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        kind = tiny ? DecimalKind::Underflow : DecimalKind::Overflow;
    } else if (ec != std::errc()) {
        value = 0.0;  // a lone point
        kind = DecimalKind::None;
    }
    after = ptr;
    return negative ? -value : value;
}

}  // namespace

double DecimalAtAnyLength(const char* first, const char* last, const char*& after)
{
    DecimalKind kind = DecimalKind::None;
    return DecimalAt(first, last, after, kind);
}

DecimalKind ParseDecimal(std::string_view text, double& value)
{
    text = TrimView(text);
    const char* after = nullptr;
    DecimalKind kind = DecimalKind::None;
    value = DecimalAt(text.data(), text.data() + text.size(), after, kind);
    if (text.empty() || after != text.data() + text.size())
        return DecimalKind::None;
    return kind;
}

bool ParseDouble(std::string_view text, double& value)
{
    const DecimalKind kind = ParseDecimal(text, value);
    return kind == DecimalKind::Finite || kind == DecimalKind::Underflow;
}

double ParseLeadingDouble(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    const char* after = nullptr;
    return DecimalAt(s.data() + i, s.data() + s.size(), after);
}
