// The control's view of the store's bytes, the modes and the file
// operations.
#include "hexedit/hexeditor.h"

#include "filemove.h"
#include "hexedit/waitcursor.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

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

} // namespace

// ---- Bytes --------------------------------------------------------------------------

int32_t THexEditor::GetDataSize() { return fStore->Size(); }

uint8_t THexEditor::GetByteAtPos(int32_t aPos)
{
    if (aPos < 0 || aPos >= GetDataSize())
        return 0;
    return CachedByte(aPos);
}

void THexEditor::SetByteAtPos(int32_t aPos, uint8_t aByte) { fStore->Write(&aByte, aPos, 1); }

bool THexEditor::GetMemAtPos(uint8_t* aBuffer, int32_t aPos, int32_t aCount)
{
    return fStore->Read(aBuffer, aPos, aCount);
}

bool THexEditor::SetMemAtPos(const uint8_t* aBuffer, int32_t aPos, int32_t aCount)
{
    return fStore->Write(aBuffer, aPos, aCount);
}

bool THexEditor::InternalAppendBuffer(const uint8_t* aBuffer, int32_t aSize)
{
    const bool ok = fStore->Append(aBuffer, aSize);
    CalcSizes();
    return ok;
}

bool THexEditor::InternalInsertBuffer(const uint8_t* aBuffer, int32_t aSize, int32_t aPos)
{
    const bool ok = fStore->Insert(aBuffer, aSize, aPos);
    CalcSizes();
    return ok;
}

void THexEditor::InternalDeleteSelection(int32_t aStart, int32_t aEnd, int aCol, int aRow)
{
    fStore->Remove(aStart, aEnd);
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
    fStore->SetMark(aPos, aValue, GetIsInsertMode());
}

bool THexEditor::HasChanged(int32_t aPos) const
{
    return !GetIsInsertMode() && fStore->Marks().Has(aPos);
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
    {
        TWaitCursor wait;
        // The old document stays until the new one is completely copied.
        if (!fStore->Load(Filename))
            return false;
    }
    fReadOnly = readOnly;
    ResetUndo();
    ResetSelection(false);
    CalcSizes();
    fIsSelecting = false;
    fTopRow = 0;
    fLeftCol = 2;
    PlaceCaret(2, 0);
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
        if (fCreateBackup && Modified() && SameFile(Filename, fFileName) &&
            QFileInfo::exists(Filename)) {
            QFile current(Filename);
            ok = current.open(QIODevice::ReadOnly) &&
                 ReplaceFileWith(current, ChangeFileExt(Filename, fBackupExt));
        }
        ok = ok && fStore->SaveTo(Filename);
    }
    if (ok) {
        fReadOnly = false;
        fFileName = Filename;
        ResetUndo();
    }
    Invalidate();
    return ok;
}

void THexEditor::CreateEmptyFile(const QString& TempName)
{
    fStore->Release();
    fFileName = TempName;
    ResetUndo();
    ResetSelection(false);
    fStore->ClearMarks();
    CalcSizes();
    fStore->SetModified(false);
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
