#include "i18n/language.h"

namespace i18n {

Language languageFor(quint16 langId)
{
    switch (langId) {
    case cLangChineseTaiwan:
    case cLangChineseHongKong:
    case cLangChineseSingapore: // the Singapore texts have always been the Traditional ones
    case cLangChineseMacao: return Language::TraditionalChinese;
    case cLangChinesePRC: return Language::SimplifiedChinese;
    case cLangJapanese: return Language::Japanese;
    default: return Language::English;
    }
}

quint16 langIdForLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::Japanese)
        return cLangJapanese;
    if (locale.language() != QLocale::Chinese)
        return cLangEnglishUS;
    switch (locale.territory()) {
    case QLocale::Taiwan: return cLangChineseTaiwan;
    case QLocale::HongKong: return cLangChineseHongKong;
    case QLocale::Singapore: return cLangChineseSingapore;
    case QLocale::Macao: return cLangChineseMacao;
    case QLocale::China: return cLangChinesePRC;
    default: return cLangEnglishUS;
    }
}

quint16 GetUserDefaultLangID() { return langIdForLocale(QLocale::system()); }

} // namespace i18n
