// Entry point of the program: the command-line modes, or the window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs the program for the given arguments; returns the exit status.
int RunTorvex(int argc, char** argv);

// The command-line modes without a window, for scripts and quick checks. Output goes
// to out, messages that the window would show to err.
class CCommandLine {
public:
    CCommandLine(std::ostream& out, std::ostream& err);

    // Exit status 0 when every file loaded, 1 otherwise.
    int Check(const std::vector<std::string>& paths);
    int Dump(const std::string& path);
    void PrintHelp();
    void PrintVersion();

private:
    std::ostream& out;
    std::ostream& err;
};
