// The keys and the bytes they type.
#include "hexedit/hexeditor.h"

#include "hexedit/codepages.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

constexpr Qt::KeyboardModifiers cModifierKeys =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// The digit of a key, or -1. With Shift held most layouts report the
// shifted symbol, so the key's position on the keyboard decides as well.
int DigitOf(const QKeyEvent& aEvent)
{
    const int key = aEvent.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    // X11 key codes of the digit row, 1 to 9 and then 0.
    const quint32 code = aEvent.nativeScanCode();
    if (code >= 10 && code <= 19)
        return int((code - 9) % 10);
    static const char cShifted[] = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d)
        if (key == cShifted[d])
            return d;
    return -1;
}

bool IsNavigationKey(int aKey)
{
    switch (aKey) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    default: return false;
    }
}

int HexDigitValue(QChar aChar)
{
    const char16_t c = aChar.toUpper().unicode();
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace
// ---- Keys -----------------------------------------------------------------------

void THexEditor::keyPressEvent(QKeyEvent* aEvent)
{
    const Qt::KeyboardModifiers shift = aEvent->modifiers() & cModifierKeys;
    fShiftDown = shift & Qt::ShiftModifier;
    int key = aEvent->key();
    emit OnKeyDown(this, key, shift);
    if (key == 0)
        return;
    // Focus can arrive while Shift is already held; a Shift+arrow then
    // starts the selection the Shift key itself would have started.
    if (fShiftDown && !fIsSelecting && IsNavigationKey(key))
        StartSelecting();
    KeyDown(key, shift, DigitOf(*aEvent));
    // The key's characters are typed once the key itself is handled. Delete
    // types none, and with Ctrl, Alt or Meta held a key is a command.
    if (!(shift & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        aEvent->key() != Qt::Key_Delete) {
        for (const QChar ch : aEvent->text())
            WMChar(ch);
    }
}

void THexEditor::keyReleaseEvent(QKeyEvent* aEvent)
{
    fShiftDown = aEvent->modifiers() & Qt::ShiftModifier;
    if (aEvent->key() == Qt::Key_Shift)
        fShiftDown = false;
    fLastKeyWasALT = aEvent->key() == Qt::Key_Alt;
}

void THexEditor::KeyDown(int& Key, Qt::KeyboardModifiers Shift, int aDigit)
{
    const int original = Key;
    const bool insert = GetIsInsertMode();
    if (Key == Qt::Key_Insert) {
        fInsertOn = !fInsertOn;
        UpdateAutoCaret();
        fStore->ClearMarks();
        Invalidate();
        StateNotification();
        Key = 0;
    } else if (Key == Qt::Key_Backspace) {
        if (insert) {
            // With a selection only the selection goes: the byte before it
            // was not chosen for removal.
            if (HasSelection())
                DeleteSelection();
            else
                InternalErase(true);
            Key = 0;
        } else {
            Key = Qt::Key_Left;
        }
    } else if (Key == Qt::Key_Delete) {
        if (Shift == Qt::ControlModifier || (HasSelection() && insert))
            DeleteSelection();
        else if (insert)
            InternalErase(false);
        Key = 0;
    }
    if (ParseKeyDown(Shift, original, aDigit))
        Key = 0;
    if (Key != 0)
        GridKeyDown(Key, Shift);
}

bool THexEditor::ParseKeyDown(Qt::KeyboardModifiers aShift, int aChar, int aDigit)
{
    const bool ctrl = aShift & Qt::ControlModifier;
    const bool shift = aShift & Qt::ShiftModifier;
    if (aShift == Qt::NoModifier && aChar != Qt::Key_Shift && !GetIsInsertMode())
        ResetSelection(true);

    const int c = fBytesPerLine;
    const int32_t size = GetDataSize();
    const int vis = VisibleRowCount();
    const int lastRow = fRowCount - 1;
    const bool chars = CaretInChars();
    auto switchField = [&] {
        if (size > 0) {
            bool fromChars = false;
            MoveCurrent(GetOtherFieldCol(fCol, fromChars), fRow);
        }
    };
    auto moveToByte = [&](int32_t aPos) {
        const TLongPoint p = GetCursorAtPos(aPos, chars);
        MoveCurrent(p.x, p.y);
    };

    switch (aChar) {
    case Qt::Key_PageUp:
        if (ctrl) {
            MoveCurrent(fCol, fTopRow);
        } else {
            const int row = std::max(0, fRow - vis + 1);
            SetTopRow(std::max(0, fTopRow - vis + 1));
            MoveCurrent(fCol, row);
        }
        return true;
    case Qt::Key_PageDown:
        if (ctrl) {
            MoveCurrent(fCol, std::min(lastRow, fTopRow + vis - 1));
        } else {
            const int row = std::min(lastRow, fRow + vis - 1);
            SetTopRow(std::min(std::max(0, fRowCount - vis), fTopRow + vis - 1));
            MoveCurrent(fCol, row);
        }
        return true;
    case Qt::Key_Home: MoveCurrent(chars ? 2 * c + 3 : 2, ctrl ? 0 : fRow); return true;
    case Qt::Key_End:
        if (size > 0)
            moveToByte(ctrl ? size - 1
                            : int32_t(std::min<int64_t>(int64_t(fRow) * c + c - 1, size - 1)));
        return true;
    case Qt::Key_Left:
        if (ctrl)
            return false;
        if (chars) {
            const int32_t p = GetPosAtCursor(fCol, fRow);
            if (p > 0)
                moveToByte(p - 1);
        } else if ((fCol - 2) % 2 == 1) {
            MoveCurrent(fCol - 1, fRow);
        } else {
            const int32_t p = GetPosAtCursor(fCol, fRow);
            if (p > 0) {
                const TLongPoint prev = GetCursorAtPos(p - 1, false);
                MoveCurrent(prev.x + 1, prev.y);
            }
        }
        return true;
    case Qt::Key_Right:
        if (ctrl)
            MoveCurrent(fColCount - 1, fRow);
        else
            MoveRight();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up: {
        if (ctrl)
            return false;
        const int row = fRow + (aChar == Qt::Key_Down ? 1 : -1);
        if (row >= 0 && row < fRowCount)
            MoveCurrent(fCol, row);
        return true;
    }
    case Qt::Key_T:
        if (!ctrl)
            return false;
        switchField();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (aShift & ~Qt::KeyboardModifiers(Qt::ShiftModifier))
            return false;
        switchField();
        return true;
    case Qt::Key_Shift:
        if (!shift)
            return false;
        StartSelecting();
        return true;
    default: break;
    }
    if (aDigit >= 0 && ctrl) {
        if (shift) {
            SetMarker(aDigit, fRow);
        } else {
            ResetSelection(true);
            // A marker whose row the content no longer reaches leaves the
            // caret where it is; the marker stays for when it grows back.
            const int32_t row = GetMarkerRow(aDigit);
            if (row >= 0 && row < fRowCount)
                MoveCurrent(2, row);
        }
        return true;
    }
    return false;
}

void THexEditor::GridKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    const bool ctrl = Shift & Qt::ControlModifier;
    switch (Key) {
    case Qt::Key_Left:
        if (ctrl)
            MoveCurrent(2, fRow);
        else if (fCol > 2)
            MoveCurrent(fCol - 1, fRow);
        break;
    case Qt::Key_Up:
        if (ctrl)
            SetTopRow(fTopRow - 1);
        break;
    case Qt::Key_Down:
        if (ctrl)
            SetTopRow(fTopRow + 1);
        break;
    default: break;
    }
}

void THexEditor::InternalErase(bool BackSp)
{
    const int32_t p = GetCursorPos();
    if (BackSp) {
        if (p > 0 && CreateUndo(U_Byte_removed, p - 1, 1, 0)) {
            InternalDeleteSelection(p - 1, p, fCol, fRow);
            Seek(p - 1, 0, true);
        }
    } else if (p != GetDataSize() && CreateUndo(U_Byte_removed, p, 1, 0)) {
        InternalDeleteSelection(p, p + 1, fCol, fRow);
    }
}

// ---- Typed bytes ----------------------------------------------------------------

void THexEditor::ChangeByte(uint8_t aOldByte, uint8_t aNewByte, int aRow, int aCol, int32_t aPos)
{
    Q_UNUSED(aCol);
    if (aOldByte == aNewByte || !CreateUndo(U_Byte_changed, aPos, 1, 0))
        return;
    SetByteAtPos(aPos, aNewByte);
    if (!GetIsInsertMode())
        SetChanged(aPos, true);
    InvalidateRows(aRow, aRow);
}

void THexEditor::WMChar(QChar aChar)
{
    const int32_t size = GetDataSize();
    const int32_t p = GetPosAtCursor(fCol, fRow);
    const bool chars = fPosInChars;
    const bool insert = GetIsInsertMode();
    if (!insert && p >= size)
        return;

    if (chars) {
        int b = -1;
        bool taken = false;
        if (fLastKeyWasALT) {
            b = CharOEM(aChar);
            taken = b >= 0;
        } else {
            b = TranslateFromAnsiChar(aChar);
            taken = b >= 32;
        }
        fLastKeyWasALT = false;
        if (!taken)
            return;
        const auto byte = uint8_t(b);
        if (!insert) {
            ResetSelection(true);
            ChangeByte(GetByteAtPos(p), byte, fRow, fCol, p);
        } else if (HasSelection()) {
            ReplaceSelection(&byte, 1);
        } else {
            InsertBuffer(&byte, 1, p);
        }
    } else {
        const int v = HexDigitValue(aChar);
        if (v < 0)
            return;
        if (!insert)
            ResetSelection(true);
        const uint8_t old = p < size ? GetByteAtPos(p) : 0;
        const int first = GetCursorAtPos(p, false).x;
        const bool high = fCol - fSwapNibbles == first || HasSelection();
        const auto changed = uint8_t(high ? (v << 4) | (old & 0x0F) : (old & 0xF0) | v);
        if (!insert || (fCol == first + 1 && !HasSelection())) {
            ChangeByte(old, changed, fRow, fCol, p);
            if (insert && p == size - 1) {
                const uint8_t zero = 0;
                AppendBuffer(&zero, 1);
                return;
            }
        } else {
            const auto typed = uint8_t(high ? v << 4 : v);
            if (size == 0)
                AppendBuffer(&typed, 1);
            else if (HasSelection())
                ReplaceSelection(&typed, 1);
            else
                InsertBuffer(&typed, 1, p);
        }
    }
    // A Shift held for a capital letter or digit is not a selection.
    fIsSelecting = false;
    MoveRight();
}
