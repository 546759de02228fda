// What cardtool writes for the user and shows of a card: outputs the user
// protected or linked are refused unless --force, every card text reaches
// the terminal escaped, and leftovers of a killed run are swept at start.
#include "mcbridge.h"
#include "mcbridge/format.h"
#include "run_cardtool.h"
#include "save_maker.h"
#include "userfiles/temp_names.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};

class Outputs : public testing::Test {
protected:
    void SetUp() override
    {
        image = mcb::formatCard(mcb::FormatOptions{4});
        placeSave(image, 0, makeSaveFile({.name = "first", .blocks = 2}), 5);
        writeFile(dir.file("card.raw"), image);
        writeFile(dir.file("save.gci"), makeSaveFile({.name = "third", .seed = 3}));
    }
    Result run(std::string line) const
    {
        for (std::size_t at; (at = line.find('@')) != std::string::npos;)
            line.replace(at, 1, dir.path());
        return cardtool("--device image:" + dir.file("card.raw") + " " + line);
    }
    int temporaries() const
    {
        int count = 0;
        DIR* d = opendir(dir.path().c_str());
        while (const dirent* e = d ? readdir(d) : nullptr)
            count += userfiles::isTempName(e->d_name);
        if (d)
            closedir(d);
        return count;
    }

    TempDir dir;
    std::vector<uint8_t> image;
};

struct Command {
    const char* name;
    const char* line; // writes @/OUT
    const char* out;
};

enum class Before { Protected, Link };

class ProtectedOutput
    : public Outputs,
      public testing::WithParamInterface<std::tuple<Command, Before, bool /* force */>> {};

TEST_P(ProtectedOutput, IsRefusedUnlessForced)
{
    const auto& [command, before, force] = GetParam();
    // The file the user keeps: out itself, or the file out links to.
    const std::string out = dir.file(command.out);
    const std::string kept = before == Before::Link ? dir.file("target") : out;
    writeFile(kept, kOld);
    ::chmod(kept.c_str(), before == Before::Protected ? 0444 : 0644);
    if (before == Before::Link)
        std::filesystem::create_symlink("target", out);

    const Result r = run(std::string(command.line) + (force ? " --force" : ""));
    if (force) {
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(readFile(kept), kOld);
    } else {
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_TRUE(says(r, before == Before::Link ? "is a symbolic link" : "is write-protected"))
            << r.out;
        EXPECT_TRUE(says(r, "--force")) << r.out;
        EXPECT_EQ(readFile(kept), kOld);
    }
    struct stat st {};
    ASSERT_EQ(::stat(kept.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, before == Before::Protected ? 0444u : 0644u);
    EXPECT_EQ(std::filesystem::is_symlink(out), before == Before::Link);
    EXPECT_EQ(temporaries(), 0);
    EXPECT_EQ(readFile(dir.file("card.raw")), image);
}

std::string rowName(const std::tuple<Command, Before, bool>& row)
{
    return std::string(std::get<0>(row).name) +
           (std::get<1>(row) == Before::Link ? "Link" : "Protected") +
           (std::get<2>(row) ? "Forced" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ProtectedOutput,
    testing::Combine(testing::Values(Command{"Download", "download 0 @/out", "out"},
                                     Command{"DownloadGcs", "download 0 @/out.gcs", "out.gcs"},
                                     Command{"Backup", "backup @/out", "out"},
                                     Command{"Banner", "banner 0 @/out", "out"},
                                     Command{"FileBanner", "file-banner @/save.gci @/out", "out"},
                                     Command{"Convert", "convert @/save.gci @/out.sav", "out.sav"}),
                     testing::Values(Before::Protected, Before::Link), testing::Bool()),
    [](const auto& info) { return rowName(info.param); });

TEST_F(Outputs, AProtectedCardImageIsNotFormattedUnlessForced)
{
    ::chmod(dir.file("card.raw").c_str(), 0444);
    Result r = run("format");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "is write-protected")) << r.out;
    EXPECT_EQ(readFile(dir.file("card.raw")), image);
    r = run("format --force");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFile(dir.file("card.raw")), image);
}

TEST_F(Outputs, ANewOutputIsWrittenWholeWithNoTemporaryBeside)
{
    const Result r = run("download 0 @/new.gci");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(readFile(dir.file("new.gci")).size(), 64u + 2 * MCB_BLOCK_SIZE);
    EXPECT_EQ(temporaries(), 0);
}

// Card texts that would drive a terminal: each field, through each command
// that shows it.
struct TextRow {
    const char* name;
    std::string code;
    std::string saveName;
    std::string title;
    std::string comment;
    const char* command;
    const char* shows;
};

class CardText : public Outputs, public testing::WithParamInterface<TextRow> {};

TEST_P(CardText, ReachesTheTerminalEscaped)
{
    const TextRow& row = GetParam();
    DescribedSaveSpec spec;
    spec.save = {.code = row.code, .name = row.saveName, .blocks = 1};
    spec.frames = {MadeFrame{}};
    spec.commentOffset = 0x1000; // past the icon
    spec.title.assign(row.title.begin(), row.title.end());
    spec.comment.assign(row.comment.begin(), row.comment.end());
    image = mcb::formatCard(mcb::FormatOptions{4});
    placeSave(image, 0, makeDescribedSave(spec), 5);
    writeFile(dir.file("card.raw"), image);
    const Result r = run(row.command);
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x07'), std::string::npos) << r.out;
    EXPECT_TRUE(says(r, row.shows)) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CardText,
    testing::Values(
        TextRow{"GameCodeInList", "\x1b[2J01", "plain", "t", "c", "list", "\\x1B[2J01"},
        TextRow{"MakerCodeInList", "GTSE\x1b\x07", "plain", "t", "c", "list", "GTSE\\x1B\\x07"},
        TextRow{"NameInList", "GTSE01", "a\x1b]0;x\x07", "t", "c", "list", "a\\x1B]0;x\\x07"},
        TextRow{"GameCodeInCheck", "\x1b[2J01", "plain", "t", "c", "check", "(\\x1B[2J01 plain)"},
        TextRow{"NameInCheck", "GTSE01", "a\x1b[1m", "t", "c", "check", "(GTSE01 a\\x1B[1m)"},
        TextRow{"CodeInInfo", "\x1b[2J01", "plain", "t", "c", "info 0", "\\x1B[2J01"},
        TextRow{"NameInInfo", "GTSE01", "n\x1b[1m", "t", "c", "info 0", "n\\x1B[1m"},
        TextRow{"TitleInInfo", "GTSE01", "plain", "t\x1b[2J", "c", "info 0", "t\\x1B[2J"},
        TextRow{"CommentInInfo", "GTSE01", "plain", "t", "c\x07\x1b", "info 0", "c\\x07\\x1B"},
        TextRow{"NameInDownload", "GTSE01", "d\x1b[1m", "t", "c", "download 0 @/x.gci",
                "(d\\x1B[1m)"},
        TextRow{"NameInDelete", "GTSE01", "e\x1b[1m", "t", "c", "delete 0", "(e\\x1B[1m)"}),
    [](const auto& info) { return std::string(info.param.name); });

// A run killed outright (SIGKILL, a power cut) cannot clean up: the next run
// removes what it left in the temporary folder, and only that.
TEST_F(Outputs, LeftoversOfAKilledRunAreSweptAtStart)
{
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    std::filesystem::create_directory(dir.file("tmp"));
    const std::string dead = dir.file("tmp/copy.cardsuite-" + std::to_string(gone) + "-abcdef");
    const std::string live = dir.file("tmp/copy.cardsuite-" + std::to_string(getpid()) + "-abcdef");
    const std::string theirs = dir.file("tmp/copy.other-" + std::to_string(gone) + "-abcdef");
    for (const std::string& f : {dead, live, theirs})
        writeFile(f, kOld);
    const Result r =
        cardtool("--device image:" + dir.file("card.raw") + " list", "TMPDIR=" + dir.file("tmp"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(live)) << "its maker still runs";
    EXPECT_TRUE(std::filesystem::exists(theirs)) << "not our name";
}

} // namespace
