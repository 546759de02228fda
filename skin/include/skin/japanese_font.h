#pragma once

// Japanese captions need a family that has Japanese glyphs; the designed
// fonts of the window do not. The size, weight and style stay as designed.

#include <QFont>
#include <QString>
#include <QStringList>

namespace skin {

// The family used for Japanese texts: Noto Sans CJK JP where installed, else
// another of the usual Japanese families, else any installed family that
// covers Japanese. Where none does, Noto Sans CJK JP is still named: the
// Japanese window then asks for the same font on every machine, and the font
// engine substitutes glyph by glyph as it would for any missing family.
QString japaneseFamily();

// The choice above among the families the font database lists for Japanese.
QString japaneseFamilyAmong(const QStringList& japaneseFamilies);

QFont withJapaneseGlyphs(const QFont& font);

} // namespace skin
