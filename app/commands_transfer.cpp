// Copying card saves to files, files to the card, and deleting card saves.
#include "gclink.h"
#include "main_form.h"
#include "save_list_view.h"
#include "save_names.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace

void TMainForm::DownLoadBtnClick()
{
    if (!enterGate(b3))
        return;
    CommandScope scope(*this);
    if (connectAdapter()) {
        bool copied = false;
        QStringList failed;
        skin::FileDialogSpec dialog{QString(), saverDir(), QString(),
                                    QStringLiteral("GC saver format (*.GCI *.gci)"),
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
            if (QFileInfo::exists(*path) &&
                !skin::dialogs().askYesNo(i18n::overwriteQuestion(*path), windowTitle()))
                continue;
            showBusy(i18n::busyText(say_saver_backup));
            repaint();
            if (DownLoadSaver(save.rawName.constData(), save.rawCode.constData(),
                              QFile::encodeName(*path).constData())) {
                copied = true;
                GetFilePIC();
                Bar_pos(20);
            } else {
                failed << save.name;
            }
        }
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
        const QString notice =
            closingNotice({{&say_backupfailed, failed}}, say_Backupcomplete, copied);
        if (!notice.isEmpty())
            OkBtnExe(notice);
        ListView1->clearSelection();
    }
    showFreeBlocks();
    ENBtn_click();
    CloseDevice();
    Bar_pos(0);
}

void TMainForm::UpLoadBtnClick()
{
    if (!enterGate(b4))
        return;
    CommandScope scope(*this);
    qint64 blocks = 0;
    if (connectAdapter()) {
        bool uploaded = false;
        QStringList failed, noRoom;
        if (!hasSelection(ListView2, Say_WARNING1))
            return;
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        for (const QListWidgetItem* item : ListView2->selectedInOrder()) {
            bool go = true;
            Bar_Init(0, 20);
            showBusy(i18n::busyText(say_saver_upload));
            const QString name = TSaveListView::nameOf(item);
            const QString path = saverPath(name);
            const QByteArray localPath = QFile::encodeName(path);
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) {
                blocks = file.size() / 8192;
                file.close();
            }
            repaint();
            if (InitSaverInfo() && FindSaver(localPath.constData(), StrGameName)) {
                const QString whole = item->data(TSaveListView::CaptionRole).toString();
                go = skin::dialogs().askYesNo(
                    i18n::overwriteQuestion(saverDir() + QLatin1Char('/') + whole), windowTitle());
            }
            if (go && FreeBlock < blocks) {
                go = false;
                noRoom << name;
            }
            if (!go)
                continue;
            if (UpLoadSaver(localPath.constData())) {
                uploaded = true;
                Bar_pos(20);
            } else {
                failed << name;
            }
        }
        if (uploaded)
            ShowGC();
        const QString notice =
            closingNotice({{&say_uploadfailed, failed}, {&say_nofreeblock, noRoom}},
                          say_uploadcomplete, uploaded);
        if (!notice.isEmpty())
            OkBtnExe(notice);
        if (!uploaded) {
            ListView1->clearSelection();
            showFreeBlocks();
        }
        ListView2->clearSelection();
    }
    ListView1->setEnabled(true);
    ListView2->setEnabled(true);
    ENBtn_click();
    CloseDevice();
    Bar_pos(0);
}

void TMainForm::DeleteBtnClick()
{
    if (!enterGate(b5))
        return;
    CommandScope scope(*this);
    if (connectAdapter()) {
        if (!hasSelection(ListView1, Say_WARNING0))
            return;
        const QList<CardSave> saves = ListView1->selectedCardSaves();
        const int k = int(saves.size());
        Bar_Init(0, 16 * k);
        if (!skin::dialogs().askYesNo(Say_ask_DeleteFile0, windowTitle())) {
            ListView1->clearSelection();
            endEarly();
            return;
        }
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        QStringList failed;
        for (const CardSave& save : saves) {
            repaint();
            showBusy(i18n::busyText(say_saver_delete));
            if (!DeleteSaver(save.rawName.constData(), save.rawCode.constData()))
                failed << save.name;
        }
        ShowGC();
        Bar_pos(16 * k);
        OkBtnExe(closingNotice({{&say_deletefailed, failed}}, say_DELETEcomplete, true));
    }
    ListView2->clearSelection();
    ListView1->setEnabled(true);
    ListView2->setEnabled(true);
    ENBtn_click();
    CloseDevice();
    Bar_pos(0);
}
