// The selection and its anchor, moving the caret between cells, and the
// mouse.
#include "hexedit/hexeditor.h"

#include <QMouseEvent>

#include <algorithm>

// ---- Selection ------------------------------------------------------------------

int32_t THexEditor::SelCount() const
{
    if (fSelPO == -1 || fSelST < 0)
        return 0;
    return std::max(0, fSelEN - fSelST + 1);
}

int32_t THexEditor::SelStart() { return fSelPO != -1 ? fSelPO : GetCursorPos(); }

int32_t THexEditor::SelEnd()
{
    if (fSelPO == -1)
        return GetCursorPos();
    return fSelPO == fSelEN ? fSelST : fSelEN;
}

void THexEditor::SetSelStart(int32_t aValue)
{
    if (aValue < 0 || aValue >= GetDataSize())
        throw EHexEditor("Invalid SelStart");
    ResetSelection(true);
    const TLongPoint p = GetCursorAtPos(aValue, CaretInChars());
    PlaceCaret(p.x, p.y);
}

void THexEditor::SetSelEnd(int32_t aValue)
{
    if (aValue < 0 || aValue >= GetDataSize())
        throw EHexEditor("Invalid SelEnd");
    ResetSelection(true);
    const TLongPoint p = GetCursorAtPos(aValue, CaretInChars());
    Select(fCol, fRow, p.x, p.y);
}

int32_t THexEditor::GetCursorPos()
{
    return std::clamp(GetPosAtCursor(fCol, fRow), 0, std::max(0, GetDataSize() - 1));
}

bool THexEditor::Seek(int32_t aOffset, int aOrigin, bool FailIfOutOfRange)
{
    const int32_t size = GetDataSize();
    if (size == 0)
        return false;
    int64_t target = GetCursorPos();
    if (aOrigin == 0)
        target = aOffset;
    else if (aOrigin == 1)
        target += aOffset;
    else if (aOrigin == 2)
        target = int64_t(size) - 1 + aOffset;
    if (target < 0 || target >= size) {
        if (FailIfOutOfRange)
            return false;
        target = std::clamp<int64_t>(target, 0, size - 1);
    }
    SetSelStart(int32_t(target));
    return true;
}

void THexEditor::ResetSelection(bool aDraw)
{
    fIsSelecting = false;
    const int32_t from = fSelST;
    const int32_t to = fSelEN;
    fSelST = fSelPO = fSelEN = -1;
    if (aDraw && from >= 0)
        RedrawPos(from, std::max(from, to));
    StateNotification();
}

void THexEditor::Select(int aCurCol, int aCurRow, int aNewCol, int aNewRow)
{
    int32_t n = GetPosAtCursor(aNewCol, aNewRow);
    const bool insert = GetIsInsertMode();
    const int32_t oldStart = fSelST;
    const int32_t oldEnd = fSelEN;
    if (fSelPO == -1) {
        int32_t anchor = GetPosAtCursor(aCurCol, aCurRow);
        // In insert mode the caret stands before its byte.
        if (insert) {
            if (n < anchor)
                anchor -= 1;
            else if (n > anchor)
                n -= 1;
        }
        fSelPO = anchor;
        fSelST = std::min(anchor, n);
        fSelEN = std::max(anchor, n);
        RedrawPos(fSelST, fSelEN);
    } else {
        if (n < fSelPO) {
            fSelST = n;
            fSelEN = fSelPO;
        } else {
            fSelEN = insert ? n - 1 : n;
            fSelST = fSelPO;
        }
        RedrawPos(std::min(oldStart, fSelST), std::max(oldStart, fSelST));
        RedrawPos(std::min(oldEnd, fSelEN), std::max(oldEnd, fSelEN));
    }
    StateNotification();
}

void THexEditor::StartSelecting()
{
    if (!fIsSelecting)
        ResetSelection(true);
    fIsSelecting = true;
}

// ---- Moving the caret -----------------------------------------------------------

bool THexEditor::SelectCell(int ACol, int ARow)
{
    const int32_t size = GetDataSize();
    if (size == 0)
        return ACol == 2 && ARow == 0;
    if (ACol < 2 || ACol >= fColCount || ARow < 0 || ARow >= fRowCount)
        return false;
    if (!fShiftDown && !fLeftDown)
        ResetSelection(true);
    const int32_t p = GetPosAtCursor(ACol, ARow);
    if (p < size) {
        if (ACol == 2 * fBytesPerLine + 2) {
            if (fLeftDown)
                MoveCurrent(std::max(2, ACol - 1), ARow);
            return false;
        }
    } else {
        const TLongPoint last = GetCursorAtPos(size - 1, CaretInChars());
        MoveCurrent(last.x, last.y);
        return false;
    }
    InvalidateRows(fRow, fRow);
    InvalidateRows(ARow, ARow);
    if (fIsSelecting)
        Select(fCol, fRow, ACol, ARow);
    else
        ResetSelection(true);
    return true;
}

bool THexEditor::MoveCurrent(int ACol, int ARow)
{
    if (ACol == fCol && ARow == fRow)
        return true;
    if (!SelectCell(ACol, ARow))
        return false;
    PlaceCaret(ACol, ARow);
    return true;
}

void THexEditor::MoveRight()
{
    const int32_t size = GetDataSize();
    const int32_t p = GetPosAtCursor(fCol, fRow);
    if (fPosInChars) {
        if (p + 1 <= size - 1) {
            const TLongPoint next = GetCursorAtPos(p + 1, true);
            MoveCurrent(next.x, next.y);
        }
    } else if ((fCol - 2) % 2 == 0) {
        MoveCurrent(fCol + 1, fRow);
    } else if (p + 1 < size) {
        const TLongPoint next = GetCursorAtPos(p + 1, false);
        MoveCurrent(next.x, next.y);
    }
}

// ---- Mouse ----------------------------------------------------------------------

void THexEditor::MouseToCell(const QPoint& aPoint, bool aDrag)
{
    QPoint point = aPoint;
    int rowShift = 0;
    if (aDrag) {
        // Dragging past an edge moves on by one row, so the view scrolls.
        if (point.y() < 0)
            rowShift = -1;
        else if (point.y() >= viewport()->height())
            rowShift = 1;
        point.setY(std::clamp(point.y(), 0, std::max(0, viewport()->height() - 1)));
        point.setX(std::max(point.x(), FixedWidth()));
    }
    TLongPoint cell = MouseCoord(point);
    if (aDrag && cell.x < 0) {
        const int step = std::max(1, fCharHeight + fGridLineWidth);
        cell.y = std::min(fRowCount - 1, fTopRow + point.y() / step);
        cell.x = fColCount - 1;
    }
    if (cell.x < 2 || cell.y < 0)
        return;
    cell.y = std::clamp(cell.y + rowShift, 0, fRowCount - 1);
    MoveCurrent(cell.x, cell.y);
}

void THexEditor::mousePressEvent(QMouseEvent* aEvent)
{
    fShiftDown = aEvent->modifiers() & Qt::ShiftModifier;
    fLeftDown = aEvent->buttons() & Qt::LeftButton;
    setFocus(Qt::MouseFocusReason);
    if (aEvent->button() != Qt::LeftButton)
        return;
    MouseToCell(aEvent->position().toPoint(), false);
    ResetSelection(true);
    fIsSelecting = true;
}

void THexEditor::mouseDoubleClickEvent(QMouseEvent* aEvent)
{
    fShiftDown = aEvent->modifiers() & Qt::ShiftModifier;
    fLeftDown = aEvent->buttons() & Qt::LeftButton;
    if (aEvent->button() != Qt::LeftButton)
        return;
    MouseToCell(aEvent->position().toPoint(), false);
    ResetSelection(true);
}

void THexEditor::mouseMoveEvent(QMouseEvent* aEvent)
{
    fShiftDown = aEvent->modifiers() & Qt::ShiftModifier;
    if (fLeftDown && (aEvent->buttons() & Qt::LeftButton))
        MouseToCell(aEvent->position().toPoint(), true);
}

void THexEditor::mouseReleaseEvent(QMouseEvent* aEvent)
{
    if (aEvent->button() == Qt::LeftButton)
        fLeftDown = false;
}
