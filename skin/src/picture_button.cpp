#include "skin/picture_button.h"

#include "glass_painter.h"

#include <QPainter>

namespace skin {

TPictureButton::TPictureButton(Glyph glyph, QWidget* parent)
    : QAbstractButton(parent), fGlyph(glyph)
{
    setAttribute(Qt::WA_Hover, true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(cPictureButtonSide, cPictureButtonSide);
}

QSize TPictureButton::sizeHint() const { return {cPictureButtonSide, cPictureButtonSide}; }

void TPictureButton::paintEvent(QPaintEvent*)
{
    GlassState state = GlassState::Normal;
    if (!isEnabled())
        state = GlassState::Disabled;
    else if (isDown())
        state = GlassState::Pressed;
    else if (underMouse())
        state = GlassState::Hover;

    QPainter painter(this);
    const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    paintGlassFace(painter, face, state, fGlyph == Glyph::Close ? GlassTint::Red : GlassTint::Blue);

    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF shift = state == GlassState::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    const QPointF centre = face.center() + shift;
    const qreal arm = face.width() * 0.2;
    auto drawGlyph = [&](const QColor& colour, QPointF offset) {
        painter.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = centre + offset;
        if (fGlyph == Glyph::Close) {
            painter.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
            painter.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));
        } else {
            // The bar sits low, where a window goes when it is minimised.
            painter.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, arm));
        }
    };
    drawGlyph(glassShadowColour(state), QPointF(0.8, 0.8));
    drawGlyph(glassTextColour(state), QPointF(0, 0));
}

} // namespace skin
