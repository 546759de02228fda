#include "skin/japanese_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace skin {

QString japaneseFamily()
{
    static const QStringList preferred = {
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
        QStringLiteral("IPAexGothic"),      QStringLiteral("IPAGothic"),
        QStringLiteral("TakaoGothic"),      QStringLiteral("VL Gothic"),
    };
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : preferred) {
        if (japanese.contains(family))
            return family;
    }
    return japanese.isEmpty() ? QString() : japanese.first();
}

QFont withJapaneseGlyphs(const QFont& font)
{
    const QString family = japaneseFamily();
    if (family.isEmpty())
        return font;
    QFont japanese = font;
    japanese.setFamilies({family});
    return japanese;
}

} // namespace skin
