#include "data/S2pData.h"

#include <cctype>

namespace {

int ModeIndex(char mode)
{
    switch (std::tolower(static_cast<unsigned char>(mode))) {
    case 'd': return 0;
    case 'c': return 1;
    case 's': return 2;
    default: return -1;
    }
}

bool InRange(int port)
{
    return port >= 1 && port <= MAX_PORTS;
}

// "21", or "10_2" where either number has two digits (S102 could be 1,02 or 10,2).
std::string PortPair(int row, int col)
{
    const std::string sep = row > 9 || col > 9 ? "_" : "";
    return std::to_string(row) + sep + std::to_string(col);
}

// Reads "ij" (two single digits) or "i_j" from text; false for anything else.
bool ParsePortPair(std::string_view text, int& row, int& col)
{
    const auto number = [](std::string_view digits, int& value) {
        if (digits.empty() || digits.size() > 2)
            return false;
        value = 0;
        for (char c : digits) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
            value = value * 10 + (c - '0');
        }
        return InRange(value);
    };
    const std::size_t underscore = text.find('_');
    if (underscore == std::string_view::npos) {
        return text.size() == 2 && number(text.substr(0, 1), row) && number(text.substr(1), col);
    }
    return number(text.substr(0, underscore), row) && number(text.substr(underscore + 1), col);
}

}  // namespace

namespace ValueCode {

int Element(int row, int col)
{
    if (!InRange(row) || !InRange(col))
        return -1;
    if (row <= 4 && col <= 4)
        return (row - 1) * 4 + (col - 1);
    return LARGE_BASE + 100 * row + col;
}

int MixedMode(char rowMode, int row, char colMode, int col)
{
    const int r = ModeIndex(rowMode);
    const int c = ModeIndex(colMode);
    if (r < 0 || c < 0 || !InRange(row) || !InRange(col))
        return -1;
    return MIXED_BASE + 10000 * (3 * r + c) + 100 * row + col;
}

bool IsElement(int code)
{
    if (code >= 0 && code <= 15)
        return true;
    if (code > LARGE_BASE && code < LARGE_BASE + 10000) {
        const int row = (code - LARGE_BASE) / 100;
        const int col = code % 100;
        return InRange(row) && InRange(col) && (row > 4 || col > 4);
    }
    if (code > MIXED_BASE && code < MIXED_BASE + 90000) {
        const int row = code / 100 % 100;
        const int col = code % 100;
        return InRange(row) && InRange(col);
    }
    return false;
}

std::string Name(int code)
{
    if (!IsElement(code))
        return {};
    if (code <= 15)
        return "S" + PortPair(code / 4 + 1, code % 4 + 1);
    if (code < MIXED_BASE)
        return "S" + PortPair((code - LARGE_BASE) / 100, code % 100);
    static const char modes[] = {'d', 'c', 's'};
    const int m = (code - MIXED_BASE) / 10000;
    return std::string("S") + modes[m / 3] + modes[m % 3] + PortPair(code / 100 % 100, code % 100);
}

int Parse(std::string_view name)
{
    if (name.size() < 3 || std::tolower(static_cast<unsigned char>(name[0])) != 's')
        return -1;
    int row = 0;
    int col = 0;
    if (std::isalpha(static_cast<unsigned char>(name[1]))) {
        if (name.size() < 5 || !ParsePortPair(name.substr(3), row, col))
            return -1;
        return MixedMode(name[1], row, name[2], col);
    }
    return ParsePortPair(name.substr(1), row, col) ? Element(row, col) : -1;
}

bool IsQuality(int code)
{
    return code == SIGMA || code == RECIPROCITY;
}

bool IsReflection(int code)
{
    if (!IsElement(code))
        return false;
    if (code <= 15)
        return code / 4 == code % 4;
    if (code < MIXED_BASE)
        return (code - LARGE_BASE) / 100 == code % 100;
    const int m = (code - MIXED_BASE) / 10000;
    return m / 3 == m % 3 && code / 100 % 100 == code % 100;
}

}  // namespace ValueCode
