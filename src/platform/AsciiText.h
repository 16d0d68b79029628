// Letter case of file words and command-line words: ASCII only, whatever the locale; and
// how messages quote what a file holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::string AsciiLower(std::string_view text);

// Blanks of a line: space, tab and the other ASCII white space; text without them at its ends.
// Inline: the readers ask it of every byte of a file.
inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
std::string_view TrimView(std::string_view s);

// Part of an input file as a message quotes it (without the quote marks): control bytes,
// DEL, the C1 controls and bytes that are no valid UTF-8 become \xNN, a tab \t and a
// backslash stays as it is; after maxChars characters of text the quote is cut and ends in
// "...". A binary file then never sends raw bytes to a terminal or a message box.
std::string EscapeInput(std::string_view text, std::size_t maxChars = 40);

// A file name or command-line word as a message quotes it: whole, with EscapeInput's escapes.
std::string EscapeName(std::string_view name);
