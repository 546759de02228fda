#include "i18n/texts.h"

#include "i18n/text_set.h"

#define I18N_TEXT(key, ...) QString key;
#define I18N_CAPTION(...)
#include "i18n/text_list.h"

namespace i18n {

void fillTexts(Language language)
{
    const TextSet& texts = textsFor(language);
#define I18N_TEXT(key, ...) key = texts.key.toString();
#define I18N_CAPTION(...)
#include "i18n/text_list.h"
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

QString createCardQuestion(const QString& path) { return Say_ask_CreateCard.arg(path); }

QString overwriteQuestion(const QString& target)
{
    return Say_ask_OverWriteFile0 + target + Say_ask_OverWriteFile1;
}

} // namespace i18n
