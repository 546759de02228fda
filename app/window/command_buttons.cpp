// The window's side of the card commands: the selection taken from the
// lists, the command made with the window as its host and run on the card
// in the adapter. Those that only ask, tell and show progress run on the
// card's thread, so the window paints while the card works; the editor and
// the region dialog are windows of their own and keep theirs on the
// window's thread.
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

void TMainForm::DownLoadBtnClick()
{
    if (fSecond)
        return CopyCardToCard(true);
    runCommand(
        b3,
        [this, saves = ListView1->selectedCardSaves()] {
            ThreadedHost carried(this, host());
            CopyToFileCommand(carried, fSession, saves, saverDir()).run();
        },
        Needs::Adapter, Where::CardThread);
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
    runCommand(
        b4,
        [this, files] {
            ThreadedHost carried(this, host());
            CopyToCardCommand(carried, fSession, files, saverDir()).run();
        },
        Needs::Adapter, Where::CardThread);
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
    runCommand(
        b4,
        [this, files] {
            ThreadedHost carried(this, host());
            CopyToCardCommand(carried, fSession, files, saverDir()).run();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::DeleteBtnClick()
{
    runCommand(
        b5,
        [this, saves = ListView1->selectedCardSaves()] {
            ThreadedHost carried(this, host());
            DeleteCommand(carried, fSession, saves).run();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::ReadCardBtnClick()
{
    runCommand(
        b1,
        [this] {
            ThreadedHost carried(this, host());
            BackupCardCommand(carried, fSession, saverDir()).run();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::WriteCardBtnClick()
{
    runCommand(
        b2,
        [this] {
            ThreadedHost carried(this, host());
            RestoreCardCommand(carried, fSession, saverDir()).run();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::EditBtnClick()
{
    // The editor's copy lives in the run's private folder.
    runCommand(b6, [this, saves = ListView1->selectedCardSaves()] {
        EditCommand(host(), fSession, saves, host(), workPath(QStringLiteral("temp.~ic")),
                    saverDir())
            .run();
    });
}

void TMainForm::EmailBtnClick()
{
    runCommand(b7, [this, saves = ListView1->selectedCardSaves()] {
        MailCommand(host(), fSession, saves, *SendMail1).run();
    });
}

void TMainForm::CheckCardClick()
{
    runCommand(
        b0,
        [this] {
            ThreadedHost carried(this, host());
            CheckCardCommand(carried, fSession).run();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::RepairCardClick()
{
    runCommand(
        b0,
        [this] {
            ThreadedHost carried(this, host());
            RepairCardCommand(carried, fSession).run();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::RecoverCardClick()
{
    runCommand(
        b0,
        [this] {
            ThreadedHost carried(this, host());
            RecoverSavesCommand(carried, fSession).run();
        },
        Needs::Adapter, Where::CardThread);
}
