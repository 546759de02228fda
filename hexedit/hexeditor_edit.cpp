// The undo-aware edits the editor window and the keys use.
#include "hexedit/hexeditor.h"

#include <algorithm>

void THexEditor::InsertBuffer(const uint8_t* aBuffer, int32_t aSize, int32_t aPos)
{
    // An insertion past the end would leave a gap of stray bytes behind.
    if (!aBuffer || aSize <= 0 || aPos < 0 || aPos > GetDataSize() || !TestStream())
        return;
    if (!CreateUndo(U_Insert_buffer, aPos, aSize, 0))
        return;
    if (!InternalInsertBuffer(aBuffer, aSize, aPos)) {
        DropLastUndo();
        Invalidate();
        return;
    }
    fStore->TruncateMarks(aPos);
    if (aPos == GetPosAtCursor(fCol, fRow)) {
        fSelPO = fSelST = aPos;
        fSelEN = aPos + aSize - 1;
        StateNotification();
    }
    Invalidate();
}

void THexEditor::AppendBuffer(const uint8_t* aBuffer, int32_t aSize)
{
    if (!aBuffer || aSize <= 0 || !TestStream())
        return;
    const int32_t old = GetDataSize();
    if (!CreateUndo(U_Append_Buffer, old, aSize, 0))
        return;
    fStore->TruncateMarks(old);
    if (!InternalAppendBuffer(aBuffer, aSize)) {
        DropLastUndo();
        Invalidate();
        return;
    }
    const TLongPoint p = GetCursorAtPos(old, CaretInChars());
    PlaceCaret(p.x, p.y);
    fSelPO = fSelST = old;
    fSelEN = old + aSize - 1;
    StateNotification();
    Invalidate();
}

void THexEditor::ReplaceSelection(const uint8_t* aBuffer, int32_t aSize)
{
    if (!HasSelection()) {
        InsertBuffer(aBuffer, aSize, SelStart());
        return;
    }
    if (aSize < 0 || (aSize > 0 && !aBuffer))
        return;
    if (fNoSizeChange) {
        // Nothing to write over a selection that must keep its size.
        if (aSize == 0)
            return;
        if (aSize > SelCount()) {
            aSize = SelCount();
        } else if (aSize < SelCount()) {
            fSelPO = fSelST;
            fSelEN = fSelST + aSize - 1;
        }
    }
    const int32_t start = fSelST;
    const int32_t count = SelCount();
    if (!CreateUndo(U_Replace_Selection, start, aSize, count))
        return;

    if (!fStore->Replace(start, count, aSize) || !SetMemAtPos(aBuffer, start, aSize)) {
        CalcSizes();
        Invalidate();
        return;
    }
    CalcSizes();
    fStore->TruncateMarks(std::max(0, start));

    // The caret stays on the first replaced byte with the new run selected,
    // also when the selection reached the end: typing goes on after it
    // instead of over the byte before.
    const TLongPoint target = GetCursorAtPos(
        GetDataSize() == 0 ? -1 : std::min(start, GetDataSize() - 1), CaretInChars());
    PlaceCaret(target.x, target.y);
    ResetSelection(false);
    if (aSize > 0) {
        fSelPO = fSelST = start;
        fSelEN = start + aSize - 1;
    }
    StateNotification();
    Invalidate();
}

void THexEditor::DeleteSelection()
{
    int32_t start = GetPosAtCursor(fCol, fRow);
    int32_t end = start + 1;
    if (HasSelection()) {
        start = fSelST;
        end = fSelEN + 1;
    }
    end = std::min(end, GetDataSize());
    if (start >= end && GetDataSize() > 0)
        return;
    const TLongPoint target = GetCursorAtPos(start, CaretInChars());
    if (!CreateUndo(U_Byte_removed, start, end - start, 0))
        return;
    fStore->TruncateMarks(start);
    InternalDeleteSelection(start, end, target.x, target.y);
}
