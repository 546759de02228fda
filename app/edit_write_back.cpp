#include "edit_write_back.h"

#include "card_save_checks.h"
#include "main_form.h"
#include "save_names.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFile>

namespace {

constexpr qint64 cEntrySize = 64;
constexpr qint64 cBlockSize = 8192;
constexpr int cEntryCode = 0;
constexpr int cEntryCodeSize = 6;
constexpr int cEntryName = 8;
constexpr int cEntryNameSize = 32;

// A field of a directory entry as the card compares it: up to a NUL.
QByteArray entryField(const QByteArray& entry, int at, int width)
{
    const QByteArray field = entry.mid(at, width);
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

} // namespace

// The edited save always goes onto the card before the old one is given up,
// so a failure at any point leaves the card with at least the save it had;
// after a failure the card is read again before the user is told.
WriteBackResult writeBack(TMainForm& form, const CardSave& save, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {WriteBack::Failed, {}, {}};
    const qint64 size = file.size();
    const QByteArray entry = file.read(cEntrySize);
    file.close();
    // The library counts blocks from the length and drops what a partial
    // block holds.
    if (size < cEntrySize + cBlockSize || (size - cEntrySize) % cBlockSize != 0)
        return {WriteBack::WrongSize, {}, {}};
    const QByteArray newName = entryField(entry, cEntryName, cEntryNameSize);
    const QByteArray newCode = entryField(entry, cEntryCode, cEntryCodeSize);
    const bool renamed = newName != save.rawName || newCode != save.rawCode;
    const QByteArray localPath = QFile::encodeName(path);
    if (!stillInSlot(save)) // nothing written: the card changed since listed
        return {WriteBack::Failed, {}, {}, mcb_last_error()};
    form.Bar_inc();
    // With the same name and code the library replaces the save in its slot
    // and keeps the old one whole until its commit. A new name or code may be
    // another save's, which the upload would replace.
    char existing[36] = {};
    if (renamed && FindSaver(localPath.constData(), existing) &&
        !skin::dialogs().askYesNo(i18n::overwriteQuestion(decodeSaveName(newName, newCode)),
                                  form.windowTitle()))
        return {WriteBack::Declined, {}, {}};
    const CardScratch scratch;
    const std::vector<uint8_t> written = saveFileBytes(path);
    const std::vector<uint8_t> before =
        saveInSlot(save.slot, scratch.path(QStringLiteral("old.gci")));
    const bool inPlace = !renamed && save.slot >= 0;
    QString keptAs;
    bool ok = inPlace ? mcb_replace_slot(uint32_t(save.slot), localPath.constData())
                      : UpLoadSaver(localPath.constData());
    int32_t why = ok ? MCB_SUCCESS : mcb_last_error();
    uint32_t needed = 0, free = 0;
    if (!ok && inPlace && mcb_space(&needed, &free)) {
        // No room beside the old save: kept in the save folder, it may be
        // deleted from the card first, if the user agrees.
        const QString folder = form.saverDir();
        const QString keepAs = freeOldName(folder, decodeSaveName(newName, newCode));
        const unsigned oldBlocks = before.size() > 64 ? unsigned((before.size() - 64) / 8192) : 0;
        if (before.empty() || free + oldBlocks < needed ||
            !skin::dialogs().askYesNo(
                i18n::deleteFirstQuestion(save.name, int(needed), int(free), keepAs),
                form.windowTitle()))
            return {WriteBack::Declined, {}, {}};
        if (!keepOldSave(before, folder + QLatin1Char('/') + keepAs))
            return {WriteBack::Failed, {}, {}}; // nothing written yet
        keptAs = keepAs;
        ok = mcb_delete_slot(uint32_t(save.slot)) && UpLoadSaver(localPath.constData());
        why = ok ? MCB_SUCCESS : mcb_last_error();
    }
    if (!ok) {
        // A link lost while the card's directory was being committed may
        // leave the card on the new directory all the same.
        const QString holds =
            cardHoldsText(form, newName, newCode, renamed ? -1 : save.slot, written,
                          renamed ? std::vector<uint8_t>() : before, scratch);
        if (holds == say_cardholdsnew) {
            if (!renamed)
                return {WriteBack::Written, {}, keptAs};
        } else if (renamed && holds == say_cardholdsnone) {
            // The upload of a new name does not touch the old save: it is
            // read again all the same before the user hears it is kept.
            const QString old =
                cardHoldsText(form, save.rawName, save.rawCode, save.slot, {}, before, scratch);
            return old == say_cardholdsold ? WriteBackResult{WriteBack::Failed, {}, keptAs, why}
                                           : WriteBackResult{WriteBack::Unsure, old, keptAs, why};
        } else {
            return holds == say_cardholdsold
                       ? WriteBackResult{WriteBack::Failed, {}, keptAs, why}
                       : WriteBackResult{WriteBack::Unsure, holds, keptAs, why};
        }
    }
    if (!renamed)
        return {WriteBack::Written, {}, keptAs};
    if (mcb_delete_slot(uint32_t(save.slot)))
        return {WriteBack::Written, {}, keptAs};
    why = mcb_last_error();
    const QString old =
        cardHoldsText(form, save.rawName, save.rawCode, save.slot, {}, before, scratch);
    return {old == say_cardholdsnone ? WriteBack::Written : WriteBack::OldKept, {}, keptAs, why};
}
