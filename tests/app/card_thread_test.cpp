// Card work on the card's thread: the window answers while the library waits
// on the card, the gates keep every other command out meanwhile, a batch
// stops between saves when the user cancels it, and closing the window waits
// for the save in flight.
//
// The library is held inside a call through the window's progress receiver:
// at the chosen progress message the card's thread stops there until the
// window's thread has done what the test asks of it. No clock decides
// anything; the bound on the hold only ends a test that is failing.
#include "app_fixture.h"

#include "cards/card_worker.h"
#include "commands/send_mail.h"
#include "editor/save_edit_form.h"

#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <QCoreApplication>
#include <QDir>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>
#include <set>

namespace {

class HeldInCall {
public:
    explicit HeldInCall(TMainForm& form) : fForm(form), fOriginal(*form.window())
    {
        form.window()->send = &HeldInCall::send;
        form.window()->context = this;
    }
    ~HeldInCall()
    {
        // A hold the window's thread never answered leaves its call posted.
        QCoreApplication::sendPostedEvents(&fForm, QEvent::MetaCall);
        *fForm.window() = fOriginal;
    }
    HeldInCall(const HeldInCall&) = delete;
    HeldInCall& operator=(const HeldInCall&) = delete;

    // Asked on the window's thread at each progress message, before the
    // window is given it, until it holds.
    std::function<bool()> when = [] { return true; };
    // Done on the window's thread while the card's is held.
    std::function<void()> meanwhile = [] {};

    bool held = false;          // the hold happened
    bool heldOffWindow = false; // in a call on another thread than the window's
    bool answered = false;      // meanwhile ran while the call was held
    int messages = 0;           // progress messages seen in all

private:
    static void send(void* context, uint32_t message, uintptr_t w, intptr_t l)
    {
        auto* self = static_cast<HeldInCall*>(context);
        ++self->messages;
        if (self->held || !onThreadOf(&self->fForm, [self] { return self->when(); })) {
            self->fOriginal.send(self->fOriginal.context, message, w, l);
            return;
        }
        // The message held is passed on first: the window has it to show
        // while the call waits.
        self->fOriginal.send(self->fOriginal.context, message, w, l);
        self->held = true;
        self->heldOffWindow = QThread::currentThread() != self->fForm.thread();
        QMetaObject::invokeMethod(
            &self->fForm,
            [self] {
                self->meanwhile();
                self->fReleased.release();
            },
            Qt::QueuedConnection);
        // The bound only ends a test whose window never answers.
        self->answered = self->fReleased.tryAcquire(1, 10000);
    }

    TMainForm& fForm;
    mcb_receiver fOriginal;
    QSemaphore fReleased;
};

constexpr int cStepsPerSave = 1000; // the batch's bar share of one save

class CardThreadTest : public AppTest {
protected:
    void fourSavesOnCard()
    {
        makeCard(4);
        for (unsigned i = 0; i < 4; ++i)
            placeOnCard(i,
                        {.code = "GZLE01",
                         .name = "save" + std::to_string(i),
                         .blocks = 2,
                         .seed = uint8_t(i + 1)},
                        5 + 2 * i);
    }
    void fourSaveFiles()
    {
        for (int i = 0; i < 4; ++i)
            putSaveFile(
                QStringLiteral("%1-file.gci").arg(i),
                mcbtest::makeSaveFile(
                    {.name = "file" + std::to_string(i), .blocks = 2, .seed = uint8_t(i + 1)}));
    }
    // A second card image holding count saves named prefix0..., each of
    // blocks blocks, one after the other from block 5; returns its path.
    std::string secondCardOf(unsigned count, const std::string& prefix, unsigned blocks,
                             uint8_t seed)
    {
        std::vector<uint8_t> second = mcb::formatCard(mcb::FormatOptions{4});
        for (unsigned i = 0; i < count; ++i)
            mcbtest::placeSave(second, i,
                               mcbtest::makeSaveFile({.code = "GCCE01",
                                                      .name = prefix + std::to_string(i),
                                                      .blocks = blocks,
                                                      .seed = uint8_t(i + seed)}),
                               5 + blocks * i);
        const std::string path = dir.file("second.raw");
        mcbtest::writeFile(path, second);
        return path;
    }
    mcb::CardReport card() const { return mcb::inspectCard(cardImage()); }
    QStringList saverFiles() const
    {
        return QDir(form->saverDir()).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace

// While the library reads the card, the window's thread is free: the
// progress of the call being held has reached the bar before the window does
// what it was asked, and the listing then ends as ever.
TEST_F(CardThreadTest, TheBarMovesWhileTheListingWaitsOnTheCard)
{
    fourSavesOnCard();
    start();
    form->Bar_Init(0, 10);
    HeldInCall hold(*form);
    int barBefore = -1, barWhileHeld = -1;
    hold.when = [&] {
        barBefore = form->ProgressBar1->position();
        return true;
    };
    hold.meanwhile = [&] { barWhileHeld = form->ProgressBar1->position(); };
    listCard();
    EXPECT_TRUE(hold.held);
    EXPECT_TRUE(hold.heldOffWindow) << "the listing ran on the window's thread";
    EXPECT_TRUE(hold.answered) << "the window did not answer while the card was read";
    EXPECT_EQ(barWhileHeld, barBefore + 1) << "the held call's progress did not reach the bar";
    EXPECT_EQ(names(form->ListView1).size(), 4);
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
}

// The commands that only ask, tell and show progress read and write the
// card on its own thread too: the window answers while the card works.
struct OffWindow {
    const char* name;
    std::function<void(TMainForm&, ScriptedDialogs&, const QString& folder)> run;
};

class CommandsOffWindow : public CardThreadTest, public ::testing::WithParamInterface<OffWindow> {};

TEST_P(CommandsOffWindow, WorkOnTheCardsThread)
{
    fourSavesOnCard();
    fourSaveFiles();
    start();
    listCard();
    form->ListView1->item(0)->setSelected(true);
    HeldInCall hold(*form);
    // Meanwhile the commands are shown off, CLOSE (which asks) is not.
    bool shownOff = false;
    hold.meanwhile = [&] {
        shownOff = !form->UpDateBtn->isEnabled() && !form->DeleteBtn->isEnabled() &&
                   !form->WriteCardBtn->isEnabled() && form->ExitBtn->isEnabled();
    };
    GetParam().run(*form, dialogs, form->saverDir());
    EXPECT_TRUE(hold.held) << "the command sent no progress";
    EXPECT_TRUE(hold.heldOffWindow) << "the command worked on the window's thread";
    EXPECT_TRUE(hold.answered);
    EXPECT_TRUE(shownOff);
    EXPECT_TRUE(form->UpDateBtn->isEnabled() && form->WriteCardBtn->isEnabled() && form->MaybeOk());
    EXPECT_TRUE(card().sound());
}

INSTANTIATE_TEST_SUITE_P(
    CardThread, CommandsOffWindow,
    ::testing::Values(OffWindow{"CopyToPc",
                                [](TMainForm& f, ScriptedDialogs& d, const QString& folder) {
                                    d.files = {folder + QStringLiteral("/copy.gci")};
                                    f.DownLoadBtnClick();
                                }},
                      OffWindow{"Delete",
                                [](TMainForm& f, ScriptedDialogs& d, const QString&) {
                                    d.yesNo = {true};
                                    f.DeleteBtnClick();
                                }},
                      OffWindow{"BackUp",
                                [](TMainForm& f, ScriptedDialogs& d, const QString& folder) {
                                    d.files = {folder + QStringLiteral("/card.raw")};
                                    f.ReadCardBtnClick();
                                }},
                      OffWindow{"Check", [](TMainForm& f, ScriptedDialogs&,
                                            const QString&) { f.CheckCardClick(); }},
                      // The mail program (a stand-in that takes the message)
                      // is started from the window's thread.
                      OffWindow{"Mail",
                                [](TMainForm& f, ScriptedDialogs&, const QString&) {
                                    TSendMail::setCommand(QStringLiteral("true"));
                                    f.EmailBtnClick();
                                    TSendMail::setCommand(QString());
                                }},
                      // The editor opens on the window's thread and is closed
                      // unchanged.
                      OffWindow{"Edit",
                                [](TMainForm& f, ScriptedDialogs&, const QString&) {
                                    bool shown = false;
                                    QTimer poll;
                                    QObject::connect(&poll, &QTimer::timeout, [&] {
                                        if (f.SaveEditForm->isVisible() && !shown) {
                                            shown = QThread::currentThread() == f.thread();
                                            f.SaveEditForm->hide();
                                        }
                                    });
                                    poll.start(10);
                                    f.EditBtnClick();
                                    EXPECT_TRUE(shown) << "the editor was not shown";
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

// The listings no command's body runs read their card on a card's thread
// too: the second card's on a thread of its own, the relisting after a
// device change and the one after a stale list on the first card's. While
// the card is held in a read the window answers, the bar moves, the
// commands are shown off and every gate is closed; the list is right after.
enum class Listing { SecondCard, DeviceChange, StaleList };

struct OffWindowListing {
    const char* name;
    Listing which;
};

class ListingsOffWindow : public CardThreadTest,
                          public ::testing::WithParamInterface<OffWindowListing> {};

TEST_P(ListingsOffWindow, ReadTheCardOnACardsThread)
{
    fourSavesOnCard();
    const std::string secondPath = secondCardOf(2, "other", 2, 9);
    start();
    listCard();

    HeldInCall hold(*form);
    TSaveListView* list = form->ListView1;
    CardWorker* worker = form->cardWorker();
    QStringList expected;
    QString told; // what the one notice says, if one is due
    std::function<void()> listing;
    std::function<bool()> inListing = [] { return true; };
    switch (GetParam().which) {
    case Listing::SecondCard:
        dialogs.files = {QString::fromStdString(secondPath)};
        listing = [&] { form->ShowCardHereClick(); };
        list = form->ListView2;
        worker = form->secondCardWorker();
        expected = {"other0", "other1"};
        break;
    case Listing::DeviceChange:
        placeOnCard(4, {.code = "GZLE01", .name = "save4", .blocks = 2, .seed = 5}, 13);
        listing = [&] { form->deviceChanged(); };
        expected = {"save0", "save1", "save2", "save3", "save4"};
        break;
    case Listing::StaleList:
        // Deleted by another program while the list shows it: the copy
        // finds it gone, then the list is read again.
        mcbtest::writeFile(cardPath.toStdString(), mcb::formatCard(mcb::FormatOptions{4}));
        for (unsigned i = 1; i < 4; ++i)
            placeOnCard(i,
                        {.code = "GZLE01",
                         .name = "save" + std::to_string(i),
                         .blocks = 2,
                         .seed = uint8_t(i + 1)},
                        5 + 2 * i);
        select(form->ListView1, {"save0"});
        dialogs.files = {form->saverDir() + QStringLiteral("/save0.gci")};
        listing = [&] { form->DownLoadBtnClick(); };
        // Held in the relisting: the copy has told its failure by then.
        inListing = [&] { return !dialogs.messages.isEmpty(); };
        expected = {"save1", "save2", "save3"};
        told = QStringLiteral("save0 [no such saver on the card]");
        break;
    }
    int barBefore = -1, barWhileHeld = -1;
    hold.when = [&] {
        barBefore = form->ProgressBar1->position();
        return inListing();
    };
    bool shownOff = false, gatesClosed = false, onItsThread = false, quitWhileHeld = true;
    int quits = 0;
    bool listedAtQuit = false;
    form->quitAction = [&] {
        ++quits;
        QStringList now = names(list);
        now.sort();
        listedAtQuit = now == expected;
    };
    hold.meanwhile = [&] {
        // Closing is asked at once, and waits for the listing's end.
        dialogs.yesNo.push_back(true);
        form->close();
        quitWhileHeld = quits != 0;
        barWhileHeld = form->ProgressBar1->position();
        shownOff = !form->UpDateBtn->isEnabled() && !form->DownLoadBtn->isEnabled() &&
                   !form->ReadCardBtn->isEnabled() && form->ExitBtn->isEnabled();
        gatesClosed = !(form->b0 || form->b1 || form->b2 || form->b3 || form->b4 || form->b5 ||
                        form->b6 || form->b7 || form->b8);
        onItsThread = worker->busy();
    };
    listing();
    EXPECT_TRUE(hold.held) << "the listing sent no progress";
    EXPECT_TRUE(hold.heldOffWindow) << "the card was read on the window's thread";
    EXPECT_TRUE(hold.answered) << "the window did not answer while the card was read";
    EXPECT_TRUE(onItsThread) << "not read on the card's own thread";
    EXPECT_EQ(barWhileHeld, std::min(barBefore + 1, form->ProgressBar1->maximum()));
    EXPECT_TRUE(shownOff);
    EXPECT_TRUE(gatesClosed);
    QStringList shown = names(list);
    shown.sort();
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(form->UpDateBtn->isEnabled() && form->ReadCardBtn->isEnabled() && form->MaybeOk());
    EXPECT_TRUE(form->b0 && form->b3 && form->b8) << "the gates stayed closed";
    EXPECT_EQ(dialogs.questions.size(), 1) << "closing was not asked while the card was read";
    EXPECT_FALSE(quitWhileHeld) << "quit while the card was read";
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits != 0; })) << "no quit after the listing";
    EXPECT_TRUE(listedAtQuit) << "quit before the list was filled";
    EXPECT_EQ(dialogs.messages.size(), told.isEmpty() ? 0 : 1)
        << dialogs.messages.join('\n').toStdString();
    EXPECT_TRUE(dialogs.messages.join('\n').contains(told))
        << dialogs.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(CardThread, ListingsOffWindow,
                         ::testing::Values(OffWindowListing{"SecondCard", Listing::SecondCard},
                                           OffWindowListing{"DeviceChange", Listing::DeviceChange},
                                           OffWindowListing{"StaleList", Listing::StaleList}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the user may try while a listing runs on the card's thread; every one
// is turned away: no dialog, no card work of its own, the card as it was.
struct Attempt {
    const char* name;
    std::function<void(TMainForm&, const QString& folder)> act;
};

class GatesWhileRunning : public CardThreadTest, public ::testing::WithParamInterface<Attempt> {};

TEST_P(GatesWhileRunning, TurnAwayWhatTheUserTries)
{
    fourSavesOnCard();
    fourSaveFiles();
    start();
    // Keys reach the window's shortcuts only while it is the active one.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    listCard();
    form->ListView1->setFocus();
    form->ListView1->item(0)->setSelected(true);
    form->ListView2->item(0)->setSelected(true);
    ASSERT_TRUE(form->MaybeOk()) << "the buttons must be on for the attempt to mean anything";
    const auto before = cardImage();
    const QByteArray device = qgetenv("MCBRIDGE_DEVICE");

    // The same listing once more with nothing tried: what it costs alone.
    int alone = 0;
    {
        HeldInCall hold(*form);
        listCard();
        alone = hold.messages;
    }
    form->ListView1->item(0)->setSelected(true);
    form->ListView2->item(0)->setSelected(true);
    HeldInCall hold(*form);
    hold.meanwhile = [&] { GetParam().act(*form, form->saverDir()); };
    listCard();
    EXPECT_TRUE(hold.answered) << "a second command started under the first";
    EXPECT_EQ(hold.messages, alone) << "the attempt reached the card";
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join('\n').toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_TRUE(dialogs.reports.empty());
    EXPECT_EQ(cardImage(), before);
    EXPECT_EQ(qgetenv("MCBRIDGE_DEVICE"), device);
    EXPECT_EQ(names(form->ListView1).size(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    CardThread, GatesWhileRunning,
    ::testing::Values(
        Attempt{"ListButton", [](TMainForm& f, const QString&) { f.UpDateBtn->click(); }},
        Attempt{"F5", [](TMainForm& f, const QString&) { QTest::keyClick(&f, Qt::Key_F5); }},
        Attempt{"DeleteKey",
                [](TMainForm& f, const QString&) { QTest::keyClick(f.ListView1, Qt::Key_Delete); }},
        Attempt{"DeleteButton", [](TMainForm& f, const QString&) { f.DeleteBtn->click(); }},
        Attempt{"CopyToPcButton", [](TMainForm& f, const QString&) { f.DownLoadBtn->click(); }},
        Attempt{"CopyToCardButton", [](TMainForm& f, const QString&) { f.UpLoadBtn->click(); }},
        Attempt{"BackUpButton", [](TMainForm& f, const QString&) { f.ReadCardBtn->click(); }},
        Attempt{"RestoreButton", [](TMainForm& f, const QString&) { f.WriteCardBtn->click(); }},
        Attempt{"EditButton", [](TMainForm& f, const QString&) { f.EditBtn->click(); }},
        Attempt{"MailButton", [](TMainForm& f, const QString&) { f.EmailBtn->click(); }},
        Attempt{"DragToCardList",
                [](TMainForm& f, const QString&) { f.ListView1DragDrop(f.ListView2); }},
        Attempt{"DragToFileList",
                [](TMainForm& f, const QString&) { f.ListView2DragDrop(f.ListView1); }},
        Attempt{"FilesDropped",
                [](TMainForm& f, const QString& folder) {
                    f.ListView1FilesDropped({folder + QStringLiteral("/1-file.gci")});
                }},
        Attempt{"CardImageDropped",
                [](TMainForm& f, const QString& folder) {
                    emit f.ListView1->cardImageDropped(folder + QStringLiteral("/../card.raw"));
                }},
        Attempt{"CopyAllToCard", [](TMainForm& f, const QString&) { f.CopyAllToCardClick(); }},
        Attempt{"CopyAllToPc", [](TMainForm& f, const QString&) { f.CopyAllToPcClick(); }},
        Attempt{"CheckCard", [](TMainForm& f, const QString&) { f.CheckCardClick(); }}),
    [](const ::testing::TestParamInfo<Attempt>& info) { return std::string(info.param.name); });

// A batch cancelled while its second save is copied: that save is finished,
// no other is begun, and the report says how many went and that the rest
// were not tried. Cancel shows only while the batch runs.
struct CancelledBatch {
    const char* name;
    bool toCard;
};

class BatchCancelled : public CardThreadTest,
                       public ::testing::WithParamInterface<CancelledBatch> {};

TEST_P(BatchCancelled, StopsBetweenSaves)
{
    const bool toCard = GetParam().toCard;
    if (toCard) {
        makeCard(4);
        fourSaveFiles();
    } else {
        fourSavesOnCard();
    }
    start();
    listCard();
    EXPECT_FALSE(form->CancelBtn->isVisible());
    HeldInCall hold(*form);
    // The bar passes a save's share once the first save is copied: the next
    // progress comes from the second.
    hold.when = [&] { return form->ProgressBar1->position() >= cStepsPerSave; };
    bool shownWhileRunning = false;
    hold.meanwhile = [&] {
        // In the card size's place, which comes back afterwards.
        shownWhileRunning = form->CancelBtn->isVisible() && form->CancelBtn->isEnabled() &&
                            !form->USbImage->isVisible() && !form->Label2->isVisible();
        QTest::mouseClick(form->CancelBtn, Qt::LeftButton);
    };
    if (toCard)
        form->CopyAllToCardClick();
    else
        form->CopyAllToPcClick();
    EXPECT_TRUE(hold.held && hold.answered);
    EXPECT_TRUE(shownWhileRunning);
    EXPECT_FALSE(form->CancelBtn->isVisible());
    EXPECT_TRUE(form->USbImage->isVisible() && form->Label2->isVisible());

    ASSERT_EQ(dialogs.reports.size(), 1u);
    const QString text = dialogs.reports[0].text;
    EXPECT_TRUE(text.startsWith("2 of 4 saves copied.")) << text.toStdString();
    EXPECT_TRUE(text.contains("You stopped the copy: the other 2 were not tried."))
        << text.toStdString();
    const mcb::CardReport report = card();
    EXPECT_TRUE(report.sound());
    if (toCard) {
        // The first two in the list's order, whole.
        ASSERT_EQ(report.saves.size(), 2u);
        std::set<std::string> copied;
        for (const auto& s : report.saves)
            copied.insert(s.name);
        EXPECT_EQ(copied, (std::set<std::string>{"file0", "file1"}));
        EXPECT_EQ(form->ListView1->count(), 2);
    } else {
        EXPECT_EQ(saverFiles().size(), 2) << saverFiles().join(' ').toStdString();
        EXPECT_EQ(report.saves.size(), 4u) << "the card is only read";
    }
}

INSTANTIATE_TEST_SUITE_P(CardThread, BatchCancelled,
                         ::testing::Values(CancelledBatch{"CopyAllToCard", true},
                                           CancelledBatch{"CopyAllToPc", false}),
                         [](const ::testing::TestParamInfo<CancelledBatch>& info) {
                             return std::string(info.param.name);
                         });

// Closing the window while a batch copies: the user is asked; a yes lets the
// save in flight finish, begins no other, and quits only once the command
// has ended; a no changes nothing.
struct CloseWhileRunning {
    const char* name;
    bool yes;
};

class CloseAsked : public CardThreadTest,
                   public ::testing::WithParamInterface<CloseWhileRunning> {};

TEST_P(CloseAsked, WaitsForTheSaveInFlight)
{
    const bool yes = GetParam().yes;
    makeCard(4);
    fourSaveFiles();
    start();
    listCard();
    int step = 0, finishedAt = 0, quitAt = 0;
    form->quitAction = [&] { quitAt = ++step; };
    QObject::connect(form.get(), &TMainForm::commandFinished, [&] { finishedAt = ++step; });
    HeldInCall hold(*form);
    hold.when = [&] { return form->ProgressBar1->position() >= cStepsPerSave; };
    bool quitWhileHeld = true;
    hold.meanwhile = [&] {
        dialogs.yesNo.push_back(yes);
        form->close();
        quitWhileHeld = quitAt != 0;
    };
    form->CopyAllToCardClick();
    EXPECT_TRUE(hold.held && hold.answered);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_FALSE(quitWhileHeld) << "quit with a save being written";
    const mcb::CardReport report = card();
    EXPECT_TRUE(report.sound());
    if (yes) {
        QTRY_VERIFY(quitAt != 0);
        EXPECT_GT(quitAt, finishedAt) << "quit before the command ended";
        EXPECT_EQ(report.saves.size(), 2u) << "the batch went on after the close";
    } else {
        QCoreApplication::processEvents();
        EXPECT_EQ(quitAt, 0);
        EXPECT_EQ(report.saves.size(), 4u);
    }
}

INSTANTIATE_TEST_SUITE_P(CardThread, CloseAsked,
                         ::testing::Values(CloseWhileRunning{"Yes", true},
                                           CloseWhileRunning{"No", false}),
                         [](const ::testing::TestParamInfo<CloseWhileRunning>& info) {
                             return std::string(info.param.name);
                         });

// The second card's copies are a batch too: Cancel once the first save is
// on the card in the adapter stops them before the next one begins; each
// save that went is whole, and the notice counts them and the rest.
TEST_F(CardThreadTest, CardToCardCopiesStopBetweenSaves)
{
    makeCard(4);
    const std::string secondPath = secondCardOf(4, "card", 3, 7);
    const std::vector<uint8_t> second = mcbtest::readFile(secondPath);
    start();
    listCard();
    dialogs.files = {QString::fromStdString(secondPath)};
    form->ShowCardHereClick();
    ASSERT_NE(form->secondCard(), nullptr) << dialogs.messages.join('\n').toStdString();

    HeldInCall hold(*form);
    hold.when = [&] { return !card().saves.empty(); };
    hold.meanwhile = [&] { QTest::mouseClick(form->CancelBtn, Qt::LeftButton); };
    form->CopyAllToCardClick();
    EXPECT_TRUE(hold.held && hold.answered);
    EXPECT_FALSE(form->CancelBtn->isVisible());

    const mcb::CardReport report = card();
    EXPECT_TRUE(report.sound());
    const int copied = int(report.saves.size());
    EXPECT_GE(copied, 1);
    EXPECT_LT(copied, 4) << "the copies went on after Cancel";
    const mcb::CardReport source = mcb::inspectCard(second);
    for (const mcb::SaveInfo& s : report.saves)
        for (const mcb::SaveInfo& from : source.saves) {
            if (from.name != s.name)
                continue;
            EXPECT_EQ(mcbtest::blocksOf(cardImage(), s.firstBlock, s.blockCount),
                      mcbtest::blocksOf(second, from.firstBlock, from.blockCount))
                << s.name;
        }
    ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.messages.join('\n').toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("%1 of 4 saves copied.").arg(copied)))
        << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains(
        QStringLiteral("You stopped the copy: the other %1 were not tried.").arg(4 - copied)))
        << dialogs.messages[0].toStdString();
}
