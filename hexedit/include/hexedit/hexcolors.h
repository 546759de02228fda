// The colour set of the hex control.
#pragma once

#include <QColor>

#include <cstdint>
#include <functional>

// A colour given as 0x00BBGGRR, the way the colour table writes them.
QColor ColorFromBGR(uint32_t aValue);
// Each of red, green and blue replaced by 255 minus itself.
QColor Invert(const QColor& aColor);

// What a change of the set asks of whoever shows it: to repaint, or to take
// the new background as its own colour (which repaints too).
enum class TColorChange { Repaint, Background };
using TColorsChanged = std::function<void(TColorChange)>;

class TColors {
public:
    // aChanged hears of every change; a set without one only holds colours.
    explicit TColors(TColorsChanged aChanged = {});
    TColors(const TColors&) = delete;
    // Takes over the other set's colours; the listener stays this set's own.
    TColors& operator=(const TColors& aOther);

    QColor Offset() const { return FOffset; }
    QColor OddColumn() const { return FOddColumn; }
    QColor OddInverted() const { return FOddInverted; }
    QColor EvenColumn() const { return FEvenColumn; }
    QColor EvenInverted() const { return FEvenInverted; }
    QColor PositionBackground() const { return FPositionBackground; }
    QColor CursorFrame() const { return FCursorFrame; }
    QColor Background() const { return FBackground; }
    QColor ChangedText() const { return FChangedText; }
    QColor PositionText() const { return FPositionText; }
    QColor ChangedBackground() const { return FChangedBackground; }

    void SetOffset(const QColor& aValue);
    void SetOddColumn(const QColor& aValue);
    void SetEvenColumn(const QColor& aValue);
    void SetPositionBackground(const QColor& aValue);
    void SetCursorFrame(const QColor& aValue);
    void SetBackground(const QColor& aValue);
    void SetChangedText(const QColor& aValue);
    void SetPositionText(const QColor& aValue);
    void SetChangedBackground(const QColor& aValue);

private:
    void Store(QColor& aField, const QColor& aValue);
    void Repaint();

    QColor FOffset;
    QColor FOddColumn;
    QColor FOddInverted;
    QColor FEvenColumn;
    QColor FEvenInverted;
    TColorsChanged FChanged;
    QColor FPositionBackground;
    QColor FCursorFrame;
    QColor FBackground;
    QColor FChangedText;
    QColor FPositionText;
    QColor FChangedBackground;
};
