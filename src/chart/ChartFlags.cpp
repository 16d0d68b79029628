#include "chart/ChartFlags.h"

bool keepMarkers = false;
