// Leftovers of earlier runs: only ours (our name pattern, our user) and only
// when the run that made them is over or they are old.
#include "save_maker.h"
#include "userfiles/leftovers.h"
#include "userfiles/temp_names.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace userfiles;
using mcbtest::TempDir;

namespace {

// A process id that was in use and is over now.
pid_t deadProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

enum class Maker { Gone, Running };
enum class Kind { File, Folder, Link };

struct SweepRow {
    const char* name;
    const char* prefix; // the file's name before our mark ("" for none)
    bool ourMark;       // the name carries ".cardsuite-PID-XXXXXX"
    Maker maker;
    bool ownedByUs;
    bool old;
    Kind kind;
    const char* rulePrefix;
    bool removed;
};

class Sweep : public testing::TestWithParam<SweepRow> {};

TEST_P(Sweep, RemovesOnlyOurLeftoversOfRunsThatAreOver)
{
    const SweepRow& row = GetParam();
    TempDir dir;
    const pid_t maker = row.maker == Maker::Gone ? deadProcess() : getppid();
    const std::string name =
        std::string(row.prefix) + (row.ourMark ? ".cardsuite-" + std::to_string(maker) + "-a1B2c3"
                                               : ".other-" + std::to_string(maker) + "-a1B2c3");
    const std::string path = dir.file(name);
    switch (row.kind) {
    case Kind::File: mcbtest::writeFile(path, {1, 2, 3}); break;
    case Kind::Folder:
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        mcbtest::writeFile(path + "/inside", {1});
        break;
    case Kind::Link:
        mcbtest::writeFile(dir.file("kept"), {1});
        ASSERT_EQ(symlink("kept", path.c_str()), 0);
        break;
    }
    if (!row.ownedByUs) {
        if (geteuid() != 0)
            GTEST_SKIP() << "only root can give a file away";
        ASSERT_EQ(lchown(path.c_str(), 4321, 4321), 0);
    }
    if (row.old) {
        const timespec times[2] = {{time(nullptr) - 3 * 24 * 3600, 0},
                                   {time(nullptr) - 3 * 24 * 3600, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
    EXPECT_EQ(sweepLeftovers(dir.path(), {row.rulePrefix, 24 * 3600}), row.removed ? 1 : 0);
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st) != 0, row.removed);
    if (row.kind == Kind::Link) {
        EXPECT_EQ(access(dir.file("kept").c_str(), F_OK), 0) << "a link is never followed";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Sweep,
    testing::Values(SweepRow{"OursMakerGone", ".save.gci", true, Maker::Gone, true, false,
                             Kind::File, "", true},
                    SweepRow{"OursMakerRunning", ".save.gci", true, Maker::Running, true, false,
                             Kind::File, "", false},
                    SweepRow{"OursMakerRunningButOld", ".save.gci", true, Maker::Running, true,
                             true, Kind::File, "", true},
                    SweepRow{"AnotherUsersFile", ".save.gci", true, Maker::Gone, false, true,
                             Kind::File, "", false},
                    SweepRow{"NotOurPattern", ".save.gci", false, Maker::Gone, true, true,
                             Kind::File, "", false},
                    SweepRow{"OtherTargetsPrefix", ".other.gci", true, Maker::Gone, true, false,
                             Kind::File, ".save.gci.", false},
                    SweepRow{"SameTargetsPrefix", ".save.gci", true, Maker::Gone, true, false,
                             Kind::File, ".save.gci.", true},
                    SweepRow{"OurFolderWithItsFiles", "copy", true, Maker::Gone, true, false,
                             Kind::Folder, "", true},
                    SweepRow{"LinkNeverRemovedNorFollowed", ".save.gci", true, Maker::Gone, true,
                             true, Kind::Link, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameRow {
    const char* name;
    const char* file;
    bool ours;
    pid_t maker;
};

class TempName : public testing::TestWithParam<NameRow> {};

TEST_P(TempName, IsRecognisedWithItsMaker)
{
    pid_t maker = 0;
    EXPECT_EQ(isTempName(GetParam().file, &maker), GetParam().ours);
    if (GetParam().ours) {
        EXPECT_EQ(maker, GetParam().maker);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TempName,
    testing::Values(NameRow{"Beside", ".save.gci.cardsuite-4242-Ab12Cd", true, 4242},
                    NameRow{"InFolder", "copy.cardsuite-7-zzzzzz", true, 7},
                    NameRow{"UserFile", "save.gci", false, 0},
                    NameRow{"NoProcess", ".save.gci.cardsuite--Ab12Cd", false, 0},
                    NameRow{"ProcessNotNumber", ".save.gci.cardsuite-12x-Ab12Cd", false, 0},
                    NameRow{"ShortSuffix", ".save.gci.cardsuite-12-Ab12C", false, 0},
                    NameRow{"LongSuffix", ".save.gci.cardsuite-12-Ab12Cde", false, 0},
                    NameRow{"SuffixNotLetters", ".save.gci.cardsuite-12-Ab.2Cd", false, 0},
                    NameRow{"ProcessZero", ".save.gci.cardsuite-0-Ab12Cd", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TempName, PatternsMakeNamesWeRecognise)
{
    std::string beside = tempPatternBeside("/some/dir/save.gci");
    EXPECT_EQ(beside.rfind("/some/dir/.save.gci.cardsuite-", 0), 0u) << beside;
    std::string in = tempPatternIn("/tmp", "copy");
    EXPECT_EQ(in.rfind("/tmp/copy.cardsuite-", 0), 0u) << in;
    for (std::string* p : {&beside, &in}) {
        p->replace(p->size() - 6, 6, "q1W2e3");
        pid_t maker = 0;
        EXPECT_TRUE(isTempName(p->substr(p->rfind('/') + 1), &maker)) << *p;
        EXPECT_EQ(maker, getpid());
    }
    // A long name is shortened so that the temporary name stays a name.
    const std::string longName = tempPatternBeside("/d/" + std::string(300, 'n'));
    EXPECT_LE(longName.size() - 3, 255u);
}

} // namespace
