#pragma once

// Which of the four text sets a run uses. The choice is made once at start-up
// from the user's language identifier, in the 16-bit form the texts were
// first keyed by (primary language in the low 10 bits, sublanguage above).

#include <QLocale>
#include <QtGlobal>

namespace i18n {

enum class Language { English, TraditionalChinese, SimplifiedChinese, Japanese };

// The identifiers the choice knows by name; every other one falls back to English.
inline constexpr quint16 cLangEnglishUS = 0x0409;
inline constexpr quint16 cLangChineseTaiwan = 0x0404;
inline constexpr quint16 cLangChineseHongKong = 0x0C04;
inline constexpr quint16 cLangChineseSingapore = 0x1004;
inline constexpr quint16 cLangChineseMacao = 0x1404;
inline constexpr quint16 cLangChinesePRC = 0x0804;
inline constexpr quint16 cLangJapanese = 0x0411;

// Matches the full identifier, sublanguage included: a neutral Chinese
// identifier names no script, so it gets English rather than a guess.
Language languageFor(quint16 langId);

// Japanese and the five Chinese territories above map to their identifiers;
// everything else, the C locale and other Chinese territories included, maps
// to US English.
quint16 langIdForLocale(const QLocale& locale);

// The user's language identifier, read from LC_ALL, then LC_MESSAGES, then
// LANG, as QLocale::system() resolves them when the program starts.
quint16 GetUserDefaultLangID();

} // namespace i18n
