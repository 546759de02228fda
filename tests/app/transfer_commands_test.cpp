// Copying saves to files and to the card, and deleting them.
#include "app_fixture.h"
#include "i18n/texts.h"

#include "mcbridge/inspect.h"
#include "skin/smooth_bar.h"

#include <QDir>
#include <QFile>

using mcbtest::readFile;

class TransferTest : public AppTest {
protected:
    // A 4 Mbit card with three saves, listed.
    void threeSaves()
    {
        makeCard(4);
        placeOnCard(0, {.code = "GAAE01", .name = "alpha", .blocks = 2, .seed = 1}, 5);
        placeOnCard(1, {.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 2}, 7);
        placeOnCard(2, {.code = "GCCE01", .name = "gamma", .blocks = 1, .seed = 3}, 10);
        start();
        listCard();
    }
    QString out(const char* name) const { return QString::fromStdString(dir.file(name)); }
};

TEST_F(TransferTest, CopiesEachSelectedSaveUnlessItsDialogIsCancelled)
{
    threeSaves();
    select(form->ListView1, {"alpha", "beta", "gamma"});
    dialogs.files = {out("a.gci"), std::nullopt, out("c.gci")};
    form->DownLoadBtnClick();
    EXPECT_TRUE(QFile::exists(out("a.gci")));
    EXPECT_TRUE(QFile::exists(out("c.gci")));
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList({"*.gci"}).size(), 2);
    EXPECT_EQ(readFile(dir.file("c.gci")).size(), 64u + 8192u);
    ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
    EXPECT_EQ(dialogs.fileDialogs[0].fileName, "alpha.GCI");
    EXPECT_EQ(dialogs.fileDialogs[0].folder, form->saverDir());
    EXPECT_EQ(dialogs.fileDialogs[0].defaultSuffix, "GCI");
    // A cancelled dialog is the user's choice, not a failure.
    EXPECT_EQ(dialogs.messages, QStringList{"BACKUP Complete"});
    EXPECT_TRUE(form->ListView1->selectedItems().isEmpty());
    EXPECT_EQ(form->Label1->text(), "  ( 53 )BLOCK FREE");
    EXPECT_EQ(form->ProgressBar1->position(), 0);
}

TEST_F(TransferTest, AnExistingFileIsReplacedOnlyAfterYes)
{
    threeSaves();
    mcbtest::writeFile(dir.file("a.gci"), {7, 7, 7});
    select(form->ListView1, {"alpha"});
    dialogs.files = {out("a.gci")};
    dialogs.yesNo = {false};
    form->DownLoadBtnClick();
    EXPECT_EQ(dialogs.questions,
              QStringList{"Do you want to Overwrite Saver " + out("a.gci") + " Now ?"});
    EXPECT_EQ(readFile(dir.file("a.gci")), (std::vector<uint8_t>{7, 7, 7}));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    select(form->ListView1, {"alpha"});
    dialogs.files = {out("a.gci")};
    dialogs.yesNo = {true};
    form->DownLoadBtnClick();
    EXPECT_EQ(readFile(dir.file("a.gci")).size(), 64u + 2 * 8192u);
}

TEST_F(TransferTest, SuggestedNamesLoseCharactersFilesCannotHave)
{
    makeCard();
    placeOnCard(0, {.name = "A:B.C", .blocks = 1}, 5);
    placeOnCard(1, {.name = "x\"'*,/<>?\\|y", .blocks = 1}, 6);
    start();
    listCard();
    select(form->ListView1, {"A:B.C", "x\"'*,/<>?\\|y"});
    dialogs.files = {std::nullopt, std::nullopt};
    form->DownLoadBtnClick();
    ASSERT_EQ(dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(dialogs.fileDialogs[0].fileName, "ABC.GCI");
    EXPECT_EQ(dialogs.fileDialogs[1].fileName, "xy.GCI");
    EXPECT_TRUE(dialogs.messages.isEmpty()); // nothing asked for was done, nothing failed
}

TEST_F(TransferTest, AFailedCopyIsNamedAndNoCompletionClaimed)
{
    threeSaves();
    mcbtest::writeFile(dir.file("b.gci"), {1});
    select(form->ListView1, {"alpha", "beta"});
    dialogs.files = {out("a.gci"), out("b.gci")};
    dialogs.yesNo = {true};
    // The fifth sector read of beta's first block.
    faults("read-fail=block7:5");
    form->DownLoadBtnClick();
    EXPECT_TRUE(QFile::exists(out("a.gci")));
    EXPECT_EQ(readFile(dir.file("b.gci")), std::vector<uint8_t>{1}); // the older file stays
    EXPECT_EQ(dialogs.messages, QStringList{"BACKUP Failed: beta [the adapter did not answer]"});
}

TEST_F(TransferTest, UploadsSelectedFilesAndRelists)
{
    threeSaves();
    putSaveFile("new.GCI", mcbtest::makeSaveFile({.code = "GNNE01", .name = "new", .blocks = 4}));
    form->GetFilePIC();
    select(form->ListView2, {"new.GCI"});
    form->UpLoadBtnClick();
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta", "gamma", "new"}));
    EXPECT_EQ(dialogs.messages, QStringList{"UPLOAD Complete"});
    EXPECT_EQ(form->Label1->text(), "  ( 49 )BLOCK FREE");
    EXPECT_TRUE(form->ListView2->selectedItems().isEmpty());
}

TEST_F(TransferTest, ReplacingASaveAsksWithTheWholeCaption)
{
    threeSaves();
    putSaveFile("beta.GCI",
                mcbtest::makeSaveFile({.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 9}));
    form->GetFilePIC();
    select(form->ListView2, {"beta.GCI"});
    dialogs.yesNo = {false};
    form->UpLoadBtnClick();
    EXPECT_EQ(dialogs.questions, QStringList{"Do you want to Overwrite Saver " + form->saverDir() +
                                             "/beta.GCI\r\n(3) Now ?"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    const auto before = cardImage();

    select(form->ListView2, {"beta.GCI"});
    dialogs.yesNo = {true};
    form->UpLoadBtnClick();
    EXPECT_EQ(dialogs.messages, QStringList{"UPLOAD Complete"});
    EXPECT_NE(cardImage(), before);
    EXPECT_EQ(mcb::inspectCard(cardImage()).saves.size(), 3u);
}

TEST_F(TransferTest, AFileWithoutRoomIsNamedInTheClosingNotice)
{
    makeCard(4);
    placeOnCard(0, {.name = "big", .blocks = 57}, 5);
    putSaveFile("three.GCI", mcbtest::makeSaveFile({.name = "three", .blocks = 3}));
    start();
    listCard();
    ASSERT_EQ(form->FreeBlock, 2);
    select(form->ListView2, {"three.GCI"});
    form->UpLoadBtnClick();
    EXPECT_EQ(dialogs.messages, QStringList{"Not Enough Free BLOCK: three.GCI"});
    EXPECT_EQ(mcb::inspectCard(cardImage()).saves.size(), 1u);
}

TEST_F(TransferTest, AFailedUploadIsNamedAndTheCardKeepsItsSaves)
{
    threeSaves();
    putSaveFile("new.GCI", mcbtest::makeSaveFile({.name = "new", .blocks = 2}));
    putSaveFile("next.GCI", mcbtest::makeSaveFile({.name = "next", .blocks = 1}));
    form->GetFilePIC();
    select(form->ListView2, {"new.GCI", "next.GCI"});
    faults("cut-at=data:10"); // inside each save's blocks, the card opened afresh for each
    form->UpLoadBtnClick();
    EXPECT_EQ(dialogs.messages,
              QStringList{"UPLOAD Failed: new.GCI [the adapter did not answer] (the card holds no "
                          "such saver now), next.GCI [the adapter did not answer] (the card holds "
                          "no such saver now)"});
    const mcb::CardReport r = mcb::inspectCard(cardImage());
    EXPECT_TRUE(r.sound());
    EXPECT_EQ(r.saves.size(), 3u);
}

TEST_F(TransferTest, DeletesTheSelectedSavesAndRelists)
{
    threeSaves();
    select(form->ListView1, {"alpha", "gamma"});
    dialogs.yesNo = {true};
    int barMax = 0;
    QObject::connect(form.get(), &TMainForm::commandFinished,
                     [&] { barMax = form->ProgressBar1->maximum(); });
    form->DeleteBtnClick();
    EXPECT_EQ(dialogs.questions, QStringList{"Do you want to Delete ?"});
    EXPECT_EQ(barMax, 32);
    EXPECT_EQ(names(form->ListView1), QStringList{"beta"});
    EXPECT_EQ(dialogs.messages, QStringList{"DELETE Complete"});
    EXPECT_EQ(form->Label1->text(), "  ( 56 )BLOCK FREE");
}

TEST_F(TransferTest, ADeleteRefusedChangesNothing)
{
    threeSaves();
    select(form->ListView1, {"alpha"});
    dialogs.yesNo = {false};
    const auto before = cardImage();
    form->DeleteBtnClick();
    EXPECT_EQ(cardImage(), before);
    EXPECT_TRUE(form->ListView1->selectedItems().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(form->b0 && form->b5 && form->b8);
}

TEST_F(TransferTest, AFailedDeleteIsNamed)
{
    threeSaves();
    select(form->ListView1, {"alpha", "beta"});
    dialogs.yesNo = {true};
    // The first delete's commit goes through; the second is cut as it
    // writes its directory.
    faults("cut-at=dir:17");
    form->DeleteBtnClick();
    EXPECT_EQ(dialogs.messages,
              QStringList{"DELETE Failed: beta [the adapter did not answer] (the card still holds "
                          "the old saver)"});
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());
}

TEST_F(TransferTest, NothingSelectedOrNoAdapter)
{
    threeSaves();
    form->ListView1->clearSelection();
    form->ListView2->clearSelection();
    form->DownLoadBtnClick();
    form->DeleteBtnClick();
    form->UpLoadBtnClick();
    form->EmailBtnClick();
    form->changebtnClick();
    EXPECT_EQ(dialogs.messages, (QStringList{"Please Choose GC Game! ", "Please Choose GC Game! ",
                                             "Please Choose Game File!", "Please Choose GC Game! ",
                                             "please Choose a Game File!"}));
    EXPECT_TRUE(form->b0 && form->b1 && form->b2 && form->b3 && form->b4 && form->b5 && form->b6 &&
                form->b7 && form->b8);

    dialogs.messages.clear();
    noAdapter();
    select(form->ListView1, {"alpha"});
    form->Label1->clear();
    form->DownLoadBtnClick();
    form->UpLoadBtnClick();
    form->DeleteBtnClick();
    form->EmailBtnClick();
    // Each says the adapter is gone instead of staying silent.
    EXPECT_EQ(dialogs.messages, QStringList(4, say_n_noadapter));
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(form->Label1->text(), "No adapter found");
    EXPECT_TRUE(form->b0 && form->b1 && form->b8);
}
