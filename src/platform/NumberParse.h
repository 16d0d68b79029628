// The program's one decimal-number parser, for every reader of files, masks, settings and
// dialog fields, whatever the process locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// What a text holds as a number.
enum class DecimalKind {
    Finite,     // a finite decimal number
    Underflow,  // a number too small for a double: read as (signed) zero
    Overflow,   // a number too large for a double: read as +-infinity
    None,       // no decimal number, or more than one
};

namespace NumberParseDetail {
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool IsDigit(char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

// The numbers files are full of, read without from_chars: a mantissa of at most 2^53 is a
// double exactly, and so is a power of ten up to 1e22, so one multiplication or division
// rounds once, as from_chars does. False for anything else (more than 19 digits, a larger
// exponent, no digit), which from_chars then reads. p is past the sign.
inline bool ShortDecimalAt(const char* p, const char* last, double& value, const char*& after)
{
    // More than 19 digits may wrap the mantissa around; they are refused below.
    std::uint64_t mantissa = 0;
    const char* const start = p;
    for (; p < last && IsDigit(*p); ++p)
        mantissa = mantissa * 10 + static_cast<unsigned char>(*p - '0');
    std::ptrdiff_t digits = p - start;
    int scale = 0;  // digits after the point
    if (p < last && *p == '.') {
        const char* const fraction = ++p;
        for (; p < last && IsDigit(*p); ++p)
            mantissa = mantissa * 10 + static_cast<unsigned char>(*p - '0');
        scale = static_cast<int>(p - fraction);
        digits += scale;
    }
    if (digits == 0 || digits > 19)
        return false;
    int power = -scale;
    if (p < last && (*p == 'e' || *p == 'E')) {
        // Only an exponent with a digit belongs to the number: "1e" is "1" and an "e".
        const char* q = p + 1;
        const bool negative = q < last && *q == '-';
        if (q < last && (*q == '+' || *q == '-'))
            ++q;
        if (q < last && IsDigit(*q)) {
            int exponent = 0;
            const char* const first = q;
            for (; q < last && IsDigit(*q); ++q) {
                if (q - first >= 4)
                    return false;
                exponent = exponent * 10 + (*q - '0');
            }
            power += negative ? -exponent : exponent;
            p = q;
        }
    }
    if (mantissa == 0) {
        value = 0.0;
    } else if (mantissa <= (std::uint64_t(1) << 53) && power >= -22 && power <= 22) {
        const double m = static_cast<double>(mantissa);
        value = power < 0 ? m / kExactPowers[-power] : m * kExactPowers[power];
    } else {
        return false;
    }
    after = p;
    return true;
}

}  // namespace NumberParseDetail

// DecimalAt of the numbers ShortDecimalAt leaves.
double DecimalAtAnyLength(const char* first, const char* last, const char*& after);

// The decimal number that starts at first (an optional sign, digits with an optional point,
// an optional exponent; no "inf", "nan" or hexadecimal), read no further than last; after
// is where it ends (first when there is none, and then 0). Overflow gives +-infinity and
// underflow zero, as atof does. Inline for the short numbers of data files.
inline double DecimalAt(const char* first, const char* last, const char*& after)
{
    const char* p = first;
    const bool negative = p < last && *p == '-';
    if (p < last && (*p == '+' || *p == '-'))
        ++p;
    double value = 0.0;
    if (p < last && NumberParseDetail::IsDigit(*p)
        && NumberParseDetail::ShortDecimalAt(p, last, value, after))
        return negative ? -value : value;
    return DecimalAtAnyLength(first, last, after);
}

// What the whole of text (blanks around it aside) is as a number; value receives it.
DecimalKind ParseDecimal(std::string_view text, double& value);

// Whether the whole of text (blanks around it aside) is a finite decimal number, a too
// small one counting as zero; value receives it. The Touchstone readers and the settings
// file take numbers this way.
bool ParseDouble(std::string_view text, double& value);

// The lenient reading of the same numbers, like atof: the longest leading decimal number of
// text (after leading blanks), else 0 ("12abc" is 12). Overflow gives +-infinity as atof
// does. For files and fields that have always been read so.
double ParseLeadingDouble(std::string_view text);
