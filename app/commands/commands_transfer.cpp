// Copying card saves to files, files to the card, and deleting card saves.
#include "commands/card_save_checks.h"
#include "commands/failure_reason.h"
#include "commands/put_save.h"
#include "commands/save_forms.h"
#include "commands/user_file.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/save_names.h"

#include "i18n/texts.h"
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

void TMainForm::DownLoadBtnClick()
{
    if (fSecond)
        return CopyCardToCard(true);
    runCommand(b3, [this] {
        bool copied = false;
        QStringList failed;
        skin::FileDialogSpec dialog{QString(), saverDir(), QString(), saveFileFilter(),
                                    QStringLiteral("GCI")};
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
            bool force = false;
            if (!mayReplaceOutput(*path, windowTitle(), &force))
                continue;
            showBusy(i18n::busyText(say_saver_backup));
            repaint();
            // The save in the listed slot, not another of the same name,
            // read whole into memory; the file appears only once it is whole.
            const QByteArray plain =
                stillInSlot(link(), save) ? readSave(link(), unsigned(save.slot)) : QByteArray();
            if (plain.isEmpty()) {
                failed << withCardReason(save.name, link());
                continue;
            }
            const std::optional<QByteArray> bytes = inFormFor(*path, plain);
            if (bytes && replaceUserFile(*path, *bytes, force)) {
                copied = true;
                GetFilePIC();
                Bar_pos(20);
            } else {
                failed << withReason(save.name, bytes ? MCB_ERROR_FILE : MCB_ERROR_NOT_A_SAVE);
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
                              QString::number(QFileInfo(path).size() / MCB_BLOCK_SIZE) +
                              QLatin1Char(')')});
        uploadSaveFiles(files);
    });
}

void TMainForm::uploadSaveFiles(const QList<UploadSource>& files)
{
    bool uploaded = false;
    QStringList failed, noRoom, twins, kept;
    ListView1->setEnabled(false);
    ListView2->setEnabled(false);
    // With no room beside the old save, the user may keep it in the save
    // folder and have it deleted from the card first.
    bool keepFailed = false;
    const auto keepOld = [&](const QString& name, const QString& saveName) {
        return [&, name, saveName](const mcb_write_outcome& o, const QByteArray& old) {
            const QString keepAs = freeOldName(saverDir(), saveName);
            if (!skin::dialogs().askYesNo(i18n::deleteFirstQuestion(name, int(o.blocks_needed),
                                                                    int(o.blocks_free), keepAs),
                                          windowTitle()))
                return QString();
            if (keepOldSave(old, saverDir() + QLatin1Char('/') + keepAs))
                return keepAs;
            keepFailed = true;
            return QString();
        };
    };
    for (const UploadSource& file : files) {
        Bar_Init(0, 20);
        showBusy(i18n::busyText(say_saver_upload));
        const QString& name = file.name;
        // The file is read once; the library takes any of the three forms.
        const QByteArray bytes = saveFileBytes(file.path);
        if (bytes.isEmpty()) {
            failed << withReason(name, MCB_ERROR_FILE);
            continue;
        }
        repaint();
        keepFailed = false;
        PutResult r = putSave(link(), bytes, MCB_WRITE_NEW, -1);
        if (r.code == MCB_E_EXISTS) {
            // Two card saves of this name and code: which one the file
            // would replace cannot be told, so neither is.
            if (r.outcome.other_slot >= 0) {
                twins << name;
                continue;
            }
            if (!skin::dialogs().askYesNo(i18n::overwriteQuestion(file.shown), windowTitle()))
                continue;
            r = putSave(link(), bytes, MCB_WRITE_REPLACE_SLOT, r.outcome.slot,
                        keepOld(name, nameInEntry(bytes)));
        }
        if (!r.keptAs.isEmpty())
            kept << r.keptAs;
        if (r.code == MCB_OK) {
            uploaded = true;
            Bar_pos(20);
        } else if (keepFailed) {
            // Nothing has been written when the old save could not be kept.
            failed << withOutcome(name, say_cardholdsold);
        } else if (r.code == MCB_E_NO_ROOM) {
            noRoom << name;
        } else if (r.outcome.result == MCB_FAILED) {
            failed << withOutcome(withCodeReason(name, r.code, link()), holdsText(r.outcome.holds));
        } else {
            failed << withCodeReason(name, r.code, link());
        }
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
        for (const CardSave& save : saves) {
            repaint();
            showBusy(i18n::busyText(say_saver_delete));
            // Only the save in the listed slot, never a twin of it.
            if (!stillInSlot(link(), save)) {
                failed << withCardReason(save.name, link()); // changed since it was listed
                continue;
            }
            mcb_write_outcome outcome{};
            const int code = removeSave(link(), unsigned(save.slot), outcome);
            if (code == MCB_OK)
                continue;
            // After a failure part-way, the library read the card again.
            const QString what = withCodeReason(save.name, code, link());
            failed << (outcome.result == MCB_FAILED ? withOutcome(what, holdsText(outcome.holds))
                                                    : what);
        }
        ShowGC();
        Bar_pos(16 * k);
        OkBtnExe(closingNotice({{&say_deletefailed, failed}}, say_DELETEcomplete, true));
        ListView2->clearSelection();
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
    });
}
