#include "platform/SegmentClip.h"

#include <algorithm>

bool ClipSegment(double left, double top, double right, double bottom, double& x0, double& y0,
                 double& x1, double& y1)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (!(t0 <= t1))
        return false;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 += t0 * dx;
    y0 += t0 * dy;
    return true;
}
