// The working copy, its read cache, the byte-level primitives and the file
// operations.
#include "hexeditor.h"

#include "filemove.h"
#include "undojournal.h"
#include "waitcursor.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int64_t cMaxContent = std::numeric_limits<int32_t>::max();

// The name with its extension replaced, or aExt appended when it has none.
QString ChangeFileExt(const QString& aName, const QString& aExt)
{
    const qsizetype slash = aName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = aName.lastIndexOf(QLatin1Char('.'));
    return (dot > slash ? aName.left(dot) : aName) + aExt;
}

bool SameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// Writes everything aSource holds to aTarget through a temporary file beside
// it that is renamed into place, so that a failure part-way leaves aTarget
// as it was.
bool ReplaceFileWith(QIODevice& aSource, const QString& aTarget)
{
    QSaveFile out(aTarget);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!CopyDeviceBytes(aSource, out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

// ---- Working copy and cache ---------------------------------------------------

bool THexEditor::NewWorkingCopy(std::unique_ptr<QTemporaryFile>& aFile) const
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

void THexEditor::ReleaseWorkingCopy()
{
    fIntFile.reset();
    fDataSize = -1;
    fIntBufferPos = -1;
}

bool THexEditor::TestStream()
{
    if (fIntFile)
        return true;
    std::unique_ptr<QTemporaryFile> file;
    if (!NewWorkingCopy(file))
        return false;
    fIntFile = std::move(file);
    fInternalName = fIntFile->fileName();
    fDataSize = -1;
    fIntBufferPos = -1;
    fChangedBytes.Clear();
    return true;
}

int32_t THexEditor::GetDataSize()
{
    if (fDataSize == -1 || fIntBufferPos == -1)
        fDataSize = fIntFile ? int32_t(std::min<int64_t>(fIntFile->size(), cMaxContent)) : 0;
    return fDataSize;
}

bool THexEditor::CheckInternalBuffer(int32_t aPos)
{
    if (fIntBufferPos >= 0 && aPos >= fIntBufferPos &&
        int64_t(fIntBufferPos) + cBuf_Size >= int64_t(aPos) + fBytesPerLine)
        return true;
    fDataSize = -1;
    fIntBufferPos = -1;
    const int32_t start = std::max(0, aPos - cBuf_Size / 2);
    if (!fIntFile || !fIntFile->seek(start))
        return false;
    if (fIntFile->read(reinterpret_cast<char*>(fIntBuffer.data()), cBuf_Size) < 0)
        return false;
    fIntBufferPos = start;
    return true;
}

void THexEditor::SetInternalBufferByte(int32_t aPos, uint8_t aByte)
{
    if (fIntBufferPos >= 0 && aPos >= fIntBufferPos &&
        int64_t(fIntBufferPos) + cBuf_Size >= int64_t(aPos) + fBytesPerLine)
        fIntBuffer[std::size_t(aPos - fIntBufferPos)] = aByte;
}

uint8_t THexEditor::CachedByte(int32_t aPos)
{
    if (!CheckInternalBuffer(aPos))
        return 0;
    return fIntBuffer[std::size_t(aPos - fIntBufferPos)];
}

uint8_t THexEditor::GetByteAtPos(int32_t aPos)
{
    if (aPos < 0 || aPos >= GetDataSize())
        return 0;
    return CachedByte(aPos);
}

void THexEditor::SetByteAtPos(int32_t aPos, uint8_t aByte)
{
    if (SetMemAtPos(&aByte, aPos, 1))
        SetInternalBufferByte(aPos, aByte);
}

bool THexEditor::GetMemAtPos(uint8_t* aBuffer, int32_t aPos, int32_t aCount)
{
    if (!fIntFile || aPos < 0 || aCount < 0 || int64_t(aPos) + aCount > GetDataSize())
        return false;
    return fIntFile->seek(aPos) &&
           fIntFile->read(reinterpret_cast<char*>(aBuffer), aCount) == aCount;
}

bool THexEditor::SetMemAtPos(const uint8_t* aBuffer, int32_t aPos, int32_t aCount)
{
    // Never past the end: growing the content is the primitives' job, and a
    // write past it would leave a gap of stray bytes.
    if (!fIntFile || aPos < 0 || aCount < 0 || int64_t(aPos) + aCount > GetDataSize())
        return false;
    if (!fIntFile->seek(aPos) ||
        fIntFile->write(reinterpret_cast<const char*>(aBuffer), aCount) != aCount)
        return false;
    if (fIntBufferPos >= 0) {
        const int64_t from = std::max<int64_t>(aPos, fIntBufferPos);
        const int64_t to =
            std::min<int64_t>(int64_t(aPos) + aCount, int64_t(fIntBufferPos) + cBuf_Size);
        if (from < to)
            std::memcpy(fIntBuffer.data() + (from - fIntBufferPos), aBuffer + (from - aPos),
                        std::size_t(to - from));
    }
    return true;
}

bool THexEditor::ResizeStream(int64_t aSize)
{
    fIntBufferPos = -1;
    fDataSize = -1;
    if (aSize < 0 || aSize > cMaxContent || !fIntFile)
        return false;
    return fIntFile->resize(aSize);
}

bool THexEditor::MoveFileMem(int32_t aFrom, int32_t aTo, int32_t aCount)
{
    fIntBufferPos = -1;
    return fIntFile && MoveFileBytes(*fIntFile, aFrom, aTo, aCount);
}

bool THexEditor::OpenGap(int32_t aPos, int32_t aSize)
{
    const int32_t old = GetDataSize();
    if (!ResizeStream(int64_t(old) + aSize))
        return false;
    return aPos >= old || MoveFileMem(aPos, aPos + aSize, old - aPos);
}

bool THexEditor::InternalAppendBuffer(const uint8_t* aBuffer, int32_t aSize)
{
    if (!TestStream())
        return false;
    const int32_t old = GetDataSize();
    if (old == 0)
        fChangedBytes.Clear();
    const bool ok = ResizeStream(int64_t(old) + aSize) && SetMemAtPos(aBuffer, old, aSize);
    CalcSizes();
    return ok;
}

bool THexEditor::InternalInsertBuffer(const uint8_t* aBuffer, int32_t aSize, int32_t aPos)
{
    if (!TestStream())
        return false;
    if (GetDataSize() == 0)
        fChangedBytes.Clear();
    const bool ok = OpenGap(aPos, aSize) && SetMemAtPos(aBuffer, aPos, aSize);
    CalcSizes();
    return ok;
}

bool THexEditor::RemoveBytes(int32_t aStart, int32_t aEnd)
{
    const int32_t size = GetDataSize();
    aEnd = std::min(aEnd, size);
    if (aStart < 0 || aStart >= aEnd)
        return false;
    if (aEnd < size && !MoveFileMem(aEnd, aStart, size - aEnd))
        return false;
    return ResizeStream(size - (aEnd - aStart));
}

void THexEditor::InternalDeleteSelection(int32_t aStart, int32_t aEnd, int aCol, int aRow)
{
    RemoveBytes(aStart, aEnd);
    CalcSizes();
    const int32_t size = GetDataSize();
    if (GetPosAtCursor(aCol, aRow) >= size) {
        const TLongPoint p = GetCursorAtPos(size - 1, CaretInChars());
        aCol = p.x;
        aRow = p.y;
    }
    PlaceCaret(aCol, aRow);
    ResetSelection(false);
    Invalidate();
}

void THexEditor::SetChanged(int32_t aPos, bool aValue)
{
    if (GetIsInsertMode())
        fChangedBytes.Clear();
    fChangedBytes.Set(aPos, aValue);
}

bool THexEditor::HasChanged(int32_t aPos) const
{
    return !GetIsInsertMode() && fChangedBytes.Has(aPos);
}

// ---- Modes ----------------------------------------------------------------------

void THexEditor::SetReadOnly(bool aValue)
{
    if (aValue)
        fReadOnly = true;
    StateNotification();
}

void THexEditor::SetAllowInsertMode(bool aValue)
{
    fAllowInsertModeWanted = aValue;
    fAllowInsertMode = aValue && !fNoSizeChange;
    UpdateAutoCaret();
    StateNotification();
}

void THexEditor::SetNoSizeChange(bool aValue)
{
    fNoSizeChange = aValue;
    // Re-applied from what the owner asked for, so that switching the fixed
    // size off again brings insert mode back.
    SetAllowInsertMode(fAllowInsertModeWanted);
}

bool THexEditor::GetIsInsertMode() const { return fInsertOn && !fNoSizeChange && fAllowInsertMode; }

// ---- Files ----------------------------------------------------------------------

bool THexEditor::CanOpenFile(const QString& aName, bool& Readonly) const
{
    Readonly = true;
    QFile probe(aName);
    if (!QFileInfo(aName).isFile() || !probe.open(QIODevice::ReadOnly))
        return false;
    probe.close();
    if (probe.open(QIODevice::ReadWrite))
        Readonly = false;
    return true;
}

bool THexEditor::LoadFromFile(const QString& Filename)
{
    bool readOnly = true;
    if (!CanOpenFile(Filename, readOnly))
        return false;
    std::unique_ptr<QTemporaryFile> copy;
    {
        TWaitCursor wait;
        QFile source(Filename);
        // Positions are 32-bit: a larger file could not be addressed.
        if (source.size() > cMaxContent || !source.open(QIODevice::ReadOnly))
            return false;
        // The old document stays until the new one is completely copied.
        if (!NewWorkingCopy(copy) || !CopyDeviceBytes(source, *copy) || !copy->flush())
            return false;
    }
    ReleaseWorkingCopy();
    fIntFile = std::move(copy);
    fInternalName = fIntFile->fileName();
    fReadOnly = readOnly;
    ResetUndo();
    fChangedBytes.Clear();
    ResetSelection(false);
    CalcSizes();
    fModified = false;
    fIsSelecting = false;
    fTopRow = 0;
    fLeftCol = 2;
    PlaceCaret(2, 0);
    fIntFile->seek(0);
    fFileName = Filename;
    UpdateScrollBars();
    Invalidate();
    return true;
}

bool THexEditor::SaveToFile(const QString& Filename)
{
    bool ok = true;
    {
        TWaitCursor wait;
        if (fCreateBackup && fModified && SameFile(Filename, fFileName) &&
            QFileInfo::exists(Filename)) {
            QFile current(Filename);
            ok = current.open(QIODevice::ReadOnly) &&
                 ReplaceFileWith(current, ChangeFileExt(Filename, fBackupExt));
        }
        if (ok) {
            if (fIntFile) {
                ok = fIntFile->seek(0) && ReplaceFileWith(*fIntFile, Filename);
            } else {
                QByteArray none;
                QBuffer empty(&none);
                ok = empty.open(QIODevice::ReadOnly) && ReplaceFileWith(empty, Filename);
            }
            fIntBufferPos = -1;
        }
    }
    if (ok) {
        fChangedBytes.Clear();
        fModified = false;
        fReadOnly = false;
        fFileName = Filename;
        ResetUndo();
    }
    Invalidate();
    return ok;
}

void THexEditor::CreateEmptyFile(const QString& TempName)
{
    ReleaseWorkingCopy();
    fFileName = TempName;
    ResetUndo();
    ResetSelection(false);
    fChangedBytes.Clear();
    CalcSizes();
    fModified = false;
    fReadOnly = true;
    fTopRow = 0;
    fLeftCol = 2;
    PlaceCaret(2, 0);
    UpdateScrollBars();
    Invalidate();
}

QByteArray THexEditor::BufferFromFile(int32_t aPos, int32_t& aCount)
{
    const int32_t size = GetDataSize();
    if (aPos < 0 || aPos >= size)
        throw EHexEditor("Invalid BufferFromFile argument");
    aCount = std::clamp(aCount, 0, size - aPos);
    QByteArray block(aCount, Qt::Uninitialized);
    if (!GetMemAtPos(reinterpret_cast<uint8_t*>(block.data()), aPos, aCount)) {
        aCount = 0;
        return {};
    }
    return block;
}
