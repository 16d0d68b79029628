#include "platform/AsciiText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EscapeInput, ControlBytesAndBrokenUtf8AreEscapedAndLongTextCut)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1.5 abc", "1.5 abc"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x1b[2J\t\x7f", "\\x1B[2J\\t\\x7F"},
        {"\xc3\xa9t\xc3\xa9 \xe2\x84\xa6", "\xc3\xa9t\xc3\xa9 \xe2\x84\xa6"},  // valid UTF-8 stays
        {"\xe9t\xe9", "\\xE9t\\xE9"},                                          // Latin-1 does not
        {"\xc2\x9b"
         "1m",
         "\\xC2\\x9B1m"},  // a C1 control (CSI) in UTF-8 form
        {"a\xe2\x80\xaez", "a\\xE2\\x80\\xAEz"},  // a right-to-left override
        {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xe2\x84",
         "\\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80 \\xE2\\x84"},
        {std::string(41, 'x'), std::string(40, 'x') + "..."},
        {std::string(40, 'x'), std::string(40, 'x')},
    };
    for (const auto& [text, escaped] : cases) {
        SCOPED_TRACE(escaped);
        EXPECT_EQ(EscapeInput(text), escaped);
    }
    EXPECT_EQ(EscapeInput("\xe2\x84\xa6\xe2\x84\xa6\xe2\x84\xa6", 2),
              "\xe2\x84\xa6\xe2\x84\xa6...");
}

}  // namespace
