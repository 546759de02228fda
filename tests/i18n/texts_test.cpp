#include "i18n/texts.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

using i18n::Language;

namespace {

constexpr std::array cLanguages = {Language::English, Language::TraditionalChinese,
                                   Language::SimplifiedChinese, Language::Japanese};

std::array<std::pair<const char*, const QString*>, 40> allTexts()
{
    return {{
        {"say_saver_LOADING", &say_saver_LOADING},
        {"say_saver_backup", &say_saver_backup},
        {"say_saver_upload", &say_saver_upload},
        {"say_saver_delete", &say_saver_delete},
        {"say_saver_reading", &say_saver_reading},
        {"say_saver_writing", &say_saver_writing},
        {"Say_wait", &Say_wait},
        {"say_DELETEcomplete", &say_DELETEcomplete},
        {"say_uploadcomplete", &say_uploadcomplete},
        {"say_Backupcomplete", &say_Backupcomplete},
        {"say_Editcomplete", &say_Editcomplete},
        {"Say_ask_DeleteFile0", &Say_ask_DeleteFile0},
        {"Say_ask_OverWriteFile0", &Say_ask_OverWriteFile0},
        {"Say_ask_OverWriteFile1", &Say_ask_OverWriteFile1},
        {"say_ask_sendmail", &say_ask_sendmail},
        {"Say_ask_Exit", &Say_ask_Exit},
        {"Say_FREEBLOCK0", &Say_FREEBLOCK0},
        {"Say_FREEBLOCK1", &Say_FREEBLOCK1},
        {"Say_WARNING0", &Say_WARNING0},
        {"Say_WARNING1", &Say_WARNING1},
        {"Say_WARNING2", &Say_WARNING2},
        {"Say_INFORM1", &Say_INFORM1},
        {"say_backupfailed", &say_backupfailed},
        {"say_uploadfailed", &say_uploadfailed},
        {"say_deletefailed", &say_deletefailed},
        {"say_nofreeblock", &say_nofreeblock},
        {"say_readcardfailed", &say_readcardfailed},
        {"say_writecardfailed", &say_writecardfailed},
        {"say_mailfailed", &say_mailfailed},
        {"say_editfailed", &say_editfailed},
        {"say_editwrongsize", &say_editwrongsize},
        {"say_cardholdsnew", &say_cardholdsnew},
        {"say_cardholdsold", &say_cardholdsold},
        {"say_cardholdsnone", &say_cardholdsnone},
        {"say_cardholdsother", &say_cardholdsother},
        {"say_cardunreadable", &say_cardunreadable},
        {"say_cardholdsimage", &say_cardholdsimage},
        {"Say_ask_DeleteFirst", &Say_ask_DeleteFirst},
        {"say_oldkept", &say_oldkept},
        {"say_twinsavers", &say_twinsavers},
    }};
}

bool hasCjk(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

bool isLatin1(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

// Runs first in its own process under ctest: nothing may have filled the texts yet.
TEST(TextVariables, StayEmptyUntilFilled)
{
    for (const auto& [name, text] : allTexts())
        EXPECT_TRUE(text->isEmpty()) << name;
}

TEST(TextVariables, EveryKeyIsFilledInEveryLanguageWithItsOwnScript)
{
    for (const Language language : cLanguages) {
        i18n::fillTexts(language);
        for (const auto& [name, text] : allTexts()) {
            EXPECT_FALSE(text->isEmpty()) << name;
            if (language == Language::English)
                EXPECT_TRUE(isLatin1(*text)) << name << " " << text->toStdString();
            else
                EXPECT_TRUE(hasCjk(*text)) << name << " " << text->toStdString();
        }
    }
}

TEST(TextVariables, RefillingReplacesTheWholePreviousLanguage)
{
    i18n::fillTexts(Language::Japanese);
    i18n::fillTexts(Language::English);
    for (const auto& [name, text] : allTexts())
        EXPECT_FALSE(hasCjk(*text)) << name;
}

TEST(TextVariables, BlanksAtTheEndsArePartOfTheTexts)
{
    i18n::fillTexts(Language::English);
    EXPECT_EQ(Say_FREEBLOCK0, u"  ( ");
    EXPECT_EQ(Say_FREEBLOCK1, u" )BLOCK FREE");
    EXPECT_EQ(Say_WARNING0, u"Please Choose GC Game! ");
    EXPECT_EQ(Say_ask_OverWriteFile0, u"Do you want to Overwrite Saver ");
    EXPECT_EQ(Say_ask_OverWriteFile1, u" Now ?");
    EXPECT_EQ(Say_wait, u"Please waiting..");

    i18n::fillTexts(Language::TraditionalChinese);
    EXPECT_EQ(Say_ask_DeleteFile0, u"確定刪除? ");
    EXPECT_EQ(Say_FREEBLOCK0, u"  尚餘( ");
    EXPECT_EQ(Say_FREEBLOCK1, u" ) 單位");
}

TEST(TextVariables, EachLanguageFillsItsOwnWording)
{
    i18n::fillTexts(Language::English);
    EXPECT_EQ(say_saver_reading, u"READING CAPABLITY");
    EXPECT_EQ(say_saver_writing, u"WRITING CAPABLITY");
    EXPECT_EQ(Say_ask_Exit, u"Do you want to Exit ?");
    EXPECT_EQ(Say_WARNING2, u"please Choose a Game File!");

    i18n::fillTexts(Language::TraditionalChinese);
    EXPECT_EQ(say_saver_reading, u"正在讀取全張卡的容量");
    EXPECT_EQ(say_saver_writing, u"正在寫入全張卡的容量");
    EXPECT_EQ(Say_wait, u"請等候 ...");

    i18n::fillTexts(Language::SimplifiedChinese);
    EXPECT_EQ(say_saver_writing, u"正在写入整张卡的容量");
    EXPECT_EQ(say_ask_sendmail, u"请先建立邮件帐户！");
    EXPECT_EQ(say_Backupcomplete, u"备用完成");

    i18n::fillTexts(Language::Japanese);
    EXPECT_EQ(Say_ask_DeleteFile0, u"削除しますか？?");
    EXPECT_EQ(say_Editcomplete, u"アップデートしました。");
    EXPECT_EQ(Say_WARNING0, u"カード にゲームを選択してください");
}

TEST(CombinedTexts, FreeBlockTextJoinsTheHalvesAroundTheNumber)
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

TEST(CombinedTexts, BusyTextAndOverwriteQuestionFollowTheLanguage)
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
TEST(CombinedTexts, TheFullCardQuestionFillsEveryPlaceOnce)
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
