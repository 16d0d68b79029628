#include "app/AppFlags.h"

bool persistXScale = false;
bool persistYScale = false;
