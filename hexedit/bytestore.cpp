// The working copy, its read cache, the byte-level primitives, the change
// marks and the file operations of the byte store.
#include "hexedit/bytestore.h"

#include "filemove.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int64_t cMaxContent = std::numeric_limits<int32_t>::max();

bool NewWorkingCopy(std::unique_ptr<QTemporaryFile>& aFile)
{
    // Created exclusively under a name nobody can predict and readable by
    // the user alone, so no other user of the temporary folder can read the
    // save or slip another file in under the name.
    aFile = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/XXXXXX.HXTQ"));
    if (aFile->open())
        return true;
    aFile.reset();
    return false;
}

} // namespace

TByteStore::TByteStore() : fCache(cBuf_Size) { ResetUndo(); }

TByteStore::~TByteStore() = default;

// ---- Working copy and files -------------------------------------------------------

bool TByteStore::Ensure()
{
    if (fIntFile)
        return true;
    std::unique_ptr<QTemporaryFile> file;
    if (!NewWorkingCopy(file))
        return false;
    fIntFile = std::move(file);
    fInternalName = fIntFile->fileName();
    InvalidateCache();
    fMarks.Clear();
    return true;
}

void TByteStore::Release()
{
    fIntFile.reset();
    InvalidateCache();
}

bool TByteStore::Load(const QString& aFileName)
{
    std::unique_ptr<QTemporaryFile> copy;
    QFile source(aFileName);
    // Positions are 32-bit: a larger file could not be addressed.
    if (source.size() > cMaxContent || !source.open(QIODevice::ReadOnly))
        return false;
    if (!NewWorkingCopy(copy) || !CopyDeviceBytes(source, *copy) || !copy->flush())
        return false;
    Release();
    fIntFile = std::move(copy);
    fInternalName = fIntFile->fileName();
    ResetUndo();
    fMarks.Clear();
    fModified = false;
    return true;
}

bool TByteStore::SaveTo(const QString& aFileName)
{
    bool ok = false;
    if (fIntFile) {
        ok = fIntFile->seek(0) && ReplaceFileWith(*fIntFile, aFileName);
    } else {
        QByteArray none;
        QBuffer empty(&none);
        ok = empty.open(QIODevice::ReadOnly) && ReplaceFileWith(empty, aFileName);
    }
    fCachePos = -1;
    if (ok) {
        fMarks.Clear();
        fModified = false;
        ResetUndo();
    }
    return ok;
}

// ---- Size and cache ---------------------------------------------------------------

int32_t TByteStore::Size()
{
    if (fSize == -1 || fCachePos == -1)
        fSize = fIntFile ? int32_t(std::min<int64_t>(fIntFile->size(), cMaxContent)) : 0;
    return fSize;
}

bool TByteStore::CheckCache(int32_t aPos, int32_t aSpan)
{
    if (CacheHolds(aPos, aSpan))
        return true;
    InvalidateCache();
    const int32_t start = std::max(0, aPos - cBuf_Size / 2);
    if (!fIntFile || !fIntFile->seek(start))
        return false;
    if (fIntFile->read(reinterpret_cast<char*>(fCache.data()), cBuf_Size) < 0)
        return false;
    fCachePos = start;
    return true;
}

// ---- Bytes --------------------------------------------------------------------------

bool TByteStore::Read(uint8_t* aBuffer, int32_t aPos, int32_t aCount)
{
    if (!fIntFile || aPos < 0 || aCount < 0 || int64_t(aPos) + aCount > Size())
        return false;
    return fIntFile->seek(aPos) &&
           fIntFile->read(reinterpret_cast<char*>(aBuffer), aCount) == aCount;
}

bool TByteStore::Write(const uint8_t* aBuffer, int32_t aPos, int32_t aCount)
{
    // Never past the end: growing the content is the primitives' job, and a
    // write past it would leave a gap of stray bytes.
    if (!fIntFile || aPos < 0 || aCount < 0 || int64_t(aPos) + aCount > Size())
        return false;
    if (!fIntFile->seek(aPos) ||
        fIntFile->write(reinterpret_cast<const char*>(aBuffer), aCount) != aCount)
        return false;
    if (fCachePos >= 0) {
        const int64_t from = std::max<int64_t>(aPos, fCachePos);
        const int64_t to =
            std::min<int64_t>(int64_t(aPos) + aCount, int64_t(fCachePos) + cBuf_Size);
        if (from < to)
            std::memcpy(fCache.data() + (from - fCachePos), aBuffer + (from - aPos),
                        std::size_t(to - from));
    }
    return true;
}

bool TByteStore::Resize(int64_t aSize)
{
    InvalidateCache();
    if (aSize < 0 || aSize > cMaxContent || !fIntFile)
        return false;
    return fIntFile->resize(aSize);
}

bool TByteStore::MoveFileMem(int32_t aFrom, int32_t aTo, int32_t aCount)
{
    fCachePos = -1;
    return fIntFile && MoveFileBytes(*fIntFile, aFrom, aTo, aCount);
}

bool TByteStore::OpenGap(int32_t aPos, int32_t aSize)
{
    const int32_t old = Size();
    if (!Resize(int64_t(old) + aSize))
        return false;
    return aPos >= old || MoveFileMem(aPos, aPos + aSize, old - aPos);
}

bool TByteStore::Append(const uint8_t* aBuffer, int32_t aSize)
{
    if (!Ensure())
        return false;
    const int32_t old = Size();
    if (old == 0)
        fMarks.Clear();
    return Resize(int64_t(old) + aSize) && Write(aBuffer, old, aSize);
}

bool TByteStore::Insert(const uint8_t* aBuffer, int32_t aSize, int32_t aPos)
{
    if (!Ensure())
        return false;
    if (Size() == 0)
        fMarks.Clear();
    return OpenGap(aPos, aSize) && Write(aBuffer, aPos, aSize);
}

bool TByteStore::Remove(int32_t aStart, int32_t aEnd)
{
    const int32_t size = Size();
    aEnd = std::min(aEnd, size);
    if (aStart < 0 || aStart >= aEnd)
        return false;
    if (aEnd < size && !MoveFileMem(aEnd, aStart, size - aEnd))
        return false;
    return Resize(size - (aEnd - aStart));
}

bool TByteStore::Replace(int32_t aPos, int32_t aOldCount, int32_t aNewCount)
{
    if (aNewCount > aOldCount)
        return OpenGap(aPos + aOldCount, aNewCount - aOldCount);
    if (aNewCount < aOldCount)
        return Remove(aPos + aNewCount, aPos + aOldCount);
    return true;
}

// ---- Change marks -------------------------------------------------------------------

void TByteStore::SetMark(int32_t aPos, bool aValue, bool aMarksOff)
{
    if (aMarksOff)
        fMarks.Clear();
    fMarks.Set(aPos, aValue);
}
