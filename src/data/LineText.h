// Trimming, tokens and numbers of text lines: what every file reader shares to cut a
// line into words and numbers, whatever the process locale.
#pragma once

#include "platform/AsciiText.h"
#include "platform/NumberParse.h"

#include <string>
#include <string_view>

std::string Trim(const std::string& s);

// Cuts the next token off source. The delimiter is looked for first; only when the
// remaining source holds none, a comma; only when it holds no comma either, a tab.
std::string NextToken(std::string& source, char delimiter);
// NextToken, converted like atof in the "C" locale (0 when there is no number).
double NextNumber(std::string& source, char delimiter);

// Leading decimal integer like atoi; clamped to the int range.
int ParseInt(std::string_view text);

// The numbers of a data line, cut and converted exactly as CTokenizer::Words and
// NextNumber would do it, in one pass over the characters: files of many ports hold
// millions of numbers, and cutting each into a token first costs more than converting it.
class CNumberReader {
public:
    explicit CNumberReader(std::string_view source);
    // True when nothing but white space remains.
    bool Empty()
    {
        while (pos < end && IsBlank(*pos))
            ++pos;
        return pos >= end;
    }
    // The next word as a number (0 when it holds none; nothing left: 0).
    double Next();
    // Whether the word Next read last is a complete, finite decimal number (optional sign,
    // digits with an optional point, optional exponent) and nothing else.
    bool Complete() const { return complete; }
    // The word Next read last.
    std::string_view Word() const { return word; }

private:
    const char* pos;
    const char* end;
    std::string_view word;
    bool complete = false;
};

// "%g" of value, cut to maxLength and padded or cut to width (0 or less: no limit).
std::string FormatNumber(double value, int maxLength, int width);

// Same token rules as NextToken over a view, in time linear in the source length
// however many tokens are cut: the readers use it on lines of any length.
class CTokenizer {
public:
    CTokenizer(std::string_view source, char delimiter);
    // Blanks and tabs alike separate words; commas only where the source holds neither.
    // Touchstone lines use this: an editor's tab between numbers is no part of a number.
    static CTokenizer Words(std::string_view source);

    // True when nothing but white space remains.
    bool Empty();
    std::string_view NextToken();
    double NextNumber() { return ParseLeadingDouble(NextToken()); }
    // What remains (not yet trimmed on the left).
    std::string_view Rest() const { return text.substr(begin, end - begin); }

private:
    CTokenizer(std::string_view source, char delimiter, bool blankOrTab);
    std::size_t Find(char c, std::size_t& cache) const;
    std::size_t Search(char c, std::size_t from) const;

    std::string_view text;
    char delimiter;
    bool blankOrTab;  // the delimiter stands for blanks and tabs
    std::size_t begin;
    std::size_t end;
    // Next known position of each separator at or after begin (npos: none left).
    mutable std::size_t nextDelimiter;
    mutable std::size_t nextComma;
    mutable std::size_t nextTab;
};
