#include "skin/japanese_font.h"

#include <QFontDatabase>

namespace skin {

QString japaneseFamilyAmong(const QStringList& japaneseFamilies)
{
    static const QStringList preferred = {
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
        QStringLiteral("IPAexGothic"),      QStringLiteral("IPAGothic"),
        QStringLiteral("TakaoGothic"),      QStringLiteral("VL Gothic"),
    };
    for (const QString& family : preferred) {
        if (japaneseFamilies.contains(family))
            return family;
    }
    return japaneseFamilies.isEmpty() ? preferred.first() : japaneseFamilies.first();
}

QString japaneseFamily()
{
    return japaneseFamilyAmong(QFontDatabase::families(QFontDatabase::Japanese));
}

QFont withJapaneseGlyphs(const QFont& font)
{
    QFont japanese = font;
    japanese.setFamilies({japaneseFamily()});
    return japanese;
}

} // namespace skin
