// The application: runs the main window for the whole program, with the settings file
// read before and written after.
#pragma once

#include <string>
#include <vector>

class CStartLoader;

// The start-up sequence, one instance for the run of the program.
class CTorvexApp {
public:
    // settingsPath: the settings file (CSettingsFile::DefaultPath() in the program).
    explicit CTorvexApp(std::string settingsPath);

    // Constructs the window, applies the settings, runs the window until it is closed and
    // writes the settings. files (at most five used) open into slots 1..5 instead of the
    // last file of the previous run. Needs a QApplication. Returns the exit status.
    // started: those files, being read since the program began (or null).
    int Run(const std::vector<std::string>& files, CStartLoader* started = nullptr);

private:
    std::string settingsPath;
};

// Names the program to the platform (name, desktop file; the icon from the event loop);
// needs a QApplication.
void SetApplicationIdentity();

// Starts the window; files (at most five) are opened into slots 1..5 instead of the
// last file of the previous run. Returns the exit status.
// started: those files, being read since the program began (or null).
int RunTorvexWindow(int argc, char** argv, const std::vector<std::string>& files,
                    CStartLoader* started = nullptr);
