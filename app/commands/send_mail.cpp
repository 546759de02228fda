#include "commands/send_mail.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QWidget>

namespace {

QString gCommand;

// Something a mail program can send to: local part, @, domain.
bool isAddress(const QString& a)
{
    const qsizetype at = a.indexOf(QLatin1Char('@'));
    return at > 0 && at < a.size() - 1 && a.count(QLatin1Char('@')) == 1 &&
           !a.contains(QLatin1Char(' '));
}

} // namespace

TSendMail::TSendMail(QObject* owner) : QObject(owner) {}

TSendMail::~TSendMail() = default;

void TSendMail::setCommand(const QString& program) { gCommand = program; }

QString TSendMail::command()
{
    if (!gCommand.isEmpty())
        return gCommand;
    const QString env = qEnvironmentVariable("CARDSUITE_MAIL_COMMAND");
    return env.isEmpty() ? QStringLiteral("xdg-email") : env;
}

QStringList TSendMail::arguments() const
{
    QStringList args;
    if (isAddress(CCAddress))
        args << QStringLiteral("--cc") << CCAddress;
    if (isAddress(BCCAddress))
        args << QStringLiteral("--bcc") << BCCAddress;
    args << QStringLiteral("--subject") << Subject;
    if (!Body.isEmpty())
        args << QStringLiteral("--body") << Body;
    for (qsizetype i = 0; i < fAttachFiles.size() && i < 32; ++i)
        args << QStringLiteral("--attach") << fAttachFiles[i];
    // A placeholder such as "@" would only make the mail program refuse the
    // message; the user types the recipient there.
    if (isAddress(ToAddress))
        args << ToAddress;
    return args;
}

bool TSendMail::Execute()
{
    // The program's windows wait while the mail program has the message.
    QList<QWidget*> disabled;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isEnabled()) {
            w->setEnabled(false);
            disabled << w;
        }
    QProcess mail;
    mail.setProgram(command());
    mail.setArguments(arguments());
    mail.setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop loop;
    bool started = true;
    connect(&mail, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&mail, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            started = false;
            loop.quit();
        }
    });
    mail.start();
    if (started && mail.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    else if (mail.state() == QProcess::NotRunning && mail.error() == QProcess::FailedToStart)
        started = false;
    for (QWidget* w : disabled)
        w->setEnabled(true);
    // xdg-email's exit status 3: no tool it could hand the message to.
    constexpr int kNoToolFound = 3;
    fProgramMissing =
        !started || (mail.exitStatus() == QProcess::NormalExit && mail.exitCode() == kNoToolFound);
    return started && mail.exitStatus() == QProcess::NormalExit && mail.exitCode() == 0;
}
