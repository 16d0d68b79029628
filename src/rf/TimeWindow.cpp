#include "rf/TimeWindow.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/NumberParse.h"

namespace {

// Zeroth-order modified Bessel function of the first kind, by its power series; the terms
// fall fast for the betas a window uses (at most 100).
double BesselI0(double x)
{
    const double q = x * x / 4.0;
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k < 500; ++k) {
        term *= q / (static_cast<double>(k) * static_cast<double>(k));
        sum += term;
        if (term < sum * 1e-17)
            break;
    }
    return sum;
}

std::string Lower(std::string_view text)
{
    std::string s(text);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

bool TimeWindow::Parse(std::string_view text, TimeWindow& window)
{
    const std::string s = Lower(text);
    if (s == "rect") {
        window = {Kind::RECT, 0.0};
        return true;
    }
    if (s == "hann") {
        window = {Kind::HANN, 0.0};
        return true;
    }
    if (s == "min" || s == "normal" || s == "max") {
        window = {Kind::KAISER, s == "min" ? 0.0 : (s == "normal" ? 6.0 : 13.0)};
        return true;
    }
    const std::string prefix = "kaiser:";
    if (s.compare(0, prefix.size(), prefix) != 0 || s.size() == prefix.size())
        return false;
    double beta = 0.0;
    if (!ParseDouble(std::string_view(s).substr(prefix.size()), beta) || beta < 0.0 || beta > 100.0)
        return false;
    window = {Kind::KAISER, beta};
    return true;
}

std::string TimeWindow::Spelling() const
{
    switch (kind) {
    case Kind::RECT: return "rect";
    case Kind::HANN: return "hann";
    default: break;
    }
    char text[40];
    std::snprintf(text, sizeof text, "kaiser:%.6g", beta);
    return text;
}

std::vector<double> TimeWindow::Symmetric(std::size_t points) const
{
    return Samples(points, 0);
}

std::vector<double> TimeWindow::RightHalf(std::size_t points) const
{
    if (points == 0)
        return {};
    return Samples(2 * points - 1, points - 1);
}

std::vector<double> TimeWindow::Samples(std::size_t points, std::size_t from) const
{
    std::vector<double> w(points - from, 1.0);
    if (points < 2 || kind == Kind::RECT)
        return w;
    const double last = static_cast<double>(points - 1);
    const double pi = 3.14159265358979323846;
    const double norm = kind == Kind::KAISER ? BesselI0(beta) : 1.0;
    for (std::size_t n = from; n < points; ++n) {
        const double u = 2.0 * static_cast<double>(n) / last - 1.0;  // -1 .. 1
        if (kind == Kind::HANN)
            w[n - from] = 0.5 + 0.5 * std::cos(pi * u);
        else
            w[n - from] = BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - u * u))) / norm;
    }
    return w;
}
