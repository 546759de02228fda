// Editing card saves: the editor on each selected save, and writing the
// edited save back without ever losing the card's copy.
#include "app_fixture.h"
#include "i18n/texts.h"

#include "hexedit/hexeditor.h"
#include "mcbridge/inspect.h"

#include <QFile>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

using mcbtest::readFile;

namespace {

const mcbtest::SaveSpec cAlpha{.code = "GAAE01", .name = "alpha", .blocks = 2, .seed = 1};
const mcbtest::SaveSpec cBeta{.code = "GBBE01", .name = "beta", .blocks = 1, .seed = 2};

// Types hex digits over the save file's bytes from pos.
void typeAt(TSaveEditForm& e, int32_t pos, const char* digits)
{
    e.HexEditor1->Seek(pos, 0, true);
    QTest::keyClicks(e.HexEditor1, QString::fromLatin1(digits));
}

void saveAndClose(TSaveEditForm& e)
{
    e.Speichern1Click();
    e.close();
}

} // namespace

class EditTest : public AppTest {
protected:
    void twoSaves()
    {
        makeCard(4);
        placeOnCard(0, cAlpha, 5);
        placeOnCard(1, cBeta, 7);
        start();
        listCard();
    }

    // Runs the edit command; each showing of the editor gets the next of
    // these as the user's doing.
    void edit(std::deque<std::function<void(TSaveEditForm&)>> sessions)
    {
        QTimer poll;
        bool inSession = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (inSession || !editor->isVisible())
                return;
            inSession = true;
            captions << editor->windowTitle();
            printedNames << editor->DocumentName();
            positions << editor->pos();
            fixedSize << editor->HexEditor1->NoSizeChange();
            if (sessions.empty()) {
                ADD_FAILURE() << "the editor was shown once too often";
                editor->hide();
            } else {
                auto session = sessions.front();
                sessions.pop_front();
                session(*editor);
                if (editor->isVisible()) {
                    ADD_FAILURE() << "a session left the editor open";
                    editor->hide();
                }
            }
            inSession = false;
        });
        poll.start(5);
        form->EditBtnClick();
        EXPECT_TRUE(sessions.empty()) << sessions.size() << " showings missing";
    }

    // The save of that name on the card: its file bytes as the card holds
    // them, entry first; empty when it is not there.
    std::vector<uint8_t> onCard(const std::string& name) const
    {
        const std::vector<uint8_t> image = cardImage();
        for (const mcb::SaveInfo& s : mcb::inspectCard(image).saves)
            if (s.name == name) {
                std::vector<uint8_t> blocks = mcbtest::blocksOf(image, s.firstBlock, s.blockCount);
                blocks.insert(blocks.begin(), 64, 0);
                return blocks;
            }
        return {};
    }
    static std::vector<uint8_t> dataOf(std::vector<uint8_t> file)
    {
        std::fill(file.begin(), file.begin() + 64, 0);
        return file;
    }

    QStringList captions;
    QStringList printedNames;
    QList<QPoint> positions;
    QList<bool> fixedSize;
};

TEST_F(EditTest, ClosingWithoutSavingLeavesTheCardAsItWas)
{
    twoSaves();
    const std::vector<uint8_t> before = cardImage();
    select(form->ListView1, {"alpha"});
    edit({[](TSaveEditForm& e) { e.close(); }});
    EXPECT_EQ(captions, QStringList{"File :GAAE01 alpha"});
    EXPECT_EQ(cardImage(), before);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(form->ListView1->selectedItems().isEmpty());
    EXPECT_EQ(form->Label1->text(), "  ( 56 )BLOCK FREE");
    // Centred over the main window.
    EXPECT_EQ(positions.value(0), QPoint(form->x() + (form->width() - editor->width()) / 2,
                                         form->y() + (form->height() - editor->height()) / 2));
    EXPECT_TRUE(form->b0 && form->b6 && form->b8);
}

TEST_F(EditTest, ASavedEditIsWrittenBackToTheCard)
{
    twoSaves();
    select(form->ListView1, {"alpha"});
    edit({[](TSaveEditForm& e) {
        typeAt(e, 64 + 100, "C0FFEE");
        saveAndClose(e);
    }});
    std::vector<uint8_t> expected = mcbtest::makeSaveFile(cAlpha);
    expected[164] = 0xC0, expected[165] = 0xFF, expected[166] = 0xEE;
    EXPECT_EQ(onCard("alpha"), dataOf(expected));
    EXPECT_EQ(onCard("beta"), dataOf(mcbtest::makeSaveFile(cBeta)));
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
    EXPECT_EQ(dialogs.messages, QStringList{"SAVER UPDATED"});
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta"}));
    EXPECT_EQ(form->ProgressBar1->position(), 0);
}

TEST_F(EditTest, TwoSelectedSavesAreEditedOneAfterTheOther)
{
    twoSaves();
    select(form->ListView1, {"alpha", "beta"});
    dialogs.answers = {skin::Answer::Yes}; // the close query's Yes
    edit({[](TSaveEditForm& e) {
              typeAt(e, 64, "11");
              saveAndClose(e);
          },
          [](TSaveEditForm& e) {
              typeAt(e, 64, "22");
              e.close();
          }});
    EXPECT_EQ(captions, (QStringList{"File :GAAE01 alpha", "File :GBBE01 beta"}));
    // The editor names the save, not the working file.
    EXPECT_EQ(printedNames, (QStringList{"GAAE01 alpha", "GBBE01 beta"}));
    EXPECT_EQ(dialogs.questions, QStringList{"Save changes to\r\nGBBE01 beta ?"});
    EXPECT_EQ(onCard("alpha").at(64), 0x11);
    EXPECT_EQ(onCard("beta").at(64), 0x22);
    EXPECT_EQ(dialogs.messages, QStringList{"SAVER UPDATED"});
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
}

TEST_F(EditTest, AWriteBackTheAdapterBreaksOffNeverLosesTheSave)
{
    // Sectors written before the link drops: in the edited save's two
    // blocks, in the first copies of directory and map (after which the card
    // is on the new directory), in the second copies, and never.
    for (int cut : {1, 16, 33, 48, 63, 64, 80, 97, 500}) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " writes");
        change.reset();
        form.reset();
        twoSaves();
        dialogs.messages.clear();
        select(form->ListView1, {"alpha"});
        faults(("cut-after-writes=" + std::to_string(cut)).c_str());
        edit({[](TSaveEditForm& e) {
            typeAt(e, 64 + 9000, "55");
            saveAndClose(e);
        }});
        faults("");
        const std::vector<uint8_t> original = dataOf(mcbtest::makeSaveFile(cAlpha));
        std::vector<uint8_t> edited = original;
        edited[9064] = 0x55;
        const std::vector<uint8_t> now = onCard("alpha");
        EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
        EXPECT_EQ(now, cut < 64 ? original : edited);
        EXPECT_EQ(dialogs.messages,
                  QStringList{cut < 64 ? "UPDATE Failed, the card keeps the old saver: alpha "
                                         "[the adapter did not answer]"
                                       : "SAVER UPDATED"});
        EXPECT_EQ(onCard("beta"), dataOf(mcbtest::makeSaveFile(cBeta)));
    }
}

TEST_F(EditTest, TheSaveKeepsItsSizeAndIsNotWrittenBackCutShort)
{
    twoSaves();
    select(form->ListView1, {"alpha"});
    // With the size fixed, Ctrl+A adds nothing; switched off by the user,
    // the longer save is not written back.
    edit({[](TSaveEditForm& e) {
        QTest::keyClick(e.HexEditor1, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(e.HexEditor1->DataSize(), 64 + 2 * 8192);
        e.FixedFilesize1Click();
        QTest::keyClick(e.HexEditor1, Qt::Key_A, Qt::ControlModifier);
        saveAndClose(e);
    }});
    EXPECT_EQ(fixedSize, QList<bool>{true});
    EXPECT_EQ(readFile(form->workPath("temp.~ic").toStdString()).size(), 64u + 2 * 8192 + 1);
    EXPECT_EQ(onCard("alpha"), dataOf(mcbtest::makeSaveFile(cAlpha)));
    EXPECT_EQ(
        dialogs.messages,
        QStringList{"UPDATE Failed, the edited saver must stay whole 8 KB blocks long, the card "
                    "keeps the old saver: alpha"});
}

namespace {

struct RenameCase {
    const char* name;
    const char* cut; // where the link drops; empty: never
    bool oldName;
    bool newName;
    const char* notice;
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.name; }

class RenamedSaves : public EditTest, public testing::WithParamInterface<RenameCase> {};

} // namespace

TEST_P(RenamedSaves, GoOnTheCardBeforeTheOldOneIsRemoved)
{
    const RenameCase& c = GetParam();
    twoSaves();
    dialogs.messages.clear();
    select(form->ListView1, {"alpha"});
    faults(c.cut);
    edit({[](TSaveEditForm& e) {
        typeAt(e, 8, "41"); // "Alpha"
        saveAndClose(e);
    }});
    faults("");
    const std::vector<uint8_t> data = dataOf(mcbtest::makeSaveFile(cAlpha));
    EXPECT_EQ(onCard("alpha"), c.oldName ? data : std::vector<uint8_t>{});
    EXPECT_EQ(onCard("Alpha"), c.newName ? data : std::vector<uint8_t>{});
    EXPECT_EQ(dialogs.messages, QStringList{c.notice});
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
    if (!*c.cut) {
        EXPECT_EQ(names(form->ListView1), (QStringList{"beta", "Alpha"}));
    }
}

// The new save's blocks, its commit (map, then directory), then the old
// save's removal (directory, then map).
INSTANTIATE_TEST_SUITE_P(
    EditTest, RenamedSaves,
    testing::Values(
        RenameCase{
            "CutWhileWritingTheNewSave", "cut-at=data:9", true, false,
            "UPDATE Failed, the card keeps the old saver: alpha [the adapter did not answer]"},
        RenameCase{"CutBeforeTheOldSaveIsRemoved", "cut-at=dir:17", true, true,
                   "DELETE Failed: alpha [the adapter did not answer]"},
        // The old save is gone from the directory; only its blocks are left
        // marked used, which a repair frees.
        RenameCase{"CutAsTheOldSavesRemovalEnds", "cut-at=map:17", false, true, "SAVER UPDATED"},
        RenameCase{"NoCut", "", false, true, "SAVER UPDATED"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, ANewNameThatIsAnotherSavesReplacesItOnlyAfterYes)
{
    twoSaves();
    const std::vector<uint8_t> before = cardImage();
    select(form->ListView1, {"beta"});
    dialogs.yesNo = {false};
    edit({[](TSaveEditForm& e) {
        typeAt(e, 0, "474141");     // code GAAE01 and ...
        typeAt(e, 8, "616c706861"); // ... name alpha
        saveAndClose(e);
    }});
    EXPECT_EQ(dialogs.questions, QStringList{"Do you want to Overwrite Saver alpha Now ?"});
    EXPECT_EQ(cardImage(), before);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// alpha (20 blocks) beside a filler (30) leaves 9 free on 59: the edited
// alpha goes on only after the old one is kept in the save folder and
// deleted, and the user is asked first.
TEST_F(EditTest, OnAFullCardTheOldSaveIsKeptInTheFolderBeforeItIsDeleted)
{
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        change.reset();
        form.reset();
        dialogs.questions.clear();
        dialogs.messages.clear();
        QFile::remove(QString::fromStdString(dir.file("saver/alpha.old.GCI")));
        const mcbtest::SaveSpec big{.code = "GAAE01", .name = "alpha", .blocks = 20, .seed = 1};
        makeCard(4);
        placeOnCard(0, big, 5);
        placeOnCard(1, {.name = "filler", .blocks = 30}, 25);
        start();
        listCard();
        const std::vector<uint8_t> before = cardImage();
        select(form->ListView1, {"alpha"});
        dialogs.yesNo = {yes};
        edit({[](TSaveEditForm& e) {
            typeAt(e, 64 + 9000, "55");
            saveAndClose(e);
        }});
        ASSERT_EQ(dialogs.questions.size(), 1);
        EXPECT_TRUE(dialogs.questions[0].startsWith(
            "No room on the card for alpha beside the old saver (20 BLOCK needed, 9 free)"));
        std::vector<uint8_t> edited = dataOf(mcbtest::makeSaveFile(big));
        edited[9064] = 0x55;
        const QString kept = QString::fromStdString(dir.file("saver/alpha.old.GCI"));
        if (!yes) {
            EXPECT_EQ(cardImage(), before);
            EXPECT_FALSE(QFile::exists(kept));
            continue;
        }
        EXPECT_EQ(onCard("alpha"), edited);
        EXPECT_EQ(dataOf(readFile(kept.toStdString())), dataOf(mcbtest::makeSaveFile(big)));
        EXPECT_EQ(dialogs.messages,
                  QStringList{"SAVER UPDATED\nThe old saver was kept in the save folder: "
                              "alpha.old.GCI"});
        EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
    }
}

TEST_F(EditTest, NothingSelectedOrNoAdapterOpensNoEditor)
{
    twoSaves();
    form->ListView1->clearSelection();
    edit({});
    EXPECT_EQ(dialogs.messages, QStringList{"Please Choose GC Game! "});
    noAdapter();
    dialogs.messages.clear();
    select(form->ListView1, {"alpha"});
    edit({});
    EXPECT_EQ(dialogs.messages, QStringList{say_n_noadapter});
    EXPECT_TRUE(captions.isEmpty());
    EXPECT_TRUE(form->b6 && form->b0);
}
