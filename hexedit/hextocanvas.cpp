#include "hexedit/hextocanvas.h"

#include "hexedit/hexconvert.h"
#include "hexedit/hexeditor.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Fonts given in pixels come from the screen, which counts 96 per inch.
constexpr double cScreenDpi = 96.0;
// Stretching stops here even if a line could grow further: a line of
// blanks alone never reaches the width.
constexpr int cLargestPoint = 1000;

// Puts the painter's font and pen back on every way out of Draw.
class TCanvasState {
public:
    explicit TCanvasState(QPainter& aCanvas)
        : fCanvas(aCanvas), fFont(aCanvas.font()), fPen(aCanvas.pen())
    {
    }
    ~TCanvasState()
    {
        fCanvas.setFont(fFont);
        fCanvas.setPen(fPen);
    }
    TCanvasState(const TCanvasState&) = delete;
    TCanvasState& operator=(const TCanvasState&) = delete;

private:
    QPainter& fCanvas;
    QFont fFont;
    QPen fPen;
};

QString HexByte(uint8_t aByte, bool aSwap)
{
    const QString digits = FillLeft(QLatin1Char('0'), QString::number(aByte, 16).toUpper(), 2);
    return aSwap ? QString(digits[1]) + digits[0] : digits;
}

} // namespace

THexToCanvas::THexToCanvas(QObject* aOwner) : QObject(aOwner)
{
    QFont f(QStringLiteral("Courier"), 12);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    SetFont(f);
}

THexEditor* THexToCanvas::HexEditor() const { return fHexEditor; }

void THexToCanvas::SetHexEditor(THexEditor* aValue) { fHexEditor = aValue; }

void THexToCanvas::SetFont(const QFont& aValue)
{
    fFont = aValue;
    if (fFont.pointSize() <= 0 && fFont.pixelSize() > 0)
        fFont.setPointSize(std::max(1, int(std::lround(fFont.pixelSize() * 72.0 / cScreenDpi))));
}

void THexToCanvas::GetLayout()
{
    if (!fHexEditor)
        return;
    SetFont(fHexEditor->font());
    fBpC = fHexEditor->BytesPerColumn();
    fOffsCr = fHexEditor->OffsetSeparator();
    fOffsDy = fHexEditor->OffsetDisplay();
    fBpL = fHexEditor->BytesPerLine();
    fSwapNibbles = fHexEditor->SwapNibbles();
    fMemDy = odHex;
    fMemCr = QLatin1Char(' ');
    fCharDy = true;
    fCharCr = QChar();
}

QString THexToCanvas::GetOneLine(int32_t aPos, int32_t aEnd)
{
    QString line;
    if (!fHexEditor)
        return line;
    const int w = fHexEditor->OffSetDisplayWidth();
    switch (fOffsDy) {
    case odHex:
        line = QStringLiteral("0x") +
               FillLeft(QLatin1Char('0'), QString::number(aPos, 16).toUpper(), w - 3);
        break;
    case odDec: line = FillLeft(QLatin1Char(' '), QString::number(aPos), w - 1); break;
    case odOctal:
        line = QStringLiteral("o ") + FillLeft(QLatin1Char('0'), IntToOctal(aPos), w - 3);
        break;
    case odNone: break;
    }
    if (!fOffsCr.isNull())
        line += fOffsCr;

    const int64_t first = aPos;
    for (int i = 1; i <= fBpL; ++i) {
        const int64_t p = first + i - 1;
        const bool inside = p <= aEnd;
        const uint8_t b = inside ? fHexEditor->GetByteAtPos(int32_t(p)) : 0;
        switch (fMemDy) {
        case odHex: line += inside ? HexByte(b, fSwapNibbles) : QStringLiteral("  "); break;
        case odDec:
            line +=
                inside ? FillLeft(QLatin1Char(' '), QString::number(b), 3) : QStringLiteral("   ");
            break;
        case odOctal:
            line += inside ? FillLeft(QLatin1Char('0'), IntToOctal(b), 4) : QStringLiteral("    ");
            break;
        case odNone: break;
        }
        if (fBpC > 0 && i % fBpC == 0)
            line += QLatin1Char(' ');
    }
    if (!fMemCr.isNull())
        line += fMemCr;

    if (fCharDy) {
        for (int i = 0; i < fBpL; ++i) {
            const int64_t p = first + i;
            line += p <= aEnd
                        ? fHexEditor->TranslateToAnsiChar(fHexEditor->GetByteAtPos(int32_t(p)))
                        : QChar(QLatin1Char(' '));
        }
        if (!fCharCr.isNull())
            line += fCharCr;
    }
    return line;
}

int32_t THexToCanvas::Draw(QPainter& aCanvas, int32_t aStart, int32_t aEnd, const QString& TopLine,
                           const QString& BottomLine)
{
    if (fBpL <= 0)
        return -1;
    if (!fHexEditor)
        return std::numeric_limits<int32_t>::max();
    aEnd = std::min(aEnd, fHexEditor->DataSize() - 1);
    if (aEnd < aStart)
        return -1;

    QString line = GetOneLine(aStart, aEnd);
    TCanvasState keep(aCanvas);
    QFont font = fFont;
    aCanvas.setFont(font);
    aCanvas.setPen(Qt::black);
    const int avail = fRightM - fLeftM;
    auto width = [&] { return aCanvas.fontMetrics().horizontalAdvance(line); };
    auto resize = [&](int aBy) {
        font.setPointSize(font.pointSize() + aBy);
        aCanvas.setFont(font);
    };
    if (fStretch) {
        while (width() < avail && font.pointSize() < cLargestPoint)
            resize(+1);
        while (width() > avail && font.pointSize() > 1)
            resize(-1);
    }
    if (fShrink)
        while (width() > avail && font.pointSize() > 1)
            resize(-1);

    const QFontMetrics fm = aCanvas.fontMetrics();
    const int th = fm.height();
    int h = int(std::lround(1.2 * th));
    if (h == th)
        h += 1;
    auto put = [&](int aY, const QString& aText) {
        aCanvas.drawText(fLeftM, aY + fm.ascent(), aText);
    };

    int y = fTopM;
    if (!TopLine.isEmpty()) {
        put(y, TopLine);
        y += h;
    }
    const int b = BottomLine.isEmpty() ? fBottomM : fBottomM - h;
    while (y + h <= b) {
        put(y, line);
        if (int64_t(aStart) + fBpL > aEnd) {
            aStart = aEnd + 1;
            break;
        }
        aStart += fBpL;
        line = GetOneLine(aStart, aEnd);
        y += h;
    }
    if (!BottomLine.isEmpty())
        put(b, BottomLine);
    return aStart;
}
