#pragma once

// Every entry of the text list with the places the program reads it from, so
// the tests walk exactly the keys the list holds and can name a failing one.

#include "i18n/language.h"
#include "i18n/text_set.h"
#include "i18n/texts.h"

#include <QString>
#include <QStringView>

#include <array>
#include <ostream>
#include <string>
#include <string_view>

struct TextKey {
    const char* name;
    QStringView i18n::TextSet::*member;
    QString* variable; // nullptr for a button caption, which has no variable
};

inline void PrintTo(const TextKey& key, std::ostream* os) { *os << key.name; }

// clang-format off
inline constexpr TextKey cTextKeys[] = {
#define I18N_TEXT(key, ...) {#key, &i18n::TextSet::key, &key},
#define I18N_CAPTION(button, ...) {#button, &i18n::TextSet::button, nullptr},
#include "i18n/text_list.h"
};
// clang-format on

inline constexpr std::array cLanguages = {
    i18n::Language::English, i18n::Language::TraditionalChinese, i18n::Language::SimplifiedChinese,
    i18n::Language::Japanese};

inline std::string languageName(i18n::Language language)
{
    switch (language) {
    case i18n::Language::TraditionalChinese: return "Traditional";
    case i18n::Language::SimplifiedChinese: return "Simplified";
    case i18n::Language::Japanese: return "Japanese";
    case i18n::Language::English: break;
    }
    return "English";
}

inline const TextKey* findTextKey(std::string_view name)
{
    for (const TextKey& key : cTextKeys) {
        if (name == key.name)
            return &key;
    }
    return nullptr;
}

// Puts every text variable back to empty, as the program starts.
inline void clearTextVariables()
{
    for (const TextKey& key : cTextKeys) {
        if (key.variable)
            key.variable->clear();
    }
}
