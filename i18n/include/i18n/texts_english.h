#pragma once

// English texts of the main window. Several end or begin in blanks, and the
// misspellings are the program's long-standing wording that users know; keep
// every character as it stands.

#include <QStringView>

// Messages, questions and status halves.
inline constexpr QStringView Esay_saver_LOADING = u"LOADING";
inline constexpr QStringView Esay_saver_backup = u"SAVER BACKUP";
inline constexpr QStringView Esay_saver_upload = u"SAVER UPLOAD";
inline constexpr QStringView Esay_saver_delete = u"SAVER DELETE";
inline constexpr QStringView Esay_saver_reading = u"READING CAPABLITY";
inline constexpr QStringView Esay_saver_writing = u"WRITING CAPABLITY";
inline constexpr QStringView ESay_wait = u"Please waiting..";
inline constexpr QStringView Esay_DELETEcomplete = u"DELETE Complete";
inline constexpr QStringView Esay_uploadcomplete = u"UPLOAD Complete";
inline constexpr QStringView Esay_Backupcomplete = u"BACKUP Complete";
inline constexpr QStringView Esay_Editcomplete = u"SAVER UPDATED";
inline constexpr QStringView ESay_ask_DeleteFile0 = u"Do you want to Delete ?";
inline constexpr QStringView ESay_ask_OverWriteFile0 = u"Do you want to Overwrite Saver ";
inline constexpr QStringView ESay_ask_OverWriteFile1 = u" Now ?";
inline constexpr QStringView Esay_ask_sendmail = u"Please register an email account first";
inline constexpr QStringView ESay_ask_Exit = u"Do you want to Exit ?";
inline constexpr QStringView ESay_FREEBLOCK0 = u"  ( ";
inline constexpr QStringView ESay_FREEBLOCK1 = u" )BLOCK FREE";
inline constexpr QStringView ESay_WARNING0 = u"Please Choose GC Game! ";
inline constexpr QStringView ESay_WARNING1 = u"Please Choose Game File!";
inline constexpr QStringView ESay_WARNING2 = u"please Choose a Game File!";
inline constexpr QStringView ESay_INFORM1 = u"Please List Game Saver!";

// Failures, named with the save or file that failed.
inline constexpr QStringView Esay_backupfailed = u"BACKUP Failed: ";
inline constexpr QStringView Esay_uploadfailed = u"UPLOAD Failed: ";
inline constexpr QStringView Esay_deletefailed = u"DELETE Failed: ";
inline constexpr QStringView Esay_nofreeblock = u"Not Enough Free BLOCK: ";
inline constexpr QStringView Esay_readcardfailed = u"BACKUP CARD Failed: ";
inline constexpr QStringView Esay_writecardfailed =
    u"UPLOAD CARD Failed, the card may be incomplete: ";
inline constexpr QStringView Esay_mailfailed = u"MAIL Failed: ";
inline constexpr QStringView Esay_editfailed = u"UPDATE Failed, the card keeps the old saver: ";
inline constexpr QStringView Esay_editwrongsize =
    u"UPDATE Failed, the edited saver must stay whole 8 KB blocks long, the card keeps the old "
    u"saver: ";

// What the card holds after a failed write, the full-card question and
// its answer, and two saves that cannot be told apart.
inline constexpr QStringView Esay_cardholdsnew = u"the card holds the new saver all the same";
inline constexpr QStringView Esay_cardholdsold = u"the card still holds the old saver";
inline constexpr QStringView Esay_cardholdsnone = u"the card holds no such saver now";
inline constexpr QStringView Esay_cardholdsother =
    u"the card holds neither the old nor the new saver";
inline constexpr QStringView Esay_cardunreadable = u"the card could not be read again";
inline constexpr QStringView Esay_cardholdsimage = u"the card holds the whole image all the same";
inline constexpr QStringView ESay_ask_DeleteFirst =
    u"No room on the card for %1 beside the old saver (%2 BLOCK needed, %3 free). Keep the old "
    u"saver in the save folder as %4, delete it from the card and then write the new one?";
inline constexpr QStringView Esay_oldkept = u"The old saver was kept in the save folder: ";
inline constexpr QStringView Esay_twinsavers =
    u"Two savers on the card have this name and code, delete one first: ";

// Captions of the main window's ten command buttons.
inline constexpr QStringView EUpDateBtn = u"LIST GAME SAVER";
inline constexpr QStringView EReadCardBtn = u"BACKUP CARD";
inline constexpr QStringView EWriteCardBtn = u"UPLOAD CARD";
inline constexpr QStringView EDeleteBtn = u"DELETE SAVER";
inline constexpr QStringView EDownLoadBtn = u"BACKUP SAVER";
inline constexpr QStringView EUpLoadBtn = u"UPLOAD SAVER";
inline constexpr QStringView EEditBtn = u"EDIT SAVER";
inline constexpr QStringView EEmailBtn = u"MAIL SAVER";
inline constexpr QStringView EExitBtn = u"CLOSE";
inline constexpr QStringView Echangebtn = u"VERSIONS CHANGE ";
