// The chart's traces as tab-separated text for the clipboard, to paste into a spreadsheet.
#pragma once

#include <string>

class CChartGraph;

// Traces that share their frequencies (the usual case: one file, or files measured alike)
// become one table: a frequency column, then one column per trace. Otherwise every trace
// is a block of its own, the blocks separated by an empty line. The header names the
// frequency unit; numbers keep 17 significant digits whatever the locale.
std::string TracesAsText(const CChartGraph& graph, const std::string& xColumn);
