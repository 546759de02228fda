// cardsuite started from a terminal without a desktop: the command line is
// answered there, and a missing desktop ends the program with one line and a
// plain exit status, never a core dump.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int status = -1;
    bool crashed = true;
    QString out, err;
};

// Runs the program with no display of any kind, plus the given variables.
Outcome runCardsuite(const QStringList& arguments, const QStringList& extraEnvironment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString& assignment : extraEnvironment)
        env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(CARDSUITE), arguments);
    Outcome r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitCode();
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

struct Case {
    const char* name;
    QStringList arguments;
    QStringList environment;
    int status;
    const char* out; // what standard output starts with
    const char* err; // what standard error starts with
    bool oneErrorLine;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, AnswersWithoutADisplay)
{
    const Case& c = GetParam();
    const Outcome r = runCardsuite(c.arguments, c.environment);
    ASSERT_FALSE(r.crashed) << r.err.toStdString();
    EXPECT_EQ(r.status, c.status) << r.err.toStdString();
    EXPECT_EQ(r.out.left(qstrlen(c.out)), QString::fromUtf8(c.out)) << r.out.toStdString();
    EXPECT_EQ(r.err.left(qstrlen(c.err)), QString::fromUtf8(c.err)) << r.err.toStdString();
    if (c.oneErrorLine) {
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    if (c.status != 0) {
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cardsuite, CommandLine,
    ::testing::Values(
        Case{"Help", {"--help"}, {}, 0, "Usage: cardsuite ", "", false},
        Case{"ShortHelp", {"-h"}, {}, 0, "Usage: cardsuite ", "", false},
        Case{"HelpWinsOverTheRest",
             {"--card", "x.raw", "--help"},
             {},
             0,
             "Usage: cardsuite ",
             "",
             false},
        Case{"Version", {"--version"}, {}, 0, "cardsuite " CARDSUITE_VERSION "\n", "", false},
        Case{"UnknownOption",
             {"--frobnicate"},
             {},
             2,
             "",
             "cardsuite: unknown argument: --frobnicate\n",
             false},
        Case{"MissingValue", {"--device"}, {}, 2, "", "cardsuite: --device needs a value\n", false},
        Case{"EmptyDataDir",
             {"--data-dir="},
             {},
             2,
             "",
             "cardsuite: --data-dir needs a folder\n",
             false},
        Case{"NoDesktop", {}, {}, 1, "", "cardsuite: needs a desktop", true},
        Case{"NoDesktopWithACard",
             {"--card", "x.raw"},
             {},
             1,
             "",
             "cardsuite: needs a desktop",
             true},
        // A display that is named but cannot be reached: Qt's platform
        // plugin gives up, and the program still ends with one line.
        Case{"UnreachableDisplay",
             {},
             {"DISPLAY=:9917", "XDG_RUNTIME_DIR=/nonexistent"},
             1,
             "",
             "cardsuite: cannot show its window on this desktop: ",
             true}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(CommandLineFiles, NoDesktopLeavesNoFilesBehind)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const Outcome r =
        runCardsuite({}, {"HOME=" + home.path(), "XDG_DATA_HOME=" + home.path() + "/data",
                          "XDG_CACHE_HOME=" + home.path() + "/cache"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace
