#include "commands/copy_to_card_command.h"

#include "cards/card_session.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/failure_reason.h"
#include "commands/put_save.h"
#include "commands/save_names.h"

#include "i18n/texts.h"

namespace {

// The name a save file's entry gives, for the file the old save is kept in.
QString nameInEntry(const QByteArray& bytes)
{
    mcb_save_view view{};
    view.size = sizeof view;
    if (mcb_parse_save(bytes.constData(), size_t(bytes.size()), &view) != MCB_OK)
        return {};
    const auto field = [&](int at, int width) {
        const QByteArray f(reinterpret_cast<const char*>(view.entry) + at, width);
        const qsizetype nul = f.indexOf('\0');
        return nul < 0 ? f : f.left(nul);
    };
    return decodeSaveName(field(MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE),
                          field(MCB_ENTRY_GAME, MCB_ENTRY_CODE_SIZE));
}

} // namespace

CopyToCardCommand::CopyToCardCommand(CommandHost& host, CardSession& session, QList<Source> files,
                                     QString folder)
    : CardCommand(host, session), fFiles(std::move(files)), fFolder(std::move(folder))
{
}

void CopyToCardCommand::run()
{
    if (fFiles.isEmpty()) {
        fHost.tell(Say_WARNING1);
        return;
    }
    bool uploaded = false;
    QStringList failed, noRoom, twins, kept;
    fHost.holdLists(true);
    // With no room beside the old save, the user may keep it in the save
    // folder and have it deleted from the card first.
    bool keepFailed = false;
    const auto keepOld = [&](const QString& name, const QString& saveName) {
        return [&, name, saveName](const mcb_write_outcome& o, const QByteArray& old) {
            const QString keepAs = freeOldName(fFolder, saveName);
            if (!fHost.dialogs().askYesNo(i18n::deleteFirstQuestion(name, int(o.blocks_needed),
                                                                    int(o.blocks_free), keepAs),
                                          fHost.title()))
                return QString();
            if (keepOldSave(old, fFolder + QLatin1Char('/') + keepAs))
                return keepAs;
            keepFailed = true;
            return QString();
        };
    };
    for (const Source& file : fFiles) {
        fHost.progressRange(0, 20);
        fHost.busy(i18n::busyText(say_saver_upload));
        const QString& name = file.name;
        // The file is read once; the library takes any of the three forms.
        const QByteArray bytes = saveFileBytes(file.path);
        if (bytes.isEmpty()) {
            failed << withReason(name, MCB_ERROR_FILE);
            continue;
        }
        keepFailed = false;
        PutResult r = putSave(card(), bytes, MCB_WRITE_NEW, -1);
        if (r.code == MCB_E_EXISTS) {
            // Two card saves of this name and code: which one the file
            // would replace cannot be told, so neither is.
            if (r.outcome.other_slot >= 0) {
                twins << name;
                continue;
            }
            if (!fHost.dialogs().askYesNo(i18n::overwriteQuestion(file.shown), fHost.title()))
                continue;
            r = putSave(card(), bytes, MCB_WRITE_REPLACE_SLOT, r.outcome.slot,
                        keepOld(name, nameInEntry(bytes)));
        }
        if (!r.keptAs.isEmpty())
            kept << r.keptAs;
        if (r.code == MCB_OK) {
            uploaded = true;
            fHost.progressAt(20);
        } else if (keepFailed) {
            // Nothing has been written when the old save could not be kept.
            failed << withOutcome(name, say_cardholdsold);
        } else if (r.code == MCB_E_NO_ROOM) {
            noRoom << name;
        } else if (r.outcome.result == MCB_FAILED) {
            failed << withOutcome(withCodeReason(name, r.code, card()), holdsText(r.outcome.holds));
        } else {
            failed << withCodeReason(name, r.code, card());
        }
    }
    if (uploaded || !failed.isEmpty())
        fHost.changed(CommandHost::Changed::CardList);
    if (!kept.isEmpty())
        fHost.changed(CommandHost::Changed::FileList);
    QString notice = closingNotice(
        {{&say_uploadfailed, failed}, {&say_nofreeblock, noRoom}, {&say_twinsavers, twins}},
        say_uploadcomplete, uploaded);
    if (!kept.isEmpty())
        notice += (notice.isEmpty() ? QString() : QStringLiteral("\n")) + say_oldkept +
                  kept.join(QStringLiteral(", "));
    if (!notice.isEmpty())
        fHost.tell(notice);
    if (!uploaded) {
        fHost.unselect(CommandHost::List::Card);
        fHost.idle();
    }
    fHost.unselect(CommandHost::List::Files);
    fHost.holdLists(false);
}
