#pragma once

// Qt's own words (Yes, No, Cancel, the file dialogs' labels) in the language
// the program chose for its texts, so a question never mixes two languages.

#include "i18n/language.h"

#include <QString>

// The base name of Qt's catalogue for the language ("qtbase_ja"); empty for
// English, which Qt speaks without one.
QString qtCatalogueFor(i18n::Language language);

// Loads and installs Qt's catalogue for the language from Qt's translations
// folder, replacing one installed before. False when there is none to load
// (English, or the translations are not installed).
bool installQtTranslations(i18n::Language language);
