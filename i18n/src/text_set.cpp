#include "i18n/text_set.h"

namespace i18n {
namespace {

constexpr TextSet cEnglishTexts{
#define I18N_TEXT(key, english, traditional, simplified, japanese) .key = english,
#include "i18n/text_list.h"
};

constexpr TextSet cTraditionalTexts{
#define I18N_TEXT(key, english, traditional, simplified, japanese) .key = traditional,
#include "i18n/text_list.h"
};

constexpr TextSet cSimplifiedTexts{
#define I18N_TEXT(key, english, traditional, simplified, japanese) .key = simplified,
#include "i18n/text_list.h"
};

constexpr TextSet cJapaneseTexts{
#define I18N_TEXT(key, english, traditional, simplified, japanese) .key = japanese,
#include "i18n/text_list.h"
};

} // namespace

const TextSet& textsFor(Language language)
{
    switch (language) {
    case Language::TraditionalChinese: return cTraditionalTexts;
    case Language::SimplifiedChinese: return cSimplifiedTexts;
    case Language::Japanese: return cJapaneseTexts;
    case Language::English: break;
    }
    return cEnglishTexts;
}

} // namespace i18n
