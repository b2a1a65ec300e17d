#include "widgets/Geometry.h"

#include <QWidget>

#include <cmath>

namespace Geometry {

int toPixels(double twips, const QWidget& widget)
{
    return static_cast<int>(std::lround(twips * widget.logicalDpiY() / TwipsPerInch));
}

double toTwips(int pixels, const QWidget& widget)
{
    return static_cast<double>(pixels) * TwipsPerInch / widget.logicalDpiY();
}

void place(QWidget& widget, int left, int top, int width, int height)
{
    widget.setGeometry(toPixels(left, widget), toPixels(top, widget), toPixels(width, widget),
                       toPixels(height, widget));
}

QColor winColor(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QPoint reachablePosition(const QRect& frame, int titleBar, const QList<QRect>& areas,
                         const QRect& fallback)
{
    // Enough of the title bar to take hold of with the pointer: a hand's width of its length
    // (or all of a narrower window), and half its height, so that the few pixels a maximised
    // window leaves above and left of the screen still count.
    const QRect bar(frame.topLeft(), QSize(frame.width(), qMax(titleBar, 2)));
    const int grabWidth = qMin(bar.width(), 64);
    const int grabHeight = bar.height() / 2;
    for (const QRect& area : areas) {
        const QRect shown = bar.intersected(area);
        if (!shown.isEmpty() && shown.width() >= grabWidth && shown.height() >= grabHeight)
            return frame.topLeft();
    }
    return fallback.topLeft();
}

} // namespace Geometry
