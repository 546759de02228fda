// Searching the content, and the content as hex text.
#include "editor_fixture.h"

#include <cstring>

namespace {

using FindTest = EditorTest;

Bytes Pattern(const char* aText) { return Bytes(aText, aText + std::strlen(aText)); }

struct RangeCase {
    const char* name;
    int32_t start;
    int32_t end;
    int32_t found;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class FindRanges : public FindTest, public testing::WithParamInterface<RangeCase> {};

// "abcd" at 2..5 and 8..11: a match counts when it ends at the range's end.
TEST_P(FindRanges, FindAPatternEndingExactlyAtTheRangeEnd)
{
    const RangeCase& c = GetParam();
    Load(Pattern("..abcd..abcd"));
    Bytes p = Pattern("abcd");
    EXPECT_EQ(editor.Find(p.data(), 4, c.start, c.end, false, false), c.found);
}

INSTANTIATE_TEST_SUITE_P(FindTest, FindRanges,
                         testing::Values(RangeCase{"AllTheData", 0, 11, 2},
                                         RangeCase{"FromPastTheFirstMatch", 3, 11, 8},
                                         RangeCase{"EndingShortOfTheSecondMatch", 3, 10, -1},
                                         RangeCase{"EndingOnTheFirstMatchsEnd", 0, 5, 2},
                                         RangeCase{"EndingShortOfTheFirstMatch", 0, 4, -1},
                                         RangeCase{"StartingInsideTheSecondMatch", 9, 11, -1},
                                         RangeCase{"EndingPastTheData", 0, 1000, 2},
                                         RangeCase{"StartingBeforeTheData", -5, 11, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FindTest, AnEmptyPatternIsNeverFound)
{
    Load(Pattern("..abcd..abcd"));
    Bytes p = Pattern("abcd");
    EXPECT_EQ(editor.Find(p.data(), 0, 0, 11, false, false), -1);
}

TEST_F(FindTest, OverlappingMatchesAreFoundOneAfterAnother)
{
    Load(Pattern("AAA"));
    Bytes p = Pattern("AA");
    EXPECT_EQ(editor.Find(p.data(), 2, 0, 2, false, false), 0);
    EXPECT_EQ(editor.Find(p.data(), 2, 1, 2, false, false), 1);
    EXPECT_EQ(editor.Find(p.data(), 2, 2, 2, false, false), -1);
}

TEST_F(FindTest, IgnoringCaseLowersThePatternInPlace)
{
    Load(Pattern("xx aBC Abc"));
    Bytes p = Pattern("Abc");
    EXPECT_EQ(editor.Find(p.data(), 3, 0, 100, false, true), 7);
    EXPECT_EQ(editor.Find(p.data(), 3, 0, 100, true, true), 3);
    EXPECT_EQ(p, Pattern("abc"));
}

TEST_F(FindTest, ATextSearchUsesTheTranslation)
{
    Load({0x00, 0xC1, 0xC2, 0xC3, 0x81, 0x82, 0x83});
    editor.SetTranslation(ttEBCDIC);
    Bytes p = Pattern("ABC");
    EXPECT_EQ(editor.Find(p.data(), 3, 0, 6, false, true), 1);
    EXPECT_EQ(p, (Bytes{0xC1, 0xC2, 0xC3}));
    Bytes q = Pattern("abc");
    EXPECT_EQ(editor.Find(q.data(), 3, 2, 6, true, true), 4);
    Bytes r = Pattern("ABC");
    EXPECT_EQ(editor.Find(r.data(), 3, 0, 6, false, false), -1);
}

TEST_F(FindTest, AMatchAcrossTheScanChunksIsFound)
{
    Bytes data(3 * 1024 * 1024, 0x11);
    const std::size_t at = 1024 * 1024 - 7;
    for (std::size_t i = 0; i < 16; ++i)
        data[at + i] = uint8_t(0xA0 + i);
    data[data.size() - 1] = 0x5A;
    Load(data);
    Bytes p(16);
    for (std::size_t i = 0; i < 16; ++i)
        p[i] = uint8_t(0xA0 + i);
    EXPECT_EQ(editor.Find(p.data(), 16, 0, editor.DataSize() - 1, false, false), int32_t(at));
    Bytes last = {0x11, 0x5A};
    EXPECT_EQ(editor.Find(last.data(), 2, 0, editor.DataSize() - 1, false, false),
              editor.DataSize() - 2);
}

TEST_F(FindTest, AsHexReadsAndReplacesTheWholeContent)
{
    Load({0x0F, 0xA0, 0x12});
    EXPECT_EQ(editor.AsHex(), "0FA012");
    editor.SetSwapNibbles(true);
    EXPECT_EQ(editor.AsHex(), "F00A21");
    editor.SetSwapNibbles(false);

    editor.SetAsHex("de ad-be ef 7");
    EXPECT_EQ(Content(), (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(editor.UndoDescription(), "Replace selection");
    editor.Undo();
    EXPECT_EQ(Content(), (Bytes{0x0F, 0xA0, 0x12}));

    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    EXPECT_EQ(editor.AsHex(), "");
    editor.SetAsHex("4142");
    EXPECT_EQ(Content(), (Bytes{0x41, 0x42}));
}

TEST_F(FindTest, AsHexWithAFixedSizeTakesOnlyATextOfThatSize)
{
    Load({1, 2, 3});
    editor.SetNoSizeChange(true);
    editor.SetAsHex("AABBCCDD");
    editor.SetAsHex("AABB");
    EXPECT_EQ(Content(), (Bytes{1, 2, 3}));
    editor.SetAsHex("AABBCC");
    EXPECT_EQ(Content(), (Bytes{0xAA, 0xBB, 0xCC}));
}

} // namespace
