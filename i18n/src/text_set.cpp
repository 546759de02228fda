#include "i18n/text_set.h"

#include "i18n/texts_english.h"
#include "i18n/texts_japanese.h"
#include "i18n/texts_simplified.h"
#include "i18n/texts_traditional.h"

namespace i18n {
namespace {

constexpr TextSet cEnglishTexts{
    .say_saver_LOADING = Esay_saver_LOADING,
    .say_saver_backup = Esay_saver_backup,
    .say_saver_upload = Esay_saver_upload,
    .say_saver_delete = Esay_saver_delete,
    .say_saver_reading = Esay_saver_reading,
    .say_saver_writing = Esay_saver_writing,
    .Say_wait = ESay_wait,
    .say_DELETEcomplete = Esay_DELETEcomplete,
    .say_uploadcomplete = Esay_uploadcomplete,
    .say_Backupcomplete = Esay_Backupcomplete,
    .say_Editcomplete = Esay_Editcomplete,
    .Say_ask_DeleteFile0 = ESay_ask_DeleteFile0,
    .Say_ask_OverWriteFile0 = ESay_ask_OverWriteFile0,
    .Say_ask_OverWriteFile1 = ESay_ask_OverWriteFile1,
    .say_ask_sendmail = Esay_ask_sendmail,
    .Say_ask_Exit = ESay_ask_Exit,
    .Say_FREEBLOCK0 = ESay_FREEBLOCK0,
    .Say_FREEBLOCK1 = ESay_FREEBLOCK1,
    .Say_WARNING0 = ESay_WARNING0,
    .Say_WARNING1 = ESay_WARNING1,
    .Say_WARNING2 = ESay_WARNING2,
    .Say_INFORM1 = ESay_INFORM1,
    .say_backupfailed = Esay_backupfailed,
    .say_uploadfailed = Esay_uploadfailed,
    .say_deletefailed = Esay_deletefailed,
    .say_nofreeblock = Esay_nofreeblock,
    .say_readcardfailed = Esay_readcardfailed,
    .say_writecardfailed = Esay_writecardfailed,
    .say_mailfailed = Esay_mailfailed,
    .say_editfailed = Esay_editfailed,
    .say_editwrongsize = Esay_editwrongsize,
    .UpDateBtn = EUpDateBtn,
    .ReadCardBtn = EReadCardBtn,
    .WriteCardBtn = EWriteCardBtn,
    .DeleteBtn = EDeleteBtn,
    .DownLoadBtn = EDownLoadBtn,
    .UpLoadBtn = EUpLoadBtn,
    .EditBtn = EEditBtn,
    .EmailBtn = EEmailBtn,
    .ExitBtn = EExitBtn,
    .changebtn = Echangebtn,
};

constexpr TextSet cTraditionalTexts{
    .say_saver_LOADING = Tsay_saver_LOADING,
    .say_saver_backup = Tsay_saver_backup,
    .say_saver_upload = Tsay_saver_upload,
    .say_saver_delete = Tsay_saver_delete,
    .say_saver_reading = Tsay_saver_reading,
    .say_saver_writing = Tsay_saver_writing,
    .Say_wait = TSay_wait,
    .say_DELETEcomplete = Tsay_DELETEcomplete,
    .say_uploadcomplete = Tsay_uploadcomplete,
    .say_Backupcomplete = Tsay_Backupcomplete,
    .say_Editcomplete = Tsay_Editcomplete,
    .Say_ask_DeleteFile0 = TSay_ask_DeleteFile0,
    .Say_ask_OverWriteFile0 = TSay_ask_OverWriteFile0,
    .Say_ask_OverWriteFile1 = TSay_ask_OverWriteFile1,
    .say_ask_sendmail = Tsay_ask_sendmail,
    .Say_ask_Exit = TSay_ask_Exit,
    .Say_FREEBLOCK0 = TSay_FREEBLOCK0,
    .Say_FREEBLOCK1 = TSay_FREEBLOCK1,
    .Say_WARNING0 = TSay_WARNING0,
    .Say_WARNING1 = TSay_WARNING1,
    .Say_WARNING2 = TSay_WARNING2,
    .Say_INFORM1 = TSay_INFORM1,
    .say_backupfailed = Tsay_backupfailed,
    .say_uploadfailed = Tsay_uploadfailed,
    .say_deletefailed = Tsay_deletefailed,
    .say_nofreeblock = Tsay_nofreeblock,
    .say_readcardfailed = Tsay_readcardfailed,
    .say_writecardfailed = Tsay_writecardfailed,
    .say_mailfailed = Tsay_mailfailed,
    .say_editfailed = Tsay_editfailed,
    .say_editwrongsize = Tsay_editwrongsize,
    .UpDateBtn = TUpDateBtn,
    .ReadCardBtn = TReadCardBtn,
    .WriteCardBtn = TWriteCardBtn,
    .DeleteBtn = TDeleteBtn,
    .DownLoadBtn = TDownLoadBtn,
    .UpLoadBtn = TUpLoadBtn,
    .EditBtn = TEditBtn,
    .EmailBtn = TEmailBtn,
    .ExitBtn = TExitBtn,
    .changebtn = Tchangebtn,
};

constexpr TextSet cSimplifiedTexts{
    .say_saver_LOADING = Ssay_saver_LOADING,
    .say_saver_backup = Ssay_saver_backup,
    .say_saver_upload = Ssay_saver_upload,
    .say_saver_delete = Ssay_saver_delete,
    .say_saver_reading = Ssay_saver_reading,
    .say_saver_writing = Ssay_saver_writing,
    .Say_wait = SSay_wait,
    .say_DELETEcomplete = Ssay_DELETEcomplete,
    .say_uploadcomplete = Ssay_uploadcomplete,
    .say_Backupcomplete = Ssay_Backupcomplete,
    .say_Editcomplete = Ssay_Editcomplete,
    .Say_ask_DeleteFile0 = SSay_ask_DeleteFile0,
    .Say_ask_OverWriteFile0 = SSay_ask_OverWriteFile0,
    .Say_ask_OverWriteFile1 = SSay_ask_OverWriteFile1,
    .say_ask_sendmail = Ssay_ask_sendmail,
    .Say_ask_Exit = SSay_ask_Exit,
    .Say_FREEBLOCK0 = SSay_FREEBLOCK0,
    .Say_FREEBLOCK1 = SSay_FREEBLOCK1,
    .Say_WARNING0 = SSay_WARNING0,
    .Say_WARNING1 = SSay_WARNING1,
    .Say_WARNING2 = SSay_WARNING2,
    .Say_INFORM1 = SSay_INFORM1,
    .say_backupfailed = Ssay_backupfailed,
    .say_uploadfailed = Ssay_uploadfailed,
    .say_deletefailed = Ssay_deletefailed,
    .say_nofreeblock = Ssay_nofreeblock,
    .say_readcardfailed = Ssay_readcardfailed,
    .say_writecardfailed = Ssay_writecardfailed,
    .say_mailfailed = Ssay_mailfailed,
    .say_editfailed = Ssay_editfailed,
    .say_editwrongsize = Ssay_editwrongsize,
    .UpDateBtn = SUpDateBtn,
    .ReadCardBtn = SReadCardBtn,
    .WriteCardBtn = SWriteCardBtn,
    .DeleteBtn = SDeleteBtn,
    .DownLoadBtn = SDownLoadBtn,
    .UpLoadBtn = SUpLoadBtn,
    .EditBtn = SEditBtn,
    .EmailBtn = SEmailBtn,
    .ExitBtn = SExitBtn,
    .changebtn = Schangebtn,
};

constexpr TextSet cJapaneseTexts{
    .say_saver_LOADING = Jsay_saver_LOADING,
    .say_saver_backup = Jsay_saver_backup,
    .say_saver_upload = Jsay_saver_upload,
    .say_saver_delete = Jsay_saver_delete,
    .say_saver_reading = Jsay_saver_reading,
    .say_saver_writing = Jsay_saver_writing,
    .Say_wait = JSay_wait,
    .say_DELETEcomplete = Jsay_DELETEcomplete,
    .say_uploadcomplete = Jsay_uploadcomplete,
    .say_Backupcomplete = Jsay_Backupcomplete,
    .say_Editcomplete = Jsay_Editcomplete,
    .Say_ask_DeleteFile0 = JSay_ask_DeleteFile0,
    .Say_ask_OverWriteFile0 = JSay_ask_OverWriteFile0,
    .Say_ask_OverWriteFile1 = JSay_ask_OverWriteFile1,
    .say_ask_sendmail = Jsay_ask_sendmail,
    .Say_ask_Exit = JSay_ask_Exit,
    .Say_FREEBLOCK0 = JSay_FREEBLOCK0,
    .Say_FREEBLOCK1 = JSay_FREEBLOCK1,
    .Say_WARNING0 = JSay_WARNING0,
    .Say_WARNING1 = JSay_WARNING1,
    .Say_WARNING2 = JSay_WARNING2,
    .Say_INFORM1 = JSay_INFORM1,
    .say_backupfailed = Jsay_backupfailed,
    .say_uploadfailed = Jsay_uploadfailed,
    .say_deletefailed = Jsay_deletefailed,
    .say_nofreeblock = Jsay_nofreeblock,
    .say_readcardfailed = Jsay_readcardfailed,
    .say_writecardfailed = Jsay_writecardfailed,
    .say_mailfailed = Jsay_mailfailed,
    .say_editfailed = Jsay_editfailed,
    .say_editwrongsize = Jsay_editwrongsize,
    .UpDateBtn = JUpDateBtn,
    .ReadCardBtn = JReadCardBtn,
    .WriteCardBtn = JWriteCardBtn,
    .DeleteBtn = JDeleteBtn,
    .DownLoadBtn = JDownLoadBtn,
    .UpLoadBtn = JUpLoadBtn,
    .EditBtn = JEditBtn,
    .EmailBtn = JEmailBtn,
    .ExitBtn = JExitBtn,
    .changebtn = Jchangebtn,
};

} // namespace

const TextSet& textsFor(Language language)
{
    switch (language) {
    case Language::TraditionalChinese:
        return cTraditionalTexts;
    case Language::SimplifiedChinese:
        return cSimplifiedTexts;
    case Language::Japanese:
        return cJapaneseTexts;
    case Language::English:
        break;
    }
    return cEnglishTexts;
}

} // namespace i18n
