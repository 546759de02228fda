// Mailing card saves through a stand-in for xdg-email.
#include "app_fixture.h"

#include "commands/mail_cache.h"
#include "commands/send_mail.h"

#include "skin/smooth_bar.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextStream>

class MailTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        log = QString::fromStdString(dir.file("mail.log"));
        const QString script = QString::fromStdString(dir.file("fake-xdg-email"));
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Records its arguments and whether the attachment was there to read.
        f.write("#!/bin/sh\n"
                "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$MAIL_LOG\"; done\n"
                "while [ $# -gt 0 ]; do if [ \"$1\" = --attach ]; then test -f \"$2\" && echo "
                "present >> \"$MAIL_LOG\"; fi; shift; done\n"
                "echo --- >> \"$MAIL_LOG\"\n"
                "exit ${MAIL_EXIT:-0}\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TSendMail::setCommand(script);
        qputenv("MAIL_LOG", log.toLocal8Bit());
        qputenv("XDG_CACHE_HOME", QString::fromStdString(dir.file("cache")).toLocal8Bit());
        qunsetenv("MAIL_EXIT");
    }
    void TearDown() override
    {
        TSendMail::setCommand(QString());
        qunsetenv("MAIL_EXIT");
        AppTest::TearDown();
    }
    QList<QStringList> mails() const
    {
        QList<QStringList> all;
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly))
            return all;
        QStringList one;
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
            if (line == "---") {
                all << one;
                one.clear();
            } else {
                one << line;
            }
        }
        return all;
    }
    void twoSaves()
    {
        makeCard();
        placeOnCard(0, {.code = "GAAE01", .name = "my:save.dat", .blocks = 2}, 5);
        placeOnCard(1, {.code = "GBBE01", .name = "second", .blocks = 1}, 7);
        start();
        listCard();
        select(form->ListView1, {"my:save.dat", "second"});
    }
    QString log;
};

TEST_F(MailTest, EachSelectedSaveGetsItsOwnMail)
{
    twoSaves();
    form->EmailBtnClick();
    const auto sent = mails();
    ASSERT_EQ(sent.size(), 2);
    const QString cached = mailCacheDir();
    EXPECT_EQ(sent[0], (QStringList{"--subject", "my:save.dat(GAAE01)", "--attach",
                                    cached + "/mysavedat.GCI", "present"}));
    EXPECT_EQ(sent[1], (QStringList{"--subject", "second(GBBE01)", "--attach",
                                    cached + "/second.GCI", "present"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The attachments wait in the cache for the mail program, not in the
    // program's folder.
    EXPECT_TRUE(
        QDir(form->sys_dir).entryList({"*.GCI", "*.gci", "temp.~ic"}, QDir::Files).isEmpty());
    EXPECT_EQ(QFile(cached + "/mysavedat.GCI").size(), 64 + 2 * 8192);
    EXPECT_TRUE(form->ListView1->selectedItems().isEmpty());
    EXPECT_EQ(form->Label1->text(), "  ( 56 )BLOCK FREE");
    // The next start clears them away.
    clearMailCache();
    EXPECT_FALSE(QDir(cached).exists());
}

TEST_F(MailTest, AFailedHandOverStopsBeforeTheNextSave)
{
    twoSaves();
    qputenv("MAIL_EXIT", "1");
    form->EmailBtnClick();
    EXPECT_EQ(mails().size(), 1);
    EXPECT_EQ(dialogs.messages, QStringList{"Please register an email account first"});
    EXPECT_FALSE(QFile::exists(mailCacheDir() + "/mysavedat.GCI"));
    EXPECT_EQ(form->link(), nullptr);
    EXPECT_TRUE(form->b0 && form->b7 && form->b8);
}

// What the status line showed when each notice came up.
class StatusAtNotice : public ScriptedDialogs {
public:
    explicit StatusAtNotice(const QLabel* status) : fStatus(status) {}
    void message(const QString& text) override
    {
        ScriptedDialogs::message(text);
        statuses << fStatus->text();
    }
    QStringList statuses;

private:
    const QLabel* fStatus;
};

// Without any mail program the copy is kept and the user told where it is,
// the busy text already gone. Either nothing could be started, or xdg-email
// found no mail program set up (its status 3).
class NoMailProgram : public MailTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NoMailProgram, SaysWhereTheCopyIs)
{
    twoSaves();
    if (GetParam())
        qputenv("MAIL_EXIT", "3");
    else
        TSendMail::setCommand(QString::fromStdString(dir.file("no-such-program")));
    StatusAtNotice seen(form->Label1);
    skin::installDialogs(&seen);
    form->EmailBtnClick();
    skin::installDialogs(&dialogs);
    const QString copy = QDir::toNativeSeparators(mailCacheDir() + "/mysavedat.GCI");
    EXPECT_EQ(seen.messages,
              QStringList{"No mail program was found. The save was put in:\n" + copy});
    EXPECT_EQ(seen.statuses, QStringList{"  ( 56 )BLOCK FREE"});
    EXPECT_EQ(QFile(copy).size(), 64 + 2 * 8192);
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_TRUE(form->b0 && form->b7 && form->b8);
}

INSTANTIATE_TEST_SUITE_P(Mail, NoMailProgram, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "XdgEmailFoundNone" : "NoneToStart");
});

TEST_F(MailTest, ASaveThatCannotBeReadIsNamed)
{
    twoSaves();
    faults("read-fail=block5:3"); // inside the first save's first block
    form->EmailBtnClick();
    EXPECT_EQ(mails().size(), 1); // the second still goes
    EXPECT_EQ(dialogs.messages,
              QStringList{"MAIL Failed: my:save.dat [the adapter did not answer]"});
}

TEST(SendMail, ArgumentsCarryOnlyRealAddresses)
{
    TSendMail m;
    m.ToName = "123";
    m.ToAddress = "@";
    m.Subject = "s";
    m.Body = "b";
    m.CCAddress = "cc@example.org";
    m.BCCAddress = "";
    QStringList files;
    for (int i = 0; i < 40; ++i)
        files << QString("/f%1").arg(i);
    m.SetAttachFiles(files);
    const QStringList args = m.arguments();
    EXPECT_EQ(args.count("--attach"), 32);
    EXPECT_TRUE(args.contains("cc@example.org"));
    EXPECT_FALSE(args.contains("@"));
    EXPECT_EQ(args.mid(0, 6),
              (QStringList{"--cc", "cc@example.org", "--subject", "s", "--body", "b"}));
    m.ToAddress = "friend@example.org";
    EXPECT_EQ(m.arguments().constLast(), "friend@example.org");
}
