// Copying card saves to files, files to the card, and deleting card saves.
#include "card_save_checks.h"
#include "failure_reason.h"
#include "gclink.h"
#include "main_form.h"
#include "save_forms.h"
#include "save_list_view.h"
#include "save_names.h"

#include "i18n/texts.h"
#include "mcbridge/cardfs.h"
#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

// The notice that ends a command: what failed, named; otherwise the
// completion text when something was done.
QString closingNotice(const QList<std::pair<const QString*, QStringList>>& failures,
                      const QString& complete, bool done)
{
    QStringList lines;
    for (const auto& [text, names] : failures)
        if (!names.isEmpty())
            lines << *text + names.join(QStringLiteral(", "));
    if (!lines.isEmpty())
        return lines.join(QLatin1Char('\n'));
    return done ? complete : QString();
}

// A field of a save file's entry as the card compares it: up to a NUL.
QByteArray entryField(const std::vector<uint8_t>& file, std::size_t at, std::size_t width)
{
    if (file.size() < 64)
        return {};
    const auto* p = reinterpret_cast<const char*>(file.data()) + at;
    return QByteArray(p, qsizetype(strnlen(p, width)));
}

} // namespace

void TMainForm::DownLoadBtnClick()
{
    if (fSecond)
        return CopyCardToCard(true);
    runCommand(b3, [this] {
        bool copied = false;
        QStringList failed;
        skin::FileDialogSpec dialog{QString(), saverDir(), QString(), saveFileFilter(),
                                    QStringLiteral("GCI")};
        const CardScratch scratch;
        if (!hasSelection(ListView1, Say_WARNING0))
            return;
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        for (const CardSave& save : ListView1->selectedCardSaves()) {
            Bar_Init(0, 20);
            dialog.fileName = withoutRemovedCharacters(save.name) + QStringLiteral(".GCI");
            const std::optional<QString> path = skin::dialogs().saveFileName(dialog);
            if (!path)
                continue;
            if (QFileInfo::exists(*path) &&
                !skin::dialogs().askYesNo(i18n::overwriteQuestion(*path), windowTitle()))
                continue;
            showBusy(i18n::busyText(say_saver_backup));
            repaint();
            // The save in the listed slot, not another of the same name.
            const QByteArray localPath = QFile::encodeName(*path);
            if (stillInSlot(save) &&
                (save.slot >= 0 ? downloadInForm(save.slot, *path, scratch)
                                : DownLoadSaver(save.rawName.constData(), save.rawCode.constData(),
                                                localPath.constData()))) {
                copied = true;
                GetFilePIC();
                Bar_pos(20);
            } else {
                failed << withLastReason(save.name);
            }
        }
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
        const QString notice =
            closingNotice({{&say_backupfailed, failed}}, say_Backupcomplete, copied);
        if (!notice.isEmpty())
            OkBtnExe(notice);
        ListView1->clearSelection();
        showFreeBlocks();
    });
}

void TMainForm::UpLoadBtnClick()
{
    if (fSecond)
        return CopyCardToCard(false);
    runCommand(b4, [this] {
        if (!hasSelection(ListView2, Say_WARNING1))
            return;
        QList<UploadSource> files;
        for (const QListWidgetItem* item : ListView2->selectedInOrder()) {
            const QString name = TSaveListView::nameOf(item);
            files.append({name, filePathOf(item),
                          saverDir() + QLatin1Char('/') +
                              item->data(TSaveListView::CaptionRole).toString()});
        }
        uploadSaveFiles(files);
    });
}

void TMainForm::ListView1FilesDropped(const QStringList& paths)
{
    if (!MaybeOk()) {
        OkBtnExe(Say_INFORM1);
        return;
    }
    // Files from a file manager go the way of the upload command: the same
    // gate, questions and notices; the question names each by its path.
    runCommand(b4, [this, paths] {
        QList<UploadSource> files;
        for (const QString& path : paths)
            files.append({QFileInfo(path).fileName(), QFile::encodeName(path),
                          path + QStringLiteral("\r\n(") +
                              QString::number(QFileInfo(path).size() / 8192) + QLatin1Char(')')});
        uploadSaveFiles(files);
    });
}

void TMainForm::uploadSaveFiles(const QList<UploadSource>& files)
{
    {
        qint64 blocks = 0;
        bool uploaded = false;
        QStringList failed, noRoom, twins, kept;
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        const CardScratch scratch;
        for (const UploadSource& file : files) {
            Bar_Init(0, 20);
            showBusy(i18n::busyText(say_saver_upload));
            const QString& name = file.name;
            // A container goes onto the card through a plain copy of it.
            const std::optional<QByteArray> plain = plainSaveFor(file.path, scratch);
            if (!plain) {
                failed << withLastReason(name);
                continue;
            }
            const QByteArray localPath = *plain;
            const std::vector<uint8_t> bytes = saveFileBytes(localPath);
            // The blocks the library will ask for: the count the entry names.
            blocks = bytes.size() >= 64 ? mcb::EntryRef{bytes.data()}.blockCount() : 0;
            const QByteArray rawName = entryField(bytes, 8, 32);
            const QByteArray rawCode = entryField(bytes, 0, 6);
            repaint();
            int slot = -1;
            if (InitSaverInfo() && FindSaver(localPath.constData(), StrGameName)) {
                // Two card saves of this name and code: which one the file
                // would replace cannot be told, so neither is.
                slot = mcb_find_slot(StrGameName, rawCode.constData());
                if (slot < 0) {
                    if (mcb_last_error() == MCB_ERROR_AMBIGUOUS)
                        twins << name;
                    else
                        failed << withLastReason(name);
                    continue;
                }
                if (!skin::dialogs().askYesNo(i18n::overwriteQuestion(file.shown), windowTitle()))
                    continue;
            }
            // A new save needs its blocks free; a replacement too, beside the
            // old save, which the library tells when it refuses for want of room.
            if (slot < 0 && FreeBlock < blocks) {
                noRoom << name;
                continue;
            }
            const std::vector<uint8_t> before =
                slot >= 0 ? saveInSlot(slot, scratch.path(QStringLiteral("old.gci")))
                          : std::vector<uint8_t>();
            if (slot >= 0 ? mcb_replace_slot(uint32_t(slot), localPath.constData())
                          : UpLoadSaver(localPath.constData())) {
                uploaded = true;
                Bar_pos(20);
                continue;
            }
            uint32_t needed = 0, free = 0;
            if (mcb_space(&needed, &free)) {
                // Refused before anything was written. With no room beside
                // the old save, the user may keep it in the save folder and
                // have it deleted from the card first.
                const QString keepAs = freeOldName(saverDir(), decodeSaveName(rawName, rawCode));
                const unsigned oldBlocks =
                    before.size() > 64 ? unsigned((before.size() - 64) / 8192) : 0;
                if (slot < 0 || before.empty() || free + oldBlocks < needed ||
                    !skin::dialogs().askYesNo(
                        i18n::deleteFirstQuestion(name, int(needed), int(free), keepAs),
                        windowTitle())) {
                    noRoom << name;
                    continue;
                }
                // Nothing has been written yet when the old save cannot be kept.
                if (!keepOldSave(before, saverDir() + QLatin1Char('/') + keepAs)) {
                    failed << withOutcome(name, say_cardholdsold);
                    continue;
                }
                kept << keepAs;
                if (mcb_delete_slot(uint32_t(slot)) && UpLoadSaver(localPath.constData())) {
                    uploaded = true;
                    Bar_pos(20);
                    continue;
                }
            }
            // Why the write failed, before reading the card again replaces it.
            const QString what = withLastReason(name);
            failed << withOutcome(
                what, cardHoldsText(*this, rawName, rawCode, -1, bytes, before, scratch));
        }
        if (uploaded || !failed.isEmpty())
            ShowGC();
        if (!kept.isEmpty())
            GetFilePIC();
        QString notice = closingNotice(
            {{&say_uploadfailed, failed}, {&say_nofreeblock, noRoom}, {&say_twinsavers, twins}},
            say_uploadcomplete, uploaded);
        if (!kept.isEmpty())
            notice += (notice.isEmpty() ? QString() : QStringLiteral("\n")) + say_oldkept +
                      kept.join(QStringLiteral(", "));
        if (!notice.isEmpty())
            OkBtnExe(notice);
        if (!uploaded) {
            ListView1->clearSelection();
            showFreeBlocks();
        }
        ListView2->clearSelection();
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
    }
}

void TMainForm::DeleteBtnClick()
{
    runCommand(b5, [this] {
        if (!hasSelection(ListView1, Say_WARNING0))
            return;
        const QList<CardSave> saves = ListView1->selectedCardSaves();
        const int k = int(saves.size());
        Bar_Init(0, 16 * k);
        if (!skin::dialogs().askYesNo(Say_ask_DeleteFile0, windowTitle())) {
            ListView1->clearSelection();
            return;
        }
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        QStringList failed;
        const CardScratch scratch;
        for (const CardSave& save : saves) {
            repaint();
            showBusy(i18n::busyText(say_saver_delete));
            // Only the save in the listed slot, never a twin of it; read
            // first, so that after a failure the card can be compared.
            if (save.slot < 0) {
                if (!DeleteSaver(save.rawName.constData(), save.rawCode.constData()))
                    failed << withLastReason(save.name);
                continue;
            }
            if (!stillInSlot(save)) {
                failed << withLastReason(save.name); // the card changed since it was listed
                continue;
            }
            const std::vector<uint8_t> before =
                saveInSlot(save.slot, scratch.path(QStringLiteral("old.gci")));
            if (!mcb_delete_slot(uint32_t(save.slot))) {
                const QString what = withLastReason(save.name);
                failed << withOutcome(what, cardHoldsText(*this, save.rawName, save.rawCode,
                                                          save.slot, {}, before, scratch));
            }
        }
        ShowGC();
        Bar_pos(16 * k);
        OkBtnExe(closingNotice({{&say_deletefailed, failed}}, say_DELETEcomplete, true));
        ListView2->clearSelection();
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
    });
}
