// Mailing card saves: each selected save is copied into a save file and
// handed to the user's mail program as the attachment of a new message.
#include "cards/card_link.h"
#include "commands/card_save_checks.h"
#include "commands/failure_reason.h"
#include "commands/mail_cache.h"
#include "commands/send_mail.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/save_names.h"

#include "i18n/texts.h"

#include <QDir>
#include <QFile>

void TMainForm::EmailBtnClick()
{
    runCommand(b7, [this] {
        if (!hasSelection(ListView1, Say_WARNING0))
            return;
        QStringList failed;
        for (const CardSave& save : ListView1->selectedCardSaves()) {
            Bar_Init(0, 20);
            const QString& name = save.name;
            const QByteArray& rawCode = save.rawCode;
            // The save in the listed slot, not another of the same name.
            const QByteArray bytes =
                stillInSlot(link(), save) ? readSave(link(), unsigned(save.slot)) : QByteArray();
            if (bytes.isEmpty()) {
                failed << withCardReason(name, link());
                Bar_pos(20);
                continue;
            }
            showBusy(i18n::busyText(say_saver_LOADING));
            // The file is named after the save's file-name field; the mail
            // program reads it after xdg-email has returned, so it waits in
            // the cache folder, not in the program's folder.
            const QString fileName =
                withoutRemovedCharacters(decodeSaveName(
                    bytes.mid(MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE).replace('\0', QByteArray()),
                    rawCode)) +
                QStringLiteral(".GCI");
            const QString mailed = placeInMailCache(bytes, fileName);
            if (mailed.isEmpty()) {
                failed << name;
                Bar_pos(20);
                continue;
            }
            SendMail1->ToName = QStringLiteral("123");
            SendMail1->ToAddress = QStringLiteral("@");
            SendMail1->Subject = name + QLatin1Char('(') + shownCode(rawCode) + QLatin1Char(')');
            SendMail1->AttachFiles().clear();
            SendMail1->AttachFiles().append(mailed);
            if (!SendMail1->Execute()) {
                // The busy text must not stand behind the notice.
                Bar_pos(0);
                showFreeBlocks();
                if (SendMail1->programMissing()) {
                    // The copy stays where it is, for the user to attach by
                    // hand.
                    OkBtnExe(say_no_mail_program + QDir::toNativeSeparators(mailed));
                } else {
                    OkBtnExe(say_ask_sendmail);
                    QFile::remove(mailed); // no mail program has it
                }
                ListView1->clearSelection();
                return;
            }
            Bar_pos(20);
        }
        if (!failed.isEmpty())
            OkBtnExe(say_mailfailed + failed.join(QStringLiteral(", ")));
        showFreeBlocks();
        ListView1->clearSelection();
    });
}
