// The CSV tables of the command line and of the window's CSV export.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class CChartGraph;
class CLimitMask;
struct LimitResult;

// The X column of the tables below is named xColumn: "freq_MHz", "time_ns", "distance_m".

// The graph's traces in graph order: "trace,axis,<xColumn>,value", one row per point.
void WriteCsv(const CChartGraph& graph, const std::string& xColumn, std::ostream& csv);

// "marker,<xColumn>,trace,value": per marker, one row per listed trace in graph
// order; the value is empty where the trace has no data. When the traces are Smith or
// polar traces (complex values), "re,im,r_ohm,x_ohm,vswr" instead of "value": the
// element interpolated linearly, Z = R + jX with the trace's reference impedance.
void WriteMarkerTable(const CChartGraph& graph, const std::vector<double>& markers,
                      const std::string& xColumn, std::ostream& csv);

// "trace,<xColumn>,value": per trace the maximum (peak) or the minimum within
// low..high; empty fields where the span holds no point of the trace.
void WriteExtremeTable(const CChartGraph& graph, bool peak, double low, double high,
                       const std::string& xColumn, std::ostream& csv);

// "trace,center,low,high,bandwidth,q,peak": per trace the band `below` dB under its
// maximum within low..high; the fields it could not find are empty.
void WriteBandwidthTable(const CChartGraph& graph, double below, double low, double high,
                         const std::string& unit, std::ostream& csv);

// "segment,trace,result,margin,<xColumn>": one row per result of the mask.
void WriteLimitTable(const CChartGraph& graph, const CLimitMask& mask,
                     const std::vector<LimitResult>& results, const std::string& xColumn,
                     std::ostream& csv);
