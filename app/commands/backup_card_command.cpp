#include "commands/backup_card_command.h"

#include "cards/card_session.h"
#include "cards/gclink.h"
#include "commands/card_images.h"
#include "commands/command_host.h"
#include "commands/failure_reason.h"
#include "commands/user_file.h"

#include "i18n/texts.h"

#include <QDate>

namespace {

// A backup's suggested name tells cards and days apart in a folder of many:
// the card's size as the status area shows it, and today's date. Its
// extension is the dialog's first filter's, which the dialog starts on.
QString backupName(const QDate& day)
{
    QString size = GCLINK::Size;
    size.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    return QStringLiteral("card-") + size + QLatin1Char('-') + day.toString(Qt::ISODate) +
           QStringLiteral(".gcp");
}

} // namespace

BackupCardCommand::BackupCardCommand(CommandHost& host, CardSession& session, QString folder)
    : CardCommand(host, session), fFolder(std::move(folder))
{
}

void BackupCardCommand::run()
{
    const int last = GCLINK::nmem / 16 - 1;
    fHost.progressRange(0, last);
    const std::optional<QString> path = fHost.dialogs().saveFileName(
        imageDialog(fFolder, QStringLiteral("gcp"), backupName(QDate::currentDate())));
    bool force = false;
    if (!path || !mayReplaceOutput(fHost.dialogs(), *path, fHost.title(), &force))
        return;
    fHost.busy(say_saver_reading);
    const QByteArray image = cardImage(card());
    if (image.isEmpty()) {
        fHost.tell(withCardReason(say_readcardfailed + *path, card()));
    } else if (replaceUserFile(*path, image, force)) {
        fHost.progressAt(last);
        // Said as a single save's backup says it: a long copy that ends
        // without a word looks like one that stopped.
        fHost.tell(say_Backupcomplete);
    } else {
        // The older file of that name, if any, is left as it was.
        fHost.tell(withReason(say_readcardfailed + *path, MCB_ERROR_FILE));
    }
    fHost.idle();
    fHost.unselect(CommandHost::List::Card);
    fHost.unselect(CommandHost::List::Files);
}
