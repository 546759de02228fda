#include "commands/delete_command.h"

#include "cards/card_session.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/put_save.h"

#include "i18n/texts.h"

DeleteCommand::DeleteCommand(CommandHost& host, CardSession& session, QList<CardSave> saves)
    : CardCommand(host, session), fSaves(std::move(saves))
{
}

void DeleteCommand::run()
{
    if (fSaves.isEmpty()) {
        fHost.tell(Say_WARNING0);
        return;
    }
    const int k = int(fSaves.size());
    fHost.progressRange(0, 16 * k);
    if (!fHost.dialogs().askYesNo(Say_ask_DeleteFile0, fHost.title())) {
        fHost.unselect(CommandHost::List::Card);
        return;
    }
    fHost.holdLists(true);
    QStringList failed;
    for (const CardSave& save : fSaves) {
        fHost.busy(i18n::busyText(say_saver_delete));
        // Only the save in the listed slot, never a twin of it.
        if (!stillInSlot(card(), save)) {
            failed << withCardReason(save.name, card()); // changed since it was listed
            continue;
        }
        mcb_write_outcome outcome{};
        const int code = removeSave(card(), unsigned(save.slot), outcome);
        if (code == MCB_OK)
            continue;
        // After a failure part-way, the library read the card again.
        const QString what = withCodeReason(save.name, code, card());
        failed << (outcome.result == MCB_FAILED ? withOutcome(what, holdsText(outcome.holds))
                                                : what);
    }
    fHost.changed(CommandHost::Changed::CardList);
    fHost.progressAt(16 * k);
    fHost.tell(closingNotice({{&say_deletefailed, failed}}, say_DELETEcomplete, true));
    fHost.unselect(CommandHost::List::Files);
    fHost.holdLists(false);
}
