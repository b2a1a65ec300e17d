#include "window/WindowPlacement.h"

#include "widgets/Geometry.h"

namespace WindowPlacement {

QSize clientSize(const QSize& outer, int minClientWidth, const Frame& frame)
{
    return QSize(qMax(outer.width() - 2 * frame.border, minClientWidth),
                 outer.height() - frame.titleBar - 2 * frame.border);
}

QPoint startPosition(const QPoint& saved, const QSize& client, const Frame& frame,
                     const QList<QRect>& areas, const QRect& primary)
{
    // The outer frame decides what shows of the title bar, not the client area.
    const QRect outer(saved, client + QSize(2 * frame.border, frame.titleBar + 2 * frame.border));
    return Geometry::reachablePosition(outer, frame.titleBar, areas, primary);
}

} // namespace WindowPlacement
