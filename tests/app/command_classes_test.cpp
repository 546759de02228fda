// The command classes run without the window: a fake host answers and
// records, the card is an image file opened through the session.
#include "fake_host.h"
#include "save_maker.h"

#include "cards/card_session.h"
#include "commands/backup_card_command.h"
#include "commands/batch_report.h"
#include "commands/batch_to_card_command.h"
#include "commands/batch_to_folder_command.h"
#include "commands/card_health_command.h"
#include "commands/card_save_checks.h"
#include "commands/card_to_card_command.h"
#include "commands/copy_to_card_command.h"
#include "commands/copy_to_file_command.h"
#include "commands/delete_command.h"
#include "commands/edit_command.h"
#include "commands/mail_command.h"
#include "commands/region_command.h"
#include "commands/restore_card_command.h"
#include "commands/save_editing.h"
#include "commands/send_mail.h"

#include "i18n/language.h"
#include "i18n/texts.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

using mcbtest::readFile;
using mcbtest::writeFile;

namespace {

// The editor as the user works it: what it does to the file, and whether
// it was saved.
struct FakeEditor : SaveEditing {
    std::function<bool(const QString& path)> user = [](const QString&) { return false; };
    QStringList names;
    bool edit(const QString& path, const QString& name) override
    {
        names << name;
        return user(path);
    }
};

struct FakeRegionDialog {
    QStringList shownFor;
    RegionDialog shower()
    {
        return [this](const QString& path) { shownFor << path; };
    }
};

// A card with two saves, open in a session, and a save folder beside it.
struct Bench {
    mcbtest::TempDir dir;
    std::string cardPath = dir.file("card.raw");
    QString folder = QString::fromStdString(dir.path());
    FakeHost host;
    CardSession session;
    std::unique_ptr<CardCommand> command;
    FakeEditor editor;
    FakeRegionDialog region;
    TSendMail mail;
    bool openAfterRun = false; // the command left the card open
    // A second card, for the copies between two cards.
    std::string otherPath = dir.file("other.raw");
    CardLink other;

    ~Bench()
    {
        TSendMail::setCommand(QString());
        qunsetenv("MCBRIDGE_FAULTS");
        qputenv("MCBRIDGE_JOURNAL", "off");
    }
    // The link drops at the transfer spec names, from a fresh open on.
    void cutAt(const char* spec)
    {
        qputenv("MCBRIDGE_FAULTS", spec);
        open();
    }
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

// A row whose notices its check looks at (they name paths made at run time).
const QStringList byCheck{QStringLiteral("(told as the row's check says)")};

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

void runRow(const Row& row, bool onThread)
{
    Bench b;
    b.open();
    row.make(b);
    ASSERT_TRUE(b.command);
    if (onThread) {
        // As the card's own thread runs it, while this thread answers what
        // it carries over (the mail program is started here) as the
        // window's does.
        std::unique_ptr<QThread> thread(QThread::create([&] { b.command->run(); }));
        thread->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread->isFinished(); }, 120000)); // bound only
        thread->wait();
    } else {
        b.command->run();
    }
    b.openAfterRun = b.session.card() != nullptr;
    b.session.link.close();
    if (row.told != byCheck)
        EXPECT_EQ(b.host.told, row.told);
    EXPECT_EQ(b.savesOnCard(), row.savesAfter);
    EXPECT_EQ(b.host.didChange(CommandHost::Changed::CardList), row.relisted);
    EXPECT_EQ(b.host.held, 0); // the lists are never left held
    row.check(b);
}

TEST_P(CommandClassTest, Runs) { runRow(GetParam(), false); }

TEST_P(CommandClassTest, RunsOnAThreadOfItsOwn) { runRow(GetParam(), true); }

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
    {"DeleteCutAtTheDirectoryCommitSaysWhatTheCardHolds",
     [](Bench& b) {
         b.cutAt("cut-at=dir");
         b.host.script.yesNo = {true};
         b.command = std::make_unique<DeleteCommand>(b.host, b.session, QList{alpha()});
     },
     {"DELETE Failed: alpha [the adapter did not answer] (the card still holds the old saver)"},
     {"alpha", "beta"},
     true},
    {"CopyToCardCutInItsDataSaysWhatTheCardHolds",
     [](Bench& b) {
         const QByteArray path = putFile(b, "new.gci", {.code = "GNNE01", .name = "new"});
         b.cutAt("cut-at=data");
         b.command = std::make_unique<CopyToCardCommand>(
             b.host, b.session, QList<CopyToCardCommand::Source>{{"new.gci", path, "new"}},
             b.folder);
     },
     {"UPLOAD Failed: new.gci [the adapter did not answer] (the card holds no such saver now)"},
     {"alpha", "beta"},
     true},
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

// The save folder the batches copy into, made by the batch.
QString saverOf(const Bench& b) { return b.file("saver"); }

QStringList saverFiles(const Bench& b)
{
    return QDir(saverOf(b)).entryList(QDir::Files, QDir::Name);
}

// The only report the batch gave.
QString reportOf(const Bench& b)
{
    EXPECT_EQ(b.host.script.reports.size(), 1u);
    return b.host.script.reports.empty() ? QString() : b.host.script.reports[0].text;
}

// The journal's records for the card image at path: how many, and the saves
// the newest names.
std::pair<int, std::string> journalOf(const std::string& path)
{
    mcb_card* card = nullptr;
    if (mcb_open(("image:" + path).c_str(), &card) != MCB_OK)
        return {-1, {}};
    mcb_journal_entry records[4]{};
    for (mcb_journal_entry& r : records)
        r.size = sizeof r;
    const int count = mcb_journal_list(card, records, 4);
    mcb_close(card);
    return {count, count > 0 ? records[0].saves : ""};
}

// The second card: gamma, and an alpha of its own beside it.
void otherCard(Bench& b)
{
    qputenv("MCBRIDGE_JOURNAL", QFile::encodeName(b.file("journal")));
    // A card of its own: the journal knows a card by the serial it was
    // formatted with.
    mcb::FormatOptions format{4};
    format.serial.fill(0x42);
    std::vector<uint8_t> image = mcb::formatCard(format);
    mcbtest::placeSave(
        image, 0,
        mcbtest::makeSaveFile({.code = "GAAE01", .name = "alpha", .blocks = 2, .seed = 9}), 5);
    mcbtest::placeSave(image, 1,
                       mcbtest::makeSaveFile({.code = "GCCE01", .name = "gamma", .blocks = 1}), 7);
    writeFile(b.otherPath, image);
}

CardToCardCommand::Devices devicesOf(const Bench& b)
{
    return {"image:" + QString::fromStdString(b.cardPath),
            "image:" + QString::fromStdString(b.otherPath), nullptr};
}

const Row batchRows[] = {
    {"CopyAllToPcNamesTheSaveThatFailsAndWritesTheOthers",
     [](Bench& b) {
         b.cutAt("read-fail=block6"); // alpha's second block
         b.command = std::make_unique<CopyAllToFolderCommand>(b.host, b.session, saverOf(b));
     },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         const QString text = reportOf(b);
         EXPECT_TRUE(text.startsWith("1 of 2 saves copied.\n\nNot copied:\n  alpha ["))
             << text.toStdString();
         EXPECT_FALSE(text.contains("beta")) << text.toStdString();
         EXPECT_EQ(b.host.script.reports.at(0).title, "Copy all to PC");
         ASSERT_EQ(saverFiles(b), QStringList{"01-GBBE-beta.gci"});
         EXPECT_EQ(readFile(saverOf(b).toStdString() + "/01-GBBE-beta.gci").size(),
                   64u + 3 * 8192u);
         EXPECT_EQ(b.host.progressTop, 2 * cStepsPerSave); // one bar for the batch
         EXPECT_TRUE(b.host.didChange(CommandHost::Changed::FileList));
         EXPECT_FALSE(b.openAfterRun); // the card let go before the files are written
     }},
    {"CopyAllToPcCountsWhatTheFolderHoldsAlready",
     [](Bench& b) {
         // beta as the card holds it, under a name of the user's.
         QDir().mkpath(saverOf(b));
         QFile mine(saverOf(b) + "/mine.gci");
         ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
         mine.write(readSave(b.session.card(), 1));
         mine.close();
         b.command = std::make_unique<CopyAllToFolderCommand>(b.host, b.session, saverOf(b));
     },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         EXPECT_EQ(reportOf(b),
                   "1 of 2 saves copied.\n1 already in the folder unchanged, not copied again.");
         EXPECT_EQ(saverFiles(b), (QStringList{"01-GAAE-alpha.gci", "mine.gci"}));
     }},
    {"CopyAllToPcOfACardWithoutSavesCopiesNothing",
     [](Bench& b) {
         for (int32_t slot : {0, 1}) {
             mcb_write_outcome outcome{};
             outcome.size = sizeof outcome;
             ASSERT_EQ(mcb_delete_save(b.session.card(), slot, &outcome), MCB_OK);
         }
         b.command = std::make_unique<CopyAllToFolderCommand>(b.host, b.session, saverOf(b));
     },
     {},
     {},
     false,
     [](Bench& b) {
         EXPECT_EQ(reportOf(b), "0 of 0 saves copied.");
         EXPECT_TRUE(saverFiles(b).isEmpty());
     }},
    {"CopyAllToPcStoppedWhileReadingWritesWhatItRead",
     [](Bench& b) {
         b.host.stopWhen = [](const FakeHost& h) { return h.progress >= cStepsPerSave; };
         b.command = std::make_unique<CopyAllToFolderCommand>(b.host, b.session, saverOf(b));
     },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         EXPECT_EQ(reportOf(b),
                   "1 of 2 saves copied.\nYou stopped the copy: the other 1 were not tried.");
         EXPECT_EQ(saverFiles(b), QStringList{"01-GAAE-alpha.gci"});
     }},
    {"CopyAllToCardStoppedAfterTheFirstSaveTriesNoOther",
     [](Bench& b) {
         const QList<CopyAllToCardCommand::File> files{
             {"1.gci", putFile(b, "1.gci", {.code = "GNNE01", .name = "one"})},
             {"2.gci", putFile(b, "2.gci", {.code = "GNNE01", .name = "two"})},
             {"3.gci", putFile(b, "3.gci", {.code = "GNNE01", .name = "three"})}};
         b.host.stopWhen = [](const FakeHost& h) { return h.progress >= cStepsPerSave; };
         b.command = std::make_unique<CopyAllToCardCommand>(b.host, b.session, files);
     },
     {},
     {"alpha", "beta", "one"},
     true,
     [](Bench& b) {
         EXPECT_EQ(reportOf(b),
                   "1 of 3 saves copied.\nYou stopped the copy: the other 2 were not tried.");
         EXPECT_EQ(b.host.script.reports.at(0).title, "Copy all to card");
         EXPECT_EQ(b.host.busyAs.size(), 1);
     }},
    {"CardToCardOfTwoSavesIsOneRecordOnTheCardWrittenTo",
     [](Bench& b) {
         otherCard(b);
         b.host.script.yesNo = {true}; // the other card's alpha is replaced
         b.command = std::make_unique<CardToCardCommand>(b.host, b.session, b.other, devicesOf(b),
                                                         QList{alpha(), beta()}, true);
     },
     {"Copied to the other card"},
     {"alpha", "beta"},
     true,
     [](Bench& b) {
         EXPECT_EQ(b.host.script.questions,
                   QStringList{"Do you want to Overwrite Saver alpha Now ?"});
         const auto card = readFile(b.cardPath);
         const auto other = readFile(b.otherPath);
         std::vector<std::string> there;
         for (const auto& s : mcb::inspectCard(other).saves)
             there.push_back(s.name);
         EXPECT_EQ(there, (std::vector<std::string>{"alpha", "gamma", "beta"}));
         EXPECT_EQ(mcbtest::blocksOf(other, mcb::inspectCard(other).saves.at(0).firstBlock, 2),
                   mcbtest::blocksOf(card, 5, 2));
         const auto [records, saves] = journalOf(b.otherPath);
         EXPECT_EQ(records, 1);
         EXPECT_NE(saves.find("alpha (GAAE01)"), std::string::npos) << saves;
         EXPECT_NE(saves.find("beta (GBBE01)"), std::string::npos) << saves;
         EXPECT_EQ(journalOf(b.cardPath).first, 0); // only read
         EXPECT_TRUE(b.host.didChange(CommandHost::Changed::SecondCard));
         EXPECT_EQ(b.host.unselected, std::vector{CommandHost::List::Card});
         EXPECT_FALSE(b.other.isOpen());
     }},
    {"CardToCardKeepsASaveTheUserWouldNotReplace",
     [](Bench& b) {
         otherCard(b);
         b.host.script.yesNo = {false};
         b.command = std::make_unique<CardToCardCommand>(
             b.host, b.session, b.other, devicesOf(b),
             QList<CardSave>{{"gamma", "gamma", "GCCE01", 1}, {"alpha", "alpha", "GAAE01", 0}},
             false);
     },
     {"Copied to the other card"},
     {"alpha", "beta", "gamma"},
     true,
     [](Bench& b) {
         EXPECT_EQ(b.host.script.questions,
                   QStringList{"Do you want to Overwrite Saver alpha Now ?"});
         const auto file = mcbtest::makeSaveFile({.code = "GAAE01", .name = "alpha", .blocks = 2});
         EXPECT_EQ(mcbtest::blocksOf(readFile(b.cardPath), 5, 2),
                   std::vector<uint8_t>(file.begin() + 64, file.end()));
         EXPECT_EQ(journalOf(b.cardPath), (std::pair<int, std::string>{1, "gamma (GCCE01)"}));
         EXPECT_EQ(journalOf(b.otherPath).first, 0);
         EXPECT_EQ(b.host.unselected, std::vector{CommandHost::List::Files});
     }},
    // Nothing copied when the user keeps the only save: no word of a copy.
    {"CardToCardOfASaveTheUserKeepsSaysNothing",
     [](Bench& b) {
         otherCard(b);
         b.host.script.yesNo = {false};
         b.command = std::make_unique<CardToCardCommand>(
             b.host, b.session, b.other, devicesOf(b),
             QList<CardSave>{{"alpha", "alpha", "GAAE01", 0}}, false);
     },
     {},
     {"alpha", "beta"},
     true,
     [](Bench& b) { EXPECT_EQ(b.host.script.questions.size(), 1); }},
    {"CardToCardStoppedAfterTheFirstSaveSaysSo",
     [](Bench& b) {
         otherCard(b);
         b.host.stopWhen = [](const FakeHost& h) { return h.progress == 20; };
         b.command = std::make_unique<CardToCardCommand>(b.host, b.session, b.other, devicesOf(b),
                                                         QList{beta(), alpha()}, true);
     },
     {"1 of 2 saves copied.\nYou stopped the copy: the other 1 were not tried."},
     {"alpha", "beta"},
     true,
     [](Bench& b) {
         EXPECT_TRUE(b.host.script.questions.isEmpty()); // alpha was never tried
         EXPECT_EQ(mcb::inspectCard(readFile(b.otherPath)).saves.size(), 3u);
     }},
};

INSTANTIATE_TEST_SUITE_P(Batch, CommandClassTest, ::testing::ValuesIn(batchRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A mail program that takes every message.
void mailProgram(Bench& b)
{
    const QString script = b.file("mailer");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TSendMail::setCommand(script);
    qputenv("XDG_CACHE_HOME", b.dir.file("cache").c_str());
}

const Row cardRows[] = {
    {"BackupWritesTheWholeCard",
     [](Bench& b) {
         b.host.script.files = {b.file("all.gcp")};
         b.command = std::make_unique<BackupCardCommand>(b.host, b.session, b.folder);
     },
     {"BACKUP Complete"},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         const auto card = readFile(b.cardPath);
         EXPECT_EQ(fileBytes(b.file("all.gcp")),
                   QByteArray(reinterpret_cast<const char*>(card.data()), qsizetype(card.size())));
     }},
    {"BackupIntoAFolderThatIsNotThereSaysSo",
     [](Bench& b) {
         b.host.script.files = {b.file("gone/all.gcp")};
         b.command = std::make_unique<BackupCardCommand>(b.host, b.session, b.folder);
     },
     byCheck,
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         ASSERT_EQ(b.host.told.size(), 1);
         EXPECT_EQ(b.host.told[0],
                   say_readcardfailed + b.file("gone/all.gcp") + " [" + say_why_file + "]");
     }},
    {"RestoreWritesTheImageAfterKeepingTheCard",
     [](Bench& b) {
         // Another card's image, with alpha only: the user keeps this card's
         // identity.
         std::vector<uint8_t> other = mcb::formatCard(mcb::FormatOptions{4});
         mcbtest::placeSave(other, 0, mcbtest::makeSaveFile({.code = "GAAE01", .name = "alpha"}),
                            5);
         writeFile(b.dir.file("other.gcp"), other);
         b.host.script.files = {b.file("other.gcp")};
         b.host.script.choices = {0};
         b.command = std::make_unique<RestoreCardCommand>(b.host, b.session, b.folder);
     },
     byCheck,
     {"alpha"},
     true,
     [](Bench& b) {
         ASSERT_EQ(b.host.told.size(), 1);
         ASSERT_TRUE(b.host.told[0].startsWith(say_cardkept)) << b.host.told[0].toStdString();
         const QString kept = b.host.told[0].mid(say_cardkept.size());
         EXPECT_EQ(mcb::inspectCard(readFile(kept.toStdString())).saves.size(), 2u);
     }},
    {"RestoreOfAnImageOfTheWrongSizeIsRefusedBeforeAnythingIsKept",
     [](Bench& b) {
         writeFile(b.dir.file("short.gcp"), std::vector<uint8_t>(1000, 0));
         b.host.script.files = {b.file("short.gcp")};
         b.command = std::make_unique<RestoreCardCommand>(b.host, b.session, b.folder);
     },
     byCheck,
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         ASSERT_EQ(b.host.told.size(), 1);
         EXPECT_TRUE(b.host.told[0].startsWith(say_writecardfailed + b.file("short.gcp") + " ["))
             << b.host.told[0].toStdString();
         EXPECT_TRUE(QDir(b.folder).entryList({"card before restore*"}).isEmpty());
     }},
    {"MailHandsTheSaveToTheMailProgram",
     [](Bench& b) {
         mailProgram(b);
         b.command = std::make_unique<MailCommand>(b.host, b.session, QList{beta()}, b.mail);
     },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         EXPECT_EQ(b.mail.Subject, "beta(GBBE01)");
         ASSERT_EQ(b.mail.AttachFiles().size(), 1);
         EXPECT_EQ(fileBytes(b.mail.AttachFiles()[0]).size(), 64 + 3 * 8192);
     }},
    {"MailOfASaveGoneFromItsSlotNamesIt",
     [](Bench& b) {
         mailProgram(b);
         CardSave moved = beta();
         moved.slot = 0;
         b.command = std::make_unique<MailCommand>(b.host, b.session, QList{moved}, b.mail);
     },
     {"MAIL Failed: beta"},
     {"alpha", "beta"},
     false,
     [](Bench& b) { EXPECT_TRUE(b.mail.AttachFiles().isEmpty()); }},
    {"EditWritesTheSavedChangeBack",
     [](Bench& b) {
         b.editor.user = [](const QString& path) {
             QFile f(path);
             f.open(QIODevice::ReadWrite);
             f.seek(64 + 100);
             f.write("\x5A");
             return true;
         };
         b.command = std::make_unique<EditCommand>(b.host, b.session, QList{alpha()}, b.editor,
                                                   b.file("work"), b.folder);
     },
     {"SAVER UPDATED"},
     {"alpha", "beta"},
     true,
     [](Bench& b) {
         EXPECT_EQ(b.editor.names, QStringList{"GAAE01 alpha"});
         const auto card = readFile(b.cardPath);
         const auto saved = mcb::inspectCard(card).saves.at(0);
         EXPECT_EQ(mcbtest::blocksOf(card, saved.firstBlock, 1).at(100), 0x5A);
     }},
    {"EditCutShortLeavesTheCardWithTheOldSave",
     [](Bench& b) {
         b.editor.user = [](const QString& path) { return QFile::resize(path, 64 + 100); };
         b.command = std::make_unique<EditCommand>(b.host, b.session, QList{alpha()}, b.editor,
                                                   b.file("work"), b.folder);
     },
     {"UPDATE Failed, the edited saver must stay whole 8 KB blocks long, the card keeps the old "
      "saver: alpha"},
     {"alpha", "beta"},
     true,
     [](Bench& b) {
         const auto card = readFile(b.cardPath);
         const auto file = mcbtest::makeSaveFile({.code = "GAAE01", .name = "alpha", .blocks = 2});
         EXPECT_EQ(mcbtest::blocksOf(card, 5, 2),
                   std::vector<uint8_t>(file.begin() + 64, file.end()));
         EXPECT_EQ(mcb::inspectCard(card).saves.at(0).firstBlock, 5u);
     }},
    {"RegionShowsTheDialogForTheOneFile",
     [](Bench& b) {
         b.command = std::make_unique<RegionCommand>(b.host, b.session, QStringList{"a.gci"}, false,
                                                     b.folder, b.region.shower());
     },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) { EXPECT_EQ(b.region.shownFor, QStringList{b.folder + "/a.gci"}); }},
    {"RegionOfTwoFilesWarnsAndShowsNoDialog",
     [](Bench& b) {
         b.command = std::make_unique<RegionCommand>(
             b.host, b.session, QStringList{"a.gci", "b.gci"}, false, b.folder, b.region.shower());
     },
     {"please Choose a Game File!"},
     {"alpha", "beta"},
     false,
     [](Bench& b) { EXPECT_TRUE(b.region.shownFor.isEmpty()); }},
    {"RegionWhileASecondCardIsShownWarns",
     [](Bench& b) {
         b.command = std::make_unique<RegionCommand>(b.host, b.session, QStringList{"a.gci"}, true,
                                                     b.folder, b.region.shower());
     },
     {"please Choose a Game File!"},
     {"alpha", "beta"},
     false,
     [](Bench& b) { EXPECT_TRUE(b.region.shownFor.isEmpty()); }},
    {"CheckReportsAndLetsTheCardGo",
     [](Bench& b) { b.command = std::make_unique<CheckCardCommand>(b.host, b.session); },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         ASSERT_EQ(b.host.script.reports.size(), 1u);
         EXPECT_EQ(b.host.script.reports[0].title, "Check card");
         EXPECT_FALSE(b.openAfterRun); // not held while the report is read
     }},
    {"RecoverPutsADeletedSaveBack",
     [](Bench& b) {
         mcb_write_outcome outcome{};
         outcome.size = sizeof outcome;
         ASSERT_EQ(mcb_delete_save(b.session.card(), 1, &outcome), MCB_OK);
         b.host.script.reportActions = {true};
         b.command = std::make_unique<RecoverSavesCommand>(b.host, b.session);
     },
     {},
     {"alpha", "beta"},
     true,
     [](Bench& b) {
         ASSERT_EQ(b.host.script.reports.size(), 2u);
         EXPECT_TRUE(b.host.script.reports[1].text.startsWith("Put back GBBE01 beta in slot 1."))
             << b.host.script.reports[1].text.toStdString();
     }},
    {"RecoverWithNothingDeletedSaysSo",
     [](Bench& b) { b.command = std::make_unique<RecoverSavesCommand>(b.host, b.session); },
     {},
     {"alpha", "beta"},
     false,
     [](Bench& b) {
         ASSERT_EQ(b.host.script.reports.size(), 1u);
         EXPECT_EQ(b.host.script.reports[0].text, say_rec_none);
         EXPECT_FALSE(b.openAfterRun);
     }},
};

INSTANTIATE_TEST_SUITE_P(Card, CommandClassTest, ::testing::ValuesIn(cardRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The region a file is marked for, rewritten after its copy is kept.
struct RegionRow {
    const char* name;
    QByteArray before;
    std::optional<Region> region;
    QByteArray after;   // the file afterwards
    QByteArray backup;  // its copy; empty: none written
    const char* notice; // how the notice starts
};

void PrintTo(const RegionRow& row, std::ostream* os) { *os << row.name; }

class RegionChangeTest : public ::testing::TestWithParam<RegionRow> {};

TEST_P(RegionChangeTest, RewritesTheFourthLetter)
{
    const RegionRow& row = GetParam();
    mcbtest::TempDir dir;
    const QString path = QString::fromStdString(dir.file("g.gci"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(row.before);
    f.close();
    const RegionOutcome outcome = changeRegion(path, "shown", row.region);
    EXPECT_EQ(fileBytes(path), row.after);
    EXPECT_EQ(fileBytes(path + ".BAK"), row.backup);
    EXPECT_EQ(outcome.backedUp, !row.backup.isEmpty());
    EXPECT_TRUE(*row.notice ? outcome.notice.startsWith(row.notice) : outcome.notice.isEmpty())
        << outcome.notice.toStdString();
}

const RegionRow regionRows[] = {
    {"UsaToPal", "GAAE01xx", Region::Pal, "GAAP01xx", "GAAE01xx",
     "The File, shown Was Converted to PAL System!"},
    {"PalToJap", "GAAP01", Region::Jap, "GAAJ01", "GAAP01",
     "The File, shown Was Converted to JAP System!"},
    {"NoneChosenKeepsTheFile", "GAAE01", std::nullopt, "GAAE01", "GAAE01", ""},
    {"TooShortIsLeftAlone", "GAA", Region::Pal, "GAA", "",
     "The File, shown cannot be read or is too short"},
};

INSTANTIATE_TEST_SUITE_P(Files, RegionChangeTest, ::testing::ValuesIn(regionRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The gates: entering one closes the others and names the command running.
struct GateRow {
    const char* name;
    bool CardSession::*gate;
    CardSession::Command command;
};

void PrintTo(const GateRow& row, std::ostream* os) { *os << row.name; }

class SessionGateTest : public ::testing::TestWithParam<GateRow> {};

TEST_P(SessionGateTest, EnteringOneClosesTheOthers)
{
    CardSession s;
    bool CardSession::*const all[] = {&CardSession::b0, &CardSession::b1, &CardSession::b2,
                                      &CardSession::b3, &CardSession::b4, &CardSession::b5,
                                      &CardSession::b6, &CardSession::b7, &CardSession::b8};
    EXPECT_FALSE(s.enterGate(s.*GetParam().gate)); // closed before the window opens them
    s.openGates();
    ASSERT_TRUE(s.enterGate(s.*GetParam().gate));
    EXPECT_EQ(s.running(), GetParam().command);
    for (auto g : all)
        EXPECT_EQ(s.*g, g == GetParam().gate);
    for (auto g : all)
        if (g != GetParam().gate)
            EXPECT_FALSE(s.enterGate(s.*g)); // no second command meanwhile
    s.openGates();
    EXPECT_EQ(s.running(), CardSession::Command::None);
    for (auto g : all)
        EXPECT_TRUE(s.*g);
}

using C = CardSession::Command;
const GateRow gateRows[] = {
    {"List", &CardSession::b0, C::List},       {"Backup", &CardSession::b1, C::Backup},
    {"Restore", &CardSession::b2, C::Restore}, {"ToFile", &CardSession::b3, C::ToFile},
    {"ToCard", &CardSession::b4, C::ToCard},   {"Delete", &CardSession::b5, C::Delete},
    {"Edit", &CardSession::b6, C::Edit},       {"Mail", &CardSession::b7, C::Mail},
    {"Region", &CardSession::b8, C::Region},
};

INSTANTIATE_TEST_SUITE_P(Gates, SessionGateTest, ::testing::ValuesIn(gateRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
