#include "hexedit/undojournal.h"

#include "filemove.h"

#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

void PutInt32LE(uint8_t* aOut, int32_t aValue)
{
    const auto v = uint32_t(aValue);
    for (int i = 0; i < 4; ++i)
        aOut[i] = uint8_t(v >> (8 * i));
}

int32_t GetInt32LE(const uint8_t* aIn)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(aIn[i]) << (8 * i);
    return int32_t(v);
}

void EncodeUndoFields(const TUndoRec& aRec, uint8_t aOut[UndoOffset::Buffer])
{
    aOut[UndoOffset::Typ] = aRec.Typ;
    aOut[UndoOffset::Changed] = aRec.Changed;
    aOut[UndoOffset::Modified] = aRec.Modified;
    PutInt32LE(aOut + UndoOffset::CurPos, aRec.CurPos);
    aOut[UndoOffset::C1st] = aRec.C1st;
    aOut[UndoOffset::CharField] = aRec.CharField;
    PutInt32LE(aOut + UndoOffset::SelS, aRec.SelS);
    PutInt32LE(aOut + UndoOffset::SelE, aRec.SelE);
    PutInt32LE(aOut + UndoOffset::SelP, aRec.SelP);
    PutInt32LE(aOut + UndoOffset::Pos, aRec.Pos);
    PutInt32LE(aOut + UndoOffset::Count, aRec.Count);
    PutInt32LE(aOut + UndoOffset::ReplCount, aRec.ReplCount);
}

TUndoRec DecodeUndoHead(const uint8_t aIn[cUndoHeadSize])
{
    TUndoRec r;
    r.Typ = aIn[UndoOffset::Typ];
    r.Changed = aIn[UndoOffset::Changed] != 0;
    r.Modified = aIn[UndoOffset::Modified] != 0;
    r.CurPos = GetInt32LE(aIn + UndoOffset::CurPos);
    r.C1st = aIn[UndoOffset::C1st];
    r.CharField = aIn[UndoOffset::CharField] != 0;
    r.SelS = GetInt32LE(aIn + UndoOffset::SelS);
    r.SelE = GetInt32LE(aIn + UndoOffset::SelE);
    r.SelP = GetInt32LE(aIn + UndoOffset::SelP);
    r.Pos = GetInt32LE(aIn + UndoOffset::Pos);
    r.Count = GetInt32LE(aIn + UndoOffset::Count);
    r.ReplCount = GetInt32LE(aIn + UndoOffset::ReplCount);
    r.Buffer0 = aIn[UndoOffset::Buffer];
    return r;
}

TUndoJournal::TUndoJournal() = default;
TUndoJournal::~TUndoJournal() = default;

int64_t TUndoJournal::Stored() const { return fFile ? fFile->size() : fMem.size(); }

int64_t TUndoJournal::Size() const { return Stored() - fStart; }

bool TUndoJournal::Compact()
{
    if (fStart == 0)
        return true;
    const int64_t size = Size();
    if (!fFile) {
        fMem.remove(0, qsizetype(fStart));
    } else if (!MoveFileBytes(*fFile, fStart, 0, size) || !fFile->resize(size)) {
        return false;
    }
    fStart = 0;
    return true;
}

bool TUndoJournal::Spill(int64_t aNeeded)
{
    if (fFile || Size() + aNeeded <= cMemoryLimit)
        return true;
    if (!Compact())
        return false;
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open() || file->write(fMem) != fMem.size())
        return false;
    fFile = std::move(file);
    fMem = QByteArray();
    return true;
}

bool TUndoJournal::Append(const void* aData, int64_t aSize)
{
    if (!Spill(aSize))
        return false;
    if (!fFile) {
        fMem.append(static_cast<const char*>(aData), qsizetype(aSize));
        return true;
    }
    return fFile->seek(fFile->size()) &&
           fFile->write(static_cast<const char*>(aData), aSize) == aSize;
}

bool TUndoJournal::ReadAt(int64_t aPos, void* aData, int64_t aSize) const
{
    if (aPos < 0 || aSize < 0 || aPos + aSize > Size())
        return false;
    if (!fFile) {
        std::memcpy(aData, fMem.constData() + fStart + aPos, std::size_t(aSize));
        return true;
    }
    return fFile->seek(fStart + aPos) && fFile->read(static_cast<char*>(aData), aSize) == aSize;
}

void TUndoJournal::Truncate(int64_t aSize)
{
    aSize = std::clamp<int64_t>(aSize, 0, Size());
    if (aSize == 0) {
        fStart = 0;
        fFile.reset();
        fMem.clear();
        return;
    }
    if (fFile)
        fFile->resize(fStart + aSize);
    else
        fMem.truncate(qsizetype(fStart + aSize));
}

bool TUndoJournal::DropFront(int64_t aCount)
{
    aCount = std::min(aCount, Size());
    if (aCount <= 0)
        return true;
    fStart += aCount;
    // The dropped bytes are only skipped; they are removed once they make
    // up half of what is stored, so that each edit past the record limit
    // costs the size of the record it drops, not that of the journal.
    if (2 * fStart < Stored())
        return true;
    return Compact();
}
