// The character translations and their tables.
#include "hexedit/codepages.h"
#include "hexedit/translation.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const QChar cMask = QLatin1Char('.');

TEST(Tables, MacIsAPermutationAndItsInverse)
{
    std::set<int> seen;
    for (int i = 0; i < 128; ++i) {
        seen.insert(ctMacToISO[std::size_t(i)]);
        EXPECT_EQ(ctISOToMac[std::size_t(ctMacToISO[std::size_t(i)] - 0x80)], 0x80 + i) << i;
    }
    EXPECT_EQ(seen.size(), 128u);
    EXPECT_EQ(*seen.begin(), 0x80);
    EXPECT_EQ(ctMacToISO[0x8A - 0x80], 0xE4); // ä
    EXPECT_EQ(ctMacToISO[0xA5 - 0x80], 0x80);
}

TEST(Tables, EbcdicHasNinetyTwoCharactersAndAnInverse)
{
    int nonZero = 0;
    for (int e = 0; e < 256; ++e) {
        const uint8_t iso = ctEBCDICToISO[std::size_t(e)];
        if (iso == 0)
            continue;
        ++nonZero;
        if (e != 0x51) {
            EXPECT_EQ(ctISOToEBCDIC[iso], e) << e;
        }
    }
    EXPECT_EQ(nonZero, 92);
    EXPECT_EQ(ctISOToEBCDIC[0x26], 0x50);
    EXPECT_EQ(ctEBCDICToISO[0xC1], 'A');
    EXPECT_EQ(ctEBCDICToISO[0xA9], 'z');
    EXPECT_EQ(ctEBCDICToISO[0xF9], '9');
    EXPECT_EQ(ctISOToEBCDIC['#'], 0x7B);
    EXPECT_EQ(ctISOToEBCDIC[0x01], 0);
}

TEST(CodePages, OemAndAnsiRoundTrip)
{
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(CharOEM(OEMChar(uint8_t(b))), b) << b;
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) {
            EXPECT_EQ(CharToAnsi(AnsiToChar(uint8_t(b))), b) << b;
        }
    }
    EXPECT_EQ(OEMChar(0x84), QChar(0x00E4));
    EXPECT_EQ(OEMChar(0xB0), QChar(0x2591));
    EXPECT_EQ(AnsiToChar(0x80), QChar(0x20AC));
    EXPECT_EQ(CharOEM(QChar(0x20AC)), -1);
    EXPECT_EQ(CharToAnsi(QChar(0x2591)), -1);
}

struct ShowCase {
    TTranslationType type;
    uint8_t byte;
    char16_t shown;
};

class Display : public ::testing::TestWithParam<ShowCase> {};

TEST_P(Display, ShowsTheTranslatedCharacterOrTheMask)
{
    const ShowCase& c = GetParam();
    EXPECT_EQ(TranslateToDisplay(c.type, c.byte, cMask, true).unicode(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Display,
    ::testing::Values(
        ShowCase{ttAnsi, 'A', 'A'}, ShowCase{ttAnsi, 0xE4, 0xE4}, ShowCase{ttAnsi, 0x80, 0x20AC},
        ShowCase{ttAnsi, 0x09, '.'}, ShowCase{ttDos8, 0x84, 0xE4}, ShowCase{ttDos8, 0xB0, 0x2591},
        ShowCase{ttDos8, 0x01, '.'}, ShowCase{ttASCII, 'a', 'a'}, ShowCase{ttASCII, 0xE4, '.'},
        ShowCase{ttASCII, 0x84, '.'}, ShowCase{ttMac, 'z', 'z'}, ShowCase{ttMac, 0x8A, 0xE4},
        ShowCase{ttEBCDIC, 0xC1, 'A'}, ShowCase{ttEBCDIC, 0x00, '.'}, ShowCase{ttEBCDIC, 0x40, ' '},
        ShowCase{ttEBCDIC, 0xFF, '.'}, ShowCase{TTranslationType(7), 'A', '.'}));

TEST(Display, WhiteSpaceIsShownUnmaskedOnRequest)
{
    EXPECT_EQ(TranslateToDisplay(ttAnsi, 0x09, cMask, false), QChar(0x09));
    EXPECT_EQ(TranslateToDisplay(ttASCII, 0xE4, cMask, false), cMask);
}

struct TypeCase {
    TTranslationType type;
    char16_t typed;
    int byte;
};

class Typing : public ::testing::TestWithParam<TypeCase> {};

TEST_P(Typing, EntersTheTranslatedByteOrNothing)
{
    const TypeCase& c = GetParam();
    const int b = TranslateFromChar(c.type, QChar(c.typed));
    // What the caller takes: only results of 32 and above.
    EXPECT_EQ(b >= 32 ? b : -1, c.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Typing,
    ::testing::Values(TypeCase{ttAnsi, 'A', 'A'}, TypeCase{ttAnsi, 0xE4, 0xE4},
                      TypeCase{ttAnsi, 0x20AC, 0x80}, TypeCase{ttAnsi, 0x09, -1},
                      TypeCase{ttAnsi, 0x0416, -1}, TypeCase{ttDos8, 0xE4, 0x84},
                      TypeCase{ttDos8, 0x20AC, -1}, TypeCase{ttASCII, 'q', 'q'},
                      TypeCase{ttASCII, 0xE4, -1}, TypeCase{ttMac, 0xE4, 0x8A},
                      TypeCase{ttMac, '~', '~'}, TypeCase{ttEBCDIC, 'A', 0xC1},
                      TypeCase{ttEBCDIC, '&', 0x50}, TypeCase{ttEBCDIC, 0xE4, -1},
                      TypeCase{TTranslationType(7), 'A', -1}));

struct SearchTextCase {
    const char* name;
    TTranslationType type;
    std::vector<uint8_t> bytes;
};

void PrintTo(const SearchTextCase& c, std::ostream* os) { *os << c.name; }

class SearchText : public ::testing::TestWithParam<SearchTextCase> {};

TEST_P(SearchText, AnsiBytesBecomeTheTranslationsBytes)
{
    const uint8_t text[] = {'A', 0xE4, '1', 0x80};
    std::vector<uint8_t> out(4);
    TranslateBufferFromAnsi(GetParam().type, text, out.data(), 4);
    EXPECT_EQ(out, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Translations, SearchText,
                         ::testing::Values(SearchTextCase{"Ansi", ttAnsi, {'A', 0xE4, '1', 0x80}},
                                           SearchTextCase{"Dos", ttDos8, {'A', 0x84, '1', '?'}},
                                           SearchTextCase{"Mac", ttMac, {'A', 0x8A, '1', 0xA5}},
                                           SearchTextCase{
                                               "Ebcdic", ttEBCDIC, {0xC1, 0x00, 0xF1, 0x00}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CaseFold, LowersLettersAsTheTranslationShowsThem)
{
    EXPECT_EQ(CaseFoldTable(ttAnsi)['A'], 'a');
    EXPECT_EQ(CaseFoldTable(ttAnsi)[0xC4], 0xE4);
    EXPECT_EQ(CaseFoldTable(ttAnsi)[0x8A], 0x9A); // Š
    EXPECT_EQ(CaseFoldTable(ttEBCDIC)[0xC1], 0x81);
    EXPECT_EQ(CaseFoldTable(ttDos8)[0x8E], 0x84); // Ä
    // Box drawing has no case: it must not fold onto Greek letters.
    EXPECT_EQ(CaseFoldTable(ttDos8)[0xC0], 0xC0);
    EXPECT_EQ(CaseFoldTable(ttASCII)[0xC4], 0xC4);
}

} // namespace
