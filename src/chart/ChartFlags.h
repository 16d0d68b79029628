// Program-wide switches of the chart engine, touched only on the user-interface thread.
#pragma once

// When clear, applying a view format empties the graph's marker list. Set by the markers
// dialog ("Keep markers persistent when new data is loaded"); false at start, never saved.
extern bool keepMarkers;
