#include "platform/NumberParse.h"

#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
