// Entry point of the program: command-line modes, or the window.
#pragma once

int RunTorvex(int argc, char** argv);
