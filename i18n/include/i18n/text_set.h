#pragma once

// One language's texts side by side, so filling the text variables and the
// button captions cannot mix two languages.

#include "i18n/language.h"

#include <QStringView>

namespace i18n {

// One member per entry of the list, texts and button captions alike.
struct TextSet {
#define I18N_TEXT(key, ...) QStringView key;
#include "i18n/text_list.h"
};

const TextSet& textsFor(Language language);

} // namespace i18n
