// Letter case of file words and command-line words: ASCII only, whatever the locale.
#pragma once

#include <string>
#include <string_view>

std::string AsciiLower(std::string_view text);
