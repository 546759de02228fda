// The family chosen for Japanese texts, judged on lists of families given
// here: which fonts this machine happens to have installed decides nothing.
#include "skin/japanese_font.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

namespace {

struct FamilyChoice {
    const char* name;
    QStringList installed; // the families the database lists for Japanese
    QString chosen;
};

void PrintTo(const FamilyChoice& c, std::ostream* os) { *os << c.name; }

class JapaneseFamilyChoice : public testing::TestWithParam<FamilyChoice> {};

TEST_P(JapaneseFamilyChoice, TakesThePreferredFamilyThatIsThere)
{
    EXPECT_EQ(skin::japaneseFamilyAmong(GetParam().installed), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, JapaneseFamilyChoice,
    testing::Values(FamilyChoice{"NotoBeforeAnyOther",
                                 {"VL Gothic", "IPAGothic", "Noto Sans CJK JP", "Noto Sans CJK KR"},
                                 "Noto Sans CJK JP"},
                    FamilyChoice{"PreferenceOrderNotListOrder",
                                 {"VL Gothic", "TakaoGothic", "IPAexGothic", "IPAGothic"},
                                 "IPAexGothic"},
                    FamilyChoice{"TheLastPreferredStillBeforeUnknownOnes",
                                 {"Some Mincho", "VL Gothic"},
                                 "VL Gothic"},
                    FamilyChoice{"AnyJapaneseFamilyWhenNoPreferredOne",
                                 {"Some Mincho", "Other Gothic"},
                                 "Some Mincho"},
                    FamilyChoice{"NoJapaneseFamilyNamesNotoAnyway", {}, "Noto Sans CJK JP"}),
    [](const testing::TestParamInfo<FamilyChoice>& info) { return std::string(info.param.name); });

TEST(JapaneseFont, ChoosesAmongTheFamiliesListedForJapanese)
{
    EXPECT_EQ(skin::japaneseFamily(),
              skin::japaneseFamilyAmong(QFontDatabase::families(QFontDatabase::Japanese)));
}

TEST(JapaneseFont, OnlyTheFamilyChangesSizeWeightAndStyleStayAsDesigned)
{
    QFont points(QStringLiteral("MS Sans Serif"), 8);
    QFont pixels(QStringLiteral("Sans"));
    pixels.setPixelSize(13);
    pixels.setBold(true);
    pixels.setItalic(true);
    pixels.setUnderline(true);
    for (const QFont& designed : {points, pixels}) {
        const QFont japanese = skin::withJapaneseGlyphs(designed);
        EXPECT_EQ(japanese.families(), QStringList{skin::japaneseFamily()});
        QFont expected = designed;
        expected.setFamilies({skin::japaneseFamily()});
        EXPECT_EQ(japanese, expected);
        EXPECT_EQ(japanese.pointSizeF(), designed.pointSizeF());
        EXPECT_EQ(japanese.pixelSize(), designed.pixelSize());
        EXPECT_EQ(japanese.weight(), designed.weight());
        EXPECT_EQ(japanese.italic(), designed.italic());
    }
}

} // namespace
