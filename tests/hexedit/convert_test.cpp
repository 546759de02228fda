// Hex text to bytes and back, and the number texts of the offset column.
#include "hexedit/hexconvert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HexCase {
    std::string text;
    bool swap;
    std::vector<uint8_t> bytes;
};

class HexToBin : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexToBin, SkipsNonDigitsAndDropsALoneLastDigit)
{
    const HexCase& c = GetParam();
    std::vector<uint8_t> out(c.text.size() / 2 + 1, 0xEE);
    int n = -1;
    ConvertHexToBin(c.text.data(), out.data(), int(c.text.size()), c.swap, n);
    out.resize(std::size_t(n));
    EXPECT_EQ(out, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, HexToBin,
                         ::testing::Values(HexCase{"12 ab-C", false, {0x12, 0xAB}},
                                           HexCase{"12 ab-C", true, {0x21, 0xBA}},
                                           HexCase{"0fA0", false, {0x0F, 0xA0}},
                                           HexCase{"xyz", false, {}}, HexCase{"", false, {}},
                                           HexCase{"F", false, {}},
                                           HexCase{"g1h2", false, {0x12}}));

TEST(HexToBin, ConvertsInPlace)
{
    char text[] = "41 42 43";
    int n = 0;
    auto* out = reinterpret_cast<uint8_t*>(text);
    ConvertHexToBin(text, out, int(sizeof text - 1), false, n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(std::string(text, 3), "ABC");
}

TEST(BinToHex, HighNibbleFirstUnlessSwapped)
{
    const uint8_t bytes[] = {0x0F, 0xA0};
    char text[5] = {'x', 'x', 'x', 'x', 'x'};
    ConvertBinToHex(bytes, text, 2, false);
    EXPECT_STREQ(text, "0FA0");
    ConvertBinToHex(bytes, text, 2, true);
    EXPECT_STREQ(text, "F00A");
}

TEST(BinToHex, RoundTripsEveryByte)
{
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[std::size_t(i)] = uint8_t(i);
    for (bool swap : {false, true}) {
        std::string text(513, '\0');
        ConvertBinToHex(all.data(), text.data(), 256, swap);
        std::vector<uint8_t> back(256);
        int n = 0;
        ConvertHexToBin(text.data(), back.data(), 512, swap, n);
        EXPECT_EQ(n, 256);
        EXPECT_EQ(back, all);
    }
}

TEST(NumberTexts, OctalHasALeadingZero)
{
    EXPECT_EQ(IntToOctal(8), "010");
    EXPECT_EQ(IntToOctal(0), "00");
    EXPECT_EQ(IntToOctal(0x1230), "011060");
}

TEST(NumberTexts, FillLeftPadsButNeverShortens)
{
    EXPECT_EQ(FillLeft(QLatin1Char('0'), QStringLiteral("1A"), 4), "001A");
    EXPECT_EQ(FillLeft(QLatin1Char(' '), QStringLiteral("12345"), 3), "12345");
    EXPECT_EQ(FillLeft(QLatin1Char('0'), QString(), 2), "00");
}

} // namespace
