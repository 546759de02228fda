#pragma once

// "BlueGlass": the look of the main window's command buttons and the message
// box's OK button. Set it on each push button with setStyle(blueGlassStyle());
// the style lights the button under the mouse, darkens it while pressed and
// greys it out while disabled.

#include <QFont>
#include <QProxyStyle>
#include <QString>

namespace skin {

class TBlueGlassStyle : public QProxyStyle {
    Q_OBJECT
public:
    TBlueGlassStyle();

    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
};

// One style for the whole program, owned by the application object.
TBlueGlassStyle* blueGlassStyle();

// Room a caption leaves on each side of the face.
inline constexpr int cCaptionMargin = 5;
// Below this a caption is no longer legible; longer captions are elided instead.
inline constexpr int cMinCaptionPixels = 9;

// The caption font for a button face of the given width: the button's font in
// demi-bold, made smaller step by step if the caption would not fit.
QFont fittedCaptionFont(const QFont& font, const QString& caption, int faceWidth);

} // namespace skin
