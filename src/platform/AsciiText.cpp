#include "platform/AsciiText.h"

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

namespace {

// The length of the valid UTF-8 sequence of two or more bytes at the start of s, or 0.
// Overlong forms, surrogates, the C1 controls (U+0080..U+009F) and the direction controls
// count as invalid.
std::size_t Utf8Length(std::string_view s)
{
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b = byte(0);
    std::size_t n = 0;
    unsigned char low = 0x80;  // the range of the second byte
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
        if (b == 0xC2)
            low = 0xA0;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0)
            low = 0xA0;
        else if (b == 0xED)
            high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0)
            low = 0x90;
        else if (b == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < n || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    // The direction marks and overrides (U+200E, U+200F, U+202A..U+202E, U+2066..U+2069)
    // would turn the rest of a message around on a terminal: they are escaped like controls.
    if (n == 3 && b == 0xE2
        && ((byte(1) == 0x80 && (byte(2) == 0x8E || byte(2) == 0x8F
                                 || (byte(2) >= 0xAA && byte(2) <= 0xAE)))
            || (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9)))
        return 0;
    return n;
}

}  // namespace

std::string EscapeInput(std::string_view text, std::size_t maxChars)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (chars == maxChars) {
            out += "...";
            break;
        }
        ++chars;
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++i;
        } else if (c == '\t') {
            out += "\\t";
            ++i;
        } else if (const std::size_t n = c >= 0x80 ? Utf8Length(text.substr(i)) : 0) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
            ++i;
        }
    }
    return out;
}

std::string EscapeName(std::string_view name)
{
    return EscapeInput(name, std::string_view::npos);
}

std::string_view TrimView(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}
