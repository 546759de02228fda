// The undo journal of the byte store: permission to edit, one record per
// edit, and reversing the newest record.
#include "hexedit/bytestore.h"

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

bool TByteStore::MayEdit(uint8_t aType, int32_t aCount, int32_t aReplCount, bool aFixedSize)
{
    bool allowed = Size() > 0 || aType == U_Insert_buffer || aType == U_Append_Buffer;
    if (aFixedSize && allowed) {
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
    return allowed;
}

void TByteStore::Record(TUndoRec aRec, bool aMarksOff)
{
    fCanUndo = true;
    fUndoDesc = UndoText(aRec.Typ);
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

    aRec.Modified = fModified;
    aRec.Changed = false;
    aRec.Buffer0 = 0;
    // The saved bytes: the old byte, the removed or replaced run, or a
    // single zero for the kinds that only need their position and count.
    int32_t saved = 0;
    if (aRec.Typ == U_Byte_changed) {
        aRec.Changed = !aMarksOff && fMarks.Has(aRec.Pos);
        aRec.Buffer0 = aRec.Pos >= 0 && aRec.Pos < Size() ? CachedByte(aRec.Pos, 1) : 0;
    } else if (aRec.Typ == U_Byte_removed) {
        saved = aRec.Count;
    } else if (aRec.Typ == U_Replace_Selection) {
        saved = aRec.ReplCount;
    }

    uint8_t fields[UndoOffset::Buffer];
    EncodeUndoFields(aRec, fields);
    fUndoMem->Append(fields, sizeof fields);
    if (saved == 0) {
        fUndoMem->Append(&aRec.Buffer0, 1);
        saved = 1;
    } else {
        std::vector<uint8_t> chunk(std::size_t(std::min(saved, cCopyChunk)));
        for (int32_t done = 0; done < saved;) {
            const int32_t n = std::min(cCopyChunk, saved - done);
            if (!Read(chunk.data(), aRec.Pos + done, n))
                std::fill(chunk.begin(), chunk.end(), 0);
            fUndoMem->Append(chunk.data(), n);
            done += n;
        }
    }
    uint8_t trailer[cUndoTrailerSize];
    PutInt32LE(trailer, UndoOffset::Buffer + saved + cUndoTrailerSize);
    fUndoMem->Append(trailer, sizeof trailer);
    fModified = true;
}

void TByteStore::ResetUndo()
{
    fCanUndo = false;
    fUndoDesc = QStringLiteral("No Undo");
    fUndoCount = 0;
    fUndoMem.reset();
}

void TByteStore::DescribeNewest()
{
    uint8_t t[cUndoTrailerSize];
    uint8_t typ = 0;
    const int64_t rest = fUndoMem->Size();
    if (fUndoMem->ReadAt(rest - cUndoTrailerSize, t, cUndoTrailerSize) &&
        fUndoMem->ReadAt(rest - GetInt32LE(t), &typ, 1))
        fUndoDesc = UndoText(typ);
}

bool TByteStore::DropLast()
{
    if (!fUndoMem || fUndoMem->Size() < cUndoHeadSize + cUndoTrailerSize)
        return false;
    const int64_t size = fUndoMem->Size();
    uint8_t t[cUndoTrailerSize];
    uint8_t head[cUndoHeadSize];
    if (!fUndoMem->ReadAt(size - cUndoTrailerSize, t, cUndoTrailerSize) ||
        !fUndoMem->ReadAt(size - GetInt32LE(t), head, cUndoHeadSize))
        return false;
    fModified = DecodeUndoHead(head).Modified;
    fUndoMem->Truncate(size - GetInt32LE(t));
    fUndoCount -= 1;
    if (fUndoMem->Size() < cUndoHeadSize + cUndoTrailerSize) {
        ResetUndo();
        return true;
    }
    DescribeNewest();
    return false;
}

bool TByteStore::CopyFromJournal(int64_t aFrom, int32_t aPos, int32_t aCount)
{
    std::vector<uint8_t> chunk(std::size_t(std::min(std::max(aCount, 1), cCopyChunk)));
    for (int32_t done = 0; done < aCount;) {
        const int32_t n = std::min(cCopyChunk, aCount - done);
        if (!fUndoMem->ReadAt(aFrom + done, chunk.data(), n) ||
            !Write(chunk.data(), aPos + done, n))
            return false;
        done += n;
    }
    return true;
}

bool TByteStore::Undo(TUndoRec& aRec, bool aMarksOff)
{
    if (!fCanUndo || !fUndoMem || fUndoMem->Size() <= cUndoTrailerSize) {
        ResetUndo();
        return false;
    }
    const int64_t size = fUndoMem->Size();
    uint8_t t[cUndoTrailerSize];
    uint8_t head[cUndoHeadSize];
    const bool readable = fUndoMem->ReadAt(size - cUndoTrailerSize, t, cUndoTrailerSize) &&
                          GetInt32LE(t) >= cUndoHeadSize && GetInt32LE(t) <= size &&
                          fUndoMem->ReadAt(size - GetInt32LE(t), head, cUndoHeadSize);
    if (!readable) {
        ResetUndo();
        return false;
    }
    const int32_t len = GetInt32LE(t);
    const int64_t saved = size - len + UndoOffset::Buffer;
    aRec = DecodeUndoHead(head);
    const bool moves = aRec.Typ >= U_Byte_removed && aRec.Typ <= U_Append_Buffer;
    if (moves)
        fCachePos = -1;

    switch (aRec.Typ) {
    case U_Byte_changed:
        Write(&aRec.Buffer0, aRec.Pos, 1);
        SetMark(aRec.Pos, aRec.Changed, aMarksOff);
        break;
    case U_Byte_removed:
        if (Ensure() && OpenGap(aRec.Pos, aRec.Count))
            CopyFromJournal(saved, aRec.Pos, aRec.Count);
        break;
    case U_Insert_buffer: Remove(aRec.Pos, aRec.Pos + aRec.Count); break;
    case U_Replace_Selection:
        // One move of the tail instead of a removal and an insertion.
        if (Replace(aRec.Pos, aRec.Count, aRec.ReplCount))
            CopyFromJournal(saved, aRec.Pos, aRec.ReplCount);
        break;
    case U_Append_Buffer: Resize(aRec.Pos); break;
    default: break;
    }
    if (aRec.Typ <= U_Append_Buffer)
        fModified = aRec.Modified;
    // Only the bytes from the edit's position on moved; the byte before it
    // keeps its mark.
    if (moves)
        fMarks.Truncate(aRec.Pos);

    fSize = -1;
    fUndoMem->Truncate(size - len);
    fUndoCount -= 1;
    if (fUndoMem->Size() < 5)
        ResetUndo();
    else
        DescribeNewest();
    return true;
}
