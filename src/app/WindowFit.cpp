#include "app/WindowFit.h"

#include <algorithm>

namespace {

// One axis: the new extent, and where the window starts along it.
void FitAxis(int start, int extent, int change, int minExtent, int maxExtent, bool limited,
             int areaStart, int areaExtent, int& newStart, int& newExtent)
{
    newExtent = std::max(std::min(extent + change, maxExtent), minExtent);
    newStart = start;
    if (!limited)
        return;
    newExtent = std::min(newExtent, areaExtent);
    newStart = std::min(start, std::max(areaStart, areaStart + areaExtent - newExtent));
}

}  // namespace

QRect FitWindow(const QRect& frame, int dx, int dy, const QSize& minSize, const QSize& maxSize,
                const QRect& available)
{
    const bool limited = !available.isNull();
    int left = 0, top = 0, width = 0, height = 0;
    FitAxis(frame.left(), frame.width(), dx, minSize.width(), maxSize.width(), limited,
            available.left(), available.width(), left, width);
    FitAxis(frame.top(), frame.height(), dy, minSize.height(), maxSize.height(), limited,
            available.top(), available.height(), top, height);
    return QRect(left, top, width, height);
}
