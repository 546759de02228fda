#include "i18n/captions.h"

#include <gtest/gtest.h>

#include <QSet>

using i18n::Language;

namespace {

constexpr Language cLanguages[] = {Language::English, Language::TraditionalChinese,
                                   Language::SimplifiedChinese, Language::Japanese};

TEST(ButtonCaptions, EveryLanguageCaptionsTheSameTenButtons)
{
    const QSet<QString> buttons = {"UpDateBtn",   "ReadCardBtn", "WriteCardBtn", "DeleteBtn",
                                   "DownLoadBtn", "UpLoadBtn",   "EditBtn",      "EmailBtn",
                                   "ExitBtn",     "changebtn"};
    for (const Language language : cLanguages) {
        QSet<QString> named;
        QSet<QString> captions;
        for (const auto& entry : i18n::captionsFor(language)) {
            named.insert(entry.button.toString());
            captions.insert(entry.caption.toString());
            EXPECT_EQ(i18n::captionFor(language, entry.button), entry.caption);
        }
        EXPECT_EQ(named, buttons);
        EXPECT_EQ(captions.size(), 10) << "two buttons share a caption";
        EXPECT_FALSE(captions.contains(QString()));
    }
}

TEST(ButtonCaptions, CaptionsAreTheLanguagesOwn)
{
    EXPECT_EQ(i18n::captionFor(Language::English, u"changebtn"), u"VERSIONS CHANGE ");
    EXPECT_EQ(i18n::captionFor(Language::English, u"UpDateBtn"), u"LIST GAME SAVER");
    EXPECT_EQ(i18n::captionFor(Language::English, u"ExitBtn"), u"CLOSE");
    EXPECT_EQ(i18n::captionFor(Language::TraditionalChinese, u"ExitBtn"), u"關  閉");
    EXPECT_EQ(i18n::captionFor(Language::TraditionalChinese, u"EditBtn"), u"修改專案");
    EXPECT_EQ(i18n::captionFor(Language::SimplifiedChinese, u"ExitBtn"), u"关  闭");
    EXPECT_EQ(i18n::captionFor(Language::SimplifiedChinese, u"ReadCardBtn"), u"读取整卡容量");
    EXPECT_EQ(i18n::captionFor(Language::Japanese, u"UpDateBtn"), u"データリスト読み込み");
    EXPECT_EQ(i18n::captionFor(Language::Japanese, u"changebtn"), u"換えるに");
}

TEST(ButtonCaptions, UnknownButtonHasNoCaption)
{
    EXPECT_TRUE(i18n::captionFor(Language::English, u"CloseBtn").isEmpty());
    EXPECT_TRUE(i18n::captionFor(Language::Japanese, u"").isEmpty());
}

} // namespace
