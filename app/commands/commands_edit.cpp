// Editing card saves: each selected save is copied into a save file, opened
// in the save editor, and written back to the card when the user saved it.
#include "cards/card_link.h"
#include "commands/card_save_checks.h"
#include "commands/edit_write_back.h"
#include "commands/failure_reason.h"
#include "editor/save_edit_form.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/save_names.h"

#include "hexedit/hexeditor.h"
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

void TMainForm::EditBtnClick()
{
    runCommand(b6, [this] {
        if (!hasSelection(ListView1, Say_WARNING0))
            return;
        const QList<CardSave> saves = ListView1->selectedCardSaves();
        // The editor works on a file of its own in the program's private
        // folder; the save reaches it and comes back through memory.
        const QString temp = workPath(QStringLiteral("temp.~ic"));
        bool saved = false;
        bool written = false;
        QStringList failed, unsure, wrongSize, oldKept, kept;
        for (const CardSave& save : saves) {
            Bar_Init(0, 20);
            // The save in the listed slot, not another of the same name.
            const QByteArray bytes =
                stillInSlot(link(), save) ? readSave(link(), unsigned(save.slot)) : QByteArray();
            if (!bytes.isEmpty() && writeWorkFile(temp, bytes)) {
                showBusy(i18n::busyText(say_saver_LOADING));
                TSaveEditForm& editor = *SaveEditForm;
                editor.move(x() + (width() - editor.width()) / 2,
                            y() + (height() - editor.height()) / 2);
                editor.ischanged = false;
                editor.Savepoint = false;
                if (editor.HexEditor1->LoadFromFile(temp)) {
                    // A card save keeps its size while it is edited: the card
                    // holds whole blocks only.
                    editor.HexEditor1->SetNoSizeChange(true);
                    // The editor shows the save's name wherever it would
                    // show the working file's.
                    editor.SetDocumentName(shownCode(save.rawCode) + QLatin1Char(' ') + save.name);
                    editor.ShowModal();
                }
                if (editor.ischanged) {
                    saved = true;
                    repaint();
                    QFile edited(temp);
                    const QByteArray after =
                        edited.open(QIODevice::ReadOnly) ? edited.readAll() : QByteArray();
                    const WriteBackResult r = writeBack(*this, save, after);
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
            Bar_pos(20);
        }
        if (saved) {
            ShowGC();
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
                GetFilePIC();
            }
            if (!lines.isEmpty())
                OkBtnExe(lines.join(QLatin1Char('\n')));
        } else {
            ListView1->clearSelection();
            showFreeBlocks();
        }
    });
}
