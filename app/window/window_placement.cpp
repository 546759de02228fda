#include "window/window_placement.h"

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

std::optional<double> scaleThatFits(const QSize& size, const QSize& available, double scale)
{
    auto fits = [&](double s) {
        return size.width() * s <= available.width() && size.height() * s <= available.height();
    };
    if (fits(scale))
        return std::nullopt;
    // Quarter steps keep the skin's one-pixel lines from blurring more than
    // they must.
    for (int quarters = int(scale * 4 - 1e-9); quarters >= 1; --quarters)
        if (fits(quarters / 4.0))
            return quarters / 4.0;
    return std::nullopt;
}
