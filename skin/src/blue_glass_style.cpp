#include "skin/blue_glass_style.h"

#include "glass_painter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace skin {
namespace {

// Fusion underneath, so everything the glass does not draw looks the same on
// every desktop.
QStyle* fusionStyle() { return QStyleFactory::create(QStringLiteral("Fusion")); }

GlassState stateOf(const QStyleOption& option)
{
    if (!(option.state & QStyle::State_Enabled))
        return GlassState::Disabled;
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        return GlassState::Pressed;
    if (option.state & QStyle::State_MouseOver)
        return GlassState::Hover;
    return GlassState::Normal;
}

int pixelSizeOf(const QFont& font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

void drawCaption(const QStyleOptionButton& button, const QFont& buttonFont, QPainter& painter)
{
    const GlassState state = stateOf(button);
    QRect face = button.rect;
    if (state == GlassState::Pressed)
        face.translate(1, 1);
    const QFont font = fittedCaptionFont(buttonFont, button.text, face.width());
    const QRect textRect = face.adjusted(cCaptionMargin, 0, -cCaptionMargin, 0);
    const QString shown = QFontMetrics(font).elidedText(button.text, Qt::ElideRight,
                                                        textRect.width(), Qt::TextShowMnemonic);
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    painter.save();
    painter.setFont(font);
    painter.setPen(glassShadowColour(state));
    painter.drawText(textRect.translated(1, 1), flags, shown);
    painter.setPen(glassTextColour(state));
    painter.drawText(textRect, flags, shown);
    painter.restore();
}

} // namespace

TBlueGlassStyle::TBlueGlassStyle() : QProxyStyle(fusionStyle())
{
    setObjectName(QStringLiteral("BlueGlass"));
}

void TBlueGlassStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QAbstractButton*>(widget))
        widget->setAttribute(Qt::WA_Hover, true);
}

void TBlueGlassStyle::unpolish(QWidget* widget)
{
    if (qobject_cast<QAbstractButton*>(widget))
        widget->setAttribute(Qt::WA_Hover, false);
    QProxyStyle::unpolish(widget);
}

void TBlueGlassStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const
{
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (button && element == CE_PushButtonBevel) {
        paintGlassFace(*painter, QRectF(button->rect), stateOf(*button));
        return;
    }
    if (button && element == CE_PushButtonLabel && button->icon.isNull()) {
        drawCaption(*button, widget ? widget->font() : painter->font(), *painter);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TBlueGlassStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const
{
    if (element == PE_FrameFocusRect && qobject_cast<const QAbstractButton*>(widget)) {
        // A thin light ring inside the face instead of a dotted box across the caption.
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QColor(255, 255, 255, 110), 1.0));
        painter->setBrush(Qt::NoBrush);
        const QRectF ring = QRectF(widget->rect()).adjusted(2.5, 2.5, -2.5, -2.5);
        painter->drawRoundedRect(ring, 3, 3);
        painter->restore();
        return;
    }
    if (element == PE_PanelButtonCommand) {
        paintGlassFace(*painter, QRectF(option->rect), stateOf(*option));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize TBlueGlassStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                        const QSize& size, const QWidget* widget) const
{
    if (type != CT_PushButton)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    // The window's buttons are 137 x 27; a lone OK button gets the same height.
    return {qMax(size.width() + 4 * cCaptionMargin, 75), qMax(size.height() + 10, 27)};
}

TBlueGlassStyle* blueGlassStyle()
{
    static QPointer<TBlueGlassStyle> style;
    if (!style) {
        style = new TBlueGlassStyle;
        style->setParent(qApp);
    }
    return style;
}

QFont fittedCaptionFont(const QFont& font, const QString& caption, int faceWidth)
{
    QFont fitted = font;
    fitted.setWeight(QFont::DemiBold);
    const int room = faceWidth - 2 * cCaptionMargin;
    auto fits = [&] {
        return QFontMetrics(fitted).size(Qt::TextShowMnemonic, caption).width() <= room;
    };
    for (int pixels = pixelSizeOf(fitted); !fits() && pixels > cMinCaptionPixels;)
        fitted.setPixelSize(--pixels);
    return fitted;
}

} // namespace skin
