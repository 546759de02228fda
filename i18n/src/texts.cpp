#include "i18n/texts.h"

#include "i18n/text_set.h"

QString say_saver_LOADING;
QString say_saver_backup;
QString say_saver_upload;
QString say_saver_delete;
QString say_saver_reading;
QString say_saver_writing;
QString Say_wait;
QString say_DELETEcomplete;
QString say_uploadcomplete;
QString say_Backupcomplete;
QString say_Editcomplete;
QString Say_ask_DeleteFile0;
QString Say_ask_OverWriteFile0;
QString Say_ask_OverWriteFile1;
QString say_ask_sendmail;
QString Say_ask_Exit;
QString Say_FREEBLOCK0;
QString Say_FREEBLOCK1;
QString Say_WARNING0;
QString Say_WARNING1;
QString Say_WARNING2;
QString Say_INFORM1;
QString say_backupfailed;
QString say_uploadfailed;
QString say_deletefailed;
QString say_nofreeblock;
QString say_readcardfailed;
QString say_writecardfailed;
QString say_mailfailed;
QString say_editfailed;
QString say_editwrongsize;
QString say_cardholdsnew;
QString say_cardholdsold;
QString say_cardholdsnone;
QString say_cardholdsother;
QString say_cardunreadable;
QString say_cardholdsimage;
QString Say_ask_DeleteFirst;
QString say_oldkept;
QString say_twinsavers;

namespace i18n {

void fillTexts(Language language)
{
    const TextSet& texts = textsFor(language);
    say_saver_LOADING = texts.say_saver_LOADING.toString();
    say_saver_backup = texts.say_saver_backup.toString();
    say_saver_upload = texts.say_saver_upload.toString();
    say_saver_delete = texts.say_saver_delete.toString();
    say_saver_reading = texts.say_saver_reading.toString();
    say_saver_writing = texts.say_saver_writing.toString();
    Say_wait = texts.Say_wait.toString();
    say_DELETEcomplete = texts.say_DELETEcomplete.toString();
    say_uploadcomplete = texts.say_uploadcomplete.toString();
    say_Backupcomplete = texts.say_Backupcomplete.toString();
    say_Editcomplete = texts.say_Editcomplete.toString();
    Say_ask_DeleteFile0 = texts.Say_ask_DeleteFile0.toString();
    Say_ask_OverWriteFile0 = texts.Say_ask_OverWriteFile0.toString();
    Say_ask_OverWriteFile1 = texts.Say_ask_OverWriteFile1.toString();
    say_ask_sendmail = texts.say_ask_sendmail.toString();
    Say_ask_Exit = texts.Say_ask_Exit.toString();
    Say_FREEBLOCK0 = texts.Say_FREEBLOCK0.toString();
    Say_FREEBLOCK1 = texts.Say_FREEBLOCK1.toString();
    Say_WARNING0 = texts.Say_WARNING0.toString();
    Say_WARNING1 = texts.Say_WARNING1.toString();
    Say_WARNING2 = texts.Say_WARNING2.toString();
    Say_INFORM1 = texts.Say_INFORM1.toString();
    say_backupfailed = texts.say_backupfailed.toString();
    say_uploadfailed = texts.say_uploadfailed.toString();
    say_deletefailed = texts.say_deletefailed.toString();
    say_nofreeblock = texts.say_nofreeblock.toString();
    say_readcardfailed = texts.say_readcardfailed.toString();
    say_writecardfailed = texts.say_writecardfailed.toString();
    say_mailfailed = texts.say_mailfailed.toString();
    say_editfailed = texts.say_editfailed.toString();
    say_editwrongsize = texts.say_editwrongsize.toString();
    say_cardholdsnew = texts.say_cardholdsnew.toString();
    say_cardholdsold = texts.say_cardholdsold.toString();
    say_cardholdsnone = texts.say_cardholdsnone.toString();
    say_cardholdsother = texts.say_cardholdsother.toString();
    say_cardunreadable = texts.say_cardunreadable.toString();
    say_cardholdsimage = texts.say_cardholdsimage.toString();
    Say_ask_DeleteFirst = texts.Say_ask_DeleteFirst.toString();
    say_oldkept = texts.say_oldkept.toString();
    say_twinsavers = texts.say_twinsavers.toString();
}

QString busyText(const QString& action) { return action + u',' + Say_wait; }

QString freeBlockText(int freeBlocks)
{
    return Say_FREEBLOCK0 + QString::number(freeBlocks) + Say_FREEBLOCK1;
}

QString deleteFirstQuestion(const QString& save, int needed, int free, const QString& keptAs)
{
    return Say_ask_DeleteFirst.arg(save, QString::number(needed), QString::number(free), keptAs);
}

QString overwriteQuestion(const QString& target)
{
    return Say_ask_OverWriteFile0 + target + Say_ask_OverWriteFile1;
}

} // namespace i18n
