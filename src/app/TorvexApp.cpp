#include "app/TorvexApp.h"

#include <iostream>

int RunTorvexWindow(int, char**, const std::vector<std::string>&)
{
    std::cerr << "torvex: the window is not available in this build\n";
    return 1;
}
