#include "hexedit/hexcolors.h"

#include <QApplication>
#include <QPalette>

QColor ColorFromBGR(uint32_t aValue)
{
    return QColor(int(aValue & 0xFF), int((aValue >> 8) & 0xFF), int((aValue >> 16) & 0xFF));
}

QColor Invert(const QColor& aColor)
{
    return QColor(255 - aColor.red(), 255 - aColor.green(), 255 - aColor.blue());
}

TColors::TColors(TColorsChanged aChanged)
    : FOffset(ColorFromBGR(0x000000)), FOddColumn(ColorFromBGR(0xFF0000)),
      FOddInverted(Invert(FOddColumn)), FEvenColumn(ColorFromBGR(0x800000)),
      FEvenInverted(Invert(FEvenColumn)), FChanged(std::move(aChanged)),
      FPositionBackground(ColorFromBGR(0x000080)), FCursorFrame(ColorFromBGR(0x800000)),
      FBackground(QApplication::palette().color(QPalette::Base)),
      FChangedText(ColorFromBGR(0x000080)), FPositionText(ColorFromBGR(0xFFFFFF)),
      FChangedBackground(ColorFromBGR(0xA8FFFF))
{
}

TColors& TColors::operator=(const TColors& aOther)
{
    if (this == &aOther)
        return *this;
    FOffset = aOther.FOffset;
    FOddColumn = aOther.FOddColumn;
    FOddInverted = aOther.FOddInverted;
    FEvenColumn = aOther.FEvenColumn;
    FEvenInverted = aOther.FEvenInverted;
    FPositionBackground = aOther.FPositionBackground;
    FCursorFrame = aOther.FCursorFrame;
    FChangedText = aOther.FChangedText;
    FPositionText = aOther.FPositionText;
    FChangedBackground = aOther.FChangedBackground;
    FBackground = QColor();
    SetBackground(aOther.FBackground);
    Repaint();
    return *this;
}

void TColors::Store(QColor& aField, const QColor& aValue)
{
    if (aField == aValue)
        return;
    aField = aValue;
    Repaint();
}

void TColors::Repaint()
{
    if (FChanged)
        FChanged(TColorChange::Repaint);
}

void TColors::SetOffset(const QColor& aValue) { Store(FOffset, aValue); }

void TColors::SetOddColumn(const QColor& aValue)
{
    FOddInverted = Invert(aValue);
    Store(FOddColumn, aValue);
}

void TColors::SetEvenColumn(const QColor& aValue)
{
    FEvenInverted = Invert(aValue);
    Store(FEvenColumn, aValue);
}

void TColors::SetPositionBackground(const QColor& aValue) { Store(FPositionBackground, aValue); }

void TColors::SetCursorFrame(const QColor& aValue) { Store(FCursorFrame, aValue); }

void TColors::SetBackground(const QColor& aValue)
{
    if (FBackground == aValue)
        return;
    FBackground = aValue;
    if (FChanged)
        FChanged(TColorChange::Background);
}

void TColors::SetChangedText(const QColor& aValue) { Store(FChangedText, aValue); }
void TColors::SetPositionText(const QColor& aValue) { Store(FPositionText, aValue); }
void TColors::SetChangedBackground(const QColor& aValue) { Store(FChangedBackground, aValue); }
