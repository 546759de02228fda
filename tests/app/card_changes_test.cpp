// The card changing under a command: swapped (or its image replaced) while
// a save is written, or held by another program's write lock. The program
// says why in the user's language and lists the card as it is now.
#include "app_fixture.h"
#include "i18n/texts.h"

#include "mcbridge/format.h"

#include <QFile>

#include <functional>

using mcbtest::readFile;

namespace {

enum class Command { Upload, Delete, CopyAllToCard };

struct SwapCase {
    const char* name;
    Command command;
    // The write's own announcement of its steps, sent after it read the
    // card's directory for the write (a save's write announces 7 steps, a
    // delete's commit 5): the card is swapped then, before the commit.
    uintptr_t swapAt;
};

void PrintTo(const SwapCase& c, std::ostream* os) { *os << c.name; }

// Forwards the library's progress to the window, and runs swap once at the
// first announcement of swapAt steps.
struct SwapOnProgress {
    mcb_receiver original;
    uintptr_t at;
    std::function<void()> swap;
    bool done = false;
    static void send(void* self, uint32_t message, uintptr_t wParam, intptr_t lParam)
    {
        auto& s = *static_cast<SwapOnProgress*>(self);
        if (!s.done && wParam == s.at) {
            s.done = true;
            s.swap();
        }
        s.original.send(s.original.context, message, wParam, lParam);
    }
};

class CardSwapped : public AppTest, public ::testing::WithParamInterface<SwapCase> {};

} // namespace

TEST_P(CardSwapped, DuringAWriteIsToldAndTheCardListedAgain)
{
    const SwapCase& c = GetParam();
    makeCard(4);
    placeOnCard(0, {.code = "GAAE01", .name = "alpha", .blocks = 2}, 5);
    putSaveFile("new.gci", mcbtest::makeSaveFile({.code = "GNNE01", .name = "new", .blocks = 1}));
    start();
    listCard();
    // Another card, formatted elsewhere, with a save of its own.
    std::vector<uint8_t> other = mcb::formatCard({.megabits = 4, .formatTime = 12345});
    mcbtest::placeSave(other, 0, mcbtest::makeSaveFile({.name = "other", .blocks = 1}), 5);
    SwapOnProgress swapper{*form->window(), c.swapAt,
                           [&] { mcbtest::writeFile(cardPath.toStdString(), other); }};
    form->window()->send = &SwapOnProgress::send;
    form->window()->context = &swapper;
    switch (c.command) {
    case Command::Upload:
        select(form->ListView2, {"new.gci"});
        form->UpLoadBtnClick();
        break;
    case Command::Delete:
        select(form->ListView1, {"alpha"});
        dialogs.yesNo = {true};
        form->DeleteBtnClick();
        break;
    case Command::CopyAllToCard: form->CopyAllToCardClick(); break;
    }
    *form->window() = swapper.original;
    ASSERT_TRUE(swapper.done);
    // Nothing of the write reached the other card's system area.
    const std::vector<uint8_t> now = readFile(cardPath.toStdString());
    const size_t system = MCB_SYSTEM_BLOCKS * MCB_BLOCK_SIZE;
    EXPECT_TRUE(std::equal(now.begin(), now.begin() + system, other.begin()));
    const QString told = c.command == Command::CopyAllToCard
                             ? (dialogs.reports.empty() ? QString() : dialogs.reports.back().text)
                             : dialogs.messages.join('\n');
    EXPECT_TRUE(told.contains(say_why_changed)) << told.toStdString();
    EXPECT_EQ(names(form->ListView1), QStringList{"other"});
}

INSTANTIATE_TEST_SUITE_P(App, CardSwapped,
                         ::testing::Values(SwapCase{"Upload", Command::Upload, 7},
                                           SwapCase{"Delete", Command::Delete, 5},
                                           SwapCase{"CopyAllToCard", Command::CopyAllToCard, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppTest, ACardAnotherProgramWritesIsToldBusyAndLeftAlone)
{
    makeCard(4);
    putSaveFile("new.gci", mcbtest::makeSaveFile({.code = "GNNE01", .name = "new", .blocks = 1}));
    start();
    listCard();
    // Another writer holds the card's lock for as long as the command runs;
    // the program waits the library's stated time for it, then gives up.
    mcb_card* holder = nullptr;
    ASSERT_EQ(mcb_open(("image:" + cardPath).toLocal8Bit().constData(), &holder), MCB_OK);
    ASSERT_EQ(mcb_lock(holder), MCB_OK);
    const std::vector<uint8_t> before = readFile(cardPath.toStdString());
    select(form->ListView2, {"new.gci"});
    form->UpLoadBtnClick();
    mcb_close(holder);
    EXPECT_EQ(readFile(cardPath.toStdString()), before);
    // The card is there, only taken: said so once, without probing it again.
    EXPECT_EQ(dialogs.messages, QStringList{say_n_noanswer + say_why_busy});
    EXPECT_TRUE(form->cardListed());
}
