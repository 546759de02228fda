#pragma once

// The interface texts every command of the main window reads by name. They stay
// empty until fillTexts() runs at start-up, and keep that language for the run.

#include "i18n/language.h"

#include <QString>

// One variable per text of the list, named by its key: Say_wait, say_saver_backup, ...
#define I18N_TEXT(key, ...) extern QString key;
#define I18N_CAPTION(...)
#include "i18n/text_list.h"

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
// Asked before the emulated adapter makes a blank card at a path that holds
// no file.
QString createCardQuestion(const QString& path);

} // namespace i18n
