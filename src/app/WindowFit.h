// Where the main window goes when its size changes: within its size limits and within
// the part of the screen that windows may use. Plain arithmetic, testable without a screen.
#pragma once

#include <QRect>
#include <QSize>

// The outer rectangle of a window whose outer rectangle is frame after a change of size
// by dx, dy. The width and height are limited to maxSize, then kept at least minSize,
// then kept within available (a null available sets no limit). The top-left corner stays
// unless the new size would reach past the right or bottom edge of available: then the
// window moves left or up just as far as needed, never past the left or top edge.
QRect FitWindow(const QRect& frame, int dx, int dy, const QSize& minSize, const QSize& maxSize,
                const QRect& available);
