#include "chart/LimitMask.h"

#include "platform/NumberParse.h"

#include "chart/TraceSearch.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace {

// The first words of a line: a segment has at most seven, so an eighth shows there are too
// many however long the line is.
std::vector<std::string_view> Words(std::string_view line)
{
    constexpr std::size_t MAX_WORDS = 8;
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size() && words.size() < MAX_WORDS) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// The whole word as a finite decimal number: a mask means no "inf", "nan", hexadecimal
// form, nor a number beyond a double's range either way.
bool ReadNumber(std::string_view word, double& value)
{
    double v = 0.0;
    if (ParseDecimal(word, v) != DecimalKind::Finite)
        return false;  // value keeps what it held
    value = v;
    return true;
}

// The format words of an item, and the unit labels of trace names that stand for them.
struct FormatWord {
    const char* item;   // after the colon of an item
    const char* label;  // between the brackets of a trace name, lower case
};
constexpr FormatWord kFormatWords[] = {
    {"db", "db"},
    {"phase", "deg"},
    {"delay", "ns"},
    {"lin", "mag"},
    {"re", "re"},
    {"im", "im"},
    {"vswr", "vswr"},
    {"r", "r"},
    {"x", "x"},
    {"z", "|z|"},
    {"impulse", "impulse"},
    {"step", "step"},
    {"bandpass", "bandpass"},
    {"tdr", "tdr ohm"},
};

// "S21:db", "S10_2:phase" or "Sdd21:vswr" from any letter case of an element and a format
// word; empty when it is none.
std::string NormalItem(std::string_view word)
{
    const std::string lower = AsciiLower(word);
    // The quality of the whole matrix has no element.
    if (lower == "s:sigma" || lower == "s:recip")
        return "S" + lower.substr(1);
    const std::size_t colon = lower.find(':');
    if (colon == std::string::npos || colon < 3 || lower[0] != 's')
        return std::string();
    const std::string element = lower.substr(1, colon - 1);
    if (element.find_first_not_of("0123456789_dcs") != std::string::npos
        || element.find_first_of("0123456789") == std::string::npos)
        return std::string();
    const std::string unit = lower.substr(colon + 1);
    for (const FormatWord& f : kFormatWords)
        if (unit == f.item)
            return "S" + element + ":" + unit;
    return std::string();
}

// Whether text is a file number of a trace name: "(2)".
bool FileNumber(std::string_view text)
{
    if (text.size() < 3 || text.front() != '(' || text.back() != ')')
        return false;
    for (char c : text.substr(1, text.size() - 2))
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// The item a trace name stands for ("S21[dB](2)" gives "S21:db", "S11(mag)" "S11:lin"),
// empty for any other name.
std::string ItemOfName(const std::string& fullName)
{
    // A trace built from gated data is the item all the same.
    constexpr std::string_view gated = " gated";
    std::string name = fullName;
    if (name.size() > gated.size()
        && name.compare(name.size() - gated.size(), gated.size(), gated) == 0)
        name.resize(name.size() - gated.size());
    for (const char* quality : {"S:sigma", "S:recip"}) {
        const std::string_view q(quality);
        if (name.compare(0, q.size(), q) == 0) {
            const std::string_view rest = std::string_view(name).substr(q.size());
            return rest.empty() || FileNumber(rest) ? std::string(q) : std::string();
        }
    }
    const std::size_t open = name.find_first_of("[(");
    if (open == std::string::npos)
        return std::string();
    const char closing = name[open] == '[' ? ']' : ')';
    const std::size_t close = name.find(closing, open + 1);
    if (close == std::string::npos)
        return std::string();
    const std::string unit = AsciiLower(std::string_view(name).substr(open + 1, close - open - 1));
    const char* kind = nullptr;
    for (const FormatWord& f : kFormatWords)
        if (unit == f.label)
            kind = f.item;
    if (!kind)
        return std::string();
    // Nothing may follow but a file number.
    const std::string_view rest = std::string_view(name).substr(close + 1);
    if (!rest.empty() && !FileNumber(rest))
        return std::string();
    return NormalItem(name.substr(0, open) + ":" + kind);
}

// The first line of a file may start with a UTF-8 byte-order mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Errors reported one by one; the rest of a binary or foreign file is summed up in one.
constexpr std::size_t MAX_ERRORS = 20;

// A word as a message quotes it: control bytes escaped, long words cut.
std::string Quoted(std::string_view word)
{
    return "'" + EscapeInput(word) + "'";
}

}  // namespace

double CLimitMask::Segment::LimitAt(double x) const
{
    if (f2 == f1 || v2 == v1)
        return v1;
    // Ends near the largest doubles overflow the plain differences; halved they do not,
    // and the weighted sum of the two ends stays between them.
    const double span = f2 - f1;
    const double t = std::isfinite(span) ? (x - f1) / span : (x / 2 - f1 / 2) / (f2 / 2 - f1 / 2);
    const double rise = v2 - v1;
    return std::isfinite(rise) ? v1 + t * rise : (1.0 - t) * v1 + t * v2;
}

double CLimitMask::Segment::MarginAt(double x, double value) const
{
    // Kept finite, so that results and the crossings found from them are numbers.
    constexpr double kMost = std::numeric_limits<double>::max();
    const double limit = LimitAt(x);
    return std::clamp(upper ? limit - value : value - limit, -kMost, kMost);
}

bool CLimitMask::Parse(const std::string& text, std::vector<ParseError>& errors)
{
    errors.clear();
    segments.clear();
    std::string_view rest(text);
    if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        rest.remove_prefix(kByteOrderMark.size());
    int lineNumber = 0;
    std::size_t unreported = 0;
    while (!rest.empty()) {
        ++lineNumber;
        // A line ends at a line feed, a carriage return and line feed, or a carriage
        // return alone.
        const std::size_t end = rest.find_first_of("\r\n");
        std::string_view line = rest.substr(0, end);
        const std::size_t skip = end == std::string_view::npos ? rest.size()
            : rest.compare(end, 2, "\r\n") == 0                ? end + 2
                                                               : end + 1;
        rest.remove_prefix(skip);
        line = line.substr(0, line.find('!'));
        const std::vector<std::string_view> words = Words(line);
        if (words.empty())
            continue;

        const auto fail = [&](const std::string& message) {
            if (errors.size() < MAX_ERRORS)
                errors.push_back(ParseError{lineNumber, message});
            else
                ++unreported;
        };
        Segment s;
        s.line = lineNumber;
        const std::string keyword = AsciiLower(words[0]);
        if (keyword != "upper" && keyword != "lower") {
            fail("expected 'upper' or 'lower', not " + Quoted(words[0]));
            continue;
        }
        s.upper = keyword == "upper";
        if (words.size() < 4) {
            fail("expected " + keyword + " F1 F2 V1 [V2] [ITEM]");
            continue;
        }
        std::string bad;
        double* const fields[] = {&s.f1, &s.f2, &s.v1};
        for (std::size_t i = 0; i < 3; ++i) {
            if (bad.empty() && !ReadNumber(words[i + 1], *fields[i]))
                bad = words[i + 1];
        }
        if (!bad.empty()) {
            fail(Quoted(bad) + " is not a number");
            continue;
        }
        s.v2 = s.v1;
        std::size_t next = 4;
        const bool sloped = next < words.size() && ReadNumber(words[next], s.v2);
        if (sloped)
            ++next;
        if (next < words.size()) {
            s.item = NormalItem(words[next]);
            if (s.item.empty()) {
                fail(Quoted(words[next]) +
                     " is neither a number nor an item such as S21:db, S21:phase, S21:delay, S11:vswr or"
                     " S:sigma");
                continue;
            }
            ++next;
        }
        if (next < words.size()) {
            fail("unexpected " + Quoted(words[next]) + " after the segment");
            continue;
        }
        if (s.f1 > s.f2) {
            fail("F1 must not lie above F2");
            continue;
        }
        if (s.f1 == s.f2 && s.v1 != s.v2) {
            fail("a segment at one frequency has one value");
            continue;
        }
        segments.push_back(s);
    }
    if (unreported > 0)
        errors.push_back(ParseError{0, std::to_string(unreported) + " more malformed lines"});
    if (segments.empty() && errors.empty())
        errors.push_back(ParseError{0, "the mask holds no segment"});
    return errors.empty();
}

bool CLimitMask::Matches(const std::string& item, const std::string& traceName)
{
    if (item.empty())
        return true;
    const std::string wanted = NormalItem(item);
    return !wanted.empty() && ItemOfName(traceName) == wanted;
}

std::vector<LimitResult> CLimitMask::Evaluate(const std::vector<CChartTrace>& traces) const
{
    std::vector<LimitResult> results;
    for (std::size_t si = 0; si < segments.size(); ++si) {
        const Segment& seg = segments[si];
        bool matched = false;
        for (std::size_t ti = 0; ti < traces.size(); ++ti) {
            if (!Matches(seg.item, traces[ti].name))
                continue;
            matched = true;
            LimitResult r;
            r.segment = si;
            r.trace = static_cast<int>(ti);
            const std::vector<CChartTrace::XYpair> s = TraceSamples(traces[ti], seg.f1, seg.f2);
            if (!s.empty()) {
                // Trace and limit are both straight between neighbouring samples, so the
                // margin is too: where it changes sign is found exactly.
                std::vector<double> m(s.size());
                for (std::size_t i = 0; i < s.size(); ++i)
                    m[i] = seg.MarginAt(s[i].x, s[i].y);
                std::size_t worst = 0;
                for (std::size_t i = 0; i < s.size(); ++i) {
                    if (m[i] < m[worst])
                        worst = i;
                    if (m[i] >= 0.0)
                        continue;
                    // X where the margin is zero between samples a and b.
                    const auto zero = [&](std::size_t a, std::size_t b) {
                        return s[a].x + m[a] / (m[a] - m[b]) * (s[b].x - s[a].x);
                    };
                    if (i == 0 || m[i - 1] >= 0.0)
                        r.failing.emplace_back(i == 0 ? s[0].x : zero(i - 1, i), 0.0);
                    if (i + 1 == s.size())
                        r.failing.back().second = s[i].x;
                    else if (m[i + 1] >= 0.0)
                        r.failing.back().second = zero(i, i + 1);
                }
                r.margin = m[worst];
                r.x = s[worst].x;
                r.status = r.margin >= 0.0 ? LimitStatus::Pass : LimitStatus::Fail;
            }
            results.push_back(r);
        }
        if (!matched) {
            LimitResult r;
            r.segment = si;
            results.push_back(r);
        }
    }
    return results;
}

bool CLimitMask::AllPass(const std::vector<LimitResult>& results)
{
    if (results.empty())
        return false;
    for (const LimitResult& r : results) {
        if (r.status != LimitStatus::Pass)
            return false;
    }
    return true;
}
