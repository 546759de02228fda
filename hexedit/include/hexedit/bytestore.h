// TByteStore: the bytes of one document apart from any view of them: the
// private working copy on disk, a read cache over it, the marks of bytes
// changed in overwrite mode and the undo journal. It needs nothing of the
// GUI, so the benchmarks and the byte-level tests use it without a widget.
//
// A view (THexEditor) holds its store through a std::shared_ptr. A second
// view of the same bytes is built on the first one's (THexEditor::Store()
// passed to the THexEditor constructor that takes a store): the
// bytes, marks, journal and Modified flag are then one for both, the cache
// serves whichever view reads (each read names the span its rows need), and
// each view keeps its own caret and selection. What the store does not do is
// tell the other view that the bytes changed: a view that edits repaints
// itself, and the owner of two views repaints the other one.
//
// Positions are 0-based 32-bit byte offsets, as in the view; the content is
// never larger than the largest of them.
#pragma once

#include "hexedit/changemarks.h"
#include "hexedit/hextypes.h"
#include "hexedit/undojournal.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QTemporaryFile;

class TByteStore {
public:
    TByteStore();
    ~TByteStore();
    TByteStore(const TByteStore&) = delete;
    TByteStore& operator=(const TByteStore&) = delete;

    // ---- Working copy and files ---------------------------------------------
    // Creates an empty working copy if there is none (clearing the marks).
    bool Ensure();
    // Copies the file into a new working copy; the old content, journal and
    // marks stay untouched unless the whole copy succeeds.
    bool Load(const QString& aFileName);
    // Replaces the file by the content through a file renamed into place, so
    // a failure part-way leaves it as it was. On success the marks, the
    // journal and Modified are cleared: the file now is the content.
    bool SaveTo(const QString& aFileName);
    // Drops the working copy: the content becomes empty.
    void Release();
    QString InternalName() const { return fInternalName; }
    bool HasWorkingCopy() const { return fIntFile != nullptr; }

    // ---- Size and cache -----------------------------------------------------
    int32_t Size();
    // Whether the cache serves aPos and the aSpan bytes from it (a row); if
    // not, it is refilled around aPos.
    bool CheckCache(int32_t aPos, int32_t aSpan);
    // The byte at aPos through the cache, 0 when it cannot be read.
    uint8_t CachedByte(int32_t aPos, int32_t aSpan)
    {
        if (!CacheHolds(aPos, aSpan) && !CheckCache(aPos, aSpan))
            return 0;
        return fCache[std::size_t(aPos - fCachePos)];
    }
    // Forgets the cache and the size, after bytes moved behind its back.
    void InvalidateCache()
    {
        fCachePos = -1;
        fSize = -1;
    }

    // ---- Bytes, no journal and no marks ------------------------------------
    // Reads and writes inside the content only; a write never grows it.
    bool Read(uint8_t* aBuffer, int32_t aPos, int32_t aCount);
    bool Write(const uint8_t* aBuffer, int32_t aPos, int32_t aCount);
    bool Append(const uint8_t* aBuffer, int32_t aSize);
    bool Insert(const uint8_t* aBuffer, int32_t aSize, int32_t aPos);
    // Removes aStart .. aEnd - 1 (aEnd cut to the content).
    bool Remove(int32_t aStart, int32_t aEnd);
    // Makes aOldCount bytes at aPos into aNewCount, moving the tail once;
    // the bytes of the new run are left for the caller to write.
    bool Replace(int32_t aPos, int32_t aOldCount, int32_t aNewCount);
    bool Resize(int64_t aSize);

    // ---- Change marks -------------------------------------------------------
    const TChangeMarks& Marks() const { return fMarks; }
    // aMarksOff: the view is in insert mode, where a mark empties the set
    // first (marks only mean something in overwrite mode).
    void SetMark(int32_t aPos, bool aValue, bool aMarksOff);
    void TruncateMarks(int32_t aSize) { fMarks.Truncate(aSize); }
    void ClearMarks() { fMarks.Clear(); }

    // ---- Undo journal (bytestore_undo.cpp) ----------------------------------
    bool CanUndo() const { return fCanUndo; }
    QString UndoDescription() const { return fUndoDesc; }
    int32_t UndoCount() const { return fUndoCount; }
    bool Modified() const { return fModified; }
    void SetModified(bool aValue) { fModified = aValue; }
    // Whether an edit of this kind may be made: none but an insertion or an
    // append into empty content, none that changes the size while it is
    // fixed.
    bool MayEdit(uint8_t aType, int32_t aCount, int32_t aReplCount, bool aFixedSize);
    // Journals an edit that is about to be made. aRec carries the kind, the
    // place and the counts, and the caret and selection to restore; the
    // store adds Modified, the old byte and its mark, or the bytes the edit
    // removes or replaces. Afterwards the content counts as modified.
    void Record(TUndoRec aRec, bool aMarksOff);
    // Takes back the newest record after its edit failed. True when that
    // emptied the journal.
    bool DropLast();
    // Reverses the newest record's edit on the bytes and the marks and drops
    // it; aRec receives it so the view restores its caret and selection.
    // False when the journal held no readable record: it is then emptied.
    bool Undo(TUndoRec& aRec, bool aMarksOff);
    void ResetUndo();

private:
    bool CacheHolds(int32_t aPos, int32_t aSpan) const
    {
        return fCachePos >= 0 && aPos >= fCachePos &&
               int64_t(fCachePos) + cBuf_Size >= int64_t(aPos) + aSpan;
    }
    bool MoveFileMem(int32_t aFrom, int32_t aTo, int32_t aCount);
    bool OpenGap(int32_t aPos, int32_t aSize);
    bool CopyFromJournal(int64_t aFrom, int32_t aPos, int32_t aCount);
    void DescribeNewest();

    // The content: -1 = not yet read from the working copy.
    int32_t fSize = -1;
    std::unique_ptr<QTemporaryFile> fIntFile;
    QString fInternalName;
    std::vector<uint8_t> fCache;
    // File position of the cache's first byte; -1 = the cache is invalid.
    int32_t fCachePos = -1;
    TChangeMarks fMarks;

    std::unique_ptr<TUndoJournal> fUndoMem;
    bool fCanUndo = false;
    QString fUndoDesc;
    int32_t fUndoCount = 0;
    bool fModified = false;
};
