// A process ended by a signal while it writes a user's file leaves the file
// as it was and no temporary file beside it.
#include "save_maker.h"
#include "userfiles/durable_file.h"
#include "userfiles/temp_names.h"
#include "userfiles/temp_registry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace userfiles;
using mcbtest::TempDir;

namespace {

int tempsIn(const std::string& dir)
{
    int count = 0;
    DIR* d = opendir(dir.c_str());
    while (const dirent* e = d ? readdir(d) : nullptr)
        count += isTempName(e->d_name);
    if (d)
        closedir(d);
    return count;
}

struct SignalRow {
    const char* name;
    int signal;
    int files; // written at once when the signal comes
    bool ignoredBefore;
};

class Signal : public testing::TestWithParam<SignalRow> {};

TEST_P(Signal, RemovesTheTemporaryFilesAndEndsByTheSignal)
{
    const SignalRow& row = GetParam();
    TempDir dir;
    mcbtest::writeFile(dir.file("out0"), {'o', 'l', 'd'});
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (row.ignoredBefore)
            std::signal(row.signal, SIG_IGN);
        removeTempsOnSignals();
        std::vector<std::unique_ptr<DurableFile>> files;
        for (int i = 0; i < row.files; ++i) {
            files.push_back(std::make_unique<DurableFile>(dir.file("out" + std::to_string(i))));
            files.back()->write("half", 4);
        }
        char go = 'r';
        (void)!write(ready[1], &go, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char go = 0;
    ASSERT_EQ(read(ready[0], &go, 1), 1);
    close(ready[0]);
    ASSERT_EQ(tempsIn(dir.path()), row.files);
    kill(child, row.signal);
    if (row.ignoredBefore)
        kill(child, SIGKILL); // still running: nohup's choice was kept
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), row.ignoredBefore ? SIGKILL : row.signal);
    EXPECT_EQ(tempsIn(dir.path()), row.ignoredBefore ? row.files : 0);
    const auto kept = mcbtest::readFile(dir.file("out0"));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");
}

INSTANTIATE_TEST_SUITE_P(Rows, Signal,
                         testing::Values(SignalRow{"Term", SIGTERM, 1, false},
                                         SignalRow{"Interrupt", SIGINT, 1, false},
                                         SignalRow{"HangUp", SIGHUP, 1, false},
                                         SignalRow{"TermWithThreeFiles", SIGTERM, 3, false},
                                         SignalRow{"HangUpIgnoredStaysIgnored", SIGHUP, 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Signal, CommittedAndDroppedFilesLeaveTheTable)
{
    TempDir dir;
    // More files than the table holds, one after another: each leaves its
    // entry when done, so the table never fills.
    for (int i = 0; i < 3 * kMaxTempFiles; ++i) {
        DurableFile f(dir.file("out"));
        f.write("x", 1);
        if (i % 2) {
            ASSERT_TRUE(f.commit());
        }
    }
    const int entry = registerTemp("/nonexistent/probe");
    EXPECT_GE(entry, 0);
    EXPECT_LT(entry, 1) << "every earlier entry was forgotten";
    forgetTemp(entry);
}

} // namespace
