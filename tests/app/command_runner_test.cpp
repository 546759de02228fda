// Every command runs the same way: when the adapter cannot be opened the user
// is told, and whatever way a command ends, the gates are open again, the
// adapter is closed and the bar is empty.
#include "app_fixture.h"

#include "i18n/texts.h"

#include <QTimer>

namespace {

struct CommandCase {
    const char* name;
    void (TMainForm::*click)();
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class EveryCommand : public AppTest, public ::testing::WithParamInterface<CommandCase> {};

bool allGatesOpen(const TMainForm& f)
{
    return f.b0 && f.b1 && f.b2 && f.b3 && f.b4 && f.b5 && f.b6 && f.b7 && f.b8;
}

} // namespace

TEST_P(EveryCommand, NamesAnAdapterThatWentAwayAndEndsClean)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    start();
    listCard();
    select(form->ListView1, {"one"});
    form->Bar_Init(0, 10);
    form->Bar_pos(5);
    noAdapter();
    (form.get()->*GetParam().click)();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0), say_n_noadapter);
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_EQ(form->link(), nullptr);
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_FALSE(form->commandRunning());
    EXPECT_EQ(form->Label1->text(), "No adapter found");
}

INSTANTIATE_TEST_SUITE_P(Commands, EveryCommand,
                         ::testing::Values(CommandCase{"List", &TMainForm::UpDateBtnClick},
                                           CommandCase{"BackUpCard", &TMainForm::ReadCardBtnClick},
                                           CommandCase{"RestoreCard",
                                                       &TMainForm::WriteCardBtnClick},
                                           CommandCase{"CopyToFile", &TMainForm::DownLoadBtnClick},
                                           CommandCase{"CopyToCard", &TMainForm::UpLoadBtnClick},
                                           CommandCase{"Delete", &TMainForm::DeleteBtnClick},
                                           CommandCase{"Edit", &TMainForm::EditBtnClick},
                                           CommandCase{"Mail", &TMainForm::EmailBtnClick},
                                           CommandCase{"CheckCard", &TMainForm::CheckCardClick}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppTest, ARunnerBodyThatThrowsStillOpensTheGatesAndClosesTheAdapter)
{
    makeCard();
    start();
    EXPECT_THROW(form->runCommand(form->b1, [] { throw std::runtime_error("dialog failed"); }),
                 std::runtime_error);
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_EQ(form->link(), nullptr);
    EXPECT_FALSE(form->commandRunning());
}

TEST_F(AppTest, ACommandRunningKeepsOthersOutAndANewCommandIsOneCall)
{
    makeCard();
    start();
    bool ran = false, nestedRan = false, connected = false;
    form->runCommand(form->b3, [&] {
        ran = true;
        connected = form->link() != nullptr;
        form->runCommand(form->b4, [&] { nestedRan = true; });
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(connected);
    EXPECT_FALSE(nestedRan);
    EXPECT_TRUE(allGatesOpen(*form));
}

TEST_F(AppTest, AnAutomaticRelistLeavesTheGatesAsAfterList)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    start();
    listCard();
    ASSERT_TRUE(form->MaybeOk());
    // The card changes outside the program; the watch relists it.
    placeOnCard(1, {.name = "two", .blocks = 1}, 9);
    form->deviceChanged();
    EXPECT_EQ(names(form->ListView1), (QStringList{"one", "two"}));
    EXPECT_TRUE(form->MaybeOk());
    EXPECT_TRUE(allGatesOpen(*form));
    EXPECT_EQ(form->Label1->text(), "  ( 56 )BLOCK FREE");
}
