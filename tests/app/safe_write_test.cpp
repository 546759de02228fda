// The program on twin saves, on a card too full for a replacement, and after
// writes the adapter broke off: it acts on the listed slot, asks before
// deleting an old save to make room (keeping it in the save folder), and
// says what the card holds after a failure, which the card must bear out.
#include "app_fixture.h"

#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <QFile>

#include <optional>

using mcbtest::readFile;

namespace {

const mcbtest::SaveSpec cTwinA{.code = "GTWE01", .name = "twin", .blocks = 1, .seed = 1};
const mcbtest::SaveSpec cTwinB{.code = "GTWE01", .name = "twin", .blocks = 2, .seed = 2};
const mcbtest::SaveSpec cRace{.code = "GRCE01", .name = "race", .blocks = 20, .seed = 1};

mcbtest::SaveSpec nextVersion(mcbtest::SaveSpec spec)
{
    spec.seed = 7;
    return spec;
}

std::vector<uint8_t> dataOf(std::vector<uint8_t> file)
{
    file.erase(file.begin(), file.begin() + std::min<std::size_t>(64, file.size()));
    return file;
}

} // namespace

class SafeWriteTest : public AppTest {
protected:
    void twins()
    {
        makeCard(4);
        placeOnCard(0, cTwinA, 5);
        placeOnCard(1, cTwinB, 6);
        start();
        listCard();
    }
    // race (20 blocks) and a filler (30) on 59 blocks: 9 free, too few for
    // a new race beside the old one; the new one in the save folder.
    void fullCard()
    {
        makeCard(4);
        placeOnCard(0, cRace, 5);
        placeOnCard(1, {.name = "filler", .blocks = 30}, 25);
        putSaveFile("race.GCI", mcbtest::makeSaveFile(nextVersion(cRace)));
        start();
        listCard();
        select(form->ListView2, {"race.GCI"});
    }
    // The data of the card's save named name as the image holds it (the saves
    // here lie in consecutive blocks); nothing when there is none.
    std::optional<std::vector<uint8_t>> onCard(const std::string& name) const
    {
        const std::vector<uint8_t> now = cardImage();
        for (const mcb::SaveInfo& s : mcb::inspectCard(now).saves)
            if (s.name == name)
                return mcbtest::blocksOf(now, s.firstBlock, s.blockCount);
        return std::nullopt;
    }
    void selectRow(int row)
    {
        form->ListView1->clearSelection();
        form->ListView1->item(row)->setSelected(true);
    }
    void restart()
    {
        change.reset();
        form.reset();
        dialogs.messages.clear();
        dialogs.questions.clear();
    }
};

TEST_F(SafeWriteTest, TwinSavesAreCopiedAndDeletedByTheirListedSlot)
{
    twins();
    ASSERT_EQ(form->ListView1->count(), 2);
    selectRow(1);
    const QString copy = QString::fromStdString(dir.file("b.GCI"));
    dialogs.files = {copy};
    form->DownLoadBtnClick();
    EXPECT_EQ(dataOf(readFile(copy.toStdString())), dataOf(mcbtest::makeSaveFile(cTwinB)));

    selectRow(1);
    dialogs.yesNo = {true};
    form->DeleteBtnClick();
    EXPECT_EQ(dialogs.messages.last(), "DELETE Complete");
    const mcb::CardReport r = mcb::inspectCard(cardImage());
    ASSERT_EQ(r.saves.size(), 1u);
    EXPECT_EQ(r.saves[0].slot, 0u);
    EXPECT_EQ(onCard("twin"), dataOf(mcbtest::makeSaveFile(cTwinA)));
    EXPECT_TRUE(r.sound());
}

TEST_F(SafeWriteTest, AFileThatTwinsShareIsRefusedWithTheReason)
{
    twins();
    const std::vector<uint8_t> before = cardImage();
    putSaveFile("twin.GCI", mcbtest::makeSaveFile({.code = "GTWE01", .name = "twin", .seed = 9}));
    form->GetFilePIC();
    select(form->ListView2, {"twin.GCI"});
    form->UpLoadBtnClick();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(dialogs.messages,
              QStringList{"Two savers on the card have this name and code, delete one first: "
                          "twin.GCI"});
    EXPECT_EQ(cardImage(), before);
}

TEST_F(SafeWriteTest, AFullCardReplacementKeepsTheOldSaveInTheFolderFirst)
{
    fullCard();
    dialogs.yesNo = {true, true};
    form->UpLoadBtnClick();
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(dialogs.questions[1],
              "No room on the card for race.GCI beside the old saver (20 BLOCK needed, 9 free). "
              "Keep the old saver in the save folder as race.old.GCI, delete it from the card and "
              "then write the new one?");
    EXPECT_EQ(onCard("race"), dataOf(mcbtest::makeSaveFile(nextVersion(cRace))));
    EXPECT_EQ(dataOf(readFile(dir.file("saver/race.old.GCI"))),
              dataOf(mcbtest::makeSaveFile(cRace)));
    EXPECT_EQ(dialogs.messages,
              QStringList{"UPLOAD Complete\nThe old saver was kept in the save folder: "
                          "race.old.GCI"});
    EXPECT_TRUE(names(form->ListView2).contains("race.old.GCI"));
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
}

TEST_F(SafeWriteTest, DecliningTheFullCardQuestionLeavesCardAndFolderAlone)
{
    fullCard();
    const std::vector<uint8_t> before = cardImage();
    dialogs.yesNo = {true, false};
    form->UpLoadBtnClick();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(cardImage(), before);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("saver/race.old.GCI"))));
    EXPECT_EQ(dialogs.messages, QStringList{"Not Enough Free BLOCK: race.GCI"});
}

// The old save is deleted, then the link drops while the new one is written:
// the notice says the card holds no race now and where the old one is.
TEST_F(SafeWriteTest, ACutAfterTheDeleteFirstSaysWhereTheOldSaveIs)
{
    fullCard();
    dialogs.yesNo = {true, true};
    faults("cut-at=data"); // the new save's first sector, after the delete
    form->UpLoadBtnClick();
    faults("");
    EXPECT_FALSE(onCard("race").has_value());
    EXPECT_EQ(dataOf(readFile(dir.file("saver/race.old.GCI"))),
              dataOf(mcbtest::makeSaveFile(cRace)));
    EXPECT_EQ(dialogs.messages,
              QStringList{"UPLOAD Failed: race.GCI [the adapter did not answer] (the card holds no "
                          "such saver now)\nThe old saver was kept in the save folder: "
                          "race.old.GCI"});
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
}

struct Sweep {
    const char* name;
    bool remove; // a delete; otherwise a replacement
};

class CutSweep : public SafeWriteTest, public ::testing::WithParamInterface<Sweep> {};

// The link drops after every few sector writes of a replacement or delete;
// each notice names what the card holds, and the card holds it.
TEST_P(CutSweep, TheNoticeSaysWhatTheCardHolds)
{
    const mcbtest::SaveSpec old{.code = "GRCE01", .name = "race", .blocks = 2, .seed = 1};
    const auto oldData = dataOf(mcbtest::makeSaveFile(old));
    const auto newData = dataOf(mcbtest::makeSaveFile(nextVersion(old)));
    int saidOld = 0, saidOther = 0;
    for (int cut = 1; cut <= 130; cut += 4) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " writes");
        restart();
        makeCard(4);
        placeOnCard(0, old, 5);
        putSaveFile("race.GCI", mcbtest::makeSaveFile(nextVersion(old)));
        start();
        listCard();
        dialogs.yesNo = {true};
        faults(("cut-after-writes=" + std::to_string(cut)).c_str());
        if (GetParam().remove) {
            select(form->ListView1, {"race"});
            form->DeleteBtnClick();
        } else {
            select(form->ListView2, {"race.GCI"});
            form->UpLoadBtnClick();
        }
        faults("");
        ASSERT_EQ(dialogs.messages.size(), 1);
        const QString notice = dialogs.messages[0];
        const auto now = onCard("race");
        EXPECT_TRUE(mcb::inspectCard(cardImage()).sound()) << notice.toStdString();
        if (notice == "UPLOAD Complete") {
            EXPECT_EQ(now, newData);
        } else if (notice == "DELETE Complete") {
            EXPECT_FALSE(now.has_value());
        } else if (notice.endsWith("(the card still holds the old saver)")) {
            ++saidOld;
            EXPECT_EQ(now, oldData);
        } else if (notice.endsWith("(the card holds the new saver all the same)")) {
            ++saidOther;
            EXPECT_EQ(now, newData);
        } else if (notice.endsWith("(the card holds no such saver now)")) {
            ++saidOther;
            EXPECT_FALSE(now.has_value());
        } else {
            ADD_FAILURE() << "no word on what the card holds: " << notice.toStdString();
        }
    }
    // Both kinds came up: failures that left the old save, and failures
    // that had completed after all.
    EXPECT_GT(saidOld, 0);
    EXPECT_GT(saidOther, 0);
}

const Sweep kSweeps[] = {{"Replacement", false}, {"Delete", true}};

INSTANTIATE_TEST_SUITE_P(App, CutSweep, ::testing::ValuesIn(kSweeps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SafeWriteTest, AFailedRestoreSaysTheCardMayBeIncompleteOnlyWhenItIs)
{
    makeCard(4);
    placeOnCard(0, cRace, 5);
    start();
    listCard();
    auto other = mcb::formatCard(mcb::FormatOptions{4});
    mcbtest::placeSave(other, 0, mcbtest::makeSaveFile({.name = "other", .blocks = 4}), 9);
    mcbtest::writeFile(dir.file("other.gcp"), other);
    const QString path = QString::fromStdString(dir.file("other.gcp"));
    dialogs.files = {path};
    faults("cut-at=block10"); // block 9 of the image written, 10 not
    form->WriteCardBtnClick();
    faults("");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("UPLOAD CARD Failed, the card may be incomplete: " +
                                               path + " [the adapter did not answer]\n"))
        << dialogs.messages[0].toStdString();
    EXPECT_NE(cardImage(), other);
}
