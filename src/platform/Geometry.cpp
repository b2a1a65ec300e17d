#include "Geometry.h"

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

} // namespace Geometry
