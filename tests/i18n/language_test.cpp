#include "i18n/language.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <ostream>
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

TEST(LocaleToIdentifier, ChineseTerritoriesAndJapaneseKeepTheirIdentifiers)
{
    const std::vector<std::pair<const char*, quint16>> cases = {
        {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
        {"zh_CN", 0x0804}, {"ja_JP", 0x0411}, {"zh", 0x0804}, // Qt completes a bare "zh" to the PRC
        {"ja", 0x0411},
    };
    for (const auto& [name, id] : cases)
        EXPECT_EQ(i18n::langIdForLocale(QLocale(QString::fromLatin1(name))), id) << name;
}

TEST(LocaleToIdentifier, EveryOtherLocaleGetsAnEnglishIdentifier)
{
    for (const char* name : {"en_US", "en_GB", "de_DE", "fr_FR", "ko_KR", "C"}) {
        const quint16 id = i18n::langIdForLocale(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(i18n::languageFor(id), Language::English) << name;
    }
}

// Runs the probe with exactly these variables set and returns the identifier it prints.
int probeLangId(const std::vector<std::pair<QString, QString>>& variables)
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

TEST(UserDefaultLangId, FollowsTheLocaleVariablesInTheirPrecedence)
{
    struct EnvCase {
        std::vector<std::pair<QString, QString>> variables;
        int expected;
    };
    const std::vector<EnvCase> cases = {
        {{{"LANG", "zh_TW.UTF-8"}}, 0x0404},
        {{{"LANG", "zh_HK.UTF-8"}}, 0x0C04},
        {{{"LANG", "zh_SG.UTF-8"}}, 0x1004},
        {{{"LANG", "zh_MO.UTF-8"}}, 0x1404},
        {{{"LANG", "zh_CN.UTF-8"}}, 0x0804},
        {{{"LANG", "ja_JP.UTF-8"}}, 0x0411},
        {{{"LANG", "de_DE.UTF-8"}}, 0x0409},
        {{{"LANG", "C"}}, 0x0409},
        {{}, 0x0409},
        {{{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}}, 0x0411},
        {{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, 0x0409},
        {{{"LC_ALL", "zh_TW.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, 0x0404},
        {{{"LC_MESSAGES", "zh_HK.UTF-8"}, {"LANG", "en_GB.UTF-8"}}, 0x0C04},
    };
    for (const EnvCase& c : cases) {
        QStringList shown;
        for (const auto& [name, value] : c.variables)
            shown << name + u'=' + value;
        EXPECT_EQ(probeLangId(c.variables), c.expected) << shown.join(u' ').toStdString();
    }
}

} // namespace
