// Files written for the user: a protected file or a symbolic link at the
// chosen path is replaced only after the program asked; leftovers of runs
// that were killed are swept at start; card texts reach the window escaped.
#include "app_fixture.h"
#include "commands/user_file.h"
#include "i18n/texts.h"
#include "window/save_tooltip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using mcbtest::readFile;

namespace {

enum class Existing { Plain, Protected, Link };
enum class Command { CopySave, BackUpCard };

struct OutputCase {
    const char* name;
    Command command;
    Existing existing;
    bool yes;
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

} // namespace

class OutputQuestions : public AppTest, public ::testing::WithParamInterface<OutputCase> {
protected:
    QString out(const char* name) const { return QString::fromStdString(dir.file(name)); }
};

TEST_P(OutputQuestions, AskFirstAndWriteOnlyAfterYes)
{
    const OutputCase& c = GetParam();
    makeCard(4);
    placeOnCard(0, {.code = "GAAE01", .name = "alpha", .blocks = 2}, 5);
    start();
    listCard();
    // The file the user keeps, and the path the dialog is given: the file
    // itself, or a link to it.
    const QString kept = out("kept.bin");
    const std::vector<uint8_t> old{7, 7, 7};
    mcbtest::writeFile(kept.toStdString(), old);
    QString chosen = kept;
    if (c.existing == Existing::Protected)
        ::chmod(QFile::encodeName(kept).constData(), 0444);
    if (c.existing == Existing::Link) {
        chosen = out("link.bin");
        ASSERT_TRUE(QFile::link(kept, chosen));
    }
    dialogs.files = {chosen};
    dialogs.yesNo = {c.yes};
    if (c.command == Command::CopySave) {
        select(form->ListView1, {"alpha"});
        form->DownLoadBtnClick();
    } else {
        form->ReadCardBtnClick();
    }
    const QString asked = c.existing == Existing::Plain       ? i18n::overwriteQuestion(chosen)
                          : c.existing == Existing::Protected ? say_ask_protected.arg(chosen)
                                                              : say_ask_symlink.arg(chosen, kept);
    EXPECT_EQ(dialogs.questions, QStringList{asked});
    const std::vector<uint8_t> now = readFile(kept.toStdString());
    if (!c.yes) {
        EXPECT_EQ(now, old);
        EXPECT_TRUE(dialogs.messages.isEmpty());
        return;
    }
    const size_t expected =
        c.command == Command::CopySave ? MCB_ENTRY_SIZE + 2u * MCB_BLOCK_SIZE : MCB_CARD_BYTES(4);
    EXPECT_EQ(now.size(), expected);
    // A link stays a link: the file it names took the bytes.
    EXPECT_EQ(QFileInfo(chosen).isSymLink(), c.existing == Existing::Link);
    EXPECT_EQ(dialogs.messages, QStringList{say_Backupcomplete});
}

INSTANTIATE_TEST_SUITE_P(
    App, OutputQuestions,
    ::testing::Values(
        OutputCase{"CopyOverAPlainFile", Command::CopySave, Existing::Plain, true},
        OutputCase{"CopyOverAProtectedFile", Command::CopySave, Existing::Protected, true},
        OutputCase{"CopyOverAProtectedFileDeclined", Command::CopySave, Existing::Protected, false},
        OutputCase{"CopyThroughALink", Command::CopySave, Existing::Link, true},
        OutputCase{"CopyThroughALinkDeclined", Command::CopySave, Existing::Link, false},
        OutputCase{"BackUpOverAProtectedFile", Command::BackUpCard, Existing::Protected, true},
        OutputCase{"BackUpOverAProtectedFileDeclined", Command::BackUpCard, Existing::Protected,
                   false},
        OutputCase{"BackUpThroughALink", Command::BackUpCard, Existing::Link, true},
        OutputCase{"BackUpThroughALinkDeclined", Command::BackUpCard, Existing::Link, false}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// The id of a process that has ended: a leftover it made is nobody's.
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST_F(AppTest, LeftoversOfAKilledRunAreSweptAndTheUsersFilesStay)
{
    const QString saver = QString::fromStdString(dir.file("saver"));
    const QString temp = QString::fromStdString(dir.file("tmp"));
    QDir().mkpath(saver);
    QDir().mkpath(temp);
    qputenv("TMPDIR", QFile::encodeName(temp));
    const QString dead = QString::number(endedProcess());
    const QString mine = QString::number(::getpid());
    // A half-written copy beside a save, a work folder with the editor's
    // file in it, and what this run is writing right now.
    const QString half = saver + "/.a.gci.cardsuite-" + dead + "-AbC123";
    const QString work = temp + "/work.cardsuite-" + dead + "-XyZ789";
    const QString live = saver + "/.b.gci.cardsuite-" + mine + "-QwE456";
    for (const QString& f : {half, live, saver + "/a.gci", saver + "/.hidden.gci"})
        mcbtest::writeFile(f.toStdString(), {1});
    QDir().mkpath(work);
    mcbtest::writeFile((work + "/temp.~ic").toStdString(), {2});
    cleanUpAfterEarlierRuns({saver});
    qunsetenv("TMPDIR");
    EXPECT_FALSE(QFileInfo::exists(half));
    EXPECT_FALSE(QFileInfo::exists(work));
    EXPECT_TRUE(QFileInfo::exists(live));
    EXPECT_TRUE(QFileInfo::exists(saver + "/a.gci"));
    EXPECT_TRUE(QFileInfo::exists(saver + "/.hidden.gci"));
}

namespace {

struct TextCase {
    const char* name;
    mcbtest::SaveSpec spec;
    // Where the text shows: the card list's caption, or its tooltip.
    bool inTooltip;
    const char* shown;
    const char* raw;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class CardTexts : public AppTest, public ::testing::WithParamInterface<TextCase> {};

} // namespace

TEST_P(CardTexts, ReachTheWindowEscaped)
{
    const TextCase& c = GetParam();
    makeCard(4);
    placeOnCard(0, c.spec, 5);
    start();
    listCard();
    ASSERT_EQ(form->ListView1->count(), 1);
    const QListWidgetItem* item = form->ListView1->item(0);
    const QString text = c.inTooltip ? item->toolTip() : item->text();
    EXPECT_TRUE(text.contains(QString::fromUtf8(c.shown))) << text.toStdString();
    EXPECT_FALSE(text.contains(QString::fromUtf8(c.raw))) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    App, CardTexts,
    ::testing::Values(
        TextCase{
            "NameWithAnEscapeSequence", {.name = "red\x1B[31mx"}, false, "red\\x1B[31mx", "\x1B"},
        TextCase{"NameWithABell", {.name = "ring\x07"}, false, "ring\\x07", "\x07"},
        TextCase{
            "NameInTheTooltip", {.name = "tip\x1B]0;t\x07"}, true, "tip\\x1B]0;t\\x07", "\x1B"},
        TextCase{"GameCodeInTheTooltip",
                 {.code = "G\x1B"
                          "AE01",
                  .name = "code"},
                 true,
                 "G\\x1BAE01",
                 "\x1B"}),
    [](const auto& info) { return std::string(info.param.name); });
