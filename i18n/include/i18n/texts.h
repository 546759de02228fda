#pragma once

// The interface texts every command of the main window reads by name. They stay
// empty until fillTexts() runs at start-up, and keep that language for the run.

#include "i18n/language.h"

#include <QString>

extern QString say_saver_LOADING;
extern QString say_saver_backup;
extern QString say_saver_upload;
extern QString say_saver_delete;
extern QString say_saver_reading;
extern QString say_saver_writing;
extern QString Say_wait;
extern QString say_DELETEcomplete;
extern QString say_uploadcomplete;
extern QString say_Backupcomplete;
extern QString say_Editcomplete;
extern QString Say_ask_DeleteFile0;
extern QString Say_ask_OverWriteFile0;
extern QString Say_ask_OverWriteFile1;
extern QString say_ask_sendmail;
extern QString Say_ask_Exit;
extern QString Say_FREEBLOCK0;
extern QString Say_FREEBLOCK1;
extern QString Say_WARNING0;
extern QString Say_WARNING1;
extern QString Say_WARNING2;
extern QString Say_INFORM1;

// Failure notices: the text, then the saves or files that failed.
extern QString say_backupfailed;
extern QString say_uploadfailed;
extern QString say_deletefailed;
extern QString say_nofreeblock;
extern QString say_readcardfailed;
extern QString say_writecardfailed;
extern QString say_mailfailed;
extern QString say_editfailed;
extern QString say_editwrongsize;

// What the card holds for a save after a failed write, read back: shown in
// brackets after the save's name.
extern QString say_cardholdsnew;
extern QString say_cardholdsold;
extern QString say_cardholdsnone;
extern QString say_cardholdsother;
extern QString say_cardunreadable;
extern QString say_cardholdsimage; // after a failed restore
// A replacement with no room beside the old save: the question (through
// deleteFirstQuestion), then the notice of where the old save was kept.
extern QString Say_ask_DeleteFirst;
extern QString say_oldkept;
// An upload refused because two card saves share its name and code.
extern QString say_twinsavers;

namespace i18n {

// Copies the chosen language's texts into the variables above.
void fillTexts(Language language);

// The combined texts, built from the variables as they stand, so they follow
// the language that fillTexts() chose.
QString busyText(const QString& action);          // action + "," + Say_wait
QString freeBlockText(int freeBlocks);            // "  ( 59 )BLOCK FREE", "残り59ブロック"
QString overwriteQuestion(const QString& target); // file name or path between the halves
// The full-card question: the save, blocks needed and free, the file the old
// save would be kept in.
QString deleteFirstQuestion(const QString& save, int needed, int free, const QString& keptAs);

} // namespace i18n
