#pragma once

// The glass face shared by the caption buttons and the picture buttons, so
// every control of the window lights, darkens and greys out the same way.

#include <QPainter>
#include <QRectF>

namespace skin {

enum class GlassState { Normal, Hover, Pressed, Disabled };

// Red is kept for the close button under the mouse: the one action that ends
// the program without asking.
enum class GlassTint { Blue, Red };

void paintGlassFace(QPainter& painter, const QRectF& rect, GlassState state,
                    GlassTint tint = GlassTint::Blue);

// Caption and glyph colours that read on the face of each state.
QColor glassTextColour(GlassState state);
QColor glassShadowColour(GlassState state);

} // namespace skin
