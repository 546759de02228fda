// The file list follows the save folder, and relisting decodes only the
// banners of saves that changed.
#include "app_fixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <utime.h>

namespace {

// Only a bound for a watch that never tells: a working one is waited for.
constexpr int kWatchWait = 10000;

class FolderWatchTest : public AppTest {
protected:
    void writeSave(const QString& name, unsigned blocks)
    {
        putSaveFile(name, mcbtest::makeSaveFile({.name = name.toStdString(), .blocks = blocks}));
    }
    QString savePath(const QString& name) const
    {
        return QString::fromStdString(dir.file("saver/" + name.toStdString()));
    }
};

} // namespace

TEST_F(FolderWatchTest, FilesAddedChangedAndRemovedShowWithoutAListing)
{
    makeCard();
    writeSave("a.gci", 1);
    start();
    ASSERT_EQ(names(form->ListView2), QStringList{"a.gci"});

    writeSave("b.gci", 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ListView2->count() == 2; }, kWatchWait));
    EXPECT_EQ(names(form->ListView2), (QStringList{"a.gci", "b.gci"}));

    // Rewritten in place with more blocks: the caption's count follows.
    writeSave("a.gci", 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ListView2->item(0)->text().contains("(3)"); },
                                kWatchWait));

    QFile::remove(savePath("b.gci"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ListView2->count() == 1; }, kWatchWait));
    EXPECT_EQ(names(form->ListView2), QStringList{"a.gci"});
}

TEST_F(FolderWatchTest, AChangeDuringACommandIsListedAfterIt)
{
    makeCard();
    start();
    // The window reads the folder when its settle timer runs out after the
    // folder told of a change: the only timer the window itself owns.
    const auto timers = form->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(timers.size(), 1);
    QSignalSpy settled(timers.front(), &QTimer::timeout);
    bool handledDuring = false;
    bool listedDuring = true;
    form->runCommand(
        form->b8,
        [&] {
            writeSave("late.gci", 1);
            // The window has handled the change, in mid-command.
            handledDuring = settled.wait(kWatchWait);
            listedDuring = form->ListView2->count() != 0;
        },
        TMainForm::Needs::Nothing);
    ASSERT_TRUE(handledDuring) << "the change was never told";
    EXPECT_FALSE(listedDuring);
    EXPECT_EQ(names(form->ListView2), QStringList{"late.gci"});
}

TEST_F(FolderWatchTest, OnlyChangedFilesAreDecodedAgain)
{
    makeCard();
    for (const char* n : {"a.gci", "b.gci", "c.gci"})
        writeSave(n, 1);
    start();
    EXPECT_EQ(form->banners().fileDecodes, 3);
    EXPECT_EQ(form->fileDescriptions().reads, 3);
    form->GetFilePIC();
    EXPECT_EQ(form->banners().fileDecodes, 3);
    EXPECT_EQ(form->fileDescriptions().reads, 3);
    // A new modification time is a new file to the cache.
    struct utimbuf times {
        1000000000, 1000000000
    };
    ASSERT_EQ(::utime(QFile::encodeName(savePath("b.gci")).constData(), &times), 0);
    form->GetFilePIC();
    EXPECT_EQ(form->banners().fileDecodes, 4);
    EXPECT_EQ(form->fileDescriptions().reads, 4);
}

TEST_F(FolderWatchTest, ARelistReadsNoBannerOfAnUnchangedCardSave)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    placeOnCard(1, {.name = "two", .blocks = 1}, 7);
    start();
    listCard();
    EXPECT_EQ(form->banners().cardDecodes, 2);
    const QImage first = form->ImageList1.at(0).toImage();
    listCard();
    EXPECT_EQ(form->banners().cardDecodes, 2);
    EXPECT_EQ(form->descriptions().reads, 2);
    EXPECT_EQ(form->ImageList1.at(0).toImage(), first);
    placeOnCard(2, {.name = "three", .blocks = 1}, 8);
    listCard();
    EXPECT_EQ(form->banners().cardDecodes, 3);
    EXPECT_EQ(form->descriptions().reads, 3);
    // A save whose entry changed is described again, from the card.
    placeOnCard(0, {.name = "one", .blocks = 2}, 9);
    listCard();
    EXPECT_EQ(form->descriptions().reads, 4);
}
