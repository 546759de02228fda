#pragma once

// Where the main window opens: centred on the screen's free area, and never
// with its own title controls off it.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The top-left corner for a window of size on a screen whose free area is
// available. A window larger than that area (a high scale factor on a small
// screen) keeps its top edge and its right edge, where the close and
// minimise glyphs are, on the screen.
QPoint windowPlacement(const QSize& size, const QRect& available);

// The scale at which a window of size (in the program's own pixels) fits a
// screen area of available device pixels, when it does not fit at scale:
// the largest quarter step below it that fits. Nothing when it fits as it
// is, or when not even a quarter of its size would.
std::optional<double> scaleThatFits(const QSize& size, const QSize& available, double scale);
