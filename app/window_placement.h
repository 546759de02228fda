#pragma once

// Where the main window opens: centred on the screen's free area, and never
// with its own title controls off it.

#include <QPoint>
#include <QRect>
#include <QSize>

// The top-left corner for a window of size on a screen whose free area is
// available. A window larger than that area (a high scale factor on a small
// screen) keeps its top edge and its right edge, where the close and
// minimise glyphs are, on the screen.
QPoint windowPlacement(const QSize& size, const QRect& available);
