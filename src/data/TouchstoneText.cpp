#include "data/TouchstoneText.h"

#include "data/LineFile.h"
#include "platform/AsciiText.h"
#include "platform/NumberFormat.h"

namespace TouchstoneText {

std::string_view WithoutComment(std::string_view line)
{
    return line.substr(0, line.find('!'));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && AsciiLower(text.substr(0, prefix.size())) == prefix;
}

std::string LineRef(std::size_t number, std::string_view line)
{
    return "line " + std::to_string(number) + " \"" + EscapeInput(line) + "\"";
}

std::string BadNumber(const CNumberReader& tokens)
{
    return "\"" + EscapeInput(tokens.Word()) + "\" is not a finite decimal number";
}

std::string PairOutOfRange(double a, double b, int pair)
{
    return "pair " + std::to_string(pair) + " (" + FormatValue("%g", a) + ", "
        + FormatValue("%g", b) + ") gives no finite value";
}

std::string NoiseLineFault(std::string_view line)
{
    CNumberReader tokens(WithoutComment(line));
    std::size_t count = 0;
    double freq = 0.0;
    while (!tokens.Empty()) {
        const double v = tokens.Next();
        if (!tokens.Complete())
            return BadNumber(tokens);
        if (count++ == 0)
            freq = v;
    }
    if (count != 5)
        return std::to_string(count) + " numbers, where a noise-parameter line has 5";
    if (freq < 0)
        return "the frequency is negative";
    return std::string();
}

}  // namespace TouchstoneText
