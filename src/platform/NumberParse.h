// The program's one decimal-number parser, for every reader of files, masks, settings and
// dialog fields, whatever the process locale.
#pragma once

#include <string_view>

// What a text holds as a number.
enum class DecimalKind {
    Finite,     // a finite decimal number
    Underflow,  // a number too small for a double: read as (signed) zero
    Overflow,   // a number too large for a double: read as +-infinity
    None,       // no decimal number, or more than one
};

// The decimal number that starts at first (an optional sign, digits with an optional point,
// an optional exponent; no "inf", "nan" or hexadecimal), read no further than last; after
// is where it ends (first when there is none, and then 0). Overflow gives +-infinity and
// underflow zero, as atof does.
double DecimalAt(const char* first, const char* last, const char*& after);

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
