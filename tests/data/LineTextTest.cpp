#include "data/LineText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// Each row: the source, the delimiter, and the tokens expected until the source is empty.
struct TokenCase {
    const char* source;
    char delimiter;
    std::vector<std::string> tokens;
};

TEST(NextToken, FallbackRulesAndTrimming)
{
    const TokenCase cases[] = {
        {"1.5 2.5  3.5", ' ', {"1.5", "2.5", "3.5"}},
        {"1,2,3", ' ', {"1", "2", "3"}},
        {"1,2 3", ' ', {"1,2", "3"}},  // a blank occurs: no comma is looked for
        {"1,,2", ' ', {"1", "", "2"}},
        {"word", ' ', {"word"}},
        {"1.5 2.5,3", ',', {"1.5 2.5", "3"}},  // blanks never separate with a comma delimiter
        {"1\t2\t3", ',', {"1", "2", "3"}},     // a tab separates when there is no comma
        {"1\t2,3", ',', {"1\t2", "3"}},
        {"  a ,  b  ", ',', {"a", "b"}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.source);
        std::string source = c.source;
        std::vector<std::string> got;
        while (!source.empty())
            got.push_back(NextToken(source, c.delimiter));
        EXPECT_EQ(got, c.tokens);
    }
}

TEST(NextToken, EmptySourceGivesEmptyToken)
{
    std::string source;
    EXPECT_EQ(NextToken(source, ' '), "");
    EXPECT_TRUE(source.empty());
    source = "1.5 2.5 3.5";
    NextToken(source, ' ');
    NextToken(source, ' ');
    NextToken(source, ' ');
    EXPECT_EQ(NextToken(source, ' '), "");
}

TEST(NextToken, RestIsNotTrimmedUntilTheNextCall)
{
    std::string source = "a  b";
    EXPECT_EQ(NextToken(source, ' '), "a");
    EXPECT_EQ(source, " b");
}

TEST(NextNumber, ConvertsLikeAtofInTheCLocale)
{
    const std::pair<const char*, double> cases[] = {
        {"1.5", 1.5}, {"-2.25", -2.25},   {"+3", 3.0},   {"abc", 0.0}, {"1e3xyz", 1000.0},
        {"1,2", 1.0}, {".5", 0.5},        {"5.", 5.0},   {"1e", 1.0},  {"1e+", 1.0},
        {"-", 0.0},   {"1.5E-3", 0.0015}, {"0x10", 0.0}, {"nan", 0.0}, {"-nan", 0.0},
        {"inf", 0.0}, {"1e-999", 0.0},    {"", 0.0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        std::string source = text;
        EXPECT_DOUBLE_EQ(NextNumber(source, ' '), expected);
    }
    std::string huge = "1e999";
    EXPECT_TRUE(std::isinf(NextNumber(huge, ' ')));
    std::string hugeNegative = "-1e999";
    EXPECT_LT(NextNumber(hugeNegative, ' '), 0.0);
}

TEST(ParseInt, ReadsLikeAtoi)
{
    EXPECT_EQ(ParseInt("12.5"), 12);
    EXPECT_EQ(ParseInt("1e+06"), 1);
    EXPECT_EQ(ParseInt(" -45.7"), -45);
    EXPECT_EQ(ParseInt("abc"), 0);
    EXPECT_EQ(ParseInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseInt("-99999999999999999999"), -2147483647 - 1);
}

TEST(FormatNumber, GeneralFormatLengthAndWidth)
{
    EXPECT_EQ(FormatNumber(0.5, -1, -1), "0.5");
    EXPECT_EQ(FormatNumber(100, -1, -1), "100");
    EXPECT_EQ(FormatNumber(1234567, -1, -1), "1.23457e+06");
    EXPECT_EQ(FormatNumber(0.00001, -1, -1), "1e-05");
    EXPECT_EQ(FormatNumber(1234567, 4, -1), "1.23");
    EXPECT_EQ(FormatNumber(0.5, -1, 5), "0.5  ");
    EXPECT_EQ(FormatNumber(123.456, -1, 3), "123");
}

// A Qt program takes the locale from the environment; files must not follow it.
TEST(Locale, NumbersKeepTheDecimalPointUnderAGermanLocale)
{
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    const char* set = nullptr;
    for (const char* name : names)
        if ((set = std::setlocale(LC_ALL, name)) != nullptr)
            break;
    if (!set)
        GTEST_SKIP() << "no German locale installed";
    std::string source = "1.5 2,5";
    const double first = NextNumber(source, ' ');
    const std::string formatted = FormatNumber(1.5, -1, -1);
    std::setlocale(LC_ALL, "C");
    EXPECT_DOUBLE_EQ(first, 1.5);
    EXPECT_EQ(formatted, "1.5");
}

TEST(Tokenizer, ManyCommaTokensOnOneLine)
{
    // The separator positions are remembered between tokens; each must still be right.
    std::string line;
    for (int i = 0; i < 10000; ++i)
        line += "1,";
    CTokenizer tokens(line, ' ');
    long count = 0;
    double sum = 0;
    while (!tokens.Empty()) {
        sum += tokens.NextNumber();
        ++count;
    }
    EXPECT_EQ(count, 10000);
    EXPECT_DOUBLE_EQ(sum, 10000.0);
}

TEST(NumberReader, ReadsWhatTheWordTokenizerReads)
{
    // Random lines of number characters, separators and stray letters, compared number
    // by number (to the bit) with cutting words and converting each.
    const std::string alphabet = "0123456789.eE+-  \t,,\v\rx";
    unsigned seed = 12345;
    const auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    std::vector<std::string> lines = {
        "",       " ",          "1,2 3",         "1 2,3", "1, ,2",
        "1,,2",   "-.5e-3\t+2", "1e999 -1e-999", "- 5",   "inf nan 0x10",
        "1\v2 3", "1 ,"};
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        const unsigned length = next() % 24;
        for (unsigned k = 0; k < length; ++k)
            line += alphabet[next() % alphabet.size()];
        lines.push_back(line);
    }
    for (const std::string& line : lines) {
        CTokenizer words = CTokenizer::Words(line);
        CNumberReader numbers(line);
        while (!words.Empty()) {
            ASSERT_FALSE(numbers.Empty()) << '"' << line << '"';
            const double expected = words.NextNumber();
            const double got = numbers.Next();
            ASSERT_EQ(std::signbit(expected), std::signbit(got)) << '"' << line << '"';
            ASSERT_TRUE(expected == got || (std::isnan(expected) && std::isnan(got)))
                << '"' << line << "\": " << expected << " != " << got;
        }
        EXPECT_TRUE(numbers.Empty()) << '"' << line << '"';
    }
}

}  // namespace
