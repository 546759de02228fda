#include "commands/edit_command.h"

#include "cards/card_session.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/edit_write_back.h"
#include "commands/failure_reason.h"
#include "commands/save_editing.h"
#include "commands/save_names.h"

#include "i18n/texts.h"

#include <QFile>

namespace {

bool writeWorkFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

EditCommand::EditCommand(CommandHost& host, CardSession& session, QList<CardSave> saves,
                         SaveEditing& editor, QString workFile, QString folder)
    : CardCommand(host, session), fSaves(std::move(saves)), fEditor(editor),
      fWorkFile(std::move(workFile)), fFolder(std::move(folder))
{
}

void EditCommand::run()
{
    if (fSaves.isEmpty()) {
        fHost.tell(Say_WARNING0);
        return;
    }
    // The editor works on a file of its own in the program's private
    // folder; the save reaches it and comes back through memory.
    bool saved = false;
    bool written = false;
    QStringList failed, unsure, wrongSize, oldKept, kept;
    for (const CardSave& save : fSaves) {
        fHost.progressRange(0, 20);
        // The save in the listed slot, not another of the same name.
        const QByteArray bytes =
            stillInSlot(card(), save) ? readSave(card(), unsigned(save.slot)) : QByteArray();
        if (!bytes.isEmpty() && writeWorkFile(fWorkFile, bytes)) {
            fHost.busy(i18n::busyText(say_saver_LOADING));
            if (fEditor.edit(fWorkFile, shownCode(save.rawCode) + QLatin1Char(' ') + save.name)) {
                saved = true;
                QFile edited(fWorkFile);
                const QByteArray after =
                    edited.open(QIODevice::ReadOnly) ? edited.readAll() : QByteArray();
                const WriteBackResult r = writeBack(fHost, card(), fFolder, save, after);
                if (!r.keptAs.isEmpty())
                    kept << r.keptAs;
                switch (r.result) {
                case WriteBack::Written: written = true; break;
                case WriteBack::Failed: failed << withReason(save.name, r.error); break;
                case WriteBack::Unsure:
                    unsure << withOutcome(withReason(save.name, r.error), r.holds);
                    break;
                case WriteBack::WrongSize: wrongSize << save.name; break;
                case WriteBack::OldKept:
                    written = true;
                    oldKept << withReason(save.name, r.error);
                    break;
                case WriteBack::Declined: break;
                }
            }
        }
        fHost.progressAt(20);
    }
    if (!saved) {
        fHost.unselect(CommandHost::List::Card);
        fHost.idle();
        return;
    }
    fHost.changed(CommandHost::Changed::CardList);
    QStringList lines;
    if (!failed.isEmpty())
        lines << say_editfailed + failed.join(QStringLiteral(", "));
    if (!unsure.isEmpty())
        lines << say_uploadfailed + unsure.join(QStringLiteral(", "));
    if (!wrongSize.isEmpty())
        lines << say_editwrongsize + wrongSize.join(QStringLiteral(", "));
    if (!oldKept.isEmpty())
        lines << say_deletefailed + oldKept.join(QStringLiteral(", "));
    if (lines.isEmpty() && written)
        lines << say_Editcomplete;
    if (!kept.isEmpty()) {
        lines << say_oldkept + kept.join(QStringLiteral(", "));
        fHost.changed(CommandHost::Changed::FileList);
    }
    if (!lines.isEmpty())
        fHost.tell(lines.join(QLatin1Char('\n')));
}
