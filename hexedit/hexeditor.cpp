// Construction, the display properties and the events that are not input.
#include "hexedit/hexeditor.h"

#include "hexmessage.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>

THexEditor::THexEditor(QWidget* aParent) : THexEditor(nullptr, aParent) {}

THexEditor::THexEditor(std::shared_ptr<TByteStore> aStore, QWidget* aParent)
    : QAbstractScrollArea(aParent), fStore(aStore ? aStore : std::make_shared<TByteStore>()),
      fColors(std::make_unique<TColors>([this](TColorChange aChange) {
          if (aChange == TColorChange::Background)
              SetColor(fColors->Background());
          else
              Invalidate();
      }))
{
    // A view of bytes another control shows has no document of its own:
    // being shown must not start a new, empty one over them.
    if (aStore)
        fFileName = QStringLiteral("Untitled");
    fMarker.fill(-1);
    QFont f(QStringLiteral("Courier"), 12);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    setFont(f);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetColor(fColors->Background());
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(&fCaretTimer, &QTimer::timeout, this, [this] {
        fCaretOn = !fCaretOn;
        viewport()->update(CaretRect());
    });
    CalcSizes();
}

THexEditor::~THexEditor() = default;

bool THexEditor::event(QEvent* aEvent)
{
    if (aEvent->type() == THexMessage::EventType()) {
        const auto* m = static_cast<THexMessage*>(aEvent);
        if (m->Msg == WM_STATECHANGED && m->WParam == cStateChangedParam)
            emit OnStateChanged(this);
        return true;
    }
    return QAbstractScrollArea::event(aEvent);
}

void THexEditor::StateNotification()
{
    QCoreApplication::postEvent(
        this, new THexMessage(WM_STATECHANGED, cStateChangedParam, cStateChangedParam));
}

void THexEditor::showEvent(QShowEvent* aEvent)
{
    QAbstractScrollArea::showEvent(aEvent);
    if (fShownOnce)
        return;
    fShownOnce = true;
    // A control nobody gave a document becomes a new, empty one. Content
    // added before it was first shown is kept: it is the caller's data.
    if (fFileName == QLatin1String("---")) {
        if (GetDataSize() == 0)
            CreateEmptyFile(QStringLiteral("Untitled"));
        else
            fFileName = QStringLiteral("Untitled");
    }
}

void THexEditor::changeEvent(QEvent* aEvent)
{
    QAbstractScrollArea::changeEvent(aEvent);
    if (aEvent->type() == QEvent::FontChange) {
        AdjustMetrics();
        Invalidate();
    }
}

void THexEditor::resizeEvent(QResizeEvent* aEvent)
{
    QAbstractScrollArea::resizeEvent(aEvent);
    UpdateScrollBars();
}

bool THexEditor::focusNextPrevChild(bool)
{
    // Tab switches between the hex and the character field.
    return false;
}

// ---- Display properties ----------------------------------------------------------

void THexEditor::SetBytesPerLine(int aValue)
{
    if (aValue == fBytesPerLine)
        return;
    if (aValue < 1 || aValue > 256)
        throw EHexEditor("Invalid BytesPerLine argument");
    const int32_t pos = GetPosAtCursor(fCol, fRow);
    const bool chars = fPosInChars;
    const int nibble = chars ? 0 : (fCol - 2) % 2;
    setUpdatesEnabled(false);
    fBytesPerLine = aValue;
    fBPL2 = 2 * aValue;
    CalcSizes();
    const TLongPoint p = GetCursorAtPos(GetDataSize() == 0 ? -1 : pos, chars);
    PlaceCaret(p.x + (GetDataSize() == 0 ? 0 : nibble), p.y);
    setUpdatesEnabled(true);
    Invalidate();
}

void THexEditor::SetBytesPerColumn(int aValue)
{
    // A group wider than the line, or of no bytes, has no meaning; 0 would
    // divide by zero in every group computation.
    if (aValue < 1 || aValue > fBytesPerLine || 2 * aValue == fBytesPerColumn)
        return;
    fBytesPerColumn = 2 * aValue;
    AdjustMetrics();
    Invalidate();
}

void THexEditor::SetShowMarkerColumn(bool aValue)
{
    if (aValue == fShowMarkerCol)
        return;
    fShowMarkerCol = aValue;
    AdjustMetrics();
    Invalidate();
}

void THexEditor::SetOffsetDisplay(TOffsetDisplayStyle aValue)
{
    if (aValue == FOffsetDisplay)
        return;
    FOffsetDisplay = aValue;
    AdjustMetrics();
    Invalidate();
}

void THexEditor::SetOffsetSeparator(QChar aValue)
{
    if (aValue == FOffsetChar)
        return;
    FOffsetChar = aValue;
    Invalidate();
}

void THexEditor::SetSwapNibbles(bool aValue)
{
    if (int(aValue) == fSwapNibbles)
        return;
    fSwapNibbles = aValue ? 1 : 0;
    Invalidate();
}

void THexEditor::SetCaretStyle(TCaretStyle aValue)
{
    if (aValue == fCaretStyle)
        return;
    fCaretStyle = aValue;
    if (hasFocus())
        RestartCaretBlink();
    Invalidate();
}

void THexEditor::SetFocusFrame(bool aValue)
{
    if (aValue == fFocusFrame)
        return;
    fFocusFrame = aValue;
    Invalidate();
}

void THexEditor::SetMaskWhiteSpaces(bool aValue)
{
    if (aValue == fMaskWhiteSpaces)
        return;
    fMaskWhiteSpaces = aValue;
    Invalidate();
}

void THexEditor::SetMaskChar(QChar aValue)
{
    if (aValue == fMaskChar)
        return;
    fMaskChar = aValue;
    Invalidate();
}

void THexEditor::SetTranslation(TTranslationType aValue)
{
    if (aValue == fTranslation)
        return;
    fTranslation = aValue;
    Invalidate();
}

void THexEditor::SetAutoCaretMode(bool aValue)
{
    fAutoCaretMode = aValue;
    UpdateAutoCaret();
}

void THexEditor::UpdateAutoCaret()
{
    if (fAutoCaretMode)
        SetCaretStyle(GetIsInsertMode() ? csLeftLine : csFull);
}

void THexEditor::SetGridLineWidth(int aValue)
{
    aValue = std::max(0, aValue);
    if (aValue == fGridLineWidth)
        return;
    fGridLineWidth = aValue;
    AdjustMetrics();
    Invalidate();
}

QColor THexEditor::FontColor() const { return palette().color(QPalette::Text); }

void THexEditor::SetFontColor(const QColor& aValue)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, aValue);
    p.setColor(QPalette::WindowText, aValue);
    setPalette(p);
    Invalidate();
}

void THexEditor::SetColor(const QColor& aValue)
{
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, aValue);
    p.setColor(QPalette::Window, aValue);
    viewport()->setPalette(p);
    if (fColors && fColors->Background() != aValue)
        fColors->SetBackground(aValue);
    Invalidate();
}

// ---- Markers --------------------------------------------------------------------

void THexEditor::SetMarker(int aIndex, int32_t aValue)
{
    if (aIndex < 0 || aIndex > 9)
        throw EHexEditor("SetMarker : Invalid marker index");
    const int32_t old = fMarker[std::size_t(aIndex)];
    if (old == aValue)
        return;
    fMarker[std::size_t(aIndex)] = aValue;
    if (old >= 0)
        InvalidateRows(old, old);
    if (aValue >= 0)
        InvalidateRows(aValue, aValue);
}

int32_t THexEditor::GetMarkerRow(int aIndex) const
{
    if (aIndex < 0 || aIndex > 9 || fMarker[std::size_t(aIndex)] == -1)
        return fRow;
    return fMarker[std::size_t(aIndex)];
}

int THexEditor::IsMarkerPos(int32_t aRow) const
{
    for (int i = 0; i < 10; ++i)
        if (fMarker[std::size_t(i)] == aRow)
            return i;
    return -1;
}
