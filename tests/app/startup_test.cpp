// Start-up, the card size table, the command gates, progress and device
// changes, and leaving the program.
#include "app_fixture.h"
#include "cards/gclink.h"
#include "window/card_image_question.h"

#include "i18n/texts.h"
#include "skin/japanese_font.h"
#include "skin/smooth_bar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <initializer_list>

namespace {

bool allGatesOpen(const TMainForm& f)
{
    return f.b0 && f.b1 && f.b2 && f.b3 && f.b4 && f.b5 && f.b6 && f.b7 && f.b8;
}

} // namespace

TEST_F(AppTest, StartsWithACardReadyToList)
{
    makeCard(4);
    start();
    EXPECT_EQ(form->size(), QSize(660, 480));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->ListView1->geometry(), QRect(24, 87, 287, 225));
    EXPECT_EQ(form->ListView2->geometry(), QRect(353, 88, 287, 225));
    EXPECT_EQ(form->ProgressBar1->geometry(), QRect(326, 59, 10, 248));
    EXPECT_EQ(form->UpDateBtn->geometry(), QRect(25, 339, 137, 27));
    EXPECT_EQ(form->CloseBtn->geometry(), QRect(620, 3, 29, 29));
    EXPECT_EQ(form->Label2->text(), "(4M)");
    EXPECT_FALSE(form->USbImage->isHidden());
    // Free blocks are shown once they were read, never the card's size.
    EXPECT_EQ(form->Label1->text(), "Card found, not listed");
    EXPECT_TRUE(form->UpDateBtn->isEnabled());
    EXPECT_TRUE(form->ExitBtn->isEnabled());
    EXPECT_TRUE(form->ReadCardBtn->isEnabled());
    EXPECT_TRUE(form->WriteCardBtn->isEnabled());
    for (QPushButton* b :
         {form->DeleteBtn, form->DownLoadBtn, form->UpLoadBtn, form->EditBtn, form->EmailBtn})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(form->MaybeOk());
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_EQ(form->ListView1->count(), 0); // the card is not listed at start
    EXPECT_EQ(form->sys_dir, QDir::currentPath());
    EXPECT_TRUE(QDir(form->saverDir()).exists());
    EXPECT_EQ(form->UpDateBtn->text(), "LIST GAME SAVER");
    EXPECT_EQ(form->changebtn->text(), "VERSIONS CHANGE ");
}

TEST_F(AppTest, StartsWithoutAnAdapter)
{
    noAdapter();
    start();
    EXPECT_EQ(form->Label1->text(), "No adapter found");
    EXPECT_TRUE(form->Label2->text().isEmpty());
    EXPECT_TRUE(form->USbImage->isHidden());
    EXPECT_FALSE(form->ReadCardBtn->isEnabled());
    EXPECT_FALSE(form->WriteCardBtn->isEnabled());
    EXPECT_TRUE(form->UpDateBtn->isEnabled());
    EXPECT_TRUE(form->ExitBtn->isEnabled());
    EXPECT_TRUE(allGatesOpen(*form));
}

namespace {

struct CardSizeCase {
    const char* name;
    int megabits, blocks, sectors;
    const char* label;
};

void PrintTo(const CardSizeCase& c, std::ostream* os) { *os << c.name; }

class CardSizes : public testing::TestWithParam<CardSizeCase> {};

} // namespace

TEST_P(CardSizes, MapToBlocksSectorsAndLabels)
{
    const CardSizeCase& c = GetParam();
    ASSERT_TRUE(GCLINK::applyCardSize(c.megabits));
    EXPECT_EQ(GCLINK::Max_block, c.blocks);
    EXPECT_EQ(GCLINK::nmem, c.sectors);
    EXPECT_EQ(GCLINK::Size, c.label);
}

INSTANTIATE_TEST_SUITE_P(
    CardSizeTable, CardSizes,
    testing::Values(CardSizeCase{"FourMegabits", 4, 59, 1024, "(4M)"},
                    CardSizeCase{"EightMegabits", 8, 123, 2048, "(8M)"},
                    CardSizeCase{"SixteenMegabits", 16, 251, 4096, "(16M)"},
                    CardSizeCase{"SixtyFourMegabits", 64, 1019, 16384, "(64M)"},
                    CardSizeCase{"TwoMegabitsCountAsSixtyFour", 2, 1019, 16384, "(64M)"},
                    CardSizeCase{"ThirtyTwoMegabits", 32, 507, 8192, "(32M)"},
                    CardSizeCase{"OneHundredTwentyEightMegabits", 128, 2043, 32768, "(128M)"},
                    CardSizeCase{"TwentyFourMegabitsCountAsSixtyFour", 24, 1019, 16384, "(64M)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CardSizeTable, NoCardLeavesTheStateAsItWas)
{
    ASSERT_TRUE(GCLINK::applyCardSize(8));
    EXPECT_FALSE(GCLINK::applyCardSize(0));
    EXPECT_EQ(GCLINK::Max_block, 123);
    EXPECT_EQ(GCLINK::Size, "(8M)");
}

TEST_F(AppTest, AnEightMegabitCardIsSizedAtStart)
{
    makeCard(8);
    start();
    EXPECT_EQ(form->Label2->text(), "(8M)");
    EXPECT_EQ(form->FreeBlock, 123);
}

// The largest card lists a save that lies beyond block 2,000, counts its
// free blocks, and backs up every sector with the bar sized for all of them.
TEST_F(AppTest, AOneHundredTwentyEightMegabitCardIsListedAndBackedUpWhole)
{
    makeCard(128);
    placeOnCard(0, {.name = "far", .blocks = 40, .seed = 5}, 2005);
    start();
    EXPECT_EQ(form->Label2->text(), "(128M)");
    listCard();
    EXPECT_EQ(names(form->ListView1), QStringList{"far"});
    EXPECT_EQ(form->FreeBlock, 2003);
    dialogs.files = {QString::fromStdString(dir.file("whole.raw"))};
    form->ReadCardBtnClick();
    EXPECT_EQ(mcbtest::readFile(dir.file("whole.raw")), cardImage());
    // A step a block, from the first to the last of 2,048.
    EXPECT_EQ(form->ProgressBar1->maximum(), 2047);
    EXPECT_EQ(dialogs.messages, QStringList{"BACKUP Complete"});
    EXPECT_TRUE(dialogs.fileDialogs.at(0).fileName.startsWith("card-128M-"));
}

TEST_F(AppTest, EveryProgressMessageStepsTheBarUpToItsEnd)
{
    makeCard();
    start();
    form->Bar_Init(0, 20);
    // The count the library sends ahead of the steps is a step too; the bar
    // keeps the range the command gave it.
    form->OnProcess(12, 0);
    EXPECT_EQ(form->ProgressBar1->position(), 1);
    EXPECT_EQ(form->ProgressBar1->maximum(), 20);
    for (int i = 0; i < 30; ++i)
        form->OnProcess(0, 0);
    EXPECT_EQ(form->ProgressBar1->position(), 20);
    EXPECT_EQ(form->ProgressBar1->maximum(), 20);
}

TEST_F(AppTest, ASecondCommandClickedDuringALibraryCallDoesNothing)
{
    makeCard();
    placeOnCard(0, {.name = "keep", .blocks = 2}, 5);
    start();
    bool clickedDuring = false;
    // Fires inside the progress handler while the listing reads the card.
    QTimer::singleShot(0, form.get(), [&] {
        clickedDuring = form->commandRunning();
        QTest::mouseClick(form->ReadCardBtn, Qt::LeftButton);
        QTest::mouseClick(form->DeleteBtn, Qt::LeftButton);
        form->DeleteBtnClick();
        form->ReadCardBtnClick();
    });
    listCard();
    EXPECT_TRUE(clickedDuring);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(names(form->ListView1), QStringList{"keep"});
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_TRUE(form->MaybeOk());
}

TEST_F(AppTest, ListingWithoutAnAdapterSaysHowToSetOne)
{
    makeCard();
    start();
    noAdapter();
    listCard();
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_FALSE(form->ReadCardBtn->isEnabled());
    EXPECT_FALSE(form->MaybeOk());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).contains("MCBRIDGE_DEVICE"));
    EXPECT_EQ(form->Label1->text(), "No adapter found");
    EXPECT_EQ(form->ProgressBar1->position(), 0);
}

TEST_F(AppTest, ADeviceChangeDuringACommandWaitsForItsEnd)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    start();
    listCard();
    ASSERT_TRUE(form->MaybeOk());
    int countDuring = -1;
    QTimer::singleShot(0, form.get(), [&] {
        form->deviceChanged();
        countDuring = form->ListView1->count(); // untouched in mid-command
    });
    select(form->ListView1, {"one"});
    dialogs.files.push_back(QString::fromStdString(dir.file("one.gci")));
    form->DownLoadBtnClick();
    EXPECT_EQ(countDuring, 1);
    // Afterwards the change was handled: the card relisted, the save
    // buttons as after a listing.
    EXPECT_EQ(names(form->ListView1), QStringList{"one"});
    EXPECT_TRUE(form->MaybeOk());
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.file("one.gci"))));
}

TEST_F(AppTest, ADeviceChangeWithoutACardEmptiesTheCardList)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    start();
    listCard();
    noAdapter();
    form->deviceChanged();
    EXPECT_EQ(form->ListView1->count(), 0);
    EXPECT_EQ(form->Label1->text(), "No adapter found");
    EXPECT_TRUE(form->USbImage->isHidden());
    EXPECT_FALSE(form->ReadCardBtn->isEnabled());
    EXPECT_FALSE(form->MaybeOk());
    EXPECT_EQ(form->strGameIDList->size(), 1); // kept, as the list it belonged to
}

TEST_F(AppTest, QuittingDuringACommandWaitsForItsEnd)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    start();
    int quits = 0;
    bool closedDuring = true;
    form->quitAction = [&] { ++quits; };
    dialogs.yesNo = {true, true};
    QTimer::singleShot(0, form.get(), [&] {
        form->CloseBtnClick();
        closedDuring = form->close();
        EXPECT_EQ(quits, 0);
    });
    listCard();
    EXPECT_FALSE(closedDuring);
    EXPECT_EQ(quits, 0);
    // The deferred quit runs from the event queue.
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits >= 1; }, 10000));
    EXPECT_EQ(names(form->ListView1), QStringList{"one"}); // the listing finished
}

// CLOSE, the window's close glyph and the window manager's close all ask the
// same question, and only a yes ends the program.
TEST_F(AppTest, EveryWayOfClosingAsksFirst)
{
    makeCard();
    start();
    int quits = 0;
    form->quitAction = [&] { ++quits; };
    const QString ask = "Do you want to Exit ?";
    dialogs.yesNo = {false, false, false};
    QTest::mouseClick(form->ExitBtn, Qt::LeftButton);
    QTest::mouseClick(form->CloseBtn, Qt::LeftButton);
    EXPECT_FALSE(form->close()); // as the window manager asks
    EXPECT_EQ(dialogs.questions, (QStringList{ask, ask, ask}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(quits, 0);

    dialogs.yesNo = {true};
    QTest::mouseClick(form->CloseBtn, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(quits, 1);
    form->show();
    dialogs.yesNo = {true};
    QTest::mouseClick(form->ExitBtn, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(quits, 2);
    EXPECT_EQ(dialogs.questions.size(), 5);
}

TEST_F(AppTest, APressOnTheWindowSurfaceMovesIt)
{
    makeCard();
    start();
    QSignalSpy moves(form.get(), &TMainForm::windowMoveRequested);
    QTest::mousePress(form.get(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 30));
    QTest::mouseRelease(form.get(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 30));
    EXPECT_EQ(moves.count(), 1);
    // A press on a control is the control's.
    QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton);
    EXPECT_EQ(moves.count(), 1);
}

TEST_F(AppTest, JapaneseGetsItsTextsAndFonts)
{
    makeCard();
    start(0x0411);
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("カードあり・未読込"));
    listCard();
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("残り59ブロック"));
    EXPECT_EQ(form->UpDateBtn->text(), QString::fromUtf8("データリスト読み込み"));
    // The family is named whether or not this machine has it installed.
    const QStringList jaFamily{skin::japaneseFamily()};
    ASSERT_NE(jaFamily, QFont(QStringLiteral("MS Sans Serif")).families());
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             form->UpDateBtn, form->ExitBtn, form->OkBtnForm->Label1, form->Label1, form->ListView1,
             form->ListView2})
        EXPECT_EQ(w->font().families(), jaFamily) << w->objectName().toStdString();
}

TEST_F(AppTest, ChineseTextsLeaveTheFontsAlone)
{
    makeCard();
    start(0x1004); // Singapore: Traditional
    EXPECT_EQ(form->UpDateBtn->text(), QString::fromUtf8("更新目錄"));
    EXPECT_EQ(Say_wait, QString::fromUtf8("請等候 ..."));
    EXPECT_EQ(form->Label1->font().family(),
              QFont(QStringLiteral("Microsoft Sans Serif"), 8).family());
    change.reset();
    form.reset();
    start(0x0804);
    EXPECT_EQ(form->UpDateBtn->text(), QString::fromUtf8("更新目录"));
    listCard();
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("  尚余(59)单位"));
}

// A mistyped --card must not turn into a new blank card unasked.
TEST_F(AppTest, AsksBeforeAMissingCardImageBecomesABlankCard)
{
    makeCard(4);
    const QString missing = QString::fromStdString(dir.path()) + "/typo.raw";
    const QString dangling = QString::fromStdString(dir.path()) + "/link.raw";
    ASSERT_TRUE(QFile::link(QString::fromStdString(dir.path()) + "/gone.raw", dangling));

    EXPECT_EQ(missingCardImage("image:" + cardPath), std::nullopt);
    EXPECT_EQ(missingCardImage("usb:1209:0001"), std::nullopt);
    EXPECT_EQ(missingCardImage("image:"), std::nullopt);
    EXPECT_EQ(missingCardImage("image:" + missing), missing);
    EXPECT_EQ(missingCardImage("image:" + dangling), dangling);

    start();                                   // fills the texts in the user's language
    EXPECT_TRUE(confirmMissingCardImage("t")); // the made card exists: nothing asked
    EXPECT_TRUE(dialogs.questions.isEmpty());

    qputenv("MCBRIDGE_DEVICE", ("image:" + missing).toLocal8Bit());
    dialogs.yesNo = {false, true};
    EXPECT_FALSE(confirmMissingCardImage("t"));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
              "The card image " + missing + " does not exist. Make a blank 16 Mbit card there?");
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(confirmMissingCardImage("t"));
    EXPECT_EQ(dialogs.questions.size(), 2);
}
