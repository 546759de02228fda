#pragma once

// Japanese captions need a family that has Japanese glyphs; the designed
// fonts of the window do not. The size, weight and style stay as designed.

#include <QFont>
#include <QString>

namespace skin {

// The family used for Japanese texts: Noto Sans CJK JP where installed, else
// any installed family that covers Japanese, else an empty string.
QString japaneseFamily();

QFont withJapaneseGlyphs(const QFont& font);

} // namespace skin
