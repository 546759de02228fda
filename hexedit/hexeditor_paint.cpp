// Drawing the cells and the caret.
#include "hexedit/hexeditor.h"

#include "hexedit/hexconvert.h"

#include <QApplication>
#include <QPainter>
#include <QPaintEvent>

#include <cmath>

namespace {

constexpr char cHexDigits[] = "0123456789ABCDEF";

} // namespace

QString THexEditor::OffsetText(int32_t aRow) const
{
    const int64_t offset = int64_t(aRow) * fBytesPerLine;
    const QString sep = FOffsetChar.isNull() ? QString() : QString(FOffsetChar);
    switch (FOffsetDisplay) {
    case odHex:
        return QStringLiteral("0x") +
               FillLeft(QLatin1Char('0'), QString::number(offset, 16).toUpper(),
                        fOffSetDisplayWidth - 3) +
               sep;
    case odDec:
        return FillLeft(QLatin1Char(' '), QString::number(offset), fOffSetDisplayWidth - 1) + sep;
    case odOctal:
        return QStringLiteral("o ") +
               FillLeft(QLatin1Char('0'), IntToOctal(offset), fOffSetDisplayWidth - 3) + sep;
    case odNone: break;
    }
    return QStringLiteral(" ");
}

void THexEditor::DrawTextCell(QPainter& aCanvas, const QRect& aRect, const QString& aText,
                              const QColor& aTextColor, const QColor& aBackground)
{
    aCanvas.setClipRect(aRect);
    aCanvas.fillRect(aRect, aBackground);
    aCanvas.setPen(aTextColor);
    aCanvas.drawText(aRect.left(), aRect.top() + aCanvas.fontMetrics().ascent(), aText);
}

void THexEditor::DrawCell(QPainter& aCanvas, int ACol, int ARow, const QRect& ARect)
{
    const int c = fBytesPerLine;
    const int32_t size = GetDataSize();
    const QColor background = fColors->Background();
    const QString blank = QStringLiteral(" ");

    if (size == 0) {
        QString text = QStringLiteral("   ");
        if (ACol == 0) {
            const QString sep = FOffsetChar.isNull() ? QString() : QString(FOffsetChar);
            switch (FOffsetDisplay) {
            case odHex: text = QStringLiteral("0x0") + sep; break;
            case odDec: text = QStringLiteral("0") + sep; break;
            case odOctal: text = QStringLiteral("o 0") + sep; break;
            case odNone: break;
            }
        }
        DrawTextCell(aCanvas, ARect, text, fColors->Offset(), background);
        return;
    }

    if (ACol == 0) {
        DrawTextCell(aCanvas, ARect, OffsetText(ARow), fColors->Offset(), background);
        return;
    }
    if (ACol == 1) {
        const int marker = IsMarkerPos(ARow);
        if (marker < 0) {
            DrawTextCell(aCanvas, ARect, blank, FontColor(), background);
            return;
        }
        const QFont saved = aCanvas.font();
        QFont small(QStringLiteral("Arial"));
        if (saved.pointSizeF() > 0)
            small.setPointSize(int(std::lround(0.75 * saved.pointSizeF())));
        else
            small.setPixelSize(int(std::lround(0.75 * saved.pixelSize())));
        aCanvas.setFont(small);
        DrawTextCell(aCanvas, ARect, QString::number(marker), fColors->PositionText(),
                     fColors->PositionBackground());
        aCanvas.setFont(saved);
        return;
    }

    const int32_t p = GetPosAtCursor(ACol, ARow);
    const bool chars = fPosInChars;
    if (ACol == 2 * c + 2 || p >= size) {
        DrawTextCell(aCanvas, ARect, blank, FontColor(), background);
        return;
    }

    CheckInternalBuffer(ARow * c);
    const uint8_t b = CachedByte(p);
    QString text;
    if (chars) {
        text = TranslateToAnsiChar(b);
    } else {
        const bool high = (ACol - 2) % 2 == fSwapNibbles;
        text = QLatin1Char(cHexDigits[high ? b >> 4 : b & 0x0F]);
    }

    const bool changed = HasChanged(p);
    const bool oddGroup = ((ACol - 2) / fBytesPerColumn) % 2 == 0;
    QColor textColor;
    QColor back = background;
    if (changed) {
        textColor = fColors->ChangedText();
        back = fColors->ChangedBackground();
    } else if (chars) {
        textColor = FontColor();
    } else {
        textColor = oddGroup ? fColors->OddColumn() : fColors->EvenColumn();
    }
    if (HasSelection() && p >= fSelST && p <= fSelEN) {
        std::swap(textColor, back);
        if (!changed && !chars)
            textColor = oddGroup ? fColors->OddInverted() : fColors->EvenInverted();
    }
    DrawTextCell(aCanvas, ARect, text, textColor, back);

    // The caret's byte in the other field carries a frame.
    bool otherChars = false;
    if (ARow == fRow && hasFocus() && ACol == GetOtherFieldCol(fCol, otherChars)) {
        const QRect frame(ARect.left(), ARect.top(), fCharWidth, ARect.height());
        aCanvas.save();
        aCanvas.setBrush(Qt::NoBrush);
        if (fFocusFrame) {
            aCanvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            aCanvas.setPen(QPen(Qt::white, 1, Qt::DotLine));
        } else {
            aCanvas.setPen(QPen(fColors->CursorFrame(), 1));
        }
        aCanvas.drawRect(frame.adjusted(0, 0, -1, -1));
        aCanvas.restore();
    }
}

void THexEditor::paintEvent(QPaintEvent* aEvent)
{
    QPainter canvas(viewport());
    canvas.setFont(font());
    const QRect clip = aEvent->rect();
    canvas.fillRect(clip, fColors->Background());

    const int step = fCharHeight + fGridLineWidth;
    const int width = viewport()->width();
    const int height = viewport()->height();
    std::vector<std::pair<int, int>> columns; // column and its x
    for (int col = 0, x = 0; col < fColCount && x < width; ++col) {
        if (col == 2)
            col = fLeftCol;
        columns.emplace_back(col, x);
        x += ColWidths(col) + fGridLineWidth;
    }
    for (int row = fTopRow; row < fRowCount; ++row) {
        const int y = (row - fTopRow) * step;
        if (y >= height || y > clip.bottom())
            break;
        if (y + step <= clip.top())
            continue;
        for (const auto& [col, x] : columns) {
            const QRect cell(x, y, ColWidths(col), fCharHeight);
            if (cell.width() > 0 && cell.intersects(clip))
                DrawCell(canvas, col, row, cell);
        }
    }
    canvas.setClipping(false);

    if (fGridLineWidth > 0) {
        canvas.setPen(QPen(palette().color(QPalette::Mid), fGridLineWidth));
        const int rows = std::min(fRowCount - fTopRow, height / std::max(1, step) + 1);
        const int right =
            columns.empty() ? 0 : columns.back().second + ColWidths(columns.back().first);
        for (int r = 1; r <= rows; ++r)
            canvas.drawLine(0, r * step - 1, right, r * step - 1);
        for (const auto& [col, x] : columns)
            canvas.drawLine(x + ColWidths(col), 0, x + ColWidths(col), rows * step);
    }
    DrawCaret(canvas);
}

QRect THexEditor::CaretRect() const
{
    const QRect cell = CellRect(fCol, fRow);
    if (cell.isEmpty())
        return {};
    switch (fCaretStyle) {
    case csLeftLine: return QRect(cell.left(), cell.top(), 2, fCharHeight - 2);
    case csBottomLine: return QRect(cell.left(), cell.top() + fCharHeight - 4, fCharWidth, 2);
    case csFull: break;
    }
    return QRect(cell.left(), cell.top(), fCharWidth, fCharHeight - 2);
}

void THexEditor::DrawCaret(QPainter& aCanvas)
{
    if (!hasFocus() || !fCaretOn)
        return;
    const QRect r = CaretRect();
    if (r.isEmpty())
        return;
    // The caret inverts what lies under it, so over white it shows in the
    // cursor frame colour and stays readable over any other.
    aCanvas.save();
    aCanvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    aCanvas.fillRect(r, QColor::fromRgb(fColors->CursorFrame().rgb() ^ 0x00FFFFFFu));
    aCanvas.restore();
}

void THexEditor::RestartCaretBlink()
{
    fCaretOn = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        fCaretTimer.start(flash / 2);
    else
        fCaretTimer.stop();
    viewport()->update(CaretRect());
}

void THexEditor::focusInEvent(QFocusEvent* aEvent)
{
    QAbstractScrollArea::focusInEvent(aEvent);
    RestartCaretBlink();
    Invalidate();
}

void THexEditor::focusOutEvent(QFocusEvent* aEvent)
{
    QAbstractScrollArea::focusOutEvent(aEvent);
    fCaretTimer.stop();
    fCaretOn = false;
    fIsSelecting = false;
    Invalidate();
}
