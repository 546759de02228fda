// The undo journal: permission to edit, one record per edit, and undoing
// the newest record.
#include "hexeditor.h"

#include "undojournal.h"

#include <algorithm>
#include <vector>

namespace {

const char* const UndoSTR[] = {
    "Byte changed",  "Byte(s) removed", "Insert buffer", "Replace selection",
    "Append buffer", "Insert nibble",   "Delete nibble", "Convert",
};

QString UndoText(uint8_t aType)
{
    return aType < std::size(UndoSTR) ? QString::fromLatin1(UndoSTR[aType]) : QString();
}

constexpr int32_t cCopyChunk = 65536;

} // namespace

bool THexEditor::CreateUndo(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount)
{
    bool allowed = GetDataSize() > 0 || aType == U_Insert_buffer || aType == U_Append_Buffer;
    if (fNoSizeChange && allowed) {
        switch (aType) {
        case U_Byte_removed:
        case U_Insert_buffer:
        case U_Append_Buffer:
        case U_Nibble_Insert:
        case U_Nibble_Delete: allowed = false; break;
        case U_Replace_Selection: allowed = aCount == aReplCount; break;
        default: break;
        }
    }
    if (allowed) {
        fCanUndo = true;
        DoCreateUndo(aType, aPos, aCount, aReplCount);
        fModified = true;
    }
    StateNotification();
    return allowed;
}

void THexEditor::DoCreateUndo(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount)
{
    fUndoDesc = UndoText(aType);
    if (!fUndoMem)
        fUndoMem = std::make_unique<TUndoJournal>();

    fUndoCount += 1;
    if (fUndoCount > cMax_Undo) {
        // The oldest record is the one that starts at offset 0.
        int64_t pos = fUndoMem->Size();
        int64_t first = 0;
        while (pos > cUndoTrailerSize) {
            uint8_t t[cUndoTrailerSize];
            if (!fUndoMem->ReadAt(pos - cUndoTrailerSize, t, cUndoTrailerSize))
                break;
            const int32_t len = GetInt32LE(t);
            if (len <= cUndoTrailerSize || len > pos)
                break;
            if (pos == len) {
                first = len;
                break;
            }
            pos -= len;
        }
        if (first > 0 && fUndoMem->DropFront(first))
            fUndoCount -= 1;
    }

    TUndoRec rec;
    rec.Typ = aType;
    rec.Modified = fModified;
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

    // The saved bytes: the old byte, the removed or replaced run, or a
    // single zero for the kinds that only need their position and count.
    int32_t saved = 0;
    if (aType == U_Byte_changed) {
        rec.Changed = HasChanged(aPos);
        rec.Buffer0 = GetByteAtPos(aPos);
    } else if (aType == U_Byte_removed) {
        saved = aCount;
    } else if (aType == U_Replace_Selection) {
        saved = aReplCount;
    }

    uint8_t fields[UndoOffset::Buffer];
    EncodeUndoFields(rec, fields);
    fUndoMem->Append(fields, sizeof fields);
    if (saved == 0) {
        fUndoMem->Append(&rec.Buffer0, 1);
        saved = 1;
    } else {
        std::vector<uint8_t> chunk(std::size_t(std::min(saved, cCopyChunk)));
        for (int32_t done = 0; done < saved;) {
            const int32_t n = std::min(cCopyChunk, saved - done);
            if (!GetMemAtPos(chunk.data(), aPos + done, n))
                std::fill(chunk.begin(), chunk.end(), 0);
            fUndoMem->Append(chunk.data(), n);
            done += n;
        }
    }
    uint8_t trailer[cUndoTrailerSize];
    PutInt32LE(trailer, UndoOffset::Buffer + saved + cUndoTrailerSize);
    fUndoMem->Append(trailer, sizeof trailer);
}

void THexEditor::ResetUndo()
{
    fCanUndo = false;
    fUndoDesc = QStringLiteral("No Undo");
    fUndoCount = 0;
    fUndoMem.reset();
    emit OnStateChanged(this);
}

void THexEditor::DropLastUndo()
{
    if (!fUndoMem || fUndoMem->Size() < cUndoHeadSize + cUndoTrailerSize)
        return;
    const int64_t size = fUndoMem->Size();
    uint8_t t[cUndoTrailerSize];
    uint8_t head[cUndoHeadSize];
    if (!fUndoMem->ReadAt(size - cUndoTrailerSize, t, cUndoTrailerSize) ||
        !fUndoMem->ReadAt(size - GetInt32LE(t), head, cUndoHeadSize))
        return;
    fModified = DecodeUndoHead(head).Modified;
    fUndoMem->Truncate(size - GetInt32LE(t));
    fUndoCount -= 1;
    if (fUndoMem->Size() < cUndoHeadSize + cUndoTrailerSize) {
        ResetUndo();
        return;
    }
    uint8_t typ = 0;
    const int64_t rest = fUndoMem->Size();
    if (fUndoMem->ReadAt(rest - cUndoTrailerSize, t, cUndoTrailerSize) &&
        fUndoMem->ReadAt(rest - GetInt32LE(t), &typ, 1))
        fUndoDesc = UndoText(typ);
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
    fModified = aRec.Modified;
}

bool THexEditor::ReplaceBytes(int32_t aPos, int32_t aOldCount, int32_t aNewCount)
{
    if (aNewCount > aOldCount)
        return OpenGap(aPos + aOldCount, aNewCount - aOldCount);
    if (aNewCount < aOldCount)
        return RemoveBytes(aPos + aNewCount, aPos + aOldCount);
    return true;
}

bool THexEditor::CopyFromJournal(int64_t aFrom, int32_t aPos, int32_t aCount)
{
    std::vector<uint8_t> chunk(std::size_t(std::min(std::max(aCount, 1), cCopyChunk)));
    for (int32_t done = 0; done < aCount;) {
        const int32_t n = std::min(cCopyChunk, aCount - done);
        if (!fUndoMem->ReadAt(aFrom + done, chunk.data(), n) ||
            !SetMemAtPos(chunk.data(), aPos + done, n))
            return false;
        done += n;
    }
    return true;
}

void THexEditor::Undo()
{
    if (!fCanUndo || !fUndoMem || fUndoMem->Size() <= cUndoTrailerSize) {
        ResetUndo();
        return;
    }
    const int64_t size = fUndoMem->Size();
    uint8_t t[cUndoTrailerSize];
    uint8_t head[cUndoHeadSize];
    const bool readable = fUndoMem->ReadAt(size - cUndoTrailerSize, t, cUndoTrailerSize) &&
                          GetInt32LE(t) >= cUndoHeadSize && GetInt32LE(t) <= size &&
                          fUndoMem->ReadAt(size - GetInt32LE(t), head, cUndoHeadSize);
    if (!readable) {
        ResetUndo();
        return;
    }
    const int32_t len = GetInt32LE(t);
    const int64_t saved = size - len + UndoOffset::Buffer;
    const TUndoRec rec = DecodeUndoHead(head);

    switch (rec.Typ) {
    case U_Byte_changed:
        SetByteAtPos(rec.Pos, rec.Buffer0);
        SetChanged(rec.Pos, rec.Changed);
        RestoreFromUndo(rec);
        RedrawPos(rec.Pos, rec.Pos);
        break;
    case U_Byte_removed:
        fIntBufferPos = -1;
        if (TestStream() && OpenGap(rec.Pos, rec.Count))
            CopyFromJournal(saved, rec.Pos, rec.Count);
        CalcSizes();
        RestoreFromUndo(rec);
        fChangedBytes.Truncate(rec.Pos);
        Invalidate();
        break;
    case U_Insert_buffer:
        fIntBufferPos = -1;
        RemoveBytes(rec.Pos, rec.Pos + rec.Count);
        CalcSizes();
        RestoreFromUndo(rec);
        fChangedBytes.Truncate(rec.Pos);
        Invalidate();
        break;
    case U_Replace_Selection:
        // One move of the tail instead of a removal and an insertion.
        fIntBufferPos = -1;
        if (ReplaceBytes(rec.Pos, rec.Count, rec.ReplCount))
            CopyFromJournal(saved, rec.Pos, rec.ReplCount);
        CalcSizes();
        RestoreFromUndo(rec);
        // Only the replaced bytes and those after them moved; the byte
        // before them keeps its mark.
        if (fChangedBytes.Size() >= rec.Pos)
            fChangedBytes.Truncate(rec.Pos);
        Invalidate();
        break;
    case U_Append_Buffer:
        fIntBufferPos = -1;
        ResizeStream(rec.Pos);
        CalcSizes();
        fChangedBytes.Truncate(rec.Pos);
        RestoreFromUndo(rec);
        Invalidate();
        break;
    default: break;
    }

    fDataSize = -1;
    fUndoMem->Truncate(size - len);
    fUndoCount -= 1;
    const int64_t rest = fUndoMem->Size();
    if (rest < 5) {
        ResetUndo();
        return;
    }
    uint8_t typ = 0;
    if (fUndoMem->ReadAt(rest - cUndoTrailerSize, t, cUndoTrailerSize) &&
        fUndoMem->ReadAt(rest - GetInt32LE(t), &typ, 1))
        fUndoDesc = UndoText(typ);
    StateNotification();
}
