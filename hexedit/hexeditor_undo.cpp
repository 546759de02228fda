// The control's side of undo: permission to edit, the caret and selection
// each record keeps, and putting them back when the store reverses an edit.
#include "hexedit/hexeditor.h"

#include <algorithm>

bool THexEditor::CreateUndo(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount)
{
    const bool allowed = fStore->MayEdit(aType, aCount, aReplCount, fNoSizeChange);
    if (allowed)
        DoCreateUndo(aType, aPos, aCount, aReplCount);
    StateNotification();
    return allowed;
}

void THexEditor::DoCreateUndo(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount)
{
    TUndoRec rec;
    rec.Typ = aType;
    rec.CurPos = GetPosAtCursor(fCol, fRow);
    rec.CharField = CaretInChars();
    if (!rec.CharField)
        rec.C1st = uint8_t(std::clamp(fCol - GetCursorAtPos(rec.CurPos, false).x, 0, 1));
    rec.SelS = fSelST;
    rec.SelE = fSelEN;
    rec.SelP = fSelPO;
    rec.Pos = aPos;
    rec.Count = aCount;
    rec.ReplCount = aReplCount;
    fStore->Record(rec, GetIsInsertMode());
}

void THexEditor::ResetUndo()
{
    fStore->ResetUndo();
    emit OnStateChanged(this);
}

void THexEditor::DropLastUndo()
{
    if (fStore->DropLast())
        ResetUndo();
}

void THexEditor::RestoreFromUndo(const TUndoRec& aRec)
{
    const int32_t size = GetDataSize();
    const int32_t pos = std::clamp(aRec.CurPos, 0, std::max(0, size - 1));
    TLongPoint cell = GetCursorAtPos(size == 0 ? -1 : pos, aRec.CharField);
    if (!aRec.CharField && size > 0)
        cell.x += std::min<int>(aRec.C1st, 1);
    PlaceCaret(cell.x, cell.y);
    fSelST = aRec.SelS;
    fSelEN = aRec.SelE;
    fSelPO = aRec.SelP;
}

void THexEditor::Undo()
{
    TUndoRec rec;
    if (!fStore->Undo(rec, GetIsInsertMode())) {
        ResetUndo();
        return;
    }
    if (rec.Typ == U_Byte_changed) {
        RestoreFromUndo(rec);
        RedrawPos(rec.Pos, rec.Pos);
    } else if (rec.Typ <= U_Append_Buffer) {
        CalcSizes();
        RestoreFromUndo(rec);
        Invalidate();
    }
    if (!fStore->CanUndo()) {
        ResetUndo();
        return;
    }
    StateNotification();
}
