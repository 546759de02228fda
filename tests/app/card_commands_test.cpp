// Backing up the whole card into an image file and restoring one.
#include "app_fixture.h"
#include "i18n/texts.h"

#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "skin/smooth_bar.h"

#include <QDate>
#include <QFile>

using mcbtest::readFile;

class CardTest : public AppTest {
protected:
    QString out(const char* name) const { return QString::fromStdString(dir.file(name)); }
};

TEST_F(CardTest, ABackupHoldsTheWholeCard)
{
    makeCard(4);
    placeOnCard(0, {.name = "a", .blocks = 3}, 5);
    start();
    int barMax = -1;
    QObject::connect(form.get(), &TMainForm::commandFinished,
                     [&] { barMax = form->ProgressBar1->maximum(); });
    dialogs.files = {out("card.gcp")};
    const QDate before = QDate::currentDate();
    form->ReadCardBtnClick();
    const QDate after = QDate::currentDate();
    EXPECT_EQ(barMax, 63);
    EXPECT_EQ(readFile(dir.file("card.gcp")), cardImage());
    EXPECT_EQ(dialogs.fileDialogs.at(0).folder, form->saverDir());
    // The name offered tells the card's size and the day; a backup made as
    // midnight passes may carry either day.
    const QString offered = dialogs.fileDialogs.at(0).fileName;
    EXPECT_TRUE(offered == "card-4M-" + before.toString(Qt::ISODate) + ".gcp" ||
                offered == "card-4M-" + after.toString(Qt::ISODate) + ".gcp")
        << offered.toStdString();
    EXPECT_TRUE(dialogs.fileDialogs.at(0).filter.startsWith("GC saver format (*.GCP"));
    EXPECT_EQ(form->Label1->text(), "Card found, not listed");
    // Said when done, as a single save's backup says it.
    EXPECT_EQ(dialogs.messages, QStringList{"BACKUP Complete"});
    EXPECT_TRUE(form->b0 && form->b1 && form->b2 && form->b8);
}

TEST_F(CardTest, AnExistingBackupIsKeptOnNo)
{
    makeCard(4);
    start();
    mcbtest::writeFile(dir.file("old.gcp"), {1, 2});
    dialogs.files = {out("old.gcp")};
    dialogs.yesNo = {false};
    form->ReadCardBtnClick();
    EXPECT_EQ(dialogs.questions,
              QStringList{"Do you want to Overwrite Saver " + out("old.gcp") + " Now ?"});
    EXPECT_EQ(readFile(dir.file("old.gcp")), (std::vector<uint8_t>{1, 2}));
    EXPECT_TRUE(form->b0 && form->b1 && form->b2 && form->b3 && form->b8);
}

TEST_F(CardTest, AFailedBackupIsToldAndKeepsTheOlderFile)
{
    makeCard(4);
    start();
    mcbtest::writeFile(dir.file("old.gcp"), {1, 2});
    dialogs.files = {out("old.gcp")};
    dialogs.yesNo = {true};
    faults("read-short=data");
    form->ReadCardBtnClick();
    EXPECT_EQ(dialogs.messages, QStringList{"BACKUP CARD Failed: " + out("old.gcp") +
                                            " [the adapter did not answer]"});
    EXPECT_EQ(readFile(dir.file("old.gcp")), (std::vector<uint8_t>{1, 2}));
}

TEST_F(CardTest, ARestoreRelistsTheCard)
{
    makeCard(4);
    start();
    listCard();
    EXPECT_EQ(form->ListView1->count(), 0);
    std::vector<uint8_t> source = mcb::formatCard(mcb::FormatOptions{4});
    mcbtest::placeSave(source, 0, mcbtest::makeSaveFile({.name = "restored", .blocks = 4}), 5);
    mcbtest::writeFile(dir.file("in.gcp"), source);
    dialogs.files = {out("in.gcp")};
    form->WriteCardBtnClick();
    EXPECT_TRUE(dialogs.questions.isEmpty()); // no question before the card is overwritten
    EXPECT_EQ(names(form->ListView1), QStringList{"restored"});
    EXPECT_EQ(form->Label1->text(), "  ( 55 )BLOCK FREE");
    EXPECT_EQ(cardImage(), source);
    // Only where the card as it was is kept.
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(
        "The card as it was before is kept in: " + form->saverDir() + "/card before restore "));
}

TEST_F(CardTest, AFailedRestoreIsToldAndTheListFollowsTheCard)
{
    makeCard(4);
    placeOnCard(0, {.name = "before", .blocks = 2}, 5);
    start();
    listCard();
    mcbtest::writeFile(dir.file("short.gcp"), std::vector<uint8_t>(1000, 0));
    dialogs.files = {out("short.gcp")};
    form->WriteCardBtnClick();
    EXPECT_EQ(dialogs.messages,
              QStringList{"UPLOAD CARD Failed, the card may be incomplete: " + out("short.gcp") +
                          " [the image is not as large as the card]"});
    EXPECT_EQ(names(form->ListView1), QStringList{"before"}); // refused before writing
}

TEST_F(CardTest, CancelledDialogsAndNoAdapter)
{
    makeCard(4);
    start();
    dialogs.files = {std::nullopt, std::nullopt};
    form->ReadCardBtnClick();
    form->WriteCardBtnClick();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(form->b0 && form->b1 && form->b2 && form->b8);
    noAdapter();
    form->ReadCardBtnClick();
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);
    // Without an adapter the user is told, and every command answers again.
    EXPECT_EQ(dialogs.messages, QStringList{say_n_noadapter});
    EXPECT_TRUE(form->b0 && form->b1 && form->b2 && form->b8);
}

TEST_F(CardTest, ARestoreCutShortIsToldAndTheCardRelisted)
{
    makeCard(4);
    placeOnCard(0, {.name = "before", .blocks = 2}, 5);
    start();
    listCard();
    std::vector<uint8_t> source = mcb::formatCard(mcb::FormatOptions{4});
    mcbtest::placeSave(source, 0, mcbtest::makeSaveFile({.name = "after", .blocks = 30}), 5);
    mcbtest::writeFile(dir.file("in.gcp"), source);
    dialogs.files = {out("in.gcp")};
    faults("cut-at=block20"); // among the saves' blocks
    form->WriteCardBtnClick();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(
        "UPLOAD CARD Failed, the card may be incomplete: " + out("in.gcp") +
        " [the adapter did not answer]\nThe card as it was before is kept in: " + form->saverDir() +
        "/card before restore "))
        << dialogs.messages[0].toStdString();
    // A restore writes the saves' blocks first and the system area last: cut
    // among the blocks, the card still says what it held, and the list, read
    // again, shows that, not the image's saves.
    EXPECT_TRUE(names(form->ListView1).contains("before"));
    EXPECT_FALSE(names(form->ListView1).contains("after"));
}
