#include "i18n/language.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using i18n::Language;

namespace {

struct IdCase {
    quint16 langId;
    Language expected;
};

void PrintTo(const IdCase& c, std::ostream* os) { *os << "0x" << std::hex << c.langId; }

class LanguageChoice : public ::testing::TestWithParam<IdCase> {};

TEST_P(LanguageChoice, PicksTheTextSetByTheFullIdentifier)
{
    EXPECT_EQ(i18n::languageFor(GetParam().langId), GetParam().expected)
        << std::hex << GetParam().langId;
}

INSTANTIATE_TEST_SUITE_P(
    Identifiers, LanguageChoice,
    ::testing::Values(IdCase{0x0409, Language::English}, // English, United States
                      IdCase{0x0809, Language::English}, // English, United Kingdom
                      IdCase{0x0407, Language::English}, // German
                      IdCase{0x0004, Language::English}, // Chinese, neutral: no script named
                      IdCase{0x7C04, Language::English}, // Chinese, Traditional neutral
                      IdCase{0x0011, Language::English}, // Japanese, neutral
                      IdCase{0x0000, Language::English}, IdCase{0xFFFF, Language::English},
                      IdCase{0x0404, Language::TraditionalChinese},
                      IdCase{0x0C04, Language::TraditionalChinese},
                      IdCase{0x1004, Language::TraditionalChinese}, // Singapore: not Simplified
                      IdCase{0x1404, Language::TraditionalChinese},
                      IdCase{0x0804, Language::SimplifiedChinese},
                      IdCase{0x0411, Language::Japanese}),
    [](const ::testing::TestParamInfo<IdCase>& info) {
        return QString::asprintf("id%04X", info.param.langId).toStdString();
    });

struct LocaleCase {
    const char* locale;
    quint16 langId;
};

class LocaleToIdentifier : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleToIdentifier, ChineseTerritoriesAndJapaneseKeepTheirIdentifiers)
{
    EXPECT_EQ(i18n::langIdForLocale(QLocale(QString::fromLatin1(GetParam().locale))),
              GetParam().langId);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleToIdentifier,
                         ::testing::Values(LocaleCase{"zh_TW", 0x0404}, LocaleCase{"zh_HK", 0x0C04},
                                           LocaleCase{"zh_SG", 0x1004}, LocaleCase{"zh_MO", 0x1404},
                                           LocaleCase{"zh_CN", 0x0804}, LocaleCase{"ja_JP", 0x0411},
                                           // Qt completes a bare "zh" to the PRC
                                           LocaleCase{"zh", 0x0804}, LocaleCase{"ja", 0x0411}),
                         [](const ::testing::TestParamInfo<LocaleCase>& info) {
                             return std::string(info.param.locale);
                         });

class OtherLocale : public ::testing::TestWithParam<const char*> {};

TEST_P(OtherLocale, GetsAnEnglishIdentifier)
{
    const quint16 id = i18n::langIdForLocale(QLocale(QString::fromLatin1(GetParam())));
    EXPECT_EQ(i18n::languageFor(id), Language::English);
}

INSTANTIATE_TEST_SUITE_P(Locales, OtherLocale,
                         ::testing::Values("en_US", "en_GB", "de_DE", "fr_FR", "ko_KR", "C"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

using Variables = std::vector<std::pair<QString, QString>>;

// Runs the probe with exactly these variables set and returns the identifier it prints.
int probeLangId(const Variables& variables)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    for (const auto& [name, value] : variables)
        env.insert(name, value);
    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(LANGID_PROBE), {});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return -1;
    bool ok = false;
    const int id = QString::fromLatin1(probe.readAllStandardOutput()).trimmed().toInt(&ok, 16);
    return ok ? id : -1;
}

struct EnvCase {
    Variables variables;
    int expected;
};

void PrintTo(const EnvCase& c, std::ostream* os)
{
    for (const auto& [name, value] : c.variables)
        *os << name.toStdString() << '=' << value.toStdString() << ' ';
}

// "LC_ALL_ja_JP_LANG_en_US" for LC_ALL=ja_JP.UTF-8 LANG=en_US.UTF-8.
std::string envCaseName(const ::testing::TestParamInfo<EnvCase>& info)
{
    QStringList parts;
    for (const auto& [name, value] : info.param.variables)
        parts << name << value.section(u'.', 0, 0);
    if (parts.isEmpty())
        return "NoVariables";
    std::string joined = parts.join(u'_').toStdString();
    for (char& c : joined) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return joined;
}

class UserDefaultLangId : public ::testing::TestWithParam<EnvCase> {};

TEST_P(UserDefaultLangId, FollowsTheLocaleVariablesInTheirPrecedence)
{
    EXPECT_EQ(probeLangId(GetParam().variables), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, UserDefaultLangId,
    ::testing::Values(
        EnvCase{{{"LANG", "zh_TW.UTF-8"}}, 0x0404}, EnvCase{{{"LANG", "zh_HK.UTF-8"}}, 0x0C04},
        EnvCase{{{"LANG", "zh_SG.UTF-8"}}, 0x1004}, EnvCase{{{"LANG", "zh_MO.UTF-8"}}, 0x1404},
        EnvCase{{{"LANG", "zh_CN.UTF-8"}}, 0x0804}, EnvCase{{{"LANG", "ja_JP.UTF-8"}}, 0x0411},
        EnvCase{{{"LANG", "de_DE.UTF-8"}}, 0x0409}, EnvCase{{{"LANG", "C"}}, 0x0409},
        EnvCase{{}, 0x0409}, EnvCase{{{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}}, 0x0411},
        EnvCase{{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, 0x0409},
        EnvCase{{{"LC_ALL", "zh_TW.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, 0x0404},
        EnvCase{{{"LC_MESSAGES", "zh_HK.UTF-8"}, {"LANG", "en_GB.UTF-8"}}, 0x0C04}),
    envCaseName);

} // namespace
