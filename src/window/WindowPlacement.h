#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the window stands and how large it is at start-up, from the design's outer size and
// the platform's frame.
namespace WindowPlacement {

// The platform's frame around the client area, in pixels.
struct Frame {
    int border;
    int titleBar;
};

// The client area of a window of the designed outer size; at least minClientWidth wide, so
// that borders wider than the design's (Windows 10 and 11 have 8 pixels) cut no control.
QSize clientSize(const QSize& outer, int minClientWidth, const Frame& frame);

// Where a window saved at saved goes: there, when its title bar can be grabbed on one of the
// screens' available areas; else at the top-left of the primary screen's.
QPoint startPosition(const QPoint& saved, const QSize& client, const Frame& frame,
                     const QList<QRect>& areas, const QRect& primary);

} // namespace WindowPlacement
