#include "commands/mail_command.h"

#include "cards/card_session.h"
#include "cards/card_worker.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/mail_cache.h"
#include "commands/save_names.h"
#include "commands/send_mail.h"

#include "i18n/texts.h"

#include <QDir>
#include <QFile>

MailCommand::MailCommand(CommandHost& host, CardSession& session, QList<CardSave> saves,
                         TSendMail& mail)
    : CardCommand(host, session), fSaves(std::move(saves)), fMail(mail)
{
}

void MailCommand::run()
{
    if (fSaves.isEmpty()) {
        fHost.tell(Say_WARNING0);
        return;
    }
    QStringList failed;
    for (const CardSave& save : fSaves) {
        fHost.progressRange(0, 20);
        const QString& name = save.name;
        const QByteArray& rawCode = save.rawCode;
        // The save in the listed slot, not another of the same name.
        const QByteArray bytes =
            stillInSlot(card(), save) ? readSave(card(), unsigned(save.slot)) : QByteArray();
        if (bytes.isEmpty()) {
            failed << withCardReason(name, card());
            fHost.progressAt(20);
            continue;
        }
        fHost.busy(i18n::busyText(say_saver_LOADING));
        // The file is named after the save's file-name field; the mail
        // program reads it after xdg-email has returned, so it waits in
        // the cache folder, not in the program's folder.
        const QString fileName =
            withoutRemovedCharacters(decodeSaveName(
                bytes.mid(MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE).replace('\0', QByteArray()),
                rawCode)) +
            QStringLiteral(".GCI");
        const QString mailed = placeInMailCache(bytes, fileName);
        if (mailed.isEmpty()) {
            failed << name;
            fHost.progressAt(20);
            continue;
        }
        const QString subject = name + QLatin1Char('(') + shownCode(rawCode) + QLatin1Char(')');
        // The mail program is started, and waited for, on the thread the
        // mail object lives on (the window's): the card's thread only waits.
        const bool taken = onThreadOf(&fMail, [&] {
            fMail.ToName = QStringLiteral("123");
            fMail.ToAddress = QStringLiteral("@");
            fMail.Subject = subject;
            fMail.AttachFiles().clear();
            fMail.AttachFiles().append(mailed);
            return fMail.Execute();
        });
        if (!taken) {
            // The busy text must not stand behind the notice.
            fHost.progressAt(0);
            fHost.idle();
            if (fMail.programMissing()) {
                // The copy stays where it is, for the user to attach by hand.
                fHost.tell(say_no_mail_program + QDir::toNativeSeparators(mailed));
            } else {
                fHost.tell(say_ask_sendmail);
                QFile::remove(mailed); // no mail program has it
            }
            fHost.unselect(CommandHost::List::Card);
            return;
        }
        fHost.progressAt(20);
    }
    if (!failed.isEmpty())
        fHost.tell(say_mailfailed + failed.join(QStringLiteral(", ")));
    fHost.idle();
    fHost.unselect(CommandHost::List::Card);
}
