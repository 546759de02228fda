// The window itself: its controls, showing it modally, the close query,
// the status bar and the keys it takes from the hex control.
#include "editor/save_edit_form.h"

#include "hexedit/hexeditor.h"
#include "hexedit/hextocanvas.h"

#include "skin/dialogs.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// The client area under the menu bar: the control and the status bar.
constexpr int cClientWidth = 680;
constexpr int cClientHeight = 487;
constexpr std::array<int, 6> cPanelWidths = {120, 150, 30, 30, 38, 50};

QColor WindowColor() { return QPalette().color(QPalette::Base); }

} // namespace

TSaveEditForm::TSaveEditForm(QWidget* aParent) : QMainWindow(aParent, Qt::Window)
{
    setObjectName(QStringLiteral("SaveEditForm"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    BuildHexEditor();
    HexToCanvas1 = new THexToCanvas(this);
    HexToCanvas1->setObjectName(QStringLiteral("HexToCanvas1"));
    HexToCanvas1->SetHexEditor(HexEditor1);
    BuildMenus();
    BuildStatusBar();
    setFixedSize(cClientWidth, menuBar()->sizeHint().height() + cClientHeight);
    RefreshAllMenus();
    View1Click();
}

TSaveEditForm::~TSaveEditForm()
{
    // The search pattern outlives each showing, but not the window.
    FindBuf.clear();
    FindLen = 0;
}

void TSaveEditForm::BuildHexEditor()
{
    HexEditor1 = new THexEditor(this);
    HexEditor1->setObjectName(QStringLiteral("HexEditor1"));
    HexEditor1->SetBytesPerLine(16);
    HexEditor1->SetBytesPerColumn(1);
    HexEditor1->SetOffsetDisplay(odHex);
    HexEditor1->SetOffsetSeparator(QLatin1Char(':'));
    HexEditor1->SetTranslation(ttAnsi);
    HexEditor1->SetAllowInsertMode(true);
    HexEditor1->SetFocusFrame(false);
    HexEditor1->SetBackupExtension(QStringLiteral(".bak"));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    HexEditor1->setFont(font);
    HexEditor1->SetFontColor(Qt::black);
    TColors& c = HexEditor1->Colors();
    c.SetBackground(WindowColor());
    c.SetPositionBackground(QColor(0x80, 0, 0));
    c.SetPositionText(Qt::red);
    c.SetChangedBackground(WindowColor());
    c.SetChangedText(Qt::red);
    c.SetCursorFrame(Qt::black);
    c.SetOffset(Qt::black);
    c.SetOddColumn(Qt::blue);
    c.SetEvenColumn(QColor(0, 0, 0x80));
    setCentralWidget(HexEditor1);
    connect(HexEditor1, &THexEditor::OnStateChanged, this, &TSaveEditForm::HexEditor1StateChanged);
    connect(HexEditor1, &THexEditor::OnKeyDown, this, &TSaveEditForm::HexEditor1KeyDown);
}

void TSaveEditForm::BuildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < fPanels.size(); ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The last panel grows with its text: a large save's size needs
        // more room than its own width.
        if (i + 1 == fPanels.size())
            panel->setMinimumWidth(cPanelWidths[i]);
        else
            panel->setFixedWidth(cPanelWidths[i]);
        StatusBar1->addWidget(panel);
        fPanels[i] = panel;
    }
    fNotice = new QLabel(StatusBar1);
    fNotice->setObjectName(QStringLiteral("StatusNotice"));
    StatusBar1->addWidget(fNotice, 1);
    setStatusBar(StatusBar1);
}

// ---- Showing, activation, closing ------------------------------------------------

void TSaveEditForm::ShowModal()
{
    if (fModalLoop)
        return;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    HexEditor1->setFocus();
    QEventLoop loop;
    fModalLoop = &loop;
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    fModalLoop = nullptr;
}

void TSaveEditForm::FormActivate()
{
    // A file named on the command line is never loaded here: the window only
    // ever opens on the save the main window hands it, and loading another
    // file would put the user's edits into the wrong file.
    Savepoint = false;
}

void TSaveEditForm::changeEvent(QEvent* aEvent)
{
    QMainWindow::changeEvent(aEvent);
    if (aEvent->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

bool TSaveEditForm::event(QEvent* aEvent)
{
    // Shortcuts act on the items' states as a menu would show them now.
    if (aEvent->type() == QEvent::ShortcutOverride)
        RefreshAllMenus();
    return QMainWindow::event(aEvent);
}

void TSaveEditForm::closeEvent(QCloseEvent* aEvent)
{
    if (CheckChanges())
        aEvent->accept();
    else
        aEvent->ignore();
}

void TSaveEditForm::hideEvent(QHideEvent* aEvent)
{
    QMainWindow::hideEvent(aEvent);
    if (fModalLoop)
        fModalLoop->quit();
}

void TSaveEditForm::Beenden1Click() { close(); }

// ---- Status ---------------------------------------------------------------------

void TSaveEditForm::HexEditor1StateChanged(THexEditor*)
{
    THexEditor& e = *HexEditor1;
    StatusPanel(0)->setText(QStringLiteral("Pos : ") + QString::number(e.GetCursorPos()));
    if (e.SelCount() != 0) {
        const int32_t a = e.SelStart();
        const int32_t b = e.SelEnd();
        StatusPanel(1)->setText(QStringLiteral("Sel : ") + QString::number(std::min(a, b)) +
                                QStringLiteral(" - ") + QString::number(std::max(a, b)));
    } else {
        StatusPanel(1)->clear();
    }
    StatusPanel(2)->setText(e.Modified() ? QStringLiteral("*") : QString());
    StatusPanel(3)->setText(e.ReadOnly() ? QStringLiteral("R") : QString());
    StatusPanel(4)->setText(e.IsInsertMode() ? QStringLiteral("INS") : QStringLiteral("OVW"));
    StatusPanel(5)->setText(QStringLiteral("Size : ") + QString::number(e.DataSize()));
    // A notice about a search holds only while its match is still selected.
    if (std::pair(e.SelStart(), e.SelEnd()) != fNoticeAt)
        ShowNotice({});
}

void TSaveEditForm::ShowNotice(const QString& aText)
{
    fNotice->setText(aText);
    fNoticeAt = {HexEditor1->SelStart(), HexEditor1->SelEnd()};
}

void TSaveEditForm::HexEditor1KeyDown(THexEditor*, int& Key, Qt::KeyboardModifiers Shift)
{
    if (Key == Qt::Key_A && (Shift & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        Key = 0;
        AppendByte();
    }
}

void TSaveEditForm::AppendByte()
{
    const uint8_t b = 0xFF;
    HexEditor1->AppendBuffer(&b, 1);
}

void TSaveEditForm::Error(const QString& aMessage)
{
    skin::dialogs().error(aMessage, QStringLiteral("Error"));
}
