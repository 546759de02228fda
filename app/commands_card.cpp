// Backing up the whole card into an image file and restoring one.
#include "card_save_checks.h"
#include "gclink.h"
#include "main_form.h"
#include "save_list_view.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>

namespace {

skin::FileDialogSpec imageDialog(const QString& folder, const QString& suffix)
{
    return {QString(), folder, QString(), QStringLiteral("GC saver format (*.GCP *.gcp)"), suffix};
}

// What the card holds after a failed restore of the image at path: read back
// whole and compared, so "the whole image" is said only when it is so.
QString afterRestore(TMainForm& form, const QString& path)
{
    CardScratch scratch;
    const QString back = scratch.path(QStringLiteral("back.gcp"));
    if (IsConnected())
        CloseDevice();
    QFile image(path), read(back);
    if (!scratch.ok() || !OpenDevice(form.window()) || GetCardMemory() == 0 ||
        !ReadCardToFile(QFile::encodeName(back).constData()) || !image.open(QIODevice::ReadOnly) ||
        !read.open(QIODevice::ReadOnly))
        return say_cardunreadable;
    // Both are card images, at most 8 MiB.
    return image.size() == read.size() && image.readAll() == read.readAll() ? say_cardholdsimage
                                                                            : QString();
}

} // namespace

void TMainForm::ReadCardBtnClick()
{
    if (!enterGate(b1))
        return;
    CommandScope scope(*this);
    if (connectAdapter()) {
        try {
            const int last = GCLINK::nmem / 16 - 1;
            Bar_Init(0, last);
            const std::optional<QString> path =
                skin::dialogs().saveFileName(imageDialog(saverDir(), QStringLiteral("gcp")));
            if (!path ||
                (QFileInfo::exists(*path) &&
                 !skin::dialogs().askYesNo(i18n::overwriteQuestion(*path), windowTitle()))) {
                endEarly();
                return;
            }
            repaint();
            showBusy(say_saver_reading);
            if (ReadCardToFile(QFile::encodeName(*path).constData())) {
                Bar_pos(last);
                showFreeBlocks();
            } else {
                // The older file of that name, if any, is left as it was.
                OkBtnExe(say_readcardfailed + *path);
                showFreeBlocks();
            }
        } catch (...) {
            // A dialog that throws must not leave the gates closed.
        }
        ENBtn_click();
    }
    ListView1->clearSelection();
    ListView2->clearSelection();
    CloseDevice();
    Bar_pos(0);
}

void TMainForm::WriteCardBtnClick()
{
    if (!enterGate(b2))
        return;
    CommandScope scope(*this);
    if (connectAdapter()) {
        const int last = GCLINK::nmem / 16 - 1;
        Bar_Init(0, last);
        const std::optional<QString> path =
            skin::dialogs().openFileName(imageDialog(saverDir(), QStringLiteral("GCP")));
        if (!path) {
            endEarly();
            return;
        }
        repaint();
        showBusy(say_saver_writing);
        if (WriteFileToCard(QFile::encodeName(*path).constData())) {
            ShowGC();
            Bar_pos(last);
        } else {
            // The failure may have come after the last write: the card is read
            // back before the user is told it may be incomplete.
            const QString holds = afterRestore(*this, *path);
            OkBtnExe(holds.isEmpty() ? say_writecardfailed + *path
                                     : say_writecardfailed + withOutcome(*path, holds));
            // Whatever the card holds now, the list must not show the old saves.
            ShowGC();
        }
        ENBtn_click();
        ListView2->clearSelection();
    }
    CloseDevice();
    Bar_pos(0);
}
