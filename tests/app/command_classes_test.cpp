// The command classes run without the window: a fake host answers and
// records, the card is an image file opened through the session.
#include "fake_host.h"
#include "save_maker.h"

#include "cards/card_session.h"
#include "commands/card_save_checks.h"
#include "commands/copy_to_card_command.h"
#include "commands/copy_to_file_command.h"
#include "commands/delete_command.h"

#include "i18n/language.h"
#include "i18n/texts.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <memory>

using mcbtest::readFile;
using mcbtest::writeFile;

namespace {

// A card with two saves, open in a session, and a save folder beside it.
struct Bench {
    mcbtest::TempDir dir;
    std::string cardPath = dir.file("card.raw");
    QString folder = QString::fromStdString(dir.path());
    FakeHost host;
    CardSession session;
    std::unique_ptr<CardCommand> command;

    Bench()
    {
        i18n::fillTexts(i18n::Language::English);
        takeStaleListing(); // what an earlier test left
        std::vector<uint8_t> image = mcb::formatCard(mcb::FormatOptions{4});
        mcbtest::placeSave(
            image, 0, mcbtest::makeSaveFile({.code = "GAAE01", .name = "alpha", .blocks = 2}), 5);
        mcbtest::placeSave(
            image, 1, mcbtest::makeSaveFile({.code = "GBBE01", .name = "beta", .blocks = 3}), 7);
        writeFile(cardPath, image);
    }
    void open()
    {
        ASSERT_EQ(session.open("image:" + QString::fromStdString(cardPath), nullptr), 0);
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }
    std::vector<std::string> savesOnCard() const
    {
        std::vector<std::string> names;
        for (const auto& s : mcb::inspectCard(readFile(cardPath)).saves)
            names.push_back(s.name);
        return names;
    }
};

CardSave alpha() { return {"alpha", "alpha", "GAAE01", 0}; }
CardSave beta() { return {"beta", "beta", "GBBE01", 1}; }

struct Row {
    const char* name;
    // Scripts the host, changes the card under the session if the row needs
    // it, and makes the command.
    std::function<void(Bench&)> make;
    QStringList told;
    std::vector<std::string> savesAfter;
    bool relisted; // the card list was read again
    // Anything else the row must find afterwards.
    std::function<void(Bench&)> check = [](Bench&) {};
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class CommandClassTest : public ::testing::TestWithParam<Row> {};

TEST_P(CommandClassTest, Runs)
{
    const Row& row = GetParam();
    Bench b;
    b.open();
    row.make(b);
    ASSERT_TRUE(b.command);
    b.command->run();
    b.session.link.close();
    EXPECT_EQ(b.host.told, row.told);
    EXPECT_EQ(b.savesOnCard(), row.savesAfter);
    EXPECT_EQ(b.host.didChange(CommandHost::Changed::CardList), row.relisted);
    EXPECT_EQ(b.host.held, 0); // the lists are never left held
    row.check(b);
}

// A save file in the bench's folder, of a save with this name and blocks.
QByteArray putFile(Bench& b, const char* file, const mcbtest::SaveSpec& spec)
{
    writeFile(b.dir.file(file), mcbtest::makeSaveFile(spec));
    return QFile::encodeName(b.file(file));
}

const Row transferRows[] = {
    {"CopyToFileWritesTheSave",
     [](Bench& b) {
         b.host.script.files = {b.file("a.gci")};
         b.command =
             std::make_unique<CopyToFileCommand>(b.host, b.session, QList{alpha()}, b.folder);
     },
     {"BACKUP Complete"},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         EXPECT_EQ(readFile(b.dir.file("a.gci")).size(), 64u + 2 * 8192u);
         EXPECT_EQ(b.host.script.fileDialogs.at(0).fileName, "alpha.GCI");
         EXPECT_TRUE(b.host.didChange(CommandHost::Changed::FileList));
     }},
    {"CopyToFileOfASaveGoneFromItsSlotWritesNothing",
     [](Bench& b) {
         b.host.script.files = {b.file("a.gci")};
         CardSave moved = alpha();
         moved.slot = 1; // the slot holds beta now
         b.command = std::make_unique<CopyToFileCommand>(b.host, b.session, QList{moved}, b.folder);
     },
     {"BACKUP Failed: alpha"},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         EXPECT_FALSE(QFile::exists(b.file("a.gci")));
         EXPECT_TRUE(takeStaleListing()); // the window lists the card again
     }},
    {"CopyToFileWithNothingChosenWarns",
     [](Bench& b) {
         b.command =
             std::make_unique<CopyToFileCommand>(b.host, b.session, QList<CardSave>{}, b.folder);
     },
     {"Please Choose GC Game! "},
     {"alpha", "beta"},
     false},
    {"CopyToCardAddsTheSave",
     [](Bench& b) {
         const QByteArray path = putFile(b, "new.gci", {.code = "GNNE01", .name = "new"});
         b.command = std::make_unique<CopyToCardCommand>(
             b.host, b.session, QList<CopyToCardCommand::Source>{{"new.gci", path, "new"}},
             b.folder);
     },
     {"UPLOAD Complete"},
     {"alpha", "beta", "new"},
     true},
    {"CopyToCardWithoutRoomNamesTheFileAndLeavesTheCard",
     [](Bench& b) {
         const QByteArray path =
             putFile(b, "big.gci", {.code = "GNNE01", .name = "big", .blocks = 55});
         b.command = std::make_unique<CopyToCardCommand>(
             b.host, b.session, QList<CopyToCardCommand::Source>{{"big.gci", path, "big"}},
             b.folder);
     },
     {"Not Enough Free BLOCK: big.gci"},
     {"alpha", "beta"},
     false},
    {"CopyToCardReplacesASaveOnlyAfterYes",
     [](Bench& b) {
         const QByteArray path =
             putFile(b, "beta.gci", {.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 9});
         b.host.script.yesNo = {false};
         b.command = std::make_unique<CopyToCardCommand>(
             b.host, b.session, QList<CopyToCardCommand::Source>{{"beta.gci", path, "beta here"}},
             b.folder);
     },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         EXPECT_EQ(b.host.script.questions,
                   QStringList{"Do you want to Overwrite Saver beta here Now ?"});
     }},
    {"DeleteRemovesTheSaveAfterYes",
     [](Bench& b) {
         b.host.script.yesNo = {true};
         b.command = std::make_unique<DeleteCommand>(b.host, b.session, QList{alpha()});
     },
     {"DELETE Complete"},
     {"beta"},
     true},
    {"DeleteOfASaveChangedSinceListingLeavesTheCard",
     [](Bench& b) {
         b.host.script.yesNo = {true};
         CardSave other = beta();
         other.rawName = "gamma"; // listed as gamma: the slot holds another save now
         other.name = "gamma";
         b.command = std::make_unique<DeleteCommand>(b.host, b.session, QList{other});
     },
     {"DELETE Failed: gamma"},
     {"alpha", "beta"},
     true,
     [](Bench&) { EXPECT_TRUE(takeStaleListing()); }},
    {"DeleteAnsweredNoLeavesTheCard",
     [](Bench& b) {
         b.host.script.yesNo = {false};
         b.command = std::make_unique<DeleteCommand>(b.host, b.session, QList{alpha()});
     },
     {},
     {"alpha", "beta"},
     false},
};

INSTANTIATE_TEST_SUITE_P(Transfer, CommandClassTest, ::testing::ValuesIn(transferRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
