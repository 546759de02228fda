#include "window_placement.h"

QPoint windowPlacement(const QSize& size, const QRect& available)
{
    const int x = size.width() <= available.width()
                      ? available.x() + (available.width() - size.width()) / 2
                      : available.x() + available.width() - size.width();
    const int y = size.height() <= available.height()
                      ? available.y() + (available.height() - size.height()) / 2
                      : available.y();
    return {x, y};
}
