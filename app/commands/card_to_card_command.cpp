#include "commands/card_to_card_command.h"

#include "cards/card_session.h"
#include "cards/journal_group.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/failure_reason.h"
#include "commands/put_save.h"

#include "i18n/texts.h"

CardToCardCommand::CardToCardCommand(CommandHost& host, CardSession& session, CardLink& other,
                                     Devices devices, QList<CardSave> saves, bool toOther)
    : CardCommand(host, session), fOther(other), fDevices(std::move(devices)),
      fSaves(std::move(saves)), fToOther(toOther)
{
}

std::optional<QString> CardToCardCommand::copyOne(const CardSave& save, mcb_card* from,
                                                  mcb_card* to)
{
    const QByteArray bytes =
        stillInSlot(from, save) ? readSave(from, unsigned(save.slot)) : QByteArray();
    if (bytes.isEmpty())
        return withCardReason(save.name, from);
    PutResult r = putSave(to, bytes, MCB_WRITE_NEW, -1);
    if (r.code == MCB_E_EXISTS) {
        if (r.outcome.other_slot >= 0)
            return withReason(save.name, MCB_ERROR_AMBIGUOUS);
        if (!fHost.dialogs().askYesNo(i18n::overwriteQuestion(save.name), fHost.title()))
            return std::nullopt;
        r = putSave(to, bytes, MCB_WRITE_REPLACE_SLOT, r.outcome.slot);
    }
    if (r.code == MCB_OK)
        return QString();
    const QString why = withCodeReason(save.name, r.code, to);
    return r.outcome.result == MCB_FAILED ? withOutcome(why, holdsText(r.outcome.holds)) : why;
}

void CardToCardCommand::run()
{
    if (fSaves.isEmpty()) {
        fHost.tell(fToOther ? Say_WARNING0 : Say_WARNING1);
        return;
    }
    fHost.holdLists(true);
    QStringList failed;
    int copied = 0;
    qsizetype tried = 0;
    // Both cards open at once, each by its own handle.
    const int here =
        fSession.open(fDevices.session, fDevices.receiver) == MCB_OK ? MCB_OK : MCB_E_NOT_OPEN;
    const int there = fOther.open(fDevices.other, fDevices.receiver);
    {
        // One journal record on each card for the whole copy, undone in one
        // step.
        const JournalGroup hereRecord(fSession.link);
        const JournalGroup thereRecord(fOther);
        for (; tried < fSaves.size() && !fHost.cancelled(); ++tried) {
            const CardSave& save = fSaves[tried];
            fHost.progressRange(0, 20);
            fHost.busy(i18n::busyText(say_saver_cardcopy));
            const int opened = here != MCB_OK ? here : there;
            const std::optional<QString> why = opened != MCB_OK
                                                   ? withCodeReason(save.name, opened)
                                                   : copyOne(save, fToOther ? card() : fOther.get(),
                                                             fToOther ? fOther.get() : card());
            // A save the user chose to keep is neither copied nor failed:
            // a copy of that alone says nothing, as the other copies do.
            if (why && why->isEmpty()) {
                ++copied;
                fHost.progressAt(20);
            } else if (why) {
                failed << *why;
            }
        }
        // Both lists show what the cards hold now; the second card's write
        // lock is given back first, as its listing opens it again.
        fOther.close();
        if (fSession.reopen())
            fHost.changed(CommandHost::Changed::CardList);
        fSession.link.close();
    }
    fHost.changed(CommandHost::Changed::SecondCard);
    fHost.holdLists(false);
    QStringList notice;
    if (!failed.isEmpty())
        notice << say_cardcopyfailed + failed.join(QStringLiteral(", "));
    else if (copied > 0 && tried == fSaves.size())
        notice << say_cardcopycomplete;
    if (tried < fSaves.size())
        notice << say_batch_count.arg(copied).arg(fSaves.size())
               << say_batch_stopped.arg(fSaves.size() - tried);
    if (!notice.isEmpty())
        fHost.tell(notice.join(QLatin1Char('\n')));
    fHost.unselect(fToOther ? CommandHost::List::Card : CommandHost::List::Files);
    fHost.idle();
}
