// The menus: what their items allow in each state of the document, the
// shortcuts, the hidden items, the View choices and the status bar.
#include "save_edit_fixture.h"

#include "hexedit/hexeditor.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {

using MenusTest = SaveEditTest;

QAction* Checked(QMenu* aMenu)
{
    for (QAction* a : aMenu->actions())
        if (a->isCheckable() && a->isChecked() && a->actionGroup())
            return a;
    return nullptr;
}

QAction* Item(QMenu* aMenu, const QString& aCaption)
{
    for (QAction* a : aMenu->actions())
        if (a->text() == aCaption)
            return a;
    ADD_FAILURE() << "no item " << aCaption.toStdString();
    return nullptr;
}

// How far the document has come: each state is reached through the ones
// before it, as the user would reach it.
enum class DocumentState { Empty, Loaded, Changed, Undone };

struct FileMenuCase {
    const char* name;
    DocumentState state;
    bool save;
    bool data;
};

void PrintTo(const FileMenuCase& c, std::ostream* os) { *os << c.name; }

class FileMenu : public MenusTest, public testing::WithParamInterface<FileMenuCase> {};

TEST_P(FileMenu, OffersSavingAndPrintingAsTheDocumentAllows)
{
    const FileMenuCase& c = GetParam();
    form.HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    if (c.state >= DocumentState::Loaded)
        Load(QByteArray(32, '\x11'));
    if (c.state >= DocumentState::Changed)
        Key(Qt::Key_7);
    if (c.state >= DocumentState::Undone)
        Key(Qt::Key_Z, Qt::ControlModifier);
    Open(form.Datei1);
    EXPECT_EQ(form.Speichern1->isEnabled(), c.save);
    EXPECT_EQ(form.Speichernunter1->menuAction()->isEnabled(), c.data);
    EXPECT_EQ(form.Printpreview1->isEnabled(), c.data);
    EXPECT_EQ(form.Print1->isEnabled(), c.data);
    EXPECT_TRUE(form.Printsetup1->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    MenusTest, FileMenu,
    testing::Values(FileMenuCase{"EmptyDocument", DocumentState::Empty, false, false},
                    FileMenuCase{"Loaded", DocumentState::Loaded, false, true},
                    FileMenuCase{"Changed", DocumentState::Changed, true, true},
                    FileMenuCase{"ChangeUndone", DocumentState::Undone, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenusTest, TheEditMenuNamesTheUndoAndOffersWhatTheSelectionAndClipboardAllow)
{
    form.HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    Open(form.Bearbeiten1);
    for (QAction* a : {form.Goto1, form.Find1, form.FindNext1, form.Kopieren1, form.Einfgen1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();

    Load(QByteArray(32, '\x11'));
    Open(form.Bearbeiten1);
    EXPECT_FALSE(form.Rckgngig1->isEnabled());
    EXPECT_EQ(form.Rckgngig1->text(), QStringLiteral("Undo : No Undo"));
    for (QAction* a : {form.Goto1, form.Find1, form.FindNext1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(form.Ausschneiden1->isEnabled());
    EXPECT_FALSE(form.Kopieren1->isEnabled());
    EXPECT_FALSE(form.Einfgen1->isEnabled());
    EXPECT_FALSE(form.PasteText1->isEnabled());

    Key(Qt::Key_7);
    Open(form.Bearbeiten1);
    EXPECT_TRUE(form.Rckgngig1->isEnabled());
    EXPECT_EQ(form.Rckgngig1->text(), QStringLiteral("Undo : Byte changed"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Open(form.Bearbeiten1);
    EXPECT_EQ(form.Rckgngig1->text(), QStringLiteral("Undo : Append buffer"));
    // The append left its byte selected.
    EXPECT_TRUE(form.Ausschneiden1->isEnabled());
    EXPECT_TRUE(form.Kopieren1->isEnabled());

    QGuiApplication::clipboard()->setText(QStringLiteral("41"));
    Open(form.Bearbeiten1);
    EXPECT_TRUE(form.Einfgen1->isEnabled());
    EXPECT_TRUE(form.PasteText1->isEnabled());
}

TEST_F(MenusTest, AShortcutActsOnTheStateAsTheMenuWouldShowItNow)
{
    Load(QByteArray::fromHex("0001AB02"));
    // No menu was opened since the selection was made.
    form.HexEditor1->SetSelStart(1);
    form.HexEditor1->SetSelEnd(2);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("01AB"));

    form.HexEditor1->ResetSelection(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));

    form.HexEditor1->Seek(0, 0, true);
    Key(Qt::Key_5);
    ASSERT_EQ(Content().at(0), '\x50');
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Content(), QByteArray::fromHex("0001AB02"));
}

TEST_F(MenusTest, HiddenItemsStayUnreachableAndTheirShortcutsDoNothing)
{
    Load(QByteArray(20000, '\x22'));
    for (QMenu* m : {form.Datei1, form.Bearbeiten1, form.View1})
        Open(m);
    QList<QAction*> hidden = {form.Neu1,
                              form.ffnen1,
                              form.ImportfromHexText1,
                              form.Jump1->menuAction(),
                              form.Amount40001,
                              form.Jumpforward1,
                              form.Jumpbackward1,
                              form.Translation1->menuAction(),
                              form.Showmarkers1};
    hidden += form.Translation1->actions();
    for (QAction* a : hidden) {
        EXPECT_FALSE(a->isVisible()) << a->text().toStdString();
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    }
    Key(Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(form.HexEditor1->GetCursorPos(), 0);
    form.HexEditor1->Seek(10000, 0, true);
    Key(Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form.HexEditor1->GetCursorPos(), 10000);
}

// The form's menus and the value each item sets are reached through the form
// given, as the cases are made before any form exists.
struct RadioItemCase {
    const char* name;
    QMenu* TSaveEditForm::*menu;
    const char* caption;
    int (*value)(TSaveEditForm&);
    int expected;
};

void PrintTo(const RadioItemCase& c, std::ostream* os) { *os << c.name; }

class RadioItems : public MenusTest, public testing::WithParamInterface<RadioItemCase> {};

TEST_P(RadioItems, SetTheControlAndShowItsValueWhenOpened)
{
    const RadioItemCase& c = GetParam();
    Load(QByteArray(64, '\x33'));
    QMenu* menu = form.*c.menu;
    QAction* item = Item(menu, QString::fromLatin1(c.caption));
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(c.value(form), c.expected);
    // Set back behind the menu's back, then shown as it is when opened.
    for (QAction* other : menu->actions())
        if (other != item && other->actionGroup())
            other->setChecked(true);
    Open(form.View1);
    Open(form.Datei1);
    Open(menu);
    EXPECT_EQ(Checked(menu), item);
}

int LineSize(TSaveEditForm& f) { return f.HexEditor1->BytesPerLine(); }
int ColumnSize(TSaveEditForm& f) { return f.HexEditor1->BytesPerColumn(); }
int Caret(TSaveEditForm& f) { return int(f.HexEditor1->CaretStyle()); }
int Offsets(TSaveEditForm& f) { return int(f.HexEditor1->OffsetDisplay()); }
int PrintLayout(TSaveEditForm&) { return int(TSaveEditForm::CanvasDisplay); }

INSTANTIATE_TEST_SUITE_P(
    MenusTest, RadioItems,
    testing::Values(
        RadioItemCase{"LineSize32", &TSaveEditForm::Linesize1, "32 Bytes per line", LineSize, 32},
        RadioItemCase{"LineSize64", &TSaveEditForm::Linesize1, "64 Bytes per line", LineSize, 64},
        RadioItemCase{"ColumnSize4", &TSaveEditForm::Blocksize1, "4 Bytes per column", ColumnSize,
                      4},
        RadioItemCase{"ColumnSize2", &TSaveEditForm::Blocksize1, "2 Bytes per column", ColumnSize,
                      2},
        RadioItemCase{"CaretBottomLine", &TSaveEditForm::Caretstyle1, "Bottom line", Caret,
                      csBottomLine},
        RadioItemCase{"OctalOffsets", &TSaveEditForm::Offsetdisplay1, "Octal", Offsets, odOctal},
        RadioItemCase{"NoOffsets", &TSaveEditForm::Offsetdisplay1, "None", Offsets, odNone},
        RadioItemCase{"DecimalPrintLayout", &TSaveEditForm::Printlayout1, "Decimal", PrintLayout,
                      odDec}),
    [](const auto& info) { return std::string(info.param.name); });

struct ViewToggleCase {
    const char* name;
    QAction* TSaveEditForm::*item;
    bool (*on)(THexEditor&);
};

void PrintTo(const ViewToggleCase& c, std::ostream* os) { *os << c.name; }

class ViewToggles : public MenusTest, public testing::WithParamInterface<ViewToggleCase> {};

TEST_P(ViewToggles, SwitchTheControlAndShowItsStateWhenOpened)
{
    const ViewToggleCase& c = GetParam();
    Load(QByteArray(64, '\x33'));
    THexEditor& e = *form.HexEditor1;
    QAction* item = form.*c.item;
    const bool before = c.on(e);
    item->trigger();
    EXPECT_EQ(c.on(e), !before);
    item->setChecked(before);
    Open(form.View1);
    Open(form.Caretstyle1);
    EXPECT_EQ(item->isChecked(), !before);
    item->trigger();
    EXPECT_EQ(c.on(e), before);
}

INSTANTIATE_TEST_SUITE_P(
    MenusTest, ViewToggles,
    testing::Values(ViewToggleCase{"Grid", &TSaveEditForm::Grid1,
                                   [](THexEditor& e) { return e.GridLineWidth() == 1; }},
                    ViewToggleCase{"SwapNibbles", &TSaveEditForm::SwapNibbles1,
                                   [](THexEditor& e) { return e.SwapNibbles(); }},
                    ViewToggleCase{"MaskWhitespace", &TSaveEditForm::MaskWhitespaces1,
                                   [](THexEditor& e) { return e.MaskWhiteSpaces(); }},
                    ViewToggleCase{"FixedFileSize", &TSaveEditForm::FixedFilesize1,
                                   [](THexEditor& e) { return e.NoSizeChange(); }},
                    ViewToggleCase{"AutoCaret", &TSaveEditForm::Auto1,
                                   [](THexEditor& e) { return e.AutoCaretMode(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenusTest, TheStatusBarShowsCaretSelectionModesAndSize)
{
    Load(QByteArray(32, '\x44'));
    auto panels = [&] {
        QStringList texts;
        for (int i = 0; i < 6; ++i)
            texts << form.StatusPanel(i)->text();
        return texts;
    };
    EXPECT_EQ(panels(), (QStringList{"Pos : 0", "", "", "", "OVW", "Size : 32"}));
    // Selected from right to left: the lower position still comes first.
    form.HexEditor1->SetSelStart(9);
    form.HexEditor1->SetSelEnd(3);
    Settle();
    EXPECT_EQ(panels(), (QStringList{"Pos : 9", "Sel : 3 - 9", "", "", "OVW", "Size : 32"}));
    form.HexEditor1->ResetSelection(true);
    Key(Qt::Key_Insert);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(panels(), (QStringList{"Pos : 32", "Sel : 32 - 32", "*", "", "INS", "Size : 33"}));
    form.HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    Settle();
    EXPECT_EQ(form.StatusPanel(3)->text(), QStringLiteral("R"));
}

TEST_F(MenusTest, TheLastStatusPanelHasRoomForTheSizeOfALargeSave)
{
    Load(QByteArray(64 + 1019 * 8192, '\x44'));
    QLabel* size = form.StatusPanel(5);
    EXPECT_EQ(size->text(), QStringLiteral("Size : 8347712"));
    EXPECT_GE(size->contentsRect().width(), size->fontMetrics().horizontalAdvance(size->text()));
}

} // namespace
