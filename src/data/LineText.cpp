#include "data/LineText.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {
constexpr std::size_t npos = std::string_view::npos;
}  // namespace

std::string Trim(const std::string& s)
{
    return std::string(TrimView(s));
}

CTokenizer::CTokenizer(std::string_view source, char delim) : CTokenizer(source, delim, false) {}

CTokenizer::CTokenizer(std::string_view source, char delim, bool blankOrTabDelimiter)
    : text(source),
      delimiter(delim),
      blankOrTab(blankOrTabDelimiter),
      begin(0),
      end(source.size()),
      nextDelimiter(Search(delim, 0)),
      nextComma(source.find(',')),
      nextTab(source.find('\t'))
{
}

CTokenizer CTokenizer::Words(std::string_view source)
{
    return CTokenizer(source, ' ', true);
}

std::size_t CTokenizer::Search(char c, std::size_t from) const
{
    if (blankOrTab && c == delimiter)
        return text.find_first_of(" \t", from);
    return text.find(c, from);
}

std::size_t CTokenizer::Find(char c, std::size_t& cache) const
{
    // The source only loses characters at its front, so a separator found once stays
    // valid until passed, and one that is missing stays missing.
    if (cache != npos && cache < begin)
        cache = Search(c, begin);
    if (cache != npos && cache >= end)
        return npos;
    return cache;
}

bool CTokenizer::Empty()
{
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return begin >= end;
}

std::string_view CTokenizer::NextToken()
{
    if (Empty())
        return {};
    std::size_t p = Find(delimiter, nextDelimiter);
    if (p == npos)
        p = Find(',', nextComma);
    if (p == npos)
        p = Find('\t', nextTab);
    if (p == npos) {
        const std::string_view token = text.substr(begin, end - begin);
        begin = end;
        return token;
    }
    const std::string_view token = TrimView(text.substr(begin, p - begin));
    begin = p + 1;
    return token;
}

std::string NextToken(std::string& source, char delimiter)
{
    CTokenizer tokenizer(source, delimiter);
    const std::string token(tokenizer.NextToken());
    source = std::string(tokenizer.Rest());
    return token;
}

double NextNumber(std::string& source, char delimiter)
{
    return ParseLeadingDouble(NextToken(source, delimiter));
}

namespace {

// Where the digits of a number start, after leading blanks and an optional sign.
std::size_t SkipBlanksAndSign(std::string_view s, bool& negative)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    return i;
}

}  // namespace

CNumberReader::CNumberReader(std::string_view source)
    : pos(source.data()), end(source.data() + source.size())
{
    while (end > pos && IsBlank(end[-1]))
        --end;
}

double CNumberReader::Next()
{
    if (Empty()) {
        word = {};
        complete = false;
        return 0.0;
    }
    // No separator is a part of a number, so converting up to the end of the source
    // reads what converting the word alone would.
    const char* const start = pos;
    const char* after = nullptr;
    const double value = DecimalAt(pos, end, after);
    // The word ends at the next blank or tab; only where none is left, at a comma.
    const char* stop = nullptr;
    for (const char* p = after; p < end; ++p) {
        if (*p == ' ' || *p == '\t') {
            stop = p;
            pos = p + 1;
            break;
        }
    }
    if (!stop) {
        const void* comma = std::memchr(after, ',', static_cast<std::size_t>(end - after));
        stop = comma ? static_cast<const char*>(comma) : end;
        pos = comma ? stop + 1 : end;
    }
    word = std::string_view(start, static_cast<std::size_t>(stop - start));
    complete = after == stop && after > start && std::isfinite(value);
    return value;
}

int ParseInt(std::string_view s)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(s, negative);
    long long value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (s[i] - '0');
        ++i;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string FormatNumber(double value, int maxLength, int width)
{
    std::string text = FormatValue("%g", value);
    if (maxLength > 0 && text.size() > static_cast<std::size_t>(maxLength))
        text.resize(static_cast<std::size_t>(maxLength));
    if (width > 0)
        text.resize(static_cast<std::size_t>(width), ' ');
    return text;
}
