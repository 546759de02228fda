#pragma once

#include <QImage>

// Paints the main window's 660 x 480 background around the places where the
// window puts its lists, progress bar, status line and buttons.
QImage paintBackground();
