#pragma once

// Captions of the main window's ten command buttons, keyed by the buttons'
// object names, so the window can set them with findChild() in one loop.

#include "i18n/language.h"

#include <QString>
#include <QStringView>

#include <array>

namespace i18n {

struct ButtonCaption {
    QStringView button; // object name: "UpDateBtn", "ReadCardBtn", ... "changebtn"
    QStringView caption;
};

std::array<ButtonCaption, 10> captionsFor(Language language);

// Empty for a name that is not one of the ten buttons.
QString captionFor(Language language, QStringView button);

} // namespace i18n
