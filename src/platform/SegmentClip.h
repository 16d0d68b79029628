// Cutting a straight line to a rectangle, in floating point, before any conversion to
// pixels: a line far off the device costs nothing and overflows nothing. Std only.
#pragma once

// Liang-Barsky: (x0, y0)-(x1, y1) becomes its part inside [left, right] x [top, bottom]
// (edges included); false when nothing of it lies inside.
bool ClipSegment(double left, double top, double right, double bottom, double& x0, double& y0,
                 double& x1, double& y1);
