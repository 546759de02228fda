#pragma once

// Captions of the main window's command buttons, keyed by the buttons' object
// names, so the window can set them with findChild() in one loop.

#include "i18n/language.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>

namespace i18n {

struct ButtonCaption {
    QStringView button; // object name: "UpDateBtn", "ReadCardBtn", ... "changebtn"
    QStringView caption;
};

// How many buttons the list captions: the main window's ten.
inline constexpr std::size_t cButtonCount = 0
#define I18N_TEXT(...)
#define I18N_CAPTION(...) +1
#include "i18n/text_list.h"
    ;

std::array<ButtonCaption, cButtonCount> captionsFor(Language language);

// Empty for a name that is not one of the buttons.
QString captionFor(Language language, QStringView button);

} // namespace i18n
