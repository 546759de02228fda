// A second card on the PC side of the window, and copies from card to card.
#include "app_fixture.h"

#include "cards/second_card.h"
#include "window/save_order.h"

#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QTimer>

using mcbtest::readFile;

namespace {

// The data blocks of the save named name on a card image, or nothing.
std::optional<std::vector<uint8_t>> saveData(const std::vector<uint8_t>& image,
                                             const std::string& name)
{
    for (const mcb::SaveInfo& s : mcb::inspectCard(image).saves)
        if (s.name == name)
            return mcbtest::blocksOf(image, s.firstBlock, s.blockCount);
    return std::nullopt;
}

// Every file under folder, for making sure no save was left on the way.
QStringList filesUnder(const QString& folder)
{
    QStringList all;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << QDir(folder).relativeFilePath(it.next());
    all.sort();
    return all;
}

} // namespace

class SecondCardTest : public AppTest {
protected:
    // Card one (4 Mbit, in the adapter) holds alpha and beta; card two (an
    // 8 Mbit image) holds gamma. Both listed, card two on the PC side.
    void twoCards(quint16 languageId = 0x0409)
    {
        makeCard(4);
        placeOnCard(0, {.code = "GAAE01", .name = "alpha", .blocks = 2, .seed = 1}, 5);
        placeOnCard(1, {.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 2}, 7);
        second = mcb::formatCard(mcb::FormatOptions{8});
        mcbtest::placeSave(
            second, 0,
            mcbtest::makeSaveFile({.code = "GCCJ01", .name = "gamma", .blocks = 4, .seed = 3}), 5);
        mcbtest::writeFile(secondPath().toStdString(), second);
        putSaveFile("kept.gci", mcbtest::makeSaveFile({.name = "kept"}));
        start(languageId);
        listCard();
        dialogs.files = {secondPath()};
        form->ShowCardHereClick();
        ASSERT_NE(form->secondCard(), nullptr) << dialogs.messages.join('\n').toStdString();
    }
    QString secondPath() const { return QString::fromStdString(dir.file("second.raw")); }
    std::vector<uint8_t> secondImage() const { return readFile(secondPath().toStdString()); }

    std::vector<uint8_t> second;
};

TEST_F(SecondCardTest, ShowsTheCardAndCopiesBothWaysWithoutFilesLeftBehind)
{
    twoCards();
    const QStringList filesBefore = filesUnder(QString::fromStdString(dir.path()));
    EXPECT_EQ(names(form->ListView2), QStringList{"gamma"});
    EXPECT_EQ(dialogs.fileDialogs.back().filter, "Card image (*.gcp *.raw *.GCP *.RAW)");

    select(form->ListView1, {"alpha", "beta"});
    form->DownLoadBtnClick();
    EXPECT_EQ(dialogs.messages.back(), "Copied to the other card");
    EXPECT_EQ(names(form->ListView2), (QStringList{"gamma", "alpha", "beta"}));
    const auto one = cardImage();
    const auto two = secondImage();
    EXPECT_TRUE(mcb::inspectCard(two).sound());
    EXPECT_EQ(saveData(two, "alpha"), saveData(one, "alpha"));
    EXPECT_EQ(saveData(two, "beta"), saveData(one, "beta"));

    select(form->ListView2, {"gamma"});
    form->UpLoadBtnClick();
    EXPECT_EQ(dialogs.messages.back(), "Copied to the other card");
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta", "gamma"}));
    EXPECT_EQ(saveData(cardImage(), "gamma"), saveData(second, "gamma"));
    EXPECT_TRUE(mcb::inspectCard(cardImage()).sound());

    // Nothing landed in the save folder or beside the cards on the way.
    EXPECT_EQ(filesUnder(QString::fromStdString(dir.path())), filesBefore);
    // The card in the adapter is the one every other command still reaches.
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"), "image:" + cardPath);

    form->ShowSaveFolderClick();
    EXPECT_EQ(form->secondCard(), nullptr);
    EXPECT_EQ(names(form->ListView2), QStringList{"kept.gci"});
}

TEST_F(SecondCardTest, ASaveOfTheSameNameIsReplacedOnlyAfterYes)
{
    twoCards();
    select(form->ListView2, {"gamma"});
    form->UpLoadBtnClick();
    const auto before = secondImage();
    select(form->ListView1, {"gamma"});
    dialogs.yesNo = {false};
    form->DownLoadBtnClick();
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(secondImage(), before);
    EXPECT_EQ(names(form->ListView2), QStringList{"gamma"});
}

TEST_F(SecondCardTest, TheMenuOffersTheCardAndTheFolder)
{
    makeCard(4);
    start();
    QStringList offered;
    bool folderEnabled = true;
    QTimer::singleShot(0, [&] {
        for (QAction* a : form->pcMenu()->actions()) {
            offered << a->text();
            if (a->text() == "Show the save folder")
                folderEnabled = a->isEnabled();
        }
        form->pcMenu()->close();
    });
    form->showPcMenu({5, 5});
    const qsizetype at = offered.indexOf("Show a card here…");
    ASSERT_GE(at, 0) << offered.join('|').toStdString();
    EXPECT_EQ(offered.mid(at, 3), (QStringList{"Show a card here…", "Show an adapter's card here…",
                                               "Show the save folder"}));
    // Nothing to go back to while the folder is shown.
    EXPECT_FALSE(folderEnabled);
}

// The second card's side says which card it shows and its room, and its
// saves carry what the card list's do: tooltip, sort keys and icon.
TEST_F(SecondCardTest, ItsSideIsHeadedAndItsSavesDescribedAndSorted)
{
    twoCards();
    mcbtest::placeSave(
        second, 1,
        mcbtest::makeSaveFile({.code = "GDDE01", .name = "delta", .blocks = 9, .seed = 5}), 9);
    mcbtest::writeFile(secondPath().toStdString(), second);
    dialogs.files = {secondPath()};
    form->ShowCardHereClick();
    ASSERT_EQ(form->ListView2->count(), 2);
    // An 8 Mbit card: 123 blocks for saves, 13 of them taken.
    EXPECT_TRUE(form->PaneTitle->isVisibleTo(form.get()));
    EXPECT_EQ(form->PaneTitle->text(), "Card second.raw: 110 blocks free");
    for (int i = 0; i < form->ListView2->count(); ++i) {
        const QListWidgetItem* item = form->ListView2->item(i);
        EXPECT_TRUE(item->toolTip().contains(TSaveListView::nameOf(item).toHtmlEscaped()));
        EXPECT_TRUE(item->data(TSaveListView::IconFramesRole).isValid());
        EXPECT_FALSE(item->icon().isNull());
    }
    setSaveOrder(form->ListView2, SaveOrder::Size);
    EXPECT_EQ(names(form->ListView2), (QStringList{"delta", "gamma"}));
    setSaveOrder(form->ListView2, SaveOrder::Listed);
    EXPECT_EQ(names(form->ListView2), (QStringList{"gamma", "delta"}));

    // Back to the folder: the skin's own heading again.
    form->ShowSaveFolderClick();
    EXPECT_FALSE(form->PaneTitle->isVisibleTo(form.get()));
}

// Every save of either card onto the other, from either list's menu.
// Several saves copied onto the other card are one change there, undone in
// one step, as a batch onto the adapter's card is.
TEST_F(SecondCardTest, SavesCopiedOverAreOneRecordOnTheOtherCard)
{
    qputenv("MCBRIDGE_JOURNAL", QFile::encodeName(QString::fromStdString(dir.file("journal"))));
    twoCards();
    select(form->ListView1, {"alpha", "beta"});
    form->DownLoadBtnClick();
    ASSERT_EQ(names(form->ListView2), (QStringList{"gamma", "alpha", "beta"}));
    mcb_card* card = nullptr;
    ASSERT_EQ(mcb_open(("image:" + secondPath().toStdString()).c_str(), &card), MCB_OK);
    mcb_journal_entry records[4]{};
    for (mcb_journal_entry& r : records)
        r.size = sizeof r;
    EXPECT_EQ(mcb_journal_list(card, records, 4), 1);
    EXPECT_STREQ(records[0].saves, "alpha (GAAE01), beta (GBBE01)");
    mcb_close(card);
    qputenv("MCBRIDGE_JOURNAL", "off");
}

TEST_F(SecondCardTest, CopyAllGoesBothWays)
{
    twoCards();
    QStringList pcMenu;
    QTimer::singleShot(0, [&] {
        for (QAction* a : form->pcMenu()->actions())
            if (a->text() == "Copy all to card…" && a->isEnabled())
                pcMenu << a->text();
        form->pcMenu()->close();
    });
    form->showPcMenu({5, 5});
    EXPECT_EQ(pcMenu, QStringList{"Copy all to card…"});

    form->CopyAllToCardClick();
    EXPECT_EQ(names(form->ListView1), (QStringList{"alpha", "beta", "gamma"}));
    dialogs.yesNo = {false};
    form->CopyAllToPcClick();
    // gamma is on both cards now: replaced only after Yes, asked once.
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(names(form->ListView2).size(), 3);
    EXPECT_TRUE(names(form->ListView2).contains("alpha"));
    EXPECT_TRUE(names(form->ListView2).contains("beta"));
}

struct RefusedCard {
    const char* name;
    const char* reasonPart;
};

class SecondCardRefused : public AppTest, public testing::WithParamInterface<RefusedCard> {};

TEST_P(SecondCardRefused, LeavesTheFolderShownAndSaysWhy)
{
    makeCard(4);
    putSaveFile("kept.gci", mcbtest::makeSaveFile({.name = "kept"}));
    const std::string which = GetParam().name;
    QString path = QString::fromStdString(dir.file("other.img"));
    if (which == "SameCard") {
        path = cardPath;
    } else if (which == "HeaderInFront") {
        std::vector<uint8_t> headed(64, 0x20);
        const auto card = mcb::formatCard(mcb::FormatOptions{16});
        headed.insert(headed.end(), card.begin(), card.end());
        mcbtest::writeFile(path.toStdString(), headed);
    } else {
        mcbtest::writeFile(path.toStdString(), std::vector<uint8_t>(1000, 0));
    }
    start();
    dialogs.files = {path};
    form->ShowCardHereClick();
    EXPECT_EQ(form->secondCard(), nullptr);
    EXPECT_EQ(names(form->ListView2), QStringList{"kept.gci"});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].contains(GetParam().reasonPart))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"), "image:" + cardPath);
}

INSTANTIATE_TEST_SUITE_P(Cards, SecondCardRefused,
                         testing::Values(RefusedCard{"SameCard", "That is the card on the left"},
                                         RefusedCard{"HeaderInFront", "another tool's header"},
                                         RefusedCard{"NoCardLength", "not the size of any card"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A fault on the side the save is read from, or on the side it is written
// to: the copy fails and says so, the card read from is untouched, and the
// card written to holds the save whole or not at all.
struct CopyFault {
    const char* name;
    bool toSecond;
    const char* faults;
};

class CardCopyFaults : public SecondCardTest, public testing::WithParamInterface<CopyFault> {};

TEST_P(CardCopyFaults, FailTheCopyAndLeaveBothCardsSound)
{
    twoCards();
    const bool toSecond = GetParam().toSecond;
    const auto sourceBefore = toSecond ? cardImage() : secondImage();
    const auto targetBefore = toSecond ? secondImage() : cardImage();
    select(toSecond ? form->ListView1 : form->ListView2, {toSecond ? "beta" : "gamma"});
    faults(GetParam().faults);
    toSecond ? form->DownLoadBtnClick() : form->UpLoadBtnClick();
    qunsetenv("MCBRIDGE_FAULTS");
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.messages.back().startsWith("Not copied to the other card: "))
        << dialogs.messages.back().toStdString();
    EXPECT_TRUE(dialogs.messages.back().contains(toSecond ? "beta" : "gamma"));
    const auto sourceAfter = toSecond ? cardImage() : secondImage();
    const auto targetAfter = toSecond ? secondImage() : cardImage();
    EXPECT_EQ(sourceAfter, sourceBefore);
    const mcb::CardReport target = mcb::inspectCard(targetAfter);
    EXPECT_TRUE(target.sound()) << target.problems[0];
    const auto copied = saveData(targetAfter, toSecond ? "beta" : "gamma");
    if (copied)
        EXPECT_EQ(copied, saveData(sourceBefore, toSecond ? "beta" : "gamma"));
    else
        EXPECT_EQ(target.saves.size(), mcb::inspectCard(targetBefore).saves.size());
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"), "image:" + cardPath);
}

INSTANTIATE_TEST_SUITE_P(
    Cards, CardCopyFaults,
    testing::Values(CopyFault{"ReadFailsOnTheCardInTheAdapter", true, "read-fail=data"},
                    CopyFault{"ReadFailsOnTheCardShownHere", false, "read-fail=data"},
                    CopyFault{"CutWhileTheCardShownHereIsWritten", true, "cut-at=data:4"},
                    CopyFault{"CutWhileTheCardInTheAdapterIsWritten", false, "cut-at=data:20"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SecondCardTest, BackupAndRestoreOfferRawImages)
{
    makeCard(4);
    start();
    dialogs.files = {std::nullopt, std::nullopt};
    form->ReadCardBtnClick();
    form->WriteCardBtnClick();
    ASSERT_EQ(dialogs.fileDialogs.size(), 2u);
    for (const auto& d : dialogs.fileDialogs)
        EXPECT_EQ(d.filter, "GC saver format (*.GCP *.gcp);;Raw card image (*.raw *.RAW)");
}

TEST_F(SecondCardTest, ARestoreOfAnImageBehindAnotherHeaderIsRefusedByName)
{
    makeCard(4);
    std::vector<uint8_t> headed(64, 0x20);
    headed.insert(headed.end(), image.begin(), image.end());
    mcbtest::writeFile(dir.file("headed.gcp"), headed);
    start();
    dialogs.files = {QString::fromStdString(dir.file("headed.gcp"))};
    form->WriteCardBtnClick();
    EXPECT_EQ(cardImage(), image);
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.messages.back().contains("another tool's header"))
        << dialogs.messages.back().toStdString();
}
