#include "app/CommandLine.h"

int RunTorvex(int, char**)
{
    return 0;
}
