// Undo and History… in the program: each kind of change the program makes
// undone from the window, the card byte for byte as before; refused after a
// change made elsewhere; several undone at once; one record per command.
#include "app_fixture.h"
#include "i18n/texts.h"

#include "commands/undo_command.h"
#include "window/history_window.h"
#include "window/undo_menu.h"

#include "hexedit/hexeditor.h"

#include "mcbridge/cardfs.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

// The card as a console reads it: the system area byte for byte, and every
// block that either map copy of expected marks used. The journal keeps what
// belonged to saves; blocks that were free and held nothing keep what a
// change wrote there, unseen by any directory.
::testing::AssertionResult sameCard(const std::vector<uint8_t>& expected,
                                    const std::vector<uint8_t>& actual)
{
    using namespace mcb;
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "the card's size changed";
    const auto blockEqual = [&](std::size_t b) {
        return std::equal(expected.begin() + std::ptrdiff_t(b * kBlockSize),
                          expected.begin() + std::ptrdiff_t((b + 1) * kBlockSize),
                          actual.begin() + std::ptrdiff_t(b * kBlockSize));
    };
    for (std::size_t b = 0; b < kSystemBlocks; ++b)
        if (!blockEqual(b))
            return ::testing::AssertionFailure() << "system block " << b << " differs";
    for (unsigned m : kMapBlock)
        for (std::size_t b = kSystemBlocks; b < expected.size() / kBlockSize; ++b) {
            const std::size_t entry = m * kBlockSize + 2 * b;
            if ((expected[entry] || expected[entry + 1]) && !blockEqual(b))
                return ::testing::AssertionFailure() << "save block " << b << " differs";
        }
    return ::testing::AssertionSuccess();
}

class UndoTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // The journal in the test's folder; every other test keeps it off.
        qputenv("MCBRIDGE_JOURNAL", QFile::encodeName(QString::fromStdString(dir.file("journal"))));
    }
    void TearDown() override
    {
        AppTest::TearDown();
        qputenv("MCBRIDGE_JOURNAL", "off");
    }
    // A 4 Mbit card with alpha and beta, listed.
    void twoSaves(quint16 language = 0x0409)
    {
        makeCard(4);
        placeOnCard(0, {.code = "GAAE01", .name = "alpha", .blocks = 2, .seed = 1}, 5);
        placeOnCard(1, {.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 2}, 7);
        start(language);
        listCard();
    }
    void upload(const char* file, const mcbtest::SaveSpec& spec)
    {
        putSaveFile(file, mcbtest::makeSaveFile(spec));
        form->GetFilePIC();
        select(form->ListView2, {file});
        dialogs.yesNo.push_back(true); // replace, when the card holds it
        form->UpLoadBtnClick();
    }
    void remove(const QString& name)
    {
        select(form->ListView1, {name});
        dialogs.yesNo.push_back(true);
        form->DeleteBtnClick();
    }
    // The card list's context menu's Undo entry as it is shown: its text
    // and whether it can be chosen.
    std::pair<QString, bool> undoEntry()
    {
        std::pair<QString, bool> entry{"(no menu)", false};
        QTimer::singleShot(0, [&] {
            if (QMenu* m = form->cardMenu()) {
                if (auto* a = m->findChild<QAction*>("undoEntry"))
                    entry = {a->text(), a->isEnabled()};
                m->close();
            }
        });
        form->showCardMenu(QPoint(5, 5));
        return entry;
    }
    std::size_t records() { return cardSideRecords().size(); }
    // Another program (or a console) writes the card: through a handle of
    // its own that keeps no journal.
    void deleteElsewhere(uint32_t slot)
    {
        mcb_card* other = nullptr;
        ASSERT_EQ(mcb_open(("image:" + cardPath).toLocal8Bit().constData(), &other), MCB_OK);
        mcb_set_journal(other, nullptr, MCB_JOURNAL_OFF);
        EXPECT_EQ(mcb_delete_save(other, slot, nullptr), MCB_OK)
            << mcb_strerror(mcb_card_error(other));
        mcb_close(other);
    }
};

// ---- Each kind of change undone, byte for byte -----------------------------

struct ChangeKind {
    const char* name;
    std::function<void(UndoTest&)> before; // what the card is like before the change
    std::function<void(UndoTest&)> change; // the change, made through the window
    QString entry;                         // the Undo entry it gives
    bool whole;                            // every byte back, free blocks too
};

void PrintTo(const ChangeKind& k, std::ostream* os) { *os << k.name; }

class UndoEachChange : public UndoTest, public ::testing::WithParamInterface<ChangeKind> {
public:
    // The test body's helpers, for the rows.
    using UndoTest::remove;
    using UndoTest::upload;
    void restoreWithGamma()
    {
        std::vector<uint8_t> source = cardImage();
        mcbtest::placeSave(
            source, 2, mcbtest::makeSaveFile({.code = "GCCE01", .name = "gamma", .blocks = 4}), 20);
        mcbtest::writeFile(dir.file("in.gcp"), source);
        dialogs.files.push_back(QString::fromStdString(dir.file("in.gcp")));
        form->WriteCardBtnClick();
    }
    void leakBlock()
    {
        image = cardImage();
        mcbtest::setMapEntryOnCard(image, 30, 0xFFFF);
        mcbtest::writeFile(cardPath.toStdString(), image);
    }
    void repair()
    {
        dialogs.yesNo.push_back(true);
        form->RepairCardClick();
    }
};

TEST_P(UndoEachChange, PutsTheCardBackByteForByte)
{
    twoSaves();
    GetParam().before(*this);
    const std::vector<uint8_t> before = cardImage();
    GetParam().change(*this);
    ASSERT_NE(cardImage(), before) << "the change changed nothing";
    EXPECT_EQ(undoEntry(), std::make_pair(GetParam().entry, true));

    dialogs = ScriptedDialogs();
    skin::installDialogs(&dialogs);
    dialogs.yesNo = {true};
    EXPECT_EQ(undoOnCard(*form), UndoCommand::Outcome::Undone);
    EXPECT_TRUE(sameCard(before, cardImage()));
    if (GetParam().whole)
        EXPECT_EQ(cardImage(), before);
    // Asked first, naming the change; told after; the list follows the card.
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(
        dialogs.questions[0].startsWith("Put the card back as it was before this change?\n\n• "))
        << dialogs.questions[0].toStdString();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("The card is back as it was before:"))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(qsizetype(names(form->ListView1).size()),
              qsizetype(mcb::inspectCard(cardImage()).saves.size()));
    // The undo is a change too: it can be undone in its turn.
    EXPECT_TRUE(undoEntry().first.startsWith("Undo undo to before #"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UndoEachChange,
    ::testing::Values(
        ChangeKind{"Upload", [](UndoTest&) {},
                   [](UndoTest& t) {
                       static_cast<UndoEachChange&>(t).upload(
                           "new.GCI", {.code = "GNNE01", .name = "new", .blocks = 4});
                   },
                   "Undo upload of new (GNNE01)…", false},
        ChangeKind{"Replace", [](UndoTest&) {},
                   [](UndoTest& t) {
                       static_cast<UndoEachChange&>(t).upload(
                           "beta.GCI", {.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 9});
                   },
                   "Undo replacement of beta (GBBE01)…", false},
        ChangeKind{"Delete", [](UndoTest&) {},
                   [](UndoTest& t) { static_cast<UndoEachChange&>(t).remove("alpha"); },
                   "Undo delete of alpha (GAAE01)…", true},
        ChangeKind{"Restore", [](UndoTest&) {},
                   [](UndoTest& t) { static_cast<UndoEachChange&>(t).restoreWithGamma(); },
                   "Undo whole-card write of gamma (GCCE01)…", true},
        ChangeKind{"Repair", [](UndoTest& t) { static_cast<UndoEachChange&>(t).leakBlock(); },
                   [](UndoTest& t) { static_cast<UndoEachChange&>(t).repair(); }, "Undo repair…",
                   true}),
    [](const ::testing::TestParamInfo<ChangeKind>& info) { return std::string(info.param.name); });

// ---- Refusals and the entry with nothing to undo ---------------------------

TEST_F(UndoTest, NothingToUndoLeavesTheEntryOffAndCtrlZSaysSo)
{
    twoSaves();
    EXPECT_EQ(undoEntry(), std::make_pair(QString("Undo"), false));
    const std::vector<uint8_t> before = cardImage();
    EXPECT_EQ(undoOnCard(*form), UndoCommand::Outcome::Nothing);
    EXPECT_EQ(dialogs.messages, QStringList{say_undo_nothing});
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(cardImage(), before);
}

// Ctrl+Z anywhere in the window undoes the latest change, asking first.
TEST_F(UndoTest, CtrlZUndoesTheLatestChange)
{
    twoSaves();
    const std::vector<uint8_t> before = cardImage();
    remove("alpha");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->ListView2->setFocus(Qt::TabFocusReason);
    dialogs.questions.clear();
    dialogs.yesNo = {true};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains("delete of alpha (GAAE01)"));
    EXPECT_EQ(cardImage(), before);
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta"}));
}

// Nothing is changed without its record: a journal folder that cannot be
// made leaves the card as it is, and the notice says why.
TEST_F(UndoTest, AChangeWithoutItsRecordIsRefusedAndSaysWhy)
{
    twoSaves();
    mcbtest::writeFile(dir.file("plain-file"), {1});
    qputenv("MCBRIDGE_JOURNAL",
            QFile::encodeName(QString::fromStdString(dir.file("plain-file/journal"))));
    const std::vector<uint8_t> before = cardImage();
    dialogs.messages.clear();
    remove("alpha");
    EXPECT_EQ(cardImage(), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("[" + say_why_journalfile + "]"))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta"}));
}

TEST_F(UndoTest, NoMeansTheCardStaysAsItIs)
{
    twoSaves();
    remove("alpha");
    const std::vector<uint8_t> after = cardImage();
    dialogs.yesNo = {false};
    EXPECT_EQ(undoOnCard(*form), UndoCommand::Outcome::Declined);
    EXPECT_EQ(cardImage(), after);
    EXPECT_EQ(records(), 1u);
}

// Another program deletes beta after the program deleted alpha: putting
// alpha back now would lose that change, so nothing is written.
struct ElsewhereCase {
    const char* name;
    quint16 language;
    QString entry; // the Undo entry before
    QString notice;
};

void PrintTo(const ElsewhereCase& c, std::ostream* os) { *os << c.name; }

class UndoAfterAChangeElsewhere : public UndoTest,
                                  public ::testing::WithParamInterface<ElsewhereCase> {};

TEST_P(UndoAfterAChangeElsewhere, IsRefusedInTheUsersLanguageAndLeavesTheCard)
{
    twoSaves(GetParam().language);
    remove("alpha");
    EXPECT_EQ(undoEntry().first, GetParam().entry);
    deleteElsewhere(1); // beta
    const std::vector<uint8_t> after = cardImage();
    dialogs.messages.clear();
    dialogs.yesNo = {true};
    EXPECT_EQ(undoOnCard(*form), UndoCommand::Outcome::ChangedElsewhere);
    EXPECT_EQ(cardImage(), after);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(GetParam().notice))
        << dialogs.messages[0].toStdString();
    // The list shows the card as it is, without beta.
    EXPECT_TRUE(names(form->ListView1).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, UndoAfterAChangeElsewhere,
    ::testing::Values(ElsewhereCase{"English", 0x0409, "Undo delete of alpha (GAAE01)…",
                                    "Nothing was undone: the card was changed elsewhere since"},
                      ElsewhereCase{"Japanese", 0x0411, "alpha (GAAE01) の削除を元に戻す…",
                                    "何も元に戻していません。このカードはその後ほかの場所"},
                      ElsewhereCase{"TraditionalChinese", 0x0404, "復原alpha (GAAE01) 的刪除…",
                                    "未復原任何內容：記憶卡之後已在別處被變更"}),
    [](const ::testing::TestParamInfo<ElsewhereCase>& info) {
        return std::string(info.param.name);
    });

// ---- Several at once, and one record per command ---------------------------

TEST_F(UndoTest, HistoryListsNewestFirstAndUndoesToTheChosenChange)
{
    twoSaves();
    const std::vector<uint8_t> before = cardImage();
    upload("new.GCI", {.code = "GNNE01", .name = "new", .blocks = 4});
    remove("alpha");
    remove("beta");
    ASSERT_EQ(names(form->ListView1), QStringList{"new"});

    THistoryWindow history(*form);
    QTreeWidget* list = history.list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(2), "delete");
    EXPECT_EQ(list->topLevelItem(0)->text(3), "beta (GBBE01)");
    EXPECT_EQ(list->topLevelItem(2)->text(2), "upload");
    EXPECT_EQ(list->topLevelItem(2)->text(3), "new (GNNE01)");
    EXPECT_EQ(list->topLevelItem(2)->text(1),
              QLocale().toString(history.records()[2].time, QLocale::ShortFormat));
    EXPECT_FALSE(history.undoButton()->isEnabled());

    dialogs = ScriptedDialogs();
    skin::installDialogs(&dialogs);
    dialogs.yesNo = {true};
    list->topLevelItem(2)->setSelected(true);
    ASSERT_TRUE(history.undoButton()->isEnabled());
    // The selected change in full under the list.
    EXPECT_EQ(history.details()->text(), recordLine(history.records()[2]));
    EXPECT_TRUE(history.details()->text().contains("upload of new (GNNE01)"));
    history.undoButton()->click();
    // The question names every change put back, newest first.
    ASSERT_EQ(dialogs.questions.size(), 1);
    const QString q = dialogs.questions[0];
    EXPECT_TRUE(q.startsWith("Put the card back as it was before these 3 changes"))
        << q.toStdString();
    const auto at = [&](const char* s) { return q.indexOf(QString::fromUtf8(s)); };
    EXPECT_LT(at("delete of beta (GBBE01)"), at("delete of alpha (GAAE01)"));
    EXPECT_LT(at("delete of alpha (GAAE01)"), at("upload of new (GNNE01)"));
    EXPECT_TRUE(sameCard(before, cardImage()));
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta"}));
    // The window lists the undo itself on top.
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(0)->text(2),
              "undo to before #" + QString::number(history.records()[3].number));
}

TEST_F(UndoTest, ABatchIsOneRecordAndOneUndo)
{
    twoSaves();
    for (const char* name : {"one", "two", "three"})
        putSaveFile(QString(name) + ".GCI", mcbtest::makeSaveFile({.name = name, .blocks = 1}));
    form->GetFilePIC();
    const std::vector<uint8_t> before = cardImage();
    form->CopyAllToCardClick();
    ASSERT_EQ(names(form->ListView1).size(), 5);
    const std::vector<JournalRecord> r = cardSideRecords();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].what, "upload");
    EXPECT_EQ(changeSummary(r[0]).left(22), "upload of one (GTSE01)");
    EXPECT_EQ(undoEntry().first, "Undo upload of one (GTSE01) and 2 more…");
    dialogs.yesNo = {true};
    EXPECT_EQ(undoOnCard(*form), UndoCommand::Outcome::Undone);
    EXPECT_TRUE(sameCard(before, cardImage()));
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta"}));
}

// An edit that renames the save writes the new save, then deletes the old
// one: two changes to the card, one record, one undo.
TEST_F(UndoTest, AnEditWrittenBackUnderANewNameIsOneRecord)
{
    twoSaves();
    const std::vector<uint8_t> before = cardImage();
    select(form->ListView1, {"alpha"});
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!editor->isVisible())
            return;
        editor->HexEditor1->Seek(8, 0, true);
        QTest::keyClicks(editor->HexEditor1, "41"); // "Alpha"
        editor->Speichern1Click();
        editor->close();
    });
    poll.start(5);
    form->EditBtnClick();
    poll.stop();
    ASSERT_EQ(names(form->ListView1), (QStringList{"beta", "Alpha"}));
    const std::vector<JournalRecord> r = cardSideRecords();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].what, "replacement");
    EXPECT_EQ(r[0].saves, "alpha (GAAE01), Alpha (GAAE01)");
    dialogs.yesNo = {true};
    EXPECT_EQ(undoOnCard(*form), UndoCommand::Outcome::Undone);
    EXPECT_TRUE(sameCard(before, cardImage()));
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta"}));
}

} // namespace
