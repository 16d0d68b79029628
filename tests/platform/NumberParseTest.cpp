#include "platform/NumberParse.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

// What each reader is told a word is: masks refuse all but Finite, the readers and the
// settings take an underflow as zero, the dialogs report an overflow as out of range.
TEST(ParseDecimal, KindsOfWords)
{
    const struct {
        const char* text;
        DecimalKind kind;
        double value;
    } cases[] = {
        {" 1.5e3 ", DecimalKind::Finite, 1500},
        {"+.5", DecimalKind::Finite, 0.5},
        {"-2", DecimalKind::Finite, -2},
        {"1e-400", DecimalKind::Underflow, 0},
        {"-1e400", DecimalKind::Overflow, -HUGE_VAL},
        {"+-5", DecimalKind::None, 0},
        {"inf", DecimalKind::None, 0},
        {"nan", DecimalKind::None, 0},
        {"0x10", DecimalKind::None, 0},
        {"1,5", DecimalKind::None, 1},
        {".", DecimalKind::None, 0},
        {"", DecimalKind::None, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double v = 7;
        EXPECT_EQ(ParseDecimal(c.text, v), c.kind);
        if (c.kind != DecimalKind::None) {
            EXPECT_EQ(v, c.value);
        }
    }
}

// Short numbers are read without from_chars; whatever the way, the value must be the one
// from_chars gives, to the last bit, and the number must end where it ends.
TEST(ParseDecimal, EveryWayReadsAsFromChars)
{
    std::mt19937 random(21);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* const tails[] = {"", "e", "E+", "e-", "e+0", "x", ".", "e12345"};
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        for (int d = pick(22); d > 0; --d)
            text += static_cast<char>('0' + pick(10));
        if (pick(3) > 0) {
            text += '.';
            for (int d = pick(22); d > 0; --d)
                text += static_cast<char>('0' + pick(10));
        }
        if (pick(2) > 0)
            text +=
                (pick(2) ? "e" : "E") + std::string(pick(2) ? "-" : "") + std::to_string(pick(40));
        text += tails[pick(8)];
        SCOPED_TRACE(text);
        const char* const first = text.data();
        const char* const last = first + text.size();
        double expected = 0.0;
        const auto [end, ec] = std::from_chars(first, last, expected, std::chars_format::general);
        const char* after = nullptr;
        const double value = DecimalAt(first, last, after);
        if (ec == std::errc::invalid_argument) {
            EXPECT_EQ(value, 0.0);
            continue;
        }
        ASSERT_EQ(after, end);
        if (ec == std::errc::result_out_of_range)
            continue;  // infinity or zero, as KindsOfWords has it
        ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << value << " " << expected;
    }
}

}  // namespace
