// The colour set of the hex control.
#pragma once

#include <QColor>

#include <cstdint>

class THexEditor;

// A colour given as 0x00BBGGRR, the way the colour table writes them.
QColor ColorFromBGR(uint32_t aValue);
// Each of red, green and blue replaced by 255 minus itself.
QColor Invert(const QColor& aColor);

class TColors {
public:
    explicit TColors(THexEditor* aParent);
    TColors(const TColors&) = delete;
    // Takes over the other set's colours; the owner stays this set's own.
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
    THexEditor* FParent;
    QColor FPositionBackground;
    QColor FCursorFrame;
    QColor FBackground;
    QColor FChangedText;
    QColor FPositionText;
    QColor FChangedBackground;
};
