#include "i18n/captions.h"
#include "i18n/texts.h"
#include "text_keys.h"

#include <gtest/gtest.h>

#include <cstdlib>

using i18n::Language;

namespace {

bool hasCjk(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// Latin-1, and the ellipsis with which a menu entry that opens a window
// ends ("Check card…").
bool isLatin1(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF && c.unicode() != 0x2026)
            return false;
    }
    return true;
}

bool allVariablesEmpty()
{
    for (const TextKey& key : cTextKeys) {
        if (key.variable && !key.variable->isEmpty())
            return false;
    }
    return true;
}

// Each test starts and ends with the variables as the program starts, so no
// test sees the language another one chose.
class TextVariables : public ::testing::Test {
protected:
    void SetUp() override { clearTextVariables(); }
    void TearDown() override { clearTextVariables(); }
};

// Judged in a fresh process that runs nothing else first: in this one another
// test may already have filled the variables.
TEST(TextStartUp, VariablesStayEmptyUntilFilled)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(allVariablesEmpty() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(TextVariables, RefillingReplacesTheWholePreviousLanguage)
{
    i18n::fillTexts(Language::Japanese);
    i18n::fillTexts(Language::English);
    for (const TextKey& key : cTextKeys) {
        if (key.variable) {
            EXPECT_FALSE(hasCjk(*key.variable)) << key.name;
        }
    }
}

class EveryKey : public ::testing::TestWithParam<TextKey> {
protected:
    void TearDown() override { clearTextVariables(); }
};

// A key the list names reaches the program in all four languages, through its
// variable or, for a button, through the caption lookup.
TEST_P(EveryKey, HasFourTranslationsInTheirOwnScript)
{
    const TextKey& key = GetParam();
    for (const Language language : cLanguages) {
        SCOPED_TRACE(languageName(language));
        const QStringView text = i18n::textsFor(language).*key.member;
        EXPECT_FALSE(text.isEmpty());
        if (language == Language::English)
            EXPECT_TRUE(isLatin1(text)) << text.toString().toStdString();
        else
            EXPECT_TRUE(hasCjk(text)) << text.toString().toStdString();
        if (key.variable) {
            i18n::fillTexts(language);
            EXPECT_EQ(*key.variable, text);
        } else {
            EXPECT_EQ(i18n::captionFor(language, QString::fromLatin1(key.name)), text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TextList, EveryKey, ::testing::ValuesIn(cTextKeys),
                         [](const ::testing::TestParamInfo<TextKey>& info) {
                             return std::string(info.param.name);
                         });

class CombinedTexts : public TextVariables {};

TEST_F(CombinedTexts, FreeBlockTextJoinsTheHalvesAroundTheNumber)
{
    i18n::fillTexts(Language::English);
    EXPECT_EQ(i18n::freeBlockText(59), u"  ( 59 )BLOCK FREE");
    EXPECT_EQ(i18n::freeBlockText(1019), u"  ( 1019 )BLOCK FREE");
    EXPECT_EQ(i18n::freeBlockText(0), u"  ( 0 )BLOCK FREE");
    i18n::fillTexts(Language::Japanese);
    EXPECT_EQ(i18n::freeBlockText(59), u"残り59ブロック");
    i18n::fillTexts(Language::SimplifiedChinese);
    EXPECT_EQ(i18n::freeBlockText(51), u"  尚余(51)单位");
    i18n::fillTexts(Language::TraditionalChinese);
    EXPECT_EQ(i18n::freeBlockText(51), u"  尚餘( 51 ) 單位");
}

TEST_F(CombinedTexts, BusyTextAndOverwriteQuestionFollowTheLanguage)
{
    i18n::fillTexts(Language::English);
    EXPECT_EQ(i18n::busyText(say_saver_backup), u"SAVER BACKUP,Please waiting..");
    EXPECT_EQ(i18n::overwriteQuestion(QStringLiteral("GAFE.GCI")),
              u"Do you want to Overwrite Saver GAFE.GCI Now ?");
    i18n::fillTexts(Language::Japanese);
    EXPECT_EQ(i18n::busyText(say_saver_LOADING), u"ロード,お待ち下さい。...");
    EXPECT_EQ(i18n::overwriteQuestion(QStringLiteral("GAFE.GCI")),
              u"上書きします。GAFE.GCIよろしいですか。");
}

// Every language names the save, both counts and the file; a save named
// like a place holder stays as it is named.
TEST_F(CombinedTexts, TheFullCardQuestionFillsEveryPlaceOnce)
{
    for (const Language language : cLanguages) {
        i18n::fillTexts(language);
        const QString q = i18n::deleteFirstQuestion(QStringLiteral("Race %2"), 123, 45,
                                                    QStringLiteral("Race.old.GCI"));
        EXPECT_TRUE(q.contains(u"Race %2")) << q.toStdString();
        EXPECT_TRUE(q.contains(u"123")) << q.toStdString();
        EXPECT_TRUE(q.contains(u"45")) << q.toStdString();
        EXPECT_TRUE(q.contains(u"Race.old.GCI")) << q.toStdString();
        EXPECT_FALSE(q.contains(u"%1") || q.contains(u"%3") || q.contains(u"%4"))
            << q.toStdString();
    }
}

} // namespace
