#include "skin/japanese_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QList>

#include <gtest/gtest.h>

namespace {

TEST(JapaneseFont, ChosenFamilyHasTheGlyphsOfTheJapaneseTexts)
{
    const QString family = skin::japaneseFamily();
    ASSERT_FALSE(family.isEmpty()) << "no font with Japanese glyphs installed";
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese));
    const QFontMetrics metrics(skin::withJapaneseGlyphs(QFont(QStringLiteral("MS Sans Serif"), 8)));
    for (const QChar c :
         QStringLiteral("データリスト読み込み一括書き込み残りブロックお待ち下さい。？")) {
        EXPECT_TRUE(metrics.inFont(c)) << QString(c).toStdString();
    }
}

TEST(JapaneseFont, SizeWeightAndStyleStayAsDesigned)
{
    QFont points(QStringLiteral("MS Sans Serif"), 8);
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(13);
    pixels.setBold(true);
    pixels.setItalic(true);
    for (const QFont& designed : {points, pixels}) {
        const QFont japanese = skin::withJapaneseGlyphs(designed);
        EXPECT_EQ(japanese.family(), skin::japaneseFamily());
        EXPECT_EQ(japanese.pointSizeF(), designed.pointSizeF());
        EXPECT_EQ(japanese.pixelSize(), designed.pixelSize());
        EXPECT_EQ(japanese.weight(), designed.weight());
        EXPECT_EQ(japanese.italic(), designed.italic());
    }
}

} // namespace
