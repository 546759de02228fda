// Columns, widths, rows, scrolling and the arithmetic between cells and
// byte positions.
#include "hexedit/hexeditor.h"

#include "hexedit/hexconvert.h"

#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>
#include <limits>

void THexEditor::CalcSizes()
{
    fStore->InvalidateCache();
    const int32_t size = GetDataSize();
    fStore->TruncateMarks(size);
    fRowCount = size == 0 ? 1 : int((int64_t(size) + fBytesPerLine - 1) / fBytesPerLine);
    fColCount = 3 * fBytesPerLine + 3;
    fStore->InvalidateCache();
    AdjustMetrics();
}

void THexEditor::SetOffsetDisplayWidth()
{
    const int64_t last = int64_t(fRowCount - 1) * fBytesPerLine;
    switch (FOffsetDisplay) {
    case odHex: fOffSetDisplayWidth = int(QString::number(last, 16).size()) + 3; break;
    case odDec: fOffSetDisplayWidth = int(QString::number(last).size()) + 1; break;
    case odOctal: fOffSetDisplayWidth = int(IntToOctal(last).size()) + 3; break;
    case odNone: fOffSetDisplayWidth = 0; break;
    }
}

int THexEditor::ColumnWidth(int aCol) const
{
    if (aCol == 0)
        return fOffSetDisplayWidth * fCharWidth;
    if (aCol == 1)
        return fShowMarkerCol ? fCharWidth : 0;
    if (aCol <= 2 * fBytesPerLine + 1 && aCol % fBytesPerColumn == 1)
        return 2 * fCharWidth;
    return fCharWidth;
}

void THexEditor::AdjustMetrics()
{
    const QFontMetrics fm(font());
    fCharWidth = fm.horizontalAdvance(QLatin1Char('w'));
    fCharHeight = fm.height() + 2;
    SetOffsetDisplayWidth();
    fColWidths.resize(std::size_t(fColCount));
    for (int c = 0; c < fColCount; ++c)
        fColWidths[std::size_t(c)] = ColumnWidth(c);
    UpdateScrollBars();
}

int THexEditor::ColWidths(int aCol) const
{
    return aCol >= 0 && aCol < fColCount ? fColWidths[std::size_t(aCol)] : 0;
}

int THexEditor::FixedWidth() const { return ColWidths(0) + ColWidths(1) + 2 * fGridLineWidth; }

int THexEditor::VisibleRowCount() const
{
    const int step = fCharHeight + fGridLineWidth;
    return std::max(1, step > 0 ? viewport()->height() / step : 1);
}

int THexEditor::LastLeftCol() const
{
    const int avail = viewport()->width() - FixedWidth();
    int used = 0;
    for (int c = fColCount - 1; c >= 2; --c) {
        used += ColWidths(c) + fGridLineWidth;
        if (used > avail)
            return std::min(c + 1, fColCount - 1);
    }
    return 2;
}

void THexEditor::UpdateScrollBars()
{
    const int vis = VisibleRowCount();
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, fRowCount - vis));
    v->setPageStep(vis);
    fTopRow = std::clamp(fTopRow, 0, v->maximum());
    v->setValue(fTopRow);

    QScrollBar* h = horizontalScrollBar();
    const int last = LastLeftCol();
    h->setRange(2, last);
    h->setPageStep(std::max(1, fColCount - last));
    fLeftCol = std::clamp(fLeftCol, 2, last);
    h->setValue(fLeftCol);
}

void THexEditor::scrollContentsBy(int, int)
{
    fTopRow = verticalScrollBar()->value();
    fLeftCol = horizontalScrollBar()->value();
    // The caret follows its cell, or stays hidden while the cell is out of
    // view: both fall out of repainting from the new position.
    Invalidate();
}

void THexEditor::SetTopRow(int aValue)
{
    aValue = std::clamp(aValue, 0, std::max(0, fRowCount - VisibleRowCount()));
    if (aValue == fTopRow)
        return;
    fTopRow = aValue;
    verticalScrollBar()->setValue(aValue);
    Invalidate();
}

void THexEditor::ClampInView(int aCol, int aRow)
{
    const int vis = VisibleRowCount();
    if (aRow < fTopRow)
        SetTopRow(aRow);
    else if (aRow > fTopRow + vis - 1)
        SetTopRow(aRow - vis + 1);
    if (aCol < 2)
        return;
    int left = fLeftCol;
    if (aCol < left) {
        left = aCol;
    } else {
        const int avail = viewport()->width() - FixedWidth();
        auto fits = [&](int from) {
            int used = 0;
            for (int c = from; c <= aCol; ++c)
                used += ColWidths(c) + fGridLineWidth;
            return used <= avail;
        };
        while (left < aCol && !fits(left))
            ++left;
    }
    if (left != fLeftCol) {
        fLeftCol = left;
        horizontalScrollBar()->setValue(left);
        Invalidate();
    }
}

QRect THexEditor::CellRect(int aCol, int aRow) const
{
    if (aCol < 0 || aCol >= fColCount || aRow < fTopRow || aRow >= fRowCount)
        return {};
    if (aCol >= 2 && aCol < fLeftCol)
        return {};
    int x = 0;
    if (aCol < 2) {
        for (int c = 0; c < aCol; ++c)
            x += ColWidths(c) + fGridLineWidth;
    } else {
        x = FixedWidth();
        for (int c = fLeftCol; c < aCol; ++c)
            x += ColWidths(c) + fGridLineWidth;
    }
    const int y = (aRow - fTopRow) * (fCharHeight + fGridLineWidth);
    if (x >= viewport()->width() || y >= viewport()->height())
        return {};
    return QRect(x, y, ColWidths(aCol), fCharHeight);
}

TLongPoint THexEditor::MouseCoord(const QPoint& aPoint) const
{
    const int step = fCharHeight + fGridLineWidth;
    if (aPoint.y() < 0 || aPoint.x() < 0 || step <= 0)
        return {-1, -1};
    const int row = fTopRow + aPoint.y() / step;
    if (row >= fRowCount)
        return {-1, -1};
    int x = 0;
    for (int c = 0; c < fColCount; ++c) {
        if (c == 2)
            c = fLeftCol;
        const int w = ColWidths(c) + fGridLineWidth;
        if (aPoint.x() < x + w)
            return {c, row};
        x += w;
    }
    return {-1, -1};
}

void THexEditor::Invalidate() { viewport()->update(); }

void THexEditor::InvalidateRows(int32_t aFromRow, int32_t aToRow)
{
    if (aFromRow > aToRow)
        std::swap(aFromRow, aToRow);
    const int step = fCharHeight + fGridLineWidth;
    const int64_t top = (int64_t(std::max(aFromRow, fTopRow)) - fTopRow) * step;
    const int64_t bottom = (int64_t(aToRow) - fTopRow + 1) * step;
    if (bottom <= 0 || top >= viewport()->height())
        return;
    viewport()->update(QRect(0, int(top), viewport()->width(),
                             int(std::min<int64_t>(bottom, viewport()->height()) - top)));
}

void THexEditor::InvalidateCell(int aCol, int aRow)
{
    const QRect r = CellRect(aCol, aRow);
    if (!r.isEmpty())
        viewport()->update(r);
}

void THexEditor::RedrawPos(int32_t aFrom, int32_t aTo)
{
    if (aFrom < 0 && aTo < 0)
        return;
    InvalidateRows(GetRow(std::max(0, aFrom)), GetRow(std::max(0, aTo)));
}

void THexEditor::PlaceCaret(int aCol, int aRow)
{
    InvalidateRows(fRow, fRow);
    fCol = std::clamp(aCol, 2, std::max(2, fColCount - 1));
    fRow = std::clamp(aRow, 0, std::max(0, fRowCount - 1));
    ClampInView(fCol, fRow);
    InvalidateRows(fRow, fRow);
    RestartCaretBlink();
}

// ---- Cell arithmetic ------------------------------------------------------------

int32_t THexEditor::GetPosAtCursor(int aCol, int aRow)
{
    const int c = fBytesPerLine;
    fPosInChars = aCol > 2 * c + 2;
    const int64_t p = int64_t(aRow) * c + (fPosInChars ? aCol - 2 * c - 3 : (aCol - 2) / 2);
    return int32_t(std::clamp<int64_t>(p, 0, std::numeric_limits<int32_t>::max()));
}

TLongPoint THexEditor::GetCursorAtPos(int32_t aPos, bool aChars) const
{
    if (aPos < 0)
        return {2, 0};
    const int c = fBytesPerLine;
    const int i = aPos % c;
    return {aChars ? 2 * c + 3 + i : 2 + 2 * i, aPos / c};
}

int THexEditor::GetOtherFieldCol(int aCol, bool& Chars) const
{
    const int c = fBytesPerLine;
    Chars = aCol > 2 * c + 2;
    if (Chars)
        return 2 * aCol - 2 * 2 * c - 4;
    return (aCol - 2) / 2 + 2 * c + 3;
}
