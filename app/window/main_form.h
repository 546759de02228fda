#pragma once

// The main window: two save lists, the progress bar, the status line and the
// ten command buttons on the skin, and the rules by which commands take
// turns while the card library works.

#include "cards/card_link.h"
#include "cards/card_session.h"
#include "cards/card_status.h"
#include "mcbridge.h"
#include "window/banner_cache.h"
#include "window/save_tooltip.h"

#include <QByteArray>
#include <QFileInfoList>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QFileSystemWatcher;
class QTimer;
class QMenu;
class QListWidgetItem;
class QPushButton;
class TChangeForm;
class TSaveEditForm;
class TOkBtnForm;
class TSaveListView;
class TSendMail;
class DeviceWatcher;
class QTemporaryDir;
class SecondCard;
class WindowHost;
class CardWorker;
struct CardSave;
namespace skin {
class TFocusMark;
class TPictureButton;
class TSmoothBar;
} // namespace skin

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Controls -----------------------------------------------------------
    QLabel* Image1;
    TSaveListView* ListView1; // saves on the card
    TSaveListView* ListView2; // save files on the PC
    QList<QPixmap> ImageList1;
    QList<QPixmap> ImageList2;
    skin::TSmoothBar* ProgressBar1;
    QLabel* USbImage;
    QLabel* Label2;    // card size
    QLabel* Label1;    // status line
    QLabel* PaneTitle; // the PC side's heading while it shows a second card
    QPushButton* UpDateBtn;
    QPushButton* ReadCardBtn;
    QPushButton* WriteCardBtn;
    QPushButton* DownLoadBtn;
    QPushButton* UpLoadBtn;
    QPushButton* DeleteBtn;
    QPushButton* EditBtn;
    QPushButton* EmailBtn;
    QPushButton* ExitBtn;
    QPushButton* changebtn;
    skin::TPictureButton* CloseBtn;
    skin::TPictureButton* MinBtn;
    TOkBtnForm* OkBtnForm;
    TSendMail* SendMail1;
    TSaveEditForm* SaveEditForm = nullptr; // created after the main window, set by the program
    TChangeForm* ChangeForm = nullptr;     // created after the main window, set by the program

    // Where Translation gets the language identifier: the user's locale.
    // Tests choose the language here.
    static std::function<quint16()> languageId;
    // Ends the program (CloseBtn, a close deferred past a command); tests
    // watch it instead.
    std::function<void()> quitAction;

    // The card in the adapter as the commands see it: what is on it, the
    // card held open for a command, the gates. The window's names below
    // are its fields.
    CardSession fSession;
    // The window as every command's host.
    WindowHost& host();

    // ---- State --------------------------------------------------------------
    QString sys_dir;                          // the folder of the saver folder, chosen at start
    int& FreeBlock = fSession.freeBlocks;     // free save blocks as last computed
    std::optional<QStringList> strGameIDList; // game code of each card list item
    char StrGameName[36] = {};
    char StrGameID[6 + 1] = {};
    uint16_t WBlockCount = 0;
    int mapIndex = 0;
    // The command gates, one per command: list, back up card, restore card,
    // copy to file, copy to card, delete, edit, mail, region change.
    bool &b0 = fSession.b0, &b1 = fSession.b1, &b2 = fSession.b2, &b3 = fSession.b3,
         &b4 = fSession.b4, &b5 = fSession.b5, &b6 = fSession.b6, &b7 = fSession.b7,
         &b8 = fSession.b8;

    // ---- Operations ---------------------------------------------------------
    // Runs a command's body the one way every command runs: nothing when
    // gate is closed; otherwise the other gates closed and the command
    // marked running, the adapter opened (unless the command needs none; an
    // adapter that cannot be opened is named in a notice and the body does
    // not run), and on every way out of the body, an early return or an
    // exception included, the gates opened, the adapter closed and the bar
    // emptied.
    enum class Needs { Adapter, Nothing };
    //
    // Where::CardThread runs the body on the card's thread while the window
    // keeps painting; such a body reaches widgets only through the window's
    // own operations below, which carry themselves over to the window's
    // thread, and the dialogs, which are carried over while it runs.
    enum class Where { Window, CardThread };
    void runCommand(bool& gate, const std::function<void()>& body, Needs needs = Needs::Adapter,
                    Where where = Where::Window);
    void Translation();
    void OkBtnExe(const QString& text);
    void Bar_Init(int min, int max);
    void Bar_inc();
    void Bar_pos(int pos);
    void Enable_Btn(bool enabled);
    bool MaybeOk() const;
    void ENBtn_click();
    // Lists the card's saves; false (and the list empty, the free blocks
    // unknown) when its directory could not be read.
    bool ShowGC();
    void GetFilePIC();
    // The receiver of the library's progress, handed to each card opened.
    mcb_receiver* window() { return &fReceiver; }
    // The card a command works on, open for the command's length (null
    // outside one).
    mcb_card* link() const { return fLink.get(); }
    // WM_CARD_PROGRESS, sent by the library while a call runs: steps the bar.
    void OnProcess(uintptr_t wParam, intptr_t lParam);
    // WM_DEVICECHANGE: re-probes the adapter and the card.
    void WMDeviceChange();

    // Paths in the program's folder.
    QString saverDir() const { return sys_dir + QStringLiteral("/saver"); }
    QString saverPath(const QString& name) const { return saverDir() + QLatin1Char('/') + name; }
    // The working files (banner bitmaps, the editor's copy of a save and its
    // backup) live in a folder only this run can enter, made at start and
    // removed with the window, so they never replace a file of the user's.
    // Empty when no such folder could be made.
    QString workDir() const;
    QString workPath(const QString& name) const;
    // The path of a save file in the file list, as the system spells it.
    QByteArray filePathOf(const QListWidgetItem* item) const;
    // The banners decoded so far, by save file and by card entry.
    const BannerCache& banners() const { return fBanners; }
    const CardDescriptions& descriptions() const { return fDescriptions; }
    const FileDescriptions& fileDescriptions() const { return fFileDescriptions; }

    // The idle status line in the quiet colour: the free blocks once the
    // card was listed, otherwise what stands in the way of listing it.
    void showFreeBlocks();
    // Takes what a probe of the adapter found: the size label, the whole-card
    // buttons, the status line. Forgets the last listing unless the card
    // is ready.
    void applyCard(const CardProbe& probe);
    const CardProbe& card() const { return fCard; }
    bool cardListed() const { return fListed; }
    // A busy text in the busy colour.
    void showBusy(const QString& text);

    // True while a command (or a device-change relisting) works.
    bool commandRunning() const { return fBusy > 0; }
    // A device change: handled now, or after the running command.
    void deviceChanged();
    DeviceWatcher* deviceWatcher() const { return fWatcher.get(); }
    // The watcher is started by the program; tests leave it off.
    void startDeviceWatch();

    // Stops a batch between saves: visible only while one runs.
    QPushButton* CancelBtn = nullptr;
    // Shows Cancel for a batch about to start, and forgets an earlier stop.
    void batchStarts();
    void batchEnds();
    // True once the user stopped the running batch (any thread).
    bool batchCancelled() const { return fCancel.load(); }
    // The card's thread, while a command runs there (tests hold it in a
    // read to see the window answer).
    CardWorker* cardWorker() const { return fWorker.get(); }

public slots:
    void UpDateBtnClick();
    void ReadCardBtnClick();
    void WriteCardBtnClick();
    void DownLoadBtnClick();
    void UpLoadBtnClick();
    void DeleteBtnClick();
    void EditBtnClick();
    void EmailBtnClick();
    void changebtnClick();
    void ExitBtnClick();
    void CloseBtnClick();
    void MinBtnClick();
    void ListView1DblClick();
    void ListView2DblClick();
    void ListView1DragDrop(TSaveListView* source);
    // Save files dropped on the card list from a file manager: copied to
    // the card as the upload command copies the folder's.
    void ListView1FilesDropped(const QStringList& paths);
    // The card list's context menu (right button, menu key) and its entries.
    void showCardMenu(const QPoint& at);
    void CheckCardClick();
    void RepairCardClick();
    void RecoverCardClick();
    // Every save at once: the card's into the save folder, the folder's onto
    // the card; the save list's context menu offers the second.
    void CopyAllToPcClick();
    void CopyAllToCardClick();
    void ListView2DragDrop(TSaveListView* source);
    // The PC list's context menu: a second card there instead of the folder.
    void showPcMenu(const QPoint& at);
    void ShowCardHereClick();
    void ShowAdapterHereClick();
    void ShowSaveFolderClick();

signals:
    // A press on the window's own surface, which moves the window.
    void windowMoveRequested();
    // A command has ended and everything it deferred has run.
    void commandFinished();
    // The library's progress from the card's thread, queued to the bar.
    void cardProgress();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class CommandScope;
    friend class WindowHost; // lists the second card again for a command
    void FormCreate();
    void buildControls();
    QPushButton* makeButton(const char* name, int x, int y);
    void setUpKeyboard();
    void keepOneSelection();
    // Gate check: false when gate is closed; otherwise closes the other eight.
    bool enterGate(bool& gate);
    void commandEnded();
    bool connectAdapter(); // opens the card every command reaches as link()
    // False, after telling the user, when nothing is selected in list.
    bool hasSelection(const TSaveListView* list, const QString& notice);
    // Adds a picture for the next item, or a placeholder when there is none,
    // so every item keeps its own picture.
    void appendPicture(QList<QPixmap>& list, const QPixmap& picture);
    // The banner of a card save, from the cache when its entry is unchanged,
    // else from bitmap (read only for such saves); its entry joins listed.
    QPixmap cardPicture(const SlotEntry& entry, const QByteArray& bitmap, QSet<QByteArray>& listed);
    // Follows the save folder and the files listed in it.
    void watchSaverFolder(const QStringList& files);
    void saverFolderChanged();

    mcb_receiver fReceiver{};
    CardLink& fLink = fSession.link;
    int fLinkOpened = MCB_OK; // what the last connectAdapter's open returned
    CardProbe& fCard = fSession.probe;
    BannerCache fBanners;
    CardDescriptions fDescriptions;
    FileDescriptions fFileDescriptions;
    QFileSystemWatcher* fFolderWatch = nullptr;
    QTimer* fFolderSettle = nullptr;
    bool fFolderChangePending = false;
    bool& fListed = fSession.listed; // FreeBlock was read from the card's directory
    int fBusy = 0;
    bool fDeviceChangePending = false;
    bool fQuitPending = false;
    bool fAskingToQuit = false;
    std::unique_ptr<DeviceWatcher> fWatcher;
    std::unique_ptr<CardWorker> fWorker;
    // The second card's own thread: its listing reads the card there while
    // the window paints, as the first card's commands read theirs on
    // fWorker's.
    std::unique_ptr<CardWorker> fSecondWorker;
    // Card work the window waits for without freezing: run on worker's
    // thread with the command buttons held as for a command's body (unless
    // a command holds them already); at once when the caller is off the
    // window's thread already.
    void workOffWindow(CardWorker& worker, const std::function<void()>& work);
    std::atomic<bool> fCancel{false};
    // True on a thread other than the window's: the caller is a command on
    // the card's thread, and widget work is carried over.
    bool offWindow() const;
    // While a command works on the card's thread the window stays live: the
    // command buttons are shown off, and what the command sets them to
    // meanwhile takes effect when it ends.
    void holdButtons(bool held);
    void setButton(QPushButton* button, bool enabled);
    bool buttonOn(const QPushButton* button) const;
    std::optional<std::vector<std::pair<QPushButton*, bool>>> fHeldButtons;
    QPointer<QWidget> fFocusBeforeHold;
    void stepBar();
    std::unique_ptr<QTemporaryDir> fWork;
    QPixmap fPlaceholder;
    // The card list's context menu while it is open, for tests.
    QMenu* fCardMenu = nullptr;

    // The card shown on the PC side instead of the save folder, if any, and
    // the PC list's context menu while it is open.
    std::unique_ptr<SecondCard> fSecond;
    QMenu* fPcMenu = nullptr;
    skin::TFocusMark* fFocusMark = nullptr;
    void showSecondCard(const QString& device);
    bool ShowSecondCard(); // lists it on the PC side; false (and why) when it cannot be read
    void showPaneTitle();
    void copyAllCardToCard(bool toSecond);
    CardDescriptions fSecondDescriptions;
    int fSecondFree = 0;
    void CopyCardToCard(bool toSecond);
    // The second card, open while a command copies to or from it.
    CardLink fSecondLink;
    // A save file to copy to the card: its name, its path as the system
    // spells it, and what the question before replacing a save names.
    std::unique_ptr<WindowHost> fHost;

public:
    QMenu* cardMenu() const { return fCardMenu; }
    QMenu* pcMenu() const { return fPcMenu; }
    const SecondCard* secondCard() const { return fSecond.get(); }
    // The second card's thread, while its listing runs there (tests hold it
    // in a read to see the window answer).
    CardWorker* secondCardWorker() const { return fSecondWorker.get(); }
    skin::TFocusMark* focusMark() const { return fFocusMark; }
};

// Marks a command as running for its whole life; when the last one ends,
// what arrived meanwhile (a device change, a request to quit) is handled.
class CommandScope {
public:
    explicit CommandScope(TMainForm& form) : fForm(form) { ++form.fBusy; }
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    TMainForm& fForm;
};
