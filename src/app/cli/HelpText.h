// The one source of the program's help: `--help` and the manual page are both made from it,
// so they always list the same options.
#pragma once

#include <string>
#include <vector>

namespace HelpText {

// One option with its value syntax, and what it does (plain text, wrapped when shown).
struct Entry {
    const char* option;
    const char* text;
};
// The options of one task.
struct Group {
    const char* title;
    std::vector<Entry> entries;
};

const std::vector<Group>& Groups();
// The forms of a command line, one a line.
const std::vector<const char*>& Synopsis();

// --help: the synopsis, then the groups, wrapped to 80 columns.
std::string Help();
// The manual page torvex(1) in roff (man macros) for a version and a date ("2026-12-10").
std::string ManPage(const std::string& version, const std::string& date);

}  // namespace HelpText
