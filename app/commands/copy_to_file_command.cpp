#include "commands/copy_to_file_command.h"

#include "cards/card_session.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/failure_reason.h"
#include "commands/save_forms.h"
#include "commands/save_names.h"
#include "commands/user_file.h"

#include "i18n/texts.h"

CopyToFileCommand::CopyToFileCommand(CommandHost& host, CardSession& session, QList<CardSave> saves,
                                     QString folder)
    : CardCommand(host, session), fSaves(std::move(saves)), fFolder(std::move(folder))
{
}

void CopyToFileCommand::run()
{
    if (fSaves.isEmpty()) {
        fHost.tell(Say_WARNING0);
        return;
    }
    bool copied = false;
    QStringList failed;
    skin::FileDialogSpec dialog{QString(), fFolder, QString(), saveFileFilter(),
                                QStringLiteral("GCI")};
    fHost.holdLists(true);
    for (const CardSave& save : fSaves) {
        fHost.progressRange(0, 20);
        dialog.fileName = withoutRemovedCharacters(save.name) + QStringLiteral(".GCI");
        const std::optional<QString> path = fHost.dialogs().saveFileName(dialog);
        if (!path)
            continue;
        bool force = false;
        if (!mayReplaceOutput(fHost.dialogs(), *path, fHost.title(), &force))
            continue;
        fHost.busy(i18n::busyText(say_saver_backup));
        // The save in the listed slot, not another of the same name, read
        // whole into memory; the file appears only once it is whole.
        const QByteArray plain =
            stillInSlot(card(), save) ? readSave(card(), unsigned(save.slot)) : QByteArray();
        if (plain.isEmpty()) {
            failed << withCardReason(save.name, card());
            continue;
        }
        const std::optional<QByteArray> bytes = inFormFor(*path, plain);
        if (bytes && replaceUserFile(*path, *bytes, force)) {
            copied = true;
            fHost.changed(CommandHost::Changed::FileList);
            fHost.progressAt(20);
        } else {
            failed << withReason(save.name, bytes ? MCB_ERROR_FILE : MCB_ERROR_NOT_A_SAVE);
        }
    }
    fHost.holdLists(false);
    const QString notice = closingNotice({{&say_backupfailed, failed}}, say_Backupcomplete, copied);
    if (!notice.isEmpty())
        fHost.tell(notice);
    fHost.unselect(CommandHost::List::Card);
    fHost.idle();
}
