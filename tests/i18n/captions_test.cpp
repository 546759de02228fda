#include "i18n/captions.h"
#include "text_keys.h"

#include <gtest/gtest.h>

#include <QSet>

using i18n::Language;

namespace {

class ButtonCaptions : public ::testing::TestWithParam<Language> {};

TEST_P(ButtonCaptions, CaptionTheSameTenButtonsEachDifferently)
{
    const Language language = GetParam();
    const QSet<QString> buttons = {"UpDateBtn",   "ReadCardBtn", "WriteCardBtn", "DeleteBtn",
                                   "DownLoadBtn", "UpLoadBtn",   "EditBtn",      "EmailBtn",
                                   "ExitBtn",     "changebtn"};
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

INSTANTIATE_TEST_SUITE_P(Languages, ButtonCaptions, ::testing::ValuesIn(cLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) {
                             return languageName(info.param);
                         });

TEST(ButtonCaption, UnknownButtonHasNone)
{
    EXPECT_TRUE(i18n::captionFor(Language::English, u"CloseBtn").isEmpty());
    EXPECT_TRUE(i18n::captionFor(Language::Japanese, u"").isEmpty());
}

} // namespace
