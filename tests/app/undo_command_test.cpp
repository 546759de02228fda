// The undo command without the window: a host of the test's own answers it
// and records what it was told, over a card image with the journal in the
// test's folder.
#include "commands/undo_command.h"

#include "fake_host.h"
#include "save_maker.h"
#include "scripted_dialogs.h"

#include "i18n/texts.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>

namespace {

struct UndoCut {
    const char* name;
    bool whole;         // the change wrote the whole card; else it deleted alpha
    const char* faults; // where the link drops during the first undo
    UndoCommand::Outcome first;
    const char* notice; // what the first undo tells, from its start
};

void PrintTo(const UndoCut& c, std::ostream* os) { *os << c.name; }

class UndoCommandAlone : public ::testing::TestWithParam<UndoCut> {
protected:
    void SetUp() override
    {
        i18n::fillTexts(i18n::Language::English);
        qputenv("MCBRIDGE_JOURNAL", QFile::encodeName(QString::fromStdString(dir.file("journal"))));
        qunsetenv("MCBRIDGE_FAULTS");
        image = mcb::formatCard(mcb::FormatOptions{4});
        mcbtest::placeSave(image, 0, mcbtest::makeSaveFile({.name = "alpha", .blocks = 3}), 5);
        mcbtest::writeFile(path(), image);
    }
    void TearDown() override
    {
        qputenv("MCBRIDGE_JOURNAL", "off");
        qunsetenv("MCBRIDGE_FAULTS");
        mcb_close(card);
    }
    std::string path() const { return dir.file("card.raw"); }
    void reopen()
    {
        mcb_close(card);
        card = nullptr;
        ASSERT_EQ(mcb_open(("image:" + path()).c_str(), &card), MCB_OK);
    }

    mcbtest::TempDir dir;
    std::vector<uint8_t> image;
    mcb_card* card = nullptr;
    FakeHost host;
};

TEST_P(UndoCommandAlone, PutsTheCardBackEvenWhenTheFirstTryIsCutShort)
{
    reopen();
    if (GetParam().whole) {
        // A restore of another image of this card: every block written.
        std::vector<uint8_t> other = image;
        mcbtest::placeSave(other, 1, mcbtest::makeSaveFile({.name = "beta", .blocks = 4}), 20);
        std::fill(other.begin() + 5 * 8192, other.begin() + 8 * 8192, uint8_t(0x5A));
        ASSERT_EQ(mcb_write_image(card, other.data(), other.size(), MCB_RESTORE_SAME_CARD), MCB_OK);
    } else {
        ASSERT_EQ(mcb_delete_save(card, 0, nullptr), MCB_OK);
    }
    qputenv("MCBRIDGE_FAULTS", GetParam().faults);
    reopen();
    host.script.yesNo = {true};
    EXPECT_EQ(UndoCommand(host, card).run(), GetParam().first);
    ASSERT_EQ(host.told.size(), 1);
    EXPECT_TRUE(host.told[0].startsWith(GetParam().notice)) << host.told[0].toStdString();
    EXPECT_EQ(std::count(host.changes.begin(), host.changes.end(), CommandHost::Changed::CardList),
              1);
    // Whatever the cut left, a console reads the card.
    EXPECT_TRUE(mcb::inspectCard(mcbtest::readFile(path())).sound());
    if (GetParam().first != UndoCommand::Outcome::Undone) {
        // The next undo, on a link that holds, finishes it.
        qunsetenv("MCBRIDGE_FAULTS");
        reopen();
        host.script.yesNo = {true};
        EXPECT_EQ(UndoCommand(host, card).run(), UndoCommand::Outcome::Undone);
    }
    EXPECT_EQ(mcbtest::readFile(path()), image);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, UndoCommandAlone,
    ::testing::Values(
        UndoCut{"DeleteNoCut", false, "", UndoCommand::Outcome::Undone,
                "The card is back as it was before:"},
        // A deleted save's blocks are still there: only the directory and
        // the map are written back.
        UndoCut{"DeleteCutWritingTheDirectory", false, "cut-at=dir:1", UndoCommand::Outcome::Failed,
                "The undo did not finish [the adapter did not answer]\nThe card can still be "
                "read; choose Undo again to finish it."},
        UndoCut{"RestoreNoCut", true, "", UndoCommand::Outcome::Undone,
                "The card is back as it was before:"},
        UndoCut{"RestoreCutWritingTheSaves", true, "cut-at=data:2", UndoCommand::Outcome::Failed,
                "The undo did not finish [the adapter did not answer]"}),
    [](const ::testing::TestParamInfo<UndoCut>& info) { return std::string(info.param.name); });

// The words of the journal, whichever program wrote them, in the user's
// language; a group's own name as it was given.
TEST(ChangeText, NamesEveryKindTheLibraryWrites)
{
    i18n::fillTexts(i18n::Language::Japanese);
    EXPECT_EQ(changeText("upload"), "追加");
    EXPECT_EQ(changeText("replace"), "置き換え");
    EXPECT_EQ(changeText("delete"), "削除");
    EXPECT_EQ(changeText("write card"), "カード全体の書き込み");
    EXPECT_EQ(changeText("repair"), "修復");
    EXPECT_EQ(changeText("recover"), "復元");
    EXPECT_EQ(changeText("unfinished"), "未完了の変更");
    EXPECT_EQ(changeText("undo to before #12"), "#12 より前に戻す操作");
    EXPECT_EQ(changeText("gather from SD"), "gather from SD");
    i18n::fillTexts(i18n::Language::English);
    JournalRecord r;
    r.what = changeText("delete");
    EXPECT_EQ(undoEntryText(&r), "Undo delete…");
    r.saves = "a, b (GAAE01), c (GCCE01), d (GDDE01)";
    EXPECT_EQ(undoEntryText(&r), "Undo delete of a, b (GAAE01) and 2 more…");
    EXPECT_EQ(undoEntryText(nullptr), "Undo");
}

} // namespace
