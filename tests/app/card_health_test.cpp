// The card list's context menu: check, repair and recover, each with its
// report window, and the questions before anything is written.
#include "app_fixture.h"
#include "i18n/texts.h"

#include "mcbridge/cardfs.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstring>

using namespace mcb;

namespace {

class HealthTest : public AppTest {
protected:
    // Marks block 30 used in both map copies with no save owning it.
    void leakBlock()
    {
        image = cardImage();
        mcbtest::setMapEntryOnCard(image, 30, 0xFFFF);
        mcbtest::writeFile(cardPath.toStdString(), image);
    }
    // The card as a console leaves it after deleting the save in slot 1:
    // the copies in use no longer hold it, the others still do.
    void deleteSlot1AsAConsoleDoes()
    {
        image = cardImage();
        Block d, m;
        std::memcpy(d.data(), &image[kDirectoryBlock[0] * kBlockSize], kBlockSize);
        std::memcpy(m.data(), &image[kMapBlock[0] * kBlockSize], kBlockSize);
        const unsigned first = entryAt(d, 1).firstBlock(), count = entryAt(d, 1).blockCount();
        std::memset(&d[kEntrySize], 0xFF, kEntrySize);
        for (unsigned b = first; b < first + count; ++b)
            setMapEntry(m, b, 0);
        putBe16(&d[kDirCounter], 2);
        sealDirectory(d);
        putBe16(&m[kMapCounter], 1);
        refreshMapHeader(m, 59);
        std::memcpy(&image[kDirectoryBlock[0] * kBlockSize], d.data(), kBlockSize);
        std::memcpy(&image[kMapBlock[0] * kBlockSize], m.data(), kBlockSize);
        mcbtest::writeFile(cardPath.toStdString(), image);
    }
    QStringList menuShownBy(const std::function<void()>& open)
    {
        QStringList entries;
        QTimer::singleShot(0, [&] {
            if (QMenu* m = form->cardMenu()) {
                for (QAction* a : m->actions())
                    entries << a->text();
                m->close();
            }
        });
        open();
        return entries;
    }
};

const QStringList kViewEntries{"Listed order", "Sort by name", "Sort by game",
                               "Sort by date", "Sort by size", "",
                               "Animate icons"};
const QStringList kCardEntries{"Check card…",
                               "Repair card…",
                               "Recover deleted saves…",
                               "",
                               "Copy all to PC…",
                               "",
                               "Cards",
                               "",
                               "Undo",
                               "History…",
                               ""};
const QStringList kEnglishMenu = kCardEntries + kViewEntries;

} // namespace

TEST_F(HealthTest, TheMenuOpensOnTheRightButtonAndTheMenuKey)
{
    makeCard(4);
    start();
    QWidget* view = form->ListView1->viewport();
    EXPECT_EQ(menuShownBy([&] {
                  QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10));
                  QApplication::sendEvent(view, &e);
              }),
              kEnglishMenu);
    EXPECT_EQ(menuShownBy([&] {
                  QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(0, 0));
                  QApplication::sendEvent(view, &e);
              }),
              kEnglishMenu);
    // The other list's menu is its own: its files are not the card.
    QStringList pcEntries;
    bool cardMenuOpened = false;
    QTimer::singleShot(0, [&] {
        cardMenuOpened = form->cardMenu() != nullptr;
        if (QMenu* m = form->pcMenu()) {
            for (QAction* a : m->actions())
                pcEntries << a->text();
            m->close();
        }
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10));
    QApplication::sendEvent(form->ListView2->viewport(), &e);
    EXPECT_FALSE(cardMenuOpened);
    EXPECT_EQ(pcEntries.mid(pcEntries.size() - kViewEntries.size()), kViewEntries);
    for (const QString& entry : kCardEntries)
        if (!entry.isEmpty())
            EXPECT_FALSE(pcEntries.contains(entry)) << entry.toStdString();
}

TEST_F(HealthTest, TheCheckReportNamesEverySaveAndEndsWithTheVerdict)
{
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    start();
    form->CheckCardClick();
    ASSERT_EQ(dialogs.reports.size(), 1u);
    const skin::ReportSpec& r = dialogs.reports[0];
    EXPECT_EQ(r.title, "Check card");
    EXPECT_EQ(r.copyCaption, "Copy");
    EXPECT_EQ(r.closeCaption, "Close");
    EXPECT_TRUE(r.text.contains("Save in slot 0 (GTSE01 alpha): 3 blocks, chain 5-7."))
        << r.text.toStdString();
    EXPECT_TRUE(r.text.endsWith("The card is sound.")) << r.text.toStdString();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(cardImage(), image);
}

TEST_F(HealthTest, TheCheckSpeaksJapanese)
{
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    leakBlock();
    start(0x0411);
    form->CheckCardClick();
    ASSERT_EQ(dialogs.reports.size(), 1u);
    const skin::ReportSpec& r = dialogs.reports[0];
    EXPECT_EQ(r.title, "カードをチェック");
    EXPECT_EQ(r.copyCaption, "コピー");
    EXPECT_TRUE(r.text.contains("警告: 1 ブロックが使用中とされていますが"))
        << r.text.toStdString();
    EXPECT_TRUE(r.text.endsWith("カードは正常ですが、警告が 1 件あります。"))
        << r.text.toStdString();
}

TEST_F(HealthTest, RepairAsksFirstAndWritesNothingOnNo)
{
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    leakBlock();
    start();
    dialogs.yesNo = {false};
    form->RepairCardClick();
    EXPECT_EQ(dialogs.questions, QStringList{"Make these changes on the card now?"});
    ASSERT_EQ(dialogs.reports.size(), 1u);
    EXPECT_TRUE(dialogs.reports[0].text.startsWith("A repair would make these changes:\nFree 1 "
                                                   "leaked blocks: 30."))
        << dialogs.reports[0].text.toStdString();
    EXPECT_EQ(cardImage(), image);
}

TEST_F(HealthTest, RepairOnYesFixesTheCardAndSaysSo)
{
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    leakBlock();
    start();
    dialogs.yesNo = {true};
    form->RepairCardClick();
    ASSERT_EQ(dialogs.reports.size(), 2u);
    EXPECT_TRUE(dialogs.reports[1].text.startsWith("Repaired:\nFree 1 leaked blocks: 30."));
    EXPECT_TRUE(dialogs.reports[1].text.endsWith("The card is sound."))
        << dialogs.reports[1].text.toStdString();
    Block d, m;
    ASSERT_TRUE(currentStructures(cardImage(), d, m));
    EXPECT_EQ(mapEntry(m, 30), 0);
    EXPECT_EQ(names(form->ListView1), QStringList{"alpha"});
}

TEST_F(HealthTest, ASoundCardNeedsNoRepairAndNoQuestion)
{
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    start();
    form->RepairCardClick();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    ASSERT_EQ(dialogs.reports.size(), 1u);
    EXPECT_EQ(dialogs.reports[0].text, "Nothing to repair.");
    EXPECT_EQ(cardImage(), image);
}

// The question is asked inside the report that names the deleted save, with
// a button of its own, never in a box after the report has closed.
struct RecoverCase {
    const char* name;
    bool putBack;
    QStringList listed;
    std::size_t reports;
};

class RecoverAnswers : public HealthTest, public ::testing::WithParamInterface<RecoverCase> {};

TEST_P(RecoverAnswers, AskedInsideTheReport)
{
    const RecoverCase& c = GetParam();
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    placeOnCard(1, {.name = "beta", .blocks = 2, .seed = 4}, 8);
    deleteSlot1AsAConsoleDoes();
    const std::vector<uint8_t> before = cardImage();
    start();
    listCard();
    EXPECT_EQ(names(form->ListView1), QStringList{"alpha"});
    dialogs.reportActions = {c.putBack};
    form->RecoverCardClick();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    ASSERT_EQ(dialogs.reports.size(), c.reports);
    EXPECT_EQ(dialogs.reports[0].text,
              "Deleted save from slot 1 (GTSE01 beta): 2 blocks, all still free.\n\n"
              "Put back the save GTSE01 beta (2 blocks)?");
    EXPECT_EQ(dialogs.reports[0].actionCaption, "Put back");
    EXPECT_EQ(dialogs.reports[0].closeCaption, "Close");
    if (c.putBack) {
        EXPECT_EQ(dialogs.reports[1].text, "Put back GTSE01 beta in slot 1.");
    } else {
        EXPECT_EQ(cardImage(), before);
    }
    EXPECT_EQ(names(form->ListView1), c.listed);
}

INSTANTIATE_TEST_SUITE_P(Recover, RecoverAnswers,
                         ::testing::Values(RecoverCase{"PutBack", true, {"alpha", "beta"}, 2},
                                           RecoverCase{"Close", false, {"alpha"}, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A recovery the adapter cut short says where the save stands as the card
// shows it afterwards: back all the same, still to be put back, or neither.
TEST_F(HealthTest, ARecoveryCutShortSaysWhatTheCardHolds)
{
    makeCard(4);
    placeOnCard(0, {.name = "alpha", .blocks = 3}, 5);
    placeOnCard(1, {.name = "beta", .blocks = 2, .seed = 4}, 8);
    deleteSlot1AsAConsoleDoes();
    const std::vector<uint8_t> deleted = cardImage();
    start();
    const auto stillRecoverable = [&] {
        mcb_card* card = nullptr;
        uint32_t count = 0;
        bool found = false;
        if (mcb_open(("image:" + cardPath.toStdString()).c_str(), &card) == MCB_OK &&
            mcb_recover_find(card, &count) == MCB_OK)
            for (uint32_t i = 0; i < count; ++i) {
                mcb_finding f{};
                found |= mcb_card_finding(card, i, &f) == MCB_OK && std::string(f.name) == "beta";
            }
        mcb_close(card);
        return found;
    };
    int back = 0, still = 0;
    for (int cut = 1; cut < 40; ++cut) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " writes");
        mcbtest::writeFile(cardPath.toStdString(), deleted);
        listCard();
        dialogs.reports.clear();
        dialogs.reportActions = {true};
        faults(("cut-after-writes=" + std::to_string(cut)).c_str());
        form->RecoverCardClick();
        faults("");
        ASSERT_EQ(dialogs.reports.size(), 2u);
        const QString said = dialogs.reports[1].text;
        if (said == "Put back GTSE01 beta in slot 1.")
            break; // the recovery needs fewer writes than this
        const CardReport card = inspectCard(cardImage());
        const bool isBack = std::any_of(card.saves.begin(), card.saves.end(),
                                        [](const SaveInfo& i) { return i.name == "beta"; });
        EXPECT_EQ(said.contains("is back all the same, in slot 1"), isBack) << said.toStdString();
        EXPECT_EQ(said.contains("It can still be put back"), !isBack && stillRecoverable())
            << said.toStdString();
        back += isBack;
        still += !isBack;
    }
    EXPECT_GT(back, 0);
    EXPECT_GT(still, 0);
}

TEST(ReportWindow, ItsActionButtonAnswersAndCloseDoesNot)
{
    for (const bool action : {true, false}) {
        skin::ReportDialog d({"Recover deleted saves", "text", "Copy", "Close", "Put back"});
        ASSERT_NE(d.actionButton(), nullptr);
        EXPECT_EQ(d.actionButton()->text(), "Put back");
        QTimer::singleShot(0, &d, [&] {
            QTest::mouseClick(action ? d.actionButton() : d.closeButton(), Qt::LeftButton);
        });
        d.exec();
        EXPECT_EQ(d.actionChosen(), action);
    }
    // A plain report has no third button.
    skin::ReportDialog plain({"Check card", "text", "Copy", "Close"});
    EXPECT_EQ(plain.actionButton(), nullptr);
}

TEST_F(HealthTest, NothingToRecoverIsSaid)
{
    makeCard(4);
    start();
    form->RecoverCardClick();
    ASSERT_EQ(dialogs.reports.size(), 1u);
    EXPECT_EQ(dialogs.reports[0].text, "No deleted save can be brought back.");
}

TEST_F(HealthTest, NoAdapterIsToldAndTheGatesOpenAgain)
{
    makeCard(4);
    noAdapter();
    start();
    form->CheckCardClick();
    EXPECT_EQ(dialogs.messages, QStringList{say_n_noadapter});
    EXPECT_TRUE(dialogs.reports.empty());
    EXPECT_TRUE(form->b0);
}
