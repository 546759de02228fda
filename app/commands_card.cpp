// Backing up the whole card into an image file and restoring one.
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
            OkBtnExe(say_writecardfailed + *path);
            // Whatever the card holds now, the list must not show the old saves.
            ShowGC();
        }
        ENBtn_click();
        ListView2->clearSelection();
    }
    CloseDevice();
    Bar_pos(0);
}
