// Program-wide switches that the settings file and the Settings dialog share.
#pragma once

// Keep the X scale (and the Y scales) when new data is loaded.
extern bool persistXScale;
extern bool persistYScale;
