// The window's side of the card commands: the selection taken from the
// lists, the command made with the window as its host and run on the card
// in the adapter. They run on the card's thread, so the window paints while
// the card works; what opens a window of its own (the editor, the mail
// program) is carried to the window's thread while the card's waits.
#include "cards/threaded_host.h"
#include "commands/backup_card_command.h"
#include "commands/card_health_command.h"
#include "commands/copy_to_card_command.h"
#include "commands/copy_to_file_command.h"
#include "commands/delete_command.h"
#include "commands/edit_command.h"
#include "commands/mail_command.h"
#include "commands/restore_card_command.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/window_host.h"

#include "i18n/texts.h"

#include <QFileInfo>

#include <functional>

namespace {

// Runs a command on the card's thread, every call of its host carried over
// to the window's.
void onCardThread(TMainForm& form, bool& gate, const std::function<void(CommandHost&)>& run)
{
    form.runCommand(
        gate,
        [&form, run] {
            ThreadedHost carried(&form, form.host());
            run(carried);
        },
        TMainForm::Needs::Adapter, TMainForm::Where::CardThread);
}

} // namespace

void TMainForm::DownLoadBtnClick()
{
    if (fSecond)
        return CopyCardToCard(true);
    onCardThread(*this, b3, [this, saves = ListView1->selectedCardSaves()](CommandHost& h) {
        CopyToFileCommand(h, fSession, saves, saverDir()).run();
    });
}

void TMainForm::UpLoadBtnClick()
{
    if (fSecond)
        return CopyCardToCard(false);
    QList<CopyToCardCommand::Source> files;
    for (const QListWidgetItem* item : ListView2->selectedInOrder())
        files.append(
            {TSaveListView::nameOf(item), filePathOf(item),
             saverDir() + QLatin1Char('/') + item->data(TSaveListView::CaptionRole).toString()});
    onCardThread(*this, b4, [this, files](CommandHost& h) {
        CopyToCardCommand(h, fSession, files, saverDir()).run();
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
    QList<CopyToCardCommand::Source> files;
    for (const QString& path : paths)
        files.append({QFileInfo(path).fileName(), QFile::encodeName(path),
                      path + QStringLiteral("\r\n(") +
                          QString::number(QFileInfo(path).size() / MCB_BLOCK_SIZE) +
                          QLatin1Char(')')});
    onCardThread(*this, b4, [this, files](CommandHost& h) {
        CopyToCardCommand(h, fSession, files, saverDir()).run();
    });
}

void TMainForm::DeleteBtnClick()
{
    onCardThread(*this, b5, [this, saves = ListView1->selectedCardSaves()](CommandHost& h) {
        DeleteCommand(h, fSession, saves).run();
    });
}

void TMainForm::ReadCardBtnClick()
{
    onCardThread(*this, b1,
                 [this](CommandHost& h) { BackupCardCommand(h, fSession, saverDir()).run(); });
}

void TMainForm::WriteCardBtnClick()
{
    onCardThread(*this, b2,
                 [this](CommandHost& h) { RestoreCardCommand(h, fSession, saverDir()).run(); });
}

void TMainForm::EditBtnClick()
{
    // The editor's copy lives in the run's private folder.
    onCardThread(*this, b6, [this, saves = ListView1->selectedCardSaves()](CommandHost& h) {
        ThreadedEditing editor(this, host());
        EditCommand(h, fSession, saves, editor, workPath(QStringLiteral("temp.~ic")), saverDir())
            .run();
    });
}

void TMainForm::EmailBtnClick()
{
    onCardThread(*this, b7, [this, saves = ListView1->selectedCardSaves()](CommandHost& h) {
        MailCommand(h, fSession, saves, *SendMail1).run();
    });
}

void TMainForm::CheckCardClick()
{
    onCardThread(*this, b0, [this](CommandHost& h) { CheckCardCommand(h, fSession).run(); });
}

void TMainForm::RepairCardClick()
{
    onCardThread(*this, b0, [this](CommandHost& h) { RepairCardCommand(h, fSession).run(); });
}

void TMainForm::RecoverCardClick()
{
    onCardThread(*this, b0, [this](CommandHost& h) { RecoverSavesCommand(h, fSession).run(); });
}
