#include "commands/edit_write_back.h"

#include "cards/card_link.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/put_save.h"
#include "commands/save_names.h"

#include "i18n/texts.h"

namespace {

// A field of a directory entry as the card compares it: up to a NUL.
QByteArray entryField(const uint8_t* entry, int at, int width)
{
    const QByteArray field(reinterpret_cast<const char*>(entry) + at, width);
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

} // namespace

// The edited save always goes onto the card before the old one is given up,
// so a failure at any point leaves the card with at least the save it had;
// after a failure the library reads the card again and says what it holds.
WriteBackResult writeBack(CommandHost& host, mcb_card* card, const QString& folder,
                          const CardSave& save, const QByteArray& bytes)
{
    const qint64 size = bytes.size();
    // The library counts blocks from the length and drops what a partial
    // block holds.
    if (size < MCB_ENTRY_SIZE + MCB_BLOCK_SIZE || (size - MCB_ENTRY_SIZE) % MCB_BLOCK_SIZE != 0)
        return {WriteBack::WrongSize, {}, {}};
    const auto* entry = reinterpret_cast<const uint8_t*>(bytes.constData());
    const QByteArray newName = entryField(entry, MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE);
    const QByteArray newCode = entryField(entry, MCB_ENTRY_GAME, MCB_ENTRY_CODE_SIZE);
    const bool renamed = newName != save.rawName || newCode != save.rawCode;
    if (!stillInSlot(card, save)) // nothing written: the card changed since listed
        return {WriteBack::Failed, {}, {}, errorOf(mcb_card_error(card))};
    host.progressStep();
    PutResult r;
    bool keepFailed = false;
    if (renamed) {
        // A new name or code may be another save's, which would be replaced.
        r = putSave(card, bytes, MCB_WRITE_NEW, -1);
        if (r.code == MCB_E_EXISTS) {
            if (r.outcome.other_slot >= 0)
                return {WriteBack::Failed, {}, {}, MCB_ERROR_AMBIGUOUS};
            if (!host.dialogs().askYesNo(i18n::overwriteQuestion(decodeSaveName(newName, newCode)),
                                         host.title()))
                return {WriteBack::Declined, {}, {}};
            r = putSave(card, bytes, MCB_WRITE_REPLACE_SLOT, r.outcome.slot);
        }
    } else {
        // With the same name and code the library replaces the save in its
        // slot and keeps the old one whole until its commit. With no room
        // beside it, the old save may be kept in the save folder and
        // deleted from the card first, if the user agrees.
        r = putSave(card, bytes, MCB_WRITE_REPLACE_SLOT, save.slot,
                    [&](const mcb_write_outcome& o, const QByteArray& old) {
                        const QString keepAs =
                            freeOldName(folder, decodeSaveName(newName, newCode));
                        if (!host.dialogs().askYesNo(
                                i18n::deleteFirstQuestion(save.name, int(o.blocks_needed),
                                                          int(o.blocks_free), keepAs),
                                host.title()))
                            return QString();
                        if (keepOldSave(old, folder + QLatin1Char('/') + keepAs))
                            return keepAs;
                        keepFailed = true;
                        return QString();
                    });
    }
    const int32_t why = errorOf(r.code);
    if (keepFailed)
        return {WriteBack::Failed, {}, {}}; // nothing written yet
    if (r.keepDeclined)
        return {WriteBack::Declined, {}, {}};
    const bool newThere =
        r.code == MCB_OK || (r.outcome.result == MCB_FAILED && r.outcome.holds == MCB_HOLDS_NEW);
    if (!newThere) {
        if (r.outcome.result != MCB_FAILED)
            return {WriteBack::Failed, {}, r.keptAs, why};
        // The upload of a new name does not touch the old save.
        if (renamed && r.outcome.holds == MCB_HOLDS_NONE)
            return {WriteBack::Failed, {}, r.keptAs, why};
        return r.outcome.holds == MCB_HOLDS_OLD
                   ? WriteBackResult{WriteBack::Failed, {}, r.keptAs, why}
                   : WriteBackResult{WriteBack::Unsure, holdsText(r.outcome.holds), r.keptAs, why};
    }
    if (!renamed)
        return {WriteBack::Written, {}, r.keptAs};
    mcb_write_outcome removed{};
    const int code = removeSave(card, unsigned(save.slot), removed);
    if (code == MCB_OK || (removed.result == MCB_FAILED && removed.holds == MCB_HOLDS_NONE))
        return {WriteBack::Written, {}, r.keptAs};
    return {WriteBack::OldKept, {}, r.keptAs, errorOf(code)};
}
