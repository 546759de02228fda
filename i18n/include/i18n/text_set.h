#pragma once

// One language's texts side by side, so filling the text variables and the
// button captions cannot mix two languages.

#include "i18n/language.h"

#include <QStringView>

namespace i18n {

struct TextSet {
    QStringView say_saver_LOADING;
    QStringView say_saver_backup;
    QStringView say_saver_upload;
    QStringView say_saver_delete;
    QStringView say_saver_reading;
    QStringView say_saver_writing;
    QStringView Say_wait;
    QStringView say_DELETEcomplete;
    QStringView say_uploadcomplete;
    QStringView say_Backupcomplete;
    QStringView say_Editcomplete;
    QStringView Say_ask_DeleteFile0;
    QStringView Say_ask_OverWriteFile0;
    QStringView Say_ask_OverWriteFile1;
    QStringView say_ask_sendmail;
    QStringView Say_ask_Exit;
    QStringView Say_FREEBLOCK0;
    QStringView Say_FREEBLOCK1;
    QStringView Say_WARNING0;
    QStringView Say_WARNING1;
    QStringView Say_WARNING2;
    QStringView Say_INFORM1;
    QStringView say_backupfailed;
    QStringView say_uploadfailed;
    QStringView say_deletefailed;
    QStringView say_nofreeblock;
    QStringView say_readcardfailed;
    QStringView say_writecardfailed;
    QStringView say_mailfailed;
    QStringView say_editfailed;
    QStringView say_editwrongsize;
    QStringView say_cardholdsnew;
    QStringView say_cardholdsold;
    QStringView say_cardholdsnone;
    QStringView say_cardholdsother;
    QStringView say_cardunreadable;
    QStringView say_cardholdsimage;
    QStringView Say_ask_DeleteFirst;
    QStringView say_oldkept;
    QStringView say_twinsavers;

    QStringView UpDateBtn;
    QStringView ReadCardBtn;
    QStringView WriteCardBtn;
    QStringView DeleteBtn;
    QStringView DownLoadBtn;
    QStringView UpLoadBtn;
    QStringView EditBtn;
    QStringView EmailBtn;
    QStringView ExitBtn;
    QStringView changebtn;
};

const TextSet& textsFor(Language language);

} // namespace i18n
