// --help, the manual page and the completion script name the same options.
#include "app/cli/HelpText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

std::set<std::string> Options(const std::string& text)
{
    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

TEST(HelpText, HelpManualPageAndCompletionAgree)
{
    std::string man = HelpText::ManPage("1.0", "2026-01-01");
    // Roff writes a dash as "\-".
    for (std::size_t at = 0; (at = man.find("\\-", at)) != std::string::npos;)
        man.erase(at, 1);
    const std::set<std::string> help = Options(HelpText::Help());
    EXPECT_GE(help.size(), 28u);
    EXPECT_EQ(Options(man), help);

    std::ifstream in(std::string(TORVEX_TESTDATA) + "/../resources/torvex.bash-completion");
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(script.empty());
    for (const std::string& option : help)
        EXPECT_NE(script.find(option), std::string::npos) << option << " is not completed";
    // Every line of --help fits a terminal of 80 columns.
    const std::string text = HelpText::Help();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
}

}  // namespace
