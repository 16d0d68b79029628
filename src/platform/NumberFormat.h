// printf-style formatting of one number that ignores the process locale: a Qt program
// takes the locale from the environment, and files and labels must keep a decimal point.
#pragma once

#include <string>

// format holds one conversion for a double ("%.5g"); any other format ("%s", "%n", "%*g",
// two conversions) is replaced by "%g", so a format can never read a missing argument.
std::string FormatValue(const std::string& format, double value);
// format holds one conversion for an int ("%d").
std::string FormatInt(const std::string& format, int value);
