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

TEST_F(MenusTest, TheFileMenuOffersSavingAndPrintingAsTheDocumentAllows)
{
    struct Case {
        const char* state;
        bool save;
        bool data;
    };
    auto expect = [&](const Case& c) {
        Open(form.Datei1);
        EXPECT_EQ(form.Speichern1->isEnabled(), c.save) << c.state;
        EXPECT_EQ(form.Speichernunter1->menuAction()->isEnabled(), c.data) << c.state;
        EXPECT_EQ(form.Printpreview1->isEnabled(), c.data) << c.state;
        EXPECT_EQ(form.Print1->isEnabled(), c.data) << c.state;
        EXPECT_TRUE(form.Printsetup1->isEnabled()) << c.state;
    };
    form.HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    expect({"empty", false, false});
    Load(QByteArray(32, '\x11'));
    expect({"loaded", false, true});
    Key(Qt::Key_7);
    expect({"changed", true, true});
    Key(Qt::Key_Z, Qt::ControlModifier);
    expect({"undone", false, true});
}

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

TEST_F(MenusTest, RadioItemsSetTheControlAndShowItsValueWhenOpened)
{
    Load(QByteArray(64, '\x33'));
    struct Case {
        QMenu* menu;
        const char* caption;
        std::function<int()> value;
        int expected;
    };
    THexEditor* e = form.HexEditor1;
    const std::vector<Case> cases = {
        {form.Linesize1, "32 Bytes per line", [e] { return e->BytesPerLine(); }, 32},
        {form.Linesize1, "64 Bytes per line", [e] { return e->BytesPerLine(); }, 64},
        {form.Blocksize1, "4 Bytes per column", [e] { return e->BytesPerColumn(); }, 4},
        {form.Blocksize1, "2 Bytes per column", [e] { return e->BytesPerColumn(); }, 2},
        {form.Caretstyle1, "Bottom line", [e] { return int(e->CaretStyle()); }, csBottomLine},
        {form.Offsetdisplay1, "Octal", [e] { return int(e->OffsetDisplay()); }, odOctal},
        {form.Offsetdisplay1, "None", [e] { return int(e->OffsetDisplay()); }, odNone},
        {form.Printlayout1, "Decimal", [] { return int(TSaveEditForm::CanvasDisplay); }, odDec},
    };
    for (const Case& c : cases) {
        QAction* item = Item(c.menu, QString::fromLatin1(c.caption));
        ASSERT_NE(item, nullptr);
        item->trigger();
        EXPECT_EQ(c.value(), c.expected) << c.caption;
        // Set back behind the menu's back, then shown as it is when opened.
        for (QAction* other : c.menu->actions())
            if (other != item && other->actionGroup())
                other->setChecked(true);
        Open(form.View1);
        Open(form.Datei1);
        Open(c.menu);
        EXPECT_EQ(Checked(c.menu), item) << c.caption;
    }
}

TEST_F(MenusTest, ViewTogglesSwitchTheControlAndShowItsStateWhenOpened)
{
    Load(QByteArray(64, '\x33'));
    THexEditor* e = form.HexEditor1;
    struct Case {
        QAction* item;
        std::function<bool()> on;
    };
    const std::vector<Case> cases = {
        {form.Grid1, [e] { return e->GridLineWidth() == 1; }},
        {form.SwapNibbles1, [e] { return e->SwapNibbles(); }},
        {form.MaskWhitespaces1, [e] { return e->MaskWhiteSpaces(); }},
        {form.FixedFilesize1, [e] { return e->NoSizeChange(); }},
        {form.Auto1, [e] { return e->AutoCaretMode(); }},
    };
    for (const Case& c : cases) {
        const bool before = c.on();
        c.item->trigger();
        EXPECT_EQ(c.on(), !before) << c.item->text().toStdString();
        c.item->setChecked(before);
        Open(form.View1);
        Open(form.Caretstyle1);
        EXPECT_EQ(c.item->isChecked(), !before) << c.item->text().toStdString();
        c.item->trigger();
        EXPECT_EQ(c.on(), before) << c.item->text().toStdString();
    }
}

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
