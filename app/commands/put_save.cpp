#include "commands/put_save.h"

#include "cards/card_link.h"
#include "commands/card_save_checks.h"

#include "i18n/texts.h"

namespace {

int write(mcb_card* card, const QByteArray& bytes, mcb_write_request request,
          mcb_write_outcome& outcome)
{
    outcome = mcb_write_outcome{};
    outcome.size = sizeof outcome;
    const int code =
        mcb_write_save(card, bytes.constData(), size_t(bytes.size()), &request, &outcome);
    if (code == MCB_E_CHANGED)
        markListingStale();
    return code;
}

} // namespace

PutResult putSave(mcb_card* card, const QByteArray& bytes, int32_t policy, int slot,
                  const KeepOld& keepOld)
{
    PutResult r;
    mcb_write_request request{sizeof(mcb_write_request), policy, uint32_t(slot < 0 ? 0 : slot), 0};
    r.code = write(card, bytes, request, r.outcome);
    const mcb_write_outcome& o = r.outcome;
    if (r.code != MCB_E_NO_ROOM || o.slot < 0 || !keepOld ||
        o.blocks_free + o.blocks_replaced < o.blocks_needed)
        return r;
    const QByteArray old = readSave(card, unsigned(o.slot));
    r.keptAs = old.isEmpty() ? QString() : keepOld(o, old);
    if (r.keptAs.isEmpty()) {
        r.keepDeclined = true;
        return r;
    }
    request.policy = MCB_WRITE_REPLACE_SLOT;
    request.slot = uint32_t(o.slot);
    request.flags |= MCB_WRITE_DELETE_FIRST;
    r.code = write(card, bytes, request, r.outcome);
    return r;
}

int removeSave(mcb_card* card, unsigned slot, mcb_write_outcome& outcome)
{
    outcome = mcb_write_outcome{};
    outcome.size = sizeof outcome;
    const int code = mcb_delete_save(card, slot, &outcome);
    if (code == MCB_E_CHANGED)
        markListingStale();
    return code;
}

QString holdsText(int32_t holds)
{
    switch (holds) {
    case MCB_HOLDS_NEW: return say_cardholdsnew;
    case MCB_HOLDS_OLD: return say_cardholdsold;
    case MCB_HOLDS_NONE: return say_cardholdsnone;
    case MCB_HOLDS_OTHER: return say_cardholdsother;
    default: break;
    }
    return say_cardunreadable;
}
