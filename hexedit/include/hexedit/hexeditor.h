// THexEditor: a grid of one-character cells that shows and edits the bytes
// of one file. The bytes live in a byte store (bytestore.h) whose private
// working copy is on disk, so files of any size are shown without being held
// in memory; the user's file is written only by SaveToFile.
//
// Columns (C = BytesPerLine): 0 the offset of the row, 1 the marker column,
// 2 .. 2C+1 two hex digits per byte, 2C+2 a separator, 2C+3 .. 3C+2 one
// character per byte. Positions are 0-based byte offsets; -1 means none.
#pragma once

#include "hexedit/bytestore.h"
#include "hexedit/hexcolors.h"
#include "hexedit/hextypes.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct TLongPoint {
    int32_t x = 0; // column
    int32_t y = 0; // row
    bool operator==(const TLongPoint&) const = default;
};

class THexEditor : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit THexEditor(QWidget* aParent = nullptr);
    // A second view of the bytes another control shows (its Store()); a null
    // store makes a control of its own.
    THexEditor(std::shared_ptr<TByteStore> aStore, QWidget* aParent = nullptr);
    ~THexEditor() override;

    // ---- Files and content -------------------------------------------------
    bool LoadFromFile(const QString& Filename);
    bool SaveToFile(const QString& Filename);
    void CreateEmptyFile(const QString& TempName);
    int32_t GetDataSize();
    int32_t DataSize() { return GetDataSize(); }
    // aCount bytes from aPos (cut to the content); empty with aCount 0 when
    // reading fails.
    QByteArray BufferFromFile(int32_t aPos, int32_t& aCount);

    // ---- Undo-aware edits --------------------------------------------------
    void InsertBuffer(const uint8_t* aBuffer, int32_t aSize, int32_t aPos);
    void AppendBuffer(const uint8_t* aBuffer, int32_t aSize);
    void ReplaceSelection(const uint8_t* aBuffer, int32_t aSize);
    void DeleteSelection();
    void Undo();

    bool CanUndo() const { return fStore->CanUndo(); }
    QString UndoDescription() const { return fStore->UndoDescription(); }
    int32_t UndoCount() const { return fStore->UndoCount(); }
    bool Modified() const { return fStore->Modified(); }
    bool ReadOnly() const { return fReadOnly; }
    // Only switches read-only on.
    void SetReadOnly(bool aValue);
    QString Filename() const { return fFileName; }
    QString InternalName() const { return fStore->InternalName(); }
    bool CreateBackup() const { return fCreateBackup; }
    void SetCreateBackup(bool aValue) { fCreateBackup = aValue; }
    QString BackupExtension() const { return fBackupExt; }
    void SetBackupExtension(const QString& aValue) { fBackupExt = aValue; }
    bool NoSizeChange() const { return fNoSizeChange; }
    void SetNoSizeChange(bool aValue);
    bool AllowInsertMode() const { return fAllowInsertMode; }
    void SetAllowInsertMode(bool aValue);
    bool GetIsInsertMode() const;
    bool IsInsertMode() const { return GetIsInsertMode(); }

    // ---- Byte access (no undo, no marks) -----------------------------------
    uint8_t GetByteAtPos(int32_t aPos);
    void SetByteAtPos(int32_t aPos, uint8_t aByte);
    bool GetMemAtPos(uint8_t* aBuffer, int32_t aPos, int32_t aCount);
    bool SetMemAtPos(const uint8_t* aBuffer, int32_t aPos, int32_t aCount);
    bool HasChanged(int32_t aPos) const;
    // The bytes this control shows; a second view may share them.
    const std::shared_ptr<TByteStore>& Store() const { return fStore; }

    // ---- Display properties ------------------------------------------------
    int BytesPerLine() const { return fBytesPerLine; }
    void SetBytesPerLine(int aValue);
    int BytesPerColumn() const { return fBytesPerColumn / 2; }
    void SetBytesPerColumn(int aValue);
    bool ShowMarkerColumn() const { return fShowMarkerCol; }
    void SetShowMarkerColumn(bool aValue);
    TOffsetDisplayStyle OffsetDisplay() const { return FOffsetDisplay; }
    void SetOffsetDisplay(TOffsetDisplayStyle aValue);
    QChar OffsetSeparator() const { return FOffsetChar; }
    void SetOffsetSeparator(QChar aValue);
    bool SwapNibbles() const { return fSwapNibbles != 0; }
    void SetSwapNibbles(bool aValue);
    TCaretStyle CaretStyle() const { return fCaretStyle; }
    void SetCaretStyle(TCaretStyle aValue);
    bool FocusFrame() const { return fFocusFrame; }
    void SetFocusFrame(bool aValue);
    bool MaskWhiteSpaces() const { return fMaskWhiteSpaces; }
    void SetMaskWhiteSpaces(bool aValue);
    QChar MaskChar() const { return fMaskChar; }
    void SetMaskChar(QChar aValue);
    TTranslationType Translation() const { return fTranslation; }
    void SetTranslation(TTranslationType aValue);
    TColors& Colors() { return *fColors; }
    void SetColors(const TColors& aValue) { *fColors = aValue; }
    bool AutoCaretMode() const { return fAutoCaretMode; }
    void SetAutoCaretMode(bool aValue);
    int GridLineWidth() const { return fGridLineWidth; }
    void SetGridLineWidth(int aValue);
    // The colour of plain text: the character field and blank cells.
    QColor FontColor() const;
    void SetFontColor(const QColor& aValue);
    // The background of the control, kept equal to Colors().Background().
    void SetColor(const QColor& aValue);

    // The offset column's text for a row.
    QString OffsetText(int32_t aRow) const;
    // Characters of the offset column, and the measured cell size.
    int OffSetDisplayWidth() const { return fOffSetDisplayWidth; }
    int CharWidth() const { return fCharWidth; }
    int CharHeight() const { return fCharHeight; }

    // ---- Grid --------------------------------------------------------------
    int Col() const { return fCol; }
    int Row() const { return fRow; }
    int ColCount() const { return fColCount; }
    int RowCount() const { return fRowCount; }
    int TopRow() const { return fTopRow; }
    void SetTopRow(int aValue);
    int LeftCol() const { return fLeftCol; }
    int VisibleRowCount() const;
    int DefaultRowHeight() const { return fCharHeight; }
    int ColWidths(int aCol) const;
    // The cell's rectangle in the viewport; empty when it is not visible.
    QRect CellRect(int aCol, int aRow) const;
    // The cell under a viewport point, or (-1, -1).
    TLongPoint MouseCoord(const QPoint& aPoint) const;
    void Invalidate();

    // ---- Cell arithmetic ---------------------------------------------------
    int32_t GetPosAtCursor(int aCol, int aRow);
    TLongPoint GetCursorAtPos(int32_t aPos, bool aChars) const;
    int GetOtherFieldCol(int aCol, bool& Chars) const;
    int32_t GetRow(int32_t aPos) const { return aPos / fBytesPerLine; }
    bool PosInChars() const { return fPosInChars; }

    // ---- Caret, selection, markers -----------------------------------------
    int32_t SelStart();
    void SetSelStart(int32_t aValue);
    int32_t SelEnd();
    void SetSelEnd(int32_t aValue);
    int32_t SelCount() const;
    int32_t GetCursorPos();
    bool Seek(int32_t aOffset, int aOrigin, bool FailIfOutOfRange);
    void ResetSelection(bool aDraw);
    void SetMarker(int aIndex, int32_t aValue);
    int32_t GetMarkerRow(int aIndex) const;
    int IsMarkerPos(int32_t aRow) const;
    void ChangeByte(uint8_t aOldByte, uint8_t aNewByte, int aRow, int aCol, int32_t aPos);

    // ---- Hex text, search, translation -------------------------------------
    QByteArray AsHex();
    void SetAsHex(const QByteArray& aValue);
    // Searches aStart .. aEnd for the aCount bytes of aBuffer. A text search
    // first converts aBuffer to the translation, and ignoring case lower-cases
    // it, both in place.
    int32_t Find(uint8_t* aBuffer, int32_t aCount, int32_t aStart, int32_t aEnd, bool IgnoreCase,
                 bool SearchText);
    QChar TranslateToAnsiChar(uint8_t aByte) const;
    // The byte a typed character enters, or -1 for none.
    int TranslateFromAnsiChar(QChar aChar) const;

signals:
    // Every change of state, delivered later through the event queue.
    void OnStateChanged(THexEditor* Sender);
    // Before the control handles a key; setting Key to 0 consumes it.
    void OnKeyDown(THexEditor* Sender, int& Key, Qt::KeyboardModifiers Shift);

protected:
    bool event(QEvent* aEvent) override;
    void paintEvent(QPaintEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;
    void showEvent(QShowEvent* aEvent) override;
    void changeEvent(QEvent* aEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* aEvent) override;
    void focusOutEvent(QFocusEvent* aEvent) override;
    void keyPressEvent(QKeyEvent* aEvent) override;
    void keyReleaseEvent(QKeyEvent* aEvent) override;
    void mousePressEvent(QMouseEvent* aEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* aEvent) override;
    void mouseMoveEvent(QMouseEvent* aEvent) override;
    void mouseReleaseEvent(QMouseEvent* aEvent) override;
    bool focusNextPrevChild(bool aNext) override;

private:
    // The store's bytes as the rows need them (hexeditor_data.cpp).
    bool TestStream() { return fStore->Ensure(); }
    bool CheckInternalBuffer(int32_t aPos) { return fStore->CheckCache(aPos, fBytesPerLine); }
    uint8_t CachedByte(int32_t aPos) { return fStore->CachedByte(aPos, fBytesPerLine); }
    bool InternalAppendBuffer(const uint8_t* aBuffer, int32_t aSize);
    bool InternalInsertBuffer(const uint8_t* aBuffer, int32_t aSize, int32_t aPos);
    void InternalDeleteSelection(int32_t aStart, int32_t aEnd, int aCol, int aRow);
    void SetChanged(int32_t aPos, bool aValue);
    bool CanOpenFile(const QString& aName, bool& Readonly) const;

    // Undo journal (hexeditor_undo.cpp): the store keeps the records, the
    // control adds its caret and selection to each.
    bool CreateUndo(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount);
    void DoCreateUndo(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount);
    void DropLastUndo();
    void ResetUndo();
    void RestoreFromUndo(const TUndoRec& aRec);

    // Layout (hexeditor_layout.cpp).
    void CalcSizes();
    void AdjustMetrics();
    void SetOffsetDisplayWidth();
    int ColumnWidth(int aCol) const;
    int FixedWidth() const;
    int LastLeftCol() const;
    void UpdateScrollBars();
    void ClampInView(int aCol, int aRow);
    void PlaceCaret(int aCol, int aRow);
    void InvalidateCell(int aCol, int aRow);
    void InvalidateRows(int32_t aFromRow, int32_t aToRow);
    void RedrawPos(int32_t aFrom, int32_t aTo);
    bool CaretInChars() const { return fCol > 2 * fBytesPerLine + 2; }

    // Drawing (hexeditor_paint.cpp).
    void DrawCell(QPainter& aCanvas, int ACol, int ARow, const QRect& ARect);
    void DrawTextCell(QPainter& aCanvas, const QRect& aRect, const QString& aText,
                      const QColor& aTextColor, const QColor& aBackground);
    void DrawCaret(QPainter& aCanvas);
    QRect CaretRect() const;
    void RestartCaretBlink();
    void UpdateAutoCaret();

    // Caret, selection and mouse (hexeditor_select.cpp), keys (hexeditor_keys.cpp).
    bool SelectCell(int ACol, int ARow);
    bool MoveCurrent(int ACol, int ARow);
    void Select(int aCurCol, int aCurRow, int aNewCol, int aNewRow);
    bool HasSelection() const { return SelCount() > 0; }
    void StateNotification();
    void KeyDown(int& Key, Qt::KeyboardModifiers Shift, int aDigit);
    bool ParseKeyDown(Qt::KeyboardModifiers aShift, int aChar, int aDigit);
    void GridKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void InternalErase(bool BackSp);
    void WMChar(QChar aChar);
    void MoveRight();
    void StartSelecting();
    void MouseToCell(const QPoint& aPoint, bool aDrag);

    // The bytes, their marks and the undo journal.
    std::shared_ptr<TByteStore> fStore;
    bool fReadOnly = true;
    QString fFileName = QStringLiteral("---");
    std::array<int32_t, 10> fMarker;
    int32_t fSelST = -1;
    int32_t fSelPO = -1;
    int32_t fSelEN = -1;
    bool fCreateBackup = true;
    QString fBackupExt = QStringLiteral(".bak");
    bool fNoSizeChange = false;
    bool fAllowInsertMode = false;
    // What the owner asked for; fAllowInsertMode is this while NoSizeChange
    // is off and false while it is on.
    bool fAllowInsertModeWanted = false;
    bool fInsertOn = false;

    // Layout and drawing.
    int fCharWidth = -1;
    int fCharHeight = 0;
    std::unique_ptr<TColors> fColors;
    int fBytesPerLine = 16;
    int fOffSetDisplayWidth = 0;
    int fBPL2 = 32;
    int fSwapNibbles = 0;
    bool fFocusFrame = true;
    int fBytesPerColumn = 8;
    bool fPosInChars = false;
    TOffsetDisplayStyle FOffsetDisplay = odHex;
    QChar FOffsetChar = QLatin1Char(':');
    TCaretStyle fCaretStyle = csFull;
    bool fShowMarkerCol = true;
    bool fMaskWhiteSpaces = true;
    QChar fMaskChar = QLatin1Char('.');
    TTranslationType fTranslation = ttAnsi;

    // Caret, keys and selection.
    bool fIsSelecting = false;
    bool fLastKeyWasALT = false;
    bool fAutoCaretMode = true;

    // The grid underneath.
    int fCol = 2;
    int fRow = 0;
    int fColCount = 0;
    int fRowCount = 1;
    int fTopRow = 0;
    int fLeftCol = 2;
    int fGridLineWidth = 0;
    std::vector<int> fColWidths;
    bool fShownOnce = false;
    // What the key or mouse event being handled says is held down.
    bool fShiftDown = false;
    bool fLeftDown = false;
    // The caret blinks while the control has the focus.
    QTimer fCaretTimer;
    bool fCaretOn = false;
};
