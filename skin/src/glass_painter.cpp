#include "glass_painter.h"

#include <QLinearGradient>

namespace skin {
namespace {

struct FaceColours {
    QColor top;
    QColor bottom;
    QColor border;
    int glossTop;    // alpha of the white sheen at the top edge
    int glossBottom; // and where it ends, half way down
};

FaceColours coloursFor(GlassState state, GlassTint tint)
{
    if (tint == GlassTint::Red && state == GlassState::Hover)
        return {QColor(0xF0, 0x6A, 0x5A), QColor(0xB8, 0x24, 0x1C), QColor(0x6E, 0x10, 0x0C), 170,
                40};
    if (tint == GlassTint::Red && state == GlassState::Pressed)
        return {QColor(0x8A, 0x18, 0x12), QColor(0xC8, 0x3A, 0x2E), QColor(0x50, 0x0A, 0x08), 50,
                0};
    switch (state) {
    case GlassState::Hover:
        return {QColor(0x6C, 0xB2, 0xFF), QColor(0x24, 0x6C, 0xD0), QColor(0x12, 0x3C, 0x86), 170,
                40};
    case GlassState::Pressed:
        // The light sits at the bottom: the face looks pushed in.
        return {QColor(0x12, 0x36, 0x78), QColor(0x2C, 0x62, 0xB8), QColor(0x08, 0x1E, 0x4C), 50,
                0};
    case GlassState::Disabled:
        return {QColor(0xBC, 0xC4, 0xD0), QColor(0x96, 0xA0, 0xAE), QColor(0x66, 0x70, 0x7E), 110,
                20};
    case GlassState::Normal: break;
    }
    return {QColor(0x3E, 0x86, 0xE4), QColor(0x16, 0x4A, 0xA0), QColor(0x0C, 0x2A, 0x62), 150, 30};
}

} // namespace

void paintGlassFace(QPainter& painter, const QRectF& rect, GlassState state, GlassTint tint)
{
    const FaceColours c = coloursFor(state, tint);
    const qreal radius = qMin(rect.height(), rect.width()) * 0.22;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF outer = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient body(outer.topLeft(), outer.bottomLeft());
    body.setColorAt(0.0, c.top);
    body.setColorAt(1.0, c.bottom);
    painter.setPen(QPen(c.border, 1.0));
    painter.setBrush(body);
    painter.drawRoundedRect(outer, radius, radius);

    // The sheen over the upper half is what makes the face read as glass.
    const QRectF gloss(outer.left() + 1.5, outer.top() + 1.5, outer.width() - 3.0,
                       outer.height() * 0.48);
    QLinearGradient sheen(gloss.topLeft(), gloss.bottomLeft());
    sheen.setColorAt(0.0, QColor(255, 255, 255, c.glossTop));
    sheen.setColorAt(1.0, QColor(255, 255, 255, c.glossBottom));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawRoundedRect(gloss, radius * 0.8, radius * 0.8);

    if (state == GlassState::Pressed) {
        QLinearGradient glow(outer.bottomLeft() - QPointF(0, outer.height() * 0.4),
                             outer.bottomLeft());
        glow.setColorAt(0.0, QColor(120, 190, 255, 0));
        glow.setColorAt(1.0, QColor(120, 190, 255, 90));
        painter.setBrush(glow);
        painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), radius, radius);
    } else {
        // A faint light line along the lower edge, as light through thick glass.
        painter.setPen(QPen(QColor(255, 255, 255, state == GlassState::Disabled ? 30 : 70), 1.0));
        painter.drawLine(QPointF(outer.left() + radius, outer.bottom() - 1.5),
                         QPointF(outer.right() - radius, outer.bottom() - 1.5));
    }
    painter.restore();
}

// A disabled caption is engraved: dark grey with a light edge below, the way
// a control that cannot be used has always looked, still legible on the grey.
QColor glassTextColour(GlassState state)
{
    return state == GlassState::Disabled ? QColor(0x5A, 0x64, 0x72) : QColor(Qt::white);
}

QColor glassShadowColour(GlassState state)
{
    return state == GlassState::Disabled ? QColor(255, 255, 255, 150)
                                         : QColor(0x06, 0x18, 0x40, 170);
}

} // namespace skin
