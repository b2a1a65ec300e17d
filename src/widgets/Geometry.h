#pragma once

#include <QColor>
#include <QList>
#include <QRect>

#include <cstdint>

class QWidget;

// Layout is given in twips (1/1440 inch) and colours as 0x00BBGGRR values; these are the only
// places that turn them into pixels and QColors.
namespace Geometry {

constexpr int TwipsPerInch = 1440;

int toPixels(double twips, const QWidget& widget);
double toTwips(int pixels, const QWidget& widget);
// Places a child at left/top with width/height, all in twips of its parent's client area.
void place(QWidget& widget, int left, int top, int width, int height);
QColor winColor(std::uint32_t bgr);
// Where a window whose outer frame would stand at frame goes: there, when its title bar
// (titleBar pixels high) shows enough on one of the screens' available areas to be grabbed;
// else at the top-left of fallback.
QPoint reachablePosition(const QRect& frame, int titleBar, const QList<QRect>& areas,
                         const QRect& fallback);

} // namespace Geometry
