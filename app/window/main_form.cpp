#include "window/main_form.h"

#include "window/cards_menu.h"

#include "cards/card_worker.h"
#include "cards/device_watch.h"
#include "cards/gates_closed.h"
#include "cards/gclink.h"
#include "cards/second_card.h"
#include "commands/send_mail.h"
#include "commands/user_file.h"
#include "window/ok_btn_form.h"
#include "window/save_list_view.h"
#include "window/window_host.h"
#include "window/window_placement.h"

#include "i18n/captions.h"
#include "i18n/language.h"
#include "i18n/texts.h"
#include "skin/blue_glass_style.h"
#include "skin/dialogs.h"
#include "skin/japanese_font.h"
#include "skin/picture_button.h"
#include "skin/pictures.h"
#include "skin/smooth_bar.h"

#include "app_options.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace {

void receiveProgress(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (message == WM_CARD_PROGRESS)
        static_cast<TMainForm*>(context)->OnProcess(wParam, lParam);
}

QPixmap placeholderPicture()
{
    // A save whose banner could not be made: a plain grey card with a
    // question mark, so the list still shows something in its place.
    QPixmap p(96, 32);
    p.fill(QColor(0xD8, 0xDC, 0xE2));
    QPainter painter(&p);
    painter.setPen(QColor(0x88, 0x90, 0x9A));
    painter.drawRect(0, 0, 95, 31);
    QFont f = painter.font();
    f.setPixelSize(20);
    f.setBold(true);
    painter.setFont(f);
    painter.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("?"));
    return p;
}

} // namespace

std::function<quint16()> TMainForm::languageId = [] { return i18n::GetUserDefaultLangID(); };

CommandScope::~CommandScope()
{
    if (--fForm.fBusy == 0)
        fForm.commandEnded();
}

TMainForm::TMainForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    quitAction = [] { QCoreApplication::quit(); };
    fReceiver.send = receiveProgress;
    fReceiver.context = this;
    fPlaceholder = placeholderPicture();
    fWorker = std::make_unique<CardWorker>();
    fSecondWorker = std::make_unique<CardWorker>();
    // Queued whatever thread the library calls from: the bar moves on the
    // window's thread, never under a widget call from the card's.
    connect(this, &TMainForm::cardProgress, this, &TMainForm::stepBar, Qt::QueuedConnection);
    buildControls();
    FormCreate();
}

TMainForm::~TMainForm() = default;

QString TMainForm::workDir() const { return fWork && fWork->isValid() ? fWork->path() : QString(); }

QString TMainForm::workPath(const QString& name) const
{
    const QString dir = workDir();
    // Without the folder no working file is written anywhere: the library
    // fails to open an empty path and the command reports it.
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

QPushButton* TMainForm::makeButton(const char* name, int x, int y)
{
    auto* b = new QPushButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, 137, 27);
    b->setStyle(skin::blueGlassStyle());
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void TMainForm::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("CARD SHUTTLE"));
    // The skin is one picture with every control placed on it by the pixel;
    // stretched, it would leave bare areas or cut controls, so the window
    // manager is told the size is fixed.
    setFixedSize(660, 480);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 660, 480);
    Image1->setPixmap(QPixmap::fromImage(skin::backgroundPicture()));
    // Presses on the picture belong to the window: they move it.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

    ListView1 = new TSaveListView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(24, 87, 287, 225);
    ListView1->setPictures(&ImageList1);
    // Right button and menu key alike: the card's health commands.
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this, &TMainForm::showCardMenu);
    ListView2 = new TSaveListView(this);
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->setGeometry(353, 88, 287, 225);
    ListView2->setPictures(&ImageList2);
    ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView2, &QWidget::customContextMenuRequested, this, &TMainForm::showPcMenu);

    ProgressBar1 = new skin::TSmoothBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(326, 59, 10, 248);
    ProgressBar1->setRange(0, 10);
    ProgressBar1->setStep(1);

    USbImage = new QLabel(this);
    USbImage->setObjectName(QStringLiteral("USbImage"));
    USbImage->setGeometry(181, 346, 33, 22);
    USbImage->setPixmap(QPixmap::fromImage(skin::usbPicture()));
    USbImage->hide();

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(216, 347, 62, 18);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(280, 348, 208, 18);
    Label1->setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 8));
    for (QLabel* l : {Label1, Label2})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Over the skin's "PC" heading, in its colours, while a second card is
    // shown on that side.
    PaneTitle = new QLabel(this);
    PaneTitle->setObjectName(QStringLiteral("PaneTitle"));
    PaneTitle->setGeometry(378, 59, 262, 24);
    PaneTitle->setAutoFillBackground(true);
    {
        QPalette p = PaneTitle->palette();
        p.setColor(QPalette::Window,
                   skin::backgroundPicture().pixelColor(PaneTitle->geometry().center()));
        p.setColor(QPalette::WindowText, QColor(0xDC, 0xEC, 0xFF));
        PaneTitle->setPalette(p);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(12);
        f.setBold(true);
        PaneTitle->setFont(f);
    }
    PaneTitle->hide();

    UpDateBtn = makeButton("UpDateBtn", 25, 339);
    ReadCardBtn = makeButton("ReadCardBtn", 26, 380);
    WriteCardBtn = makeButton("WriteCardBtn", 176, 380);
    DownLoadBtn = makeButton("DownLoadBtn", 340, 381);
    UpLoadBtn = makeButton("UpLoadBtn", 498, 380);
    DeleteBtn = makeButton("DeleteBtn", 26, 421);
    EditBtn = makeButton("EditBtn", 176, 421);
    EmailBtn = makeButton("EmailBtn", 341, 422);
    ExitBtn = makeButton("ExitBtn", 498, 422);
    changebtn = makeButton("changebtn", 498, 340);
    // In the status box, where the card's size stands otherwise: beside the
    // text that says what the batch is doing.
    CancelBtn = makeButton("CancelBtn", 174, 342);
    CancelBtn->resize(102, 24);
    CancelBtn->hide();
    connect(CancelBtn, &QPushButton::clicked, this, [this] {
        fCancel = true;
        CancelBtn->setEnabled(false);
    });

    CloseBtn = new skin::TPictureButton(skin::TPictureButton::Glyph::Close, this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->move(620, 3);
    MinBtn = new skin::TPictureButton(skin::TPictureButton::Glyph::Minimise, this);
    MinBtn->setObjectName(QStringLiteral("MinBtn"));
    MinBtn->move(592, 3);

    SendMail1 = new TSendMail(this);

    connect(UpDateBtn, &QPushButton::clicked, this, &TMainForm::UpDateBtnClick);
    connect(ReadCardBtn, &QPushButton::clicked, this, &TMainForm::ReadCardBtnClick);
    connect(WriteCardBtn, &QPushButton::clicked, this, &TMainForm::WriteCardBtnClick);
    connect(DownLoadBtn, &QPushButton::clicked, this, &TMainForm::DownLoadBtnClick);
    connect(UpLoadBtn, &QPushButton::clicked, this, &TMainForm::UpLoadBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TMainForm::DeleteBtnClick);
    connect(EditBtn, &QPushButton::clicked, this, &TMainForm::EditBtnClick);
    connect(EmailBtn, &QPushButton::clicked, this, &TMainForm::EmailBtnClick);
    connect(changebtn, &QPushButton::clicked, this, &TMainForm::changebtnClick);
    connect(ExitBtn, &QPushButton::clicked, this, &TMainForm::ExitBtnClick);
    connect(CloseBtn, &QAbstractButton::clicked, this, &TMainForm::CloseBtnClick);
    connect(MinBtn, &QAbstractButton::clicked, this, &TMainForm::MinBtnClick);
    connect(ListView1, &TSaveListView::doubleClicked, this, &TMainForm::ListView1DblClick);
    connect(ListView2, &TSaveListView::doubleClicked, this, &TMainForm::ListView2DblClick);
    connect(ListView1, &TSaveListView::droppedFrom, this, &TMainForm::ListView1DragDrop);
    ListView1->setAcceptsSaveFiles(true);
    connect(ListView1, &TSaveListView::filesDropped, this, &TMainForm::ListView1FilesDropped);
    // A card image dropped on the card list is opened there, as "Open card
    // image…" in the Cards submenu does.
    connect(ListView1, &TSaveListView::cardImageDropped, this, [this](const QString& path) {
        showCardOnCardSide(*this, QStringLiteral("image:") + path, cardsEnvironment());
    });
    connect(ListView2, &TSaveListView::droppedFrom, this, &TMainForm::ListView2DragDrop);
    setUpKeyboard();
    keepOneSelection();
}

void TMainForm::FormCreate()
{
    OkBtnForm = new TOkBtnForm(this);
    Translation();
    UpDateBtn->setEnabled(true);
    ExitBtn->setEnabled(true);
    applyCard(probeCard(window()));
    // What an upload may count on before the first listing.
    FreeBlock = fCard.state == CardState::Ready ? GCLINK::Max_block : 0;
    Enable_Btn(false);
    sys_dir = dataDir();
    // mkdtemp makes the folder with mode 0700.
    // Named as the start-up clean-up knows our folders, so that one left by
    // a run that was killed is removed by the next.
    fWork = std::make_unique<QTemporaryDir>(workFolderPattern());
    // Made before it is listed, so that it can be followed from the start.
    QDir().mkpath(saverDir());
    GetFilePIC();
    ENBtn_click();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(windowPlacement(size(), screen->availableGeometry()));
}

void TMainForm::Translation()
{
    const i18n::Language lang = i18n::languageFor(languageId());
    i18n::fillTexts(lang);
    for (const auto& c : i18n::captionsFor(lang))
        if (auto* b = findChild<QPushButton*>(c.button.toString()))
            b->setText(c.caption.toString());
    CancelBtn->setText(say_cancel);
    if (lang != i18n::Language::Japanese)
        return;
    // The fonts that show interface texts get a family with Japanese glyphs.
    QList<QWidget*> widgets = {this, ListView1, ListView2, Label1, OkBtnForm->Label1};
    for (QPushButton* b : {UpDateBtn, ReadCardBtn, WriteCardBtn, DeleteBtn, DownLoadBtn, UpLoadBtn,
                           EditBtn, EmailBtn, ExitBtn, changebtn, CancelBtn})
        widgets.append(b);
    for (QWidget* w : widgets)
        w->setFont(skin::withJapaneseGlyphs(w->font()));
}

bool TMainForm::offWindow() const { return QThread::currentThread() != thread(); }

void TMainForm::OkBtnExe(const QString& text)
{
    onThreadOf(this, [&] { skin::dialogs().message(text); });
}

void TMainForm::Bar_Init(int min, int max)
{
    if (offWindow())
        return onThreadOf(this, [&] { Bar_Init(min, max); });
    ProgressBar1->setRange(min, max);
    ProgressBar1->setPosition(0);
    ProgressBar1->repaint();
}

void TMainForm::Bar_inc()
{
    if (offWindow())
        return onThreadOf(this, [&] { Bar_inc(); });
    ProgressBar1->setStep(1);
    ProgressBar1->stepIt();
    ProgressBar1->repaint();
}

void TMainForm::Bar_pos(int pos)
{
    if (offWindow())
        return onThreadOf(this, [&] { Bar_pos(pos); });
    ProgressBar1->setPosition(pos);
    ProgressBar1->repaint();
}

void TMainForm::Enable_Btn(bool enabled)
{
    if (offWindow())
        return onThreadOf(this, [&] { Enable_Btn(enabled); });
    for (QPushButton* b : {DownLoadBtn, EmailBtn})
        setButton(b, enabled);
    // A card image that may only be read keeps the commands that write off,
    // and says why on them.
    for (QPushButton* b : {DeleteBtn, UpLoadBtn, EditBtn}) {
        setButton(b, enabled && !fCard.readOnly);
        b->setToolTip(fCard.readOnly ? say_n_readonly : QString());
    }
}

void TMainForm::applyCard(const CardProbe& probe)
{
    if (offWindow())
        return onThreadOf(this, [&] { applyCard(probe); });
    fCard = probe;
    const bool ready = probe.state == CardState::Ready;
    if (!ready) {
        fListed = false;
        ListView1->clear();
        ImageList1.clear();
        Enable_Btn(false);
    }
    Label2->setText(ready ? GCLINK::Size : QString());
    // While a batch runs, its Cancel stands where the size is shown.
    USbImage->setVisible(ready && CancelBtn->isHidden());
    Label2->setVisible(CancelBtn->isHidden());
    setButton(ReadCardBtn, ready);
    setButton(WriteCardBtn, ready && !probe.readOnly);
    WriteCardBtn->setToolTip(ready && probe.readOnly ? say_n_readonly : QString());
    showFreeBlocks();
}

bool TMainForm::MaybeOk() const
{
    return buttonOn(DeleteBtn) && buttonOn(DownLoadBtn) && buttonOn(UpLoadBtn) &&
           buttonOn(EditBtn) && buttonOn(EmailBtn);
}

void TMainForm::ENBtn_click() { fSession.openGates(); }

bool TMainForm::enterGate(bool& gate) { return fSession.enterGate(gate); }

bool TMainForm::connectAdapter()
{
    fLinkOpened = fSession.open(mainDevice(), window());
    return fLinkOpened == MCB_OK;
}

WindowHost& TMainForm::host()
{
    if (!fHost)
        fHost = std::make_unique<WindowHost>(*this);
    return *fHost;
}

bool TMainForm::hasSelection(const TSaveListView* list, const QString& notice)
{
    if (!list->selectedItems().isEmpty())
        return true;
    OkBtnExe(notice);
    return false;
}

void TMainForm::showFreeBlocks()
{
    if (offWindow())
        return onThreadOf(this, [&] { showFreeBlocks(); });
    if (fListed)
        Label1->setText(i18n::freeBlockText(FreeBlock) +
                        (fCard.readOnly ? say_st_readonly : QString()));
    else if (fCard.state == CardState::Ready)
        Label1->setText(say_st_notlisted + (fCard.readOnly ? say_st_readonly : QString()));
    else
        Label1->setText(cardStatusText(fCard));
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, QColor(skin::cStatusIdle));
    Label1->setPalette(p);
}

void TMainForm::showBusy(const QString& text)
{
    if (offWindow())
        return onThreadOf(this, [&] { showBusy(text); });
    Label1->setText(text);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, QColor(skin::cStatusBusy));
    Label1->setPalette(p);
    Label1->repaint();
}

void TMainForm::OnProcess(uintptr_t, intptr_t)
{
    if (offWindow()) {
        // The window's thread is free and paints by itself; it is only told.
        emit cardProgress();
        return;
    }
    // Repaints and clicks are handled while the library works; the gates
    // keep other commands out.
    QCoreApplication::processEvents();
    // The command sized the bar before calling the library, so every message,
    // the count sent ahead of the steps included, moves it one step; the bar
    // stops at its end.
    stepBar();
}

void TMainForm::stepBar() { ProgressBar1->setPosition(ProgressBar1->position() + 1); }

void TMainForm::batchStarts()
{
    onThreadOf(this, [this] {
        // A close asked for before the batch began stops it before its first.
        fCancel = fQuitPending;
        CancelBtn->setEnabled(true);
        USbImage->hide();
        Label2->hide();
        CancelBtn->show();
    });
}

void TMainForm::batchEnds()
{
    onThreadOf(this, [this] {
        CancelBtn->hide();
        USbImage->setVisible(fCard.state == CardState::Ready);
        Label2->show();
    });
}

void TMainForm::deviceChanged()
{
    if (commandRunning()) {
        // Never under a running command: it would close the adapter in the
        // middle of a transfer.
        fDeviceChangePending = true;
        return;
    }
    WMDeviceChange();
}

void TMainForm::WMDeviceChange()
{
    // The relisting is card work too: while it runs, clicks on the command
    // buttons are ignored as they are during a command.
    CommandScope scope(*this);
    // Opened again however the relisting ends, an exception included.
    const GatesClosed closed(fSession);
    // Probed and read on the card's thread, as LIST does: a slow adapter
    // does not freeze the window meanwhile.
    workOffWindow(*fWorker, [this] {
        const CardProbe probe = probeCard(window());
        applyCard(probe);
        if (probe.state == CardState::Ready) {
            // Relisted as LIST would: the same buttons light up after it.
            if (connectAdapter() && ShowGC())
                Enable_Btn(true);
            else
                Enable_Btn(false);
            fLink.close();
            Bar_pos(0);
        }
    });
}

void TMainForm::commandEnded()
{
    // What changed on the image meanwhile is judged now: the program's own
    // writes were followed by a listing, which the watch compares with;
    // another program's change is read once it has finished.
    if (fWatcher)
        QTimer::singleShot(0, fWatcher.get(), &DeviceWatcher::look);
    if (fFolderChangePending) {
        fFolderChangePending = false;
        GetFilePIC();
    }
    if (fDeviceChangePending) {
        fDeviceChangePending = false;
        WMDeviceChange();
    }
    if (fQuitPending) {
        fQuitPending = false;
        QTimer::singleShot(0, this, [this] { quitAction(); });
    }
    emit commandFinished();
}

void TMainForm::startDeviceWatch()
{
    fWatcher = std::make_unique<DeviceWatcher>();
    connect(fWatcher.get(), &DeviceWatcher::changed, this, &TMainForm::deviceChanged);
    fWatcher->setBusy([this] { return commandRunning(); });
    fWatcher->start();
}

void TMainForm::ExitBtnClick() { close(); }

// The window's own close glyph and the window manager's close end the program
// the same way CLOSE does: after the same question, and never under a
// running command.
void TMainForm::CloseBtnClick() { close(); }

void TMainForm::MinBtnClick() { showMinimized(); }

void TMainForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (fAskingToQuit)
        return; // a second close while the question is open
    fAskingToQuit = true;
    const bool yes = skin::dialogs().askYesNo(Say_ask_Exit, windowTitle());
    fAskingToQuit = false;
    if (!yes)
        return;
    if (commandRunning()) {
        // Once the card is left whole: the save being written is finished,
        // a batch stops before its next one, and the program ends then.
        fQuitPending = true;
        fCancel = true;
        return;
    }
    event->accept();
    QWidget::closeEvent(event);
    quitAction();
}

void TMainForm::mousePressEvent(QMouseEvent* event)
{
    // The window has no frame: it is moved by any point of its own surface.
    if (event->button() == Qt::LeftButton) {
        emit windowMoveRequested();
        if (QWindow* w = windowHandle())
            w->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TMainForm::appendPicture(QList<QPixmap>& list, const QPixmap& picture)
{
    list.append(picture.isNull() ? fPlaceholder : picture);
}

void TMainForm::holdButtons(bool held)
{
    if (held == fHeldButtons.has_value())
        return;
    if (held) {
        fFocusBeforeHold = focusWidget();
        fHeldButtons.emplace();
        for (QPushButton* b : {UpDateBtn, ReadCardBtn, WriteCardBtn, DownLoadBtn, UpLoadBtn,
                               DeleteBtn, EditBtn, EmailBtn, changebtn}) {
            fHeldButtons->emplace_back(b, b->isEnabled());
            b->setEnabled(false);
        }
        return;
    }
    const auto kept = std::move(*fHeldButtons);
    fHeldButtons.reset();
    for (const auto& [b, enabled] : kept)
        b->setEnabled(enabled);
    // A button shown off lost the keyboard's focus; it gets it back.
    if (fFocusBeforeHold && fFocusBeforeHold->isEnabled() && fFocusBeforeHold->isVisible())
        fFocusBeforeHold->setFocus();
    fFocusBeforeHold = nullptr;
}

void TMainForm::workOffWindow(CardWorker& worker, const std::function<void()>& work)
{
    if (offWindow())
        return work();
    // Work nested in a command's (a list it relists) leaves the command's
    // hold to the command.
    const bool hold = !fHeldButtons;
    if (hold)
        holdButtons(true);
    try {
        worker.run(work);
    } catch (...) {
        if (hold)
            holdButtons(false);
        throw;
    }
    if (hold)
        holdButtons(false);
}

void TMainForm::setButton(QPushButton* button, bool enabled)
{
    if (fHeldButtons)
        for (auto& [b, on] : *fHeldButtons)
            if (b == button) {
                on = enabled;
                return;
            }
    button->setEnabled(enabled);
}

bool TMainForm::buttonOn(const QPushButton* button) const
{
    if (fHeldButtons)
        for (const auto& [b, on] : *fHeldButtons)
            if (b == button)
                return on;
    return button->isEnabled();
}
