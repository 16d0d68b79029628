// The application: runs the main window for the whole program, with the settings file
// read before and written after.
#pragma once

#include <string>
#include <vector>

// Starts the window; files (at most five) are opened into slots 1..5 instead of the
// last file of the previous run. Returns the exit status.
int RunTorvexWindow(int argc, char** argv, const std::vector<std::string>& files);
