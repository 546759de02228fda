// The card's thread and the way back to the window's: a body handed to the
// card's thread runs there, its exception comes back, and every call it makes
// to the window through a ThreadedHost is answered on the window's thread.
#include "cards/card_worker.h"
#include "cards/threaded_host.h"
#include "scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QThread>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records each call and the thread it came on.
class RecordingHost : public CommandHost {
public:
    ScriptedDialogs scripted;
    std::vector<std::string> calls;
    std::vector<QThread*> threads;
    bool stop = false;

    skin::Dialogs& dialogs() override { return scripted; }
    void tell(const QString& notice) override { note("tell " + notice.toStdString()); }
    QString title() const override { return QStringLiteral("title"); }
    void busy(const QString& text) override { note("busy " + text.toStdString()); }
    void idle() override { note("idle"); }
    void holdLists(bool held) override { note(held ? "hold" : "release"); }
    void unselect(List which) override { note("unselect " + std::to_string(int(which))); }
    void progressRange(int min, int max) override
    {
        note("range " + std::to_string(min) + " " + std::to_string(max));
    }
    void progressStep() override { note("step"); }
    void progressAt(int pos) override { note("at " + std::to_string(pos)); }
    void changed(Changed what) override { note("changed " + std::to_string(int(what))); }
    bool cancelled() const override { return stop; }

private:
    void note(const std::string& call)
    {
        calls.push_back(call);
        threads.push_back(QThread::currentThread());
    }
};

struct HostCall {
    const char* name;
    std::function<void(CommandHost&)> call;
    std::string recorded; // what the window's host was asked
};

class ThreadedHostCall : public ::testing::TestWithParam<HostCall> {};

} // namespace

TEST_P(ThreadedHostCall, IsAnsweredOnTheWindowsThread)
{
    QObject window;
    RecordingHost host;
    ThreadedHost carried(&window, host);
    CardWorker worker;
    QThread* ranOn = nullptr;
    worker.run([&] {
        ranOn = QThread::currentThread();
        GetParam().call(carried);
    });
    EXPECT_NE(ranOn, window.thread()) << "the body ran on the window's thread";
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], GetParam().recorded);
    EXPECT_EQ(host.threads[0], window.thread());
}

INSTANTIATE_TEST_SUITE_P(
    CardThread, ThreadedHostCall,
    ::testing::Values(HostCall{"Tell", [](CommandHost& h) { h.tell("done"); }, "tell done"},
                      HostCall{"Busy", [](CommandHost& h) { h.busy("reading"); }, "busy reading"},
                      HostCall{"Range", [](CommandHost& h) { h.progressRange(0, 7); }, "range 0 7"},
                      HostCall{"Step", [](CommandHost& h) { h.progressStep(); }, "step"},
                      HostCall{"At", [](CommandHost& h) { h.progressAt(3); }, "at 3"},
                      HostCall{"Changed",
                               [](CommandHost& h) { h.changed(CommandHost::Changed::FileList); },
                               "changed 1"},
                      HostCall{"Idle", [](CommandHost& h) { h.idle(); }, "idle"},
                      HostCall{"Hold", [](CommandHost& h) { h.holdLists(true); }, "hold"},
                      HostCall{"Unselect",
                               [](CommandHost& h) { h.unselect(CommandHost::List::Files); },
                               "unselect 1"}),
    [](const ::testing::TestParamInfo<HostCall>& info) { return std::string(info.param.name); });

// A question asked from the card's thread is put on the window's and its
// answer comes back; a stop the window's host knows is seen.
TEST(ThreadedHost, QuestionsAndTheStopCrossBack)
{
    QObject window;
    RecordingHost host;
    host.scripted.yesNo = {true, false};
    host.scripted.entries = {QStringLiteral("typed")};
    ThreadedHost carried(&window, host);
    CardWorker worker;
    std::vector<bool> answers;
    std::optional<QString> typed;
    bool stopped = false;
    host.stop = true;
    worker.run([&] {
        answers.push_back(carried.dialogs().askYesNo("first?", "t"));
        answers.push_back(carried.dialogs().askYesNo("second?", "t"));
        typed = carried.dialogs().text("t", "name", QString());
        carried.dialogs().message("told");
        stopped = carried.cancelled();
    });
    EXPECT_EQ(answers, (std::vector<bool>{true, false}));
    EXPECT_EQ(typed, QStringLiteral("typed"));
    EXPECT_EQ(host.scripted.messages, QStringList{"told"});
    EXPECT_EQ(host.scripted.questions, (QStringList{"first?", "second?"}));
    EXPECT_TRUE(stopped);
}

// An exception thrown on the card's thread ends the body there and is thrown
// again where run() was called; the worker takes the next body.
TEST(CardWorker, AnExceptionComesBackAndTheWorkerGoesOn)
{
    CardWorker worker;
    EXPECT_THROW(worker.run([] { throw std::runtime_error("card gone"); }), std::runtime_error);
    EXPECT_FALSE(worker.busy());
    bool ran = false;
    worker.run([&] { ran = true; });
    EXPECT_TRUE(ran);
}

// onThreadOf on the owner's own thread runs at once; from another, it waits
// for the owner's thread and returns its result.
TEST(CardWorker, OnThreadOfReturnsTheOwnersResult)
{
    QObject window;
    EXPECT_EQ(onThreadOf(&window, [] { return 7; }), 7);
    CardWorker worker;
    QThread* answeredOn = nullptr;
    int result = 0;
    worker.run([&] {
        result = onThreadOf(&window, [&] {
            answeredOn = QThread::currentThread();
            return 42;
        });
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(answeredOn, window.thread());
}
