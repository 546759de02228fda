// A user's output: what is refused, what force allows, and that a write
// replaces whole with nothing left beside it.
#include "save_maker.h"
#include "userfiles/durable_file.h"
#include "userfiles/temp_names.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace userfiles;
using mcbtest::TempDir;

namespace {

enum class Before {
    Nothing,
    Writable,
    Private,
    Protected,
    LinkToWritable,
    LinkToProtected,
    DanglingLink,
    Folder,
    Fifo
};

// The path "out" in dir, made as the row says; the file behind it holds "old".
void make(const TempDir& dir, Before before)
{
    const std::string out = dir.file("out"), target = dir.file("target");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    switch (before) {
    case Before::Nothing: break;
    case Before::Writable:
        mcbtest::writeFile(out, old);
        chmod(out.c_str(), 0644);
        break;
    case Before::Private:
        mcbtest::writeFile(out, old);
        chmod(out.c_str(), 0600);
        break;
    case Before::Protected:
        mcbtest::writeFile(out, old);
        chmod(out.c_str(), 0444);
        break;
    case Before::LinkToWritable:
    case Before::LinkToProtected:
        mcbtest::writeFile(target, old);
        chmod(target.c_str(), before == Before::LinkToWritable ? 0644 : 0444);
        ASSERT_EQ(symlink("target", out.c_str()), 0);
        break;
    case Before::DanglingLink: ASSERT_EQ(symlink("nowhere", out.c_str()), 0); break;
    case Before::Folder: ASSERT_EQ(mkdir(out.c_str(), 0755), 0); break;
    case Before::Fifo: ASSERT_EQ(mkfifo(out.c_str(), 0644), 0); break;
    }
}

std::vector<std::string> tempsIn(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    while (const dirent* e = d ? readdir(d) : nullptr)
        if (isTempName(e->d_name))
            names.emplace_back(e->d_name);
    if (d)
        closedir(d);
    return names;
}

struct OutputRow {
    const char* name;
    Before before;
    bool force;
    Refusal refusal;
    // After the write: what "out" reads as, the mode of the file it names,
    // and whether it is (still) a link.
    const char* reads;
    unsigned mode;
    bool link;
};

class Output : public testing::TestWithParam<OutputRow> {};

TEST_P(Output, IsRefusedOrReplacedWhole)
{
    const OutputRow& row = GetParam();
    TempDir dir;
    make(dir, row.before);
    const mode_t mask = umask(022);
    const std::string out = dir.file("out");
    EXPECT_EQ(checkOutput(out, row.force), row.refusal);
    const WriteResult written = writeFile(out, "new", 3, {.force = row.force});
    umask(mask);
    EXPECT_EQ(written.refusal, row.refusal) << refusalText(written.refusal);
    EXPECT_EQ(bool(written), row.refusal == Refusal::None);
    if (row.reads) {
        const auto bytes = mcbtest::readFile(out);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), row.reads);
        struct stat st {};
        ASSERT_EQ(stat(out.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, row.mode);
    }
    struct stat l {};
    lstat(out.c_str(), &l);
    EXPECT_EQ(S_ISLNK(l.st_mode), row.link);
    EXPECT_TRUE(tempsIn(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Output,
    testing::Values(
        OutputRow{"NewFile", Before::Nothing, false, Refusal::None, "new", 0644, false},
        OutputRow{"WritableReplaced", Before::Writable, false, Refusal::None, "new", 0644, false},
        OutputRow{"PrivateStaysPrivate", Before::Private, false, Refusal::None, "new", 0600, false},
        OutputRow{"ProtectedRefused", Before::Protected, false, Refusal::Protected, "old", 0444,
                  false},
        OutputRow{"ProtectedForcedKeepsItsMode", Before::Protected, true, Refusal::None, "new",
                  0444, false},
        OutputRow{"LinkRefused", Before::LinkToWritable, false, Refusal::SymbolicLink, "old", 0644,
                  true},
        OutputRow{"LinkForcedWritesItsTarget", Before::LinkToWritable, true, Refusal::None, "new",
                  0644, true},
        OutputRow{"LinkToProtectedRefused", Before::LinkToProtected, false, Refusal::SymbolicLink,
                  "old", 0444, true},
        OutputRow{"LinkToProtectedForced", Before::LinkToProtected, true, Refusal::None, "new",
                  0444, true},
        OutputRow{"DanglingLinkRefused", Before::DanglingLink, false, Refusal::SymbolicLink,
                  nullptr, 0, true},
        OutputRow{"DanglingLinkForcedIsReplaced", Before::DanglingLink, true, Refusal::None, "new",
                  0644, false},
        OutputRow{"FolderNeverWritten", Before::Folder, true, Refusal::NotAFile, nullptr, 0, false},
        OutputRow{"FifoNeverWritten", Before::Fifo, true, Refusal::NotAFile, nullptr, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that must be new is never written over: not one there at the
// start, not one another program makes while it is being written.
TEST(Output, ANewOnlyFileNeverReplacesOneThatAppears)
{
    TempDir dir;
    const std::string out = dir.file("out");
    DurableFile late(out, {.replace = false});
    ASSERT_TRUE(late.isOpen());
    ASSERT_TRUE(late.write("new", 3));
    mcbtest::writeFile(out, {'o', 'l', 'd'});
    EXPECT_FALSE(late.commit());
    EXPECT_EQ(late.refusal(), Refusal::Exists);
    EXPECT_EQ(mcbtest::readFile(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(writeFile(out, "new", 3, {.replace = false}).refusal, Refusal::Exists);
    const std::string fresh = dir.file("fresh");
    EXPECT_TRUE(writeFile(fresh, "new", 3, {.replace = false}));
    EXPECT_EQ(mcbtest::readFile(fresh), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_TRUE(tempsIn(dir.path()).empty());
}

TEST(Output, ForcedLinkLeavesTheLinkAndReplacesOnlyItsTarget)
{
    TempDir dir;
    make(dir, Before::LinkToWritable);
    ASSERT_TRUE(writeFile(dir.file("out"), "new", 3, {.force = true}));
    char target[64] = {};
    ASSERT_GT(readlink(dir.file("out").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "target");
    const auto bytes = mcbtest::readFile(dir.file("target"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
}

TEST(Output, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    TempDir dir;
    make(dir, Before::Writable);
    {
        DurableFile f(dir.file("out"));
        ASSERT_TRUE(f.isOpen());
        ASSERT_EQ(tempsIn(dir.path()).size(), 1u);
        ASSERT_TRUE(f.write("half", 4));
        // Not committed: dropped.
    }
    const auto bytes = mcbtest::readFile(dir.file("out"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old");
    EXPECT_TRUE(tempsIn(dir.path()).empty());
    const WriteResult missing = writeFile(dir.file("no/such/folder/out"), "x", 1);
    EXPECT_EQ(missing.refusal, Refusal::Failed);
    EXPECT_EQ(missing.error, ENOENT);
}

TEST(Output, LargeWritesArriveWhole)
{
    TempDir dir;
    std::vector<uint8_t> bytes(300 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7 + i / 251);
    DurableFile f(dir.file("big"));
    for (std::size_t at = 0; at < bytes.size(); at += 8192)
        ASSERT_TRUE(f.write(bytes.data() + at, std::min<std::size_t>(8192, bytes.size() - at)));
    ASSERT_TRUE(f.commit());
    EXPECT_EQ(mcbtest::readFile(dir.file("big")), bytes);
}

struct ModeRow {
    const char* name;
    unsigned mode;
    Writer writer;
    bool writable;
};

class Mode : public testing::TestWithParam<ModeRow> {};

TEST_P(Mode, IsJudgedByTheBitsThatApplyToTheWriter)
{
    EXPECT_EQ(writableByMode(GetParam().mode, GetParam().writer), GetParam().writable);
}

constexpr Writer kRoot{true, false, false}, kOwner{false, true, true}, kGroup{false, false, true},
    kOther{};

INSTANTIATE_TEST_SUITE_P(Rows, Mode,
                         testing::Values(ModeRow{"RootReadOnly", 0444, kRoot, false},
                                         ModeRow{"RootNoBitsAtAll", 0000, kRoot, false},
                                         ModeRow{"RootAnyWriteBit", 0446, kRoot, true},
                                         ModeRow{"OwnerWritable", 0644, kOwner, true},
                                         ModeRow{"OwnerProtectedGroupWritable", 0464, kOwner,
                                                 false},
                                         ModeRow{"GroupWritable", 0464, kGroup, true},
                                         ModeRow{"GroupNotOthers", 0646, kGroup, false},
                                         ModeRow{"OtherWritable", 0446, kOther, true},
                                         ModeRow{"OtherNot", 0664, kOther, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
