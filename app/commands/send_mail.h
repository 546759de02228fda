#pragma once

// Hands a new message with attachments to the user's mail program, which
// shows it for the user to complete and send. On this desktop that is
// xdg-email; another command can stand in for it.

#include <QObject>
#include <QStringList>

class TSendMail : public QObject {
    Q_OBJECT
public:
    explicit TSendMail(QObject* owner = nullptr);
    ~TSendMail() override;

    QString ToName, ToAddress;
    QString CCName, CCAddress;   // used only when CCAddress is set
    QString BCCName, BCCAddress; // used only when BCCAddress is set
    QString FromName, FromAddress;
    QString Subject, Body;
    bool ShowDialog = false; // kept for callers; the mail program always shows the message

    const QStringList& AttachFiles() const { return fAttachFiles; }
    QStringList& AttachFiles() { return fAttachFiles; }
    void SetAttachFiles(const QStringList& list) { fAttachFiles = list; }

    // True when the mail program took the message.
    bool Execute();
    // After a failed Execute: true when there was no mail program to take
    // it at all (none could be started, or xdg-email found none set up), as
    // opposed to one that refused the message.
    bool programMissing() const { return fProgramMissing; }

    // The arguments Execute passes: subject, note, copies, at most 32
    // attachments, and the recipient when it is a real address.
    QStringList arguments() const;

    // The program run in xdg-email's place (tests set a stand-in); empty
    // means xdg-email, or CARDSUITE_MAIL_COMMAND when that is set.
    static void setCommand(const QString& program);
    static QString command();

private:
    QStringList fAttachFiles;
    bool fProgramMissing = false;
};
