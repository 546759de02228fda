// TSaveEditForm: the window in which one save file is edited byte by byte.
// It turns its menu commands into calls on the hex control, shows the
// control's state in the status bar, asks before unsaved changes are lost,
// and tells its caller whether the user saved. Created once, hidden, and
// shown modally for each save.
#pragma once

#include "hexedit/hextypes.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QAction;
class QActionGroup;
class QEventLoop;
class QLabel;
class QMenu;
class QStatusBar;
class THexEditor;
class THexToCanvas;

class TSaveEditForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TSaveEditForm(QWidget* aParent = nullptr);
    ~TSaveEditForm() override;

    // ---- Controls -----------------------------------------------------------
    THexEditor* HexEditor1;
    QStatusBar* StatusBar1;
    THexToCanvas* HexToCanvas1;

    QMenu* Datei1;
    QAction* Neu1;
    QAction* ffnen1;
    QAction* Speichern1;
    QMenu* Speichernunter1;
    QAction* AnyFile1;
    QAction* HexText1;
    QAction* ImportfromHexText1;
    QMenu* Printlayout1;
    QAction* Hex2;
    QAction* Decimal1;
    QAction* Octal2;
    QAction* Printpreview1;
    QAction* Printsetup1;
    QAction* Print1;
    QAction* Beenden1;

    QMenu* Bearbeiten1;
    QAction* Rckgngig1;
    QAction* Ausschneiden1;
    QAction* Kopieren1;
    QAction* Einfgen1;
    QAction* PasteText1;
    QAction* Goto1;
    QMenu* Jump1;
    QAction* Amount40001;
    QAction* Jumpforward1;
    QAction* Jumpbackward1;
    QAction* Find1;
    QAction* FindNext1;

    QMenu* View1;
    QMenu* Linesize1;
    QMenu* Blocksize1;
    QMenu* Caretstyle1;
    QAction* Auto1;
    QMenu* Offsetdisplay1;
    QMenu* Translation1;
    QAction* Grid1;
    QAction* Showmarkers1;
    QAction* SwapNibbles1;
    QAction* MaskWhitespaces1;
    QAction* FixedFilesize1;

    // ---- Fields the caller reads and clears ---------------------------------
    bool Savepoint = false;
    // The user saved the caller's working copy while the window was shown
    // (a save to another file leaves the caller nothing to write back).
    bool ischanged = false;

    // ---- State kept for the whole run, across every use of the window -------
    static inline int32_t FindPos = -1;
    static inline QByteArray FindBuf;
    static inline int32_t FindLen = 0;
    static inline QString FindStr;
    static inline bool FindICase = false;
    // The last entry was hex digits rather than characters.
    static inline bool FindHex = false;
    static inline int32_t JumpOffs = 4000;
    static inline TOffsetDisplayStyle CanvasDisplay = odHex;

    // ---- Operations ---------------------------------------------------------
    // Shows the window and returns when it has closed.
    void ShowModal();
    // May the document be dropped? Asks about unsaved changes.
    bool CheckChanges();
    // Whether the document was written, and so whether the caller's working
    // copy (the file named when the document was named) now holds it.
    struct Saved {
        bool ok = false;
        bool callers = false;
    };
    Saved SaveFile();
    void Error(const QString& aMessage);
    void AppendByte();
    // A status bar panel, 0 to 5.
    QLabel* StatusPanel(int aIndex) const { return fPanels.at(std::size_t(aIndex)); }
    // The status line beside the panels: what the last search had to do.
    QLabel* StatusNotice() const { return fNotice; }
    // What the user sees the document called: in the title bar, the close
    // query, on printed pages. A caller that hands the window a working copy
    // names the original here; empty names the document by its file.
    const QString& DocumentName() const { return fDocumentName; }
    void SetDocumentName(const QString& aName);

public slots:
    // Run as each menu opens: its entries follow the document's state.
    void Datei1Click();
    void Bearbeiten1Click();
    void View1Click();
    void Blocksize1Click();
    void Caretstyle1Click();
    void Offsetdisplay1Click();
    void Printlayout1Click();
    void Jump1Click();

    // File menu.
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void AnyFile1Click();
    void HexText1Click();
    void ImportfromHexText1Click();
    void Printpreview1Click();
    void Printsetup1Click();
    void Print1Click();
    void Beenden1Click();

    // Edit menu.
    void Rckgngig1Click();
    void Ausschneiden1Click();
    void Kopieren1Click();
    void Einfgen1Click();
    void PasteText1Click();
    void Goto1Click();
    void Amount40001Click();
    void Jumpforward1Click();
    void Jumpbackward1Click();
    void Find1Click();
    void FindNext1Click();

    // View menu.
    void Grid1Click();
    void Showmarkers1Click();
    void SwapNibbles1Click();
    void MaskWhitespaces1Click();
    void FixedFilesize1Click();

    // The hex control's events.
    void HexEditor1StateChanged(THexEditor* Sender);
    void HexEditor1KeyDown(THexEditor* Sender, int& Key, Qt::KeyboardModifiers Shift);

protected:
    bool event(QEvent* aEvent) override;
    void closeEvent(QCloseEvent* aEvent) override;
    void hideEvent(QHideEvent* aEvent) override;
    void changeEvent(QEvent* aEvent) override;

private:
    void BuildHexEditor();
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildStatusBar();
    QAction* AddItem(QMenu* aMenu, const char* aName, const QString& aCaption,
                     void (TSaveEditForm::*aHandler)(), const QKeySequence& aShortcut = {});
    // A submenu of radio items, each carrying its value as its tag.
    QActionGroup* AddRadioItems(QMenu* aMenu, const QList<std::pair<QString, int>>& aItems,
                                void (TSaveEditForm::*aGroupHandler)(int));
    static void Hide(QAction* aItem);
    static void CheckTag(QActionGroup* aGroup, int aTag);
    void FormActivate();
    void RefreshAllMenus();

    void Linesize1Click(int aTag);
    void Blocksize1Choose(int aTag);
    void Caretstyle1Choose(int aTag);
    void Offsetdisplay1Choose(int aTag);
    void Translation1Choose(int aTag);
    void Printlayout1Choose(int aTag);
    void Auto1Click();

    // The save dialog: title "Save as", all files, asking before replacing.
    std::optional<QString> RunSaveDialog();
    std::optional<QString> RunOpenDialog();
    void CopySelection();
    // Bytes a typed or pasted text stands for, one per character.
    static QByteArray AnsiBytes(const QString& aText);
    void SelectMatch();
    // Searches for FindBuf from aStart, going round past the end once.
    void SearchFrom(int32_t aStart);
    void ShowNotice(const QString& aText);
    void JumpBy(int64_t aDistance);
    // Readies the renderer for paper and preview in the chosen byte format.
    void PrepareRenderer();
    // The document's name for the user: its display name, else its file.
    QString ShownName() const;

    QActionGroup* fLineSizes = nullptr;
    QActionGroup* fColumnWidths = nullptr;
    QActionGroup* fCaretStyles = nullptr;
    QActionGroup* fOffsetStyles = nullptr;
    QActionGroup* fTranslations = nullptr;
    QActionGroup* fPrintLayouts = nullptr;
    std::array<QLabel*, 6> fPanels{};
    QLabel* fNotice = nullptr;
    // The selection the notice speaks of; once it changes the notice is old.
    std::pair<int32_t, int32_t> fNoticeAt{-1, -1};
    QString fDocumentName;
    // The working copy a caller handed over with the document's name: only
    // a save to it is one the caller may write back.
    QString fCallersFile;
    QEventLoop* fModalLoop = nullptr;
};
