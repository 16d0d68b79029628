// The torvex executable: the command line and the window live in the app library.
#include "app/cli/CommandLine.h"

int main(int argc, char** argv)
{
    return RunTorvex(argc, argv);
}
