// Card texts on screen: controls and broken UTF-8 shown as escapes, all
// other text as it is, and a buffer too small left untouched.
#include "mcbridge.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string escaped(const std::string& text)
{
    std::string out(MCB_ESCAPED_CAPACITY(text.size()), '\0');
    const int n = mcb_escape_text(text.data(), text.size(), out.data(), out.size());
    EXPECT_GE(n, 0) << mcb_strerror(n);
    out.resize(std::size_t(std::max(n, 0)));
    return out;
}

struct EscapeRow {
    const char* name;
    std::string text;
    std::string shown;
};

class Escape : public testing::TestWithParam<EscapeRow> {};

TEST_P(Escape, ShowsControlsAndBrokenBytesAsEscapes)
{
    EXPECT_EQ(escaped(GetParam().text), GetParam().shown);
    // The length alone, for a caller that sizes its buffer.
    EXPECT_EQ(mcb_escape_text(GetParam().text.data(), GetParam().text.size(), nullptr, 0),
              int(GetParam().shown.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Escape,
    testing::Values(EscapeRow{"Plain", "Super Mario Sunshine", "Super Mario Sunshine"},
                    EscapeRow{"Empty", "", ""},
                    EscapeRow{"TerminalTitle", "evil\x1B]0;owned\x07", "evil\\x1B]0;owned\\x07"},
                    EscapeRow{"ClearScreen", "a\x1B[2J\r\n", "a\\x1B[2J\\x0D\\x0A"},
                    EscapeRow{"Nul", std::string("a\0b", 3), "a\\x00b"},
                    EscapeRow{"Delete", "a\x7F", "a\\x7F"},
                    EscapeRow{"C1Csi",
                              "a\xC2\x9B"
                              "2J",
                              "a\\u009B2J"},
                    EscapeRow{"C1First", "\xC2\x80", "\\u0080"},
                    EscapeRow{"NoBreakSpaceKept",
                              "a\xC2\xA0"
                              "b",
                              "a\xC2\xA0"
                              "b"},
                    EscapeRow{"LatinKept", "Pok\xC3\xA9mon", "Pok\xC3\xA9mon"},
                    EscapeRow{"JapaneseKept", "\xE3\x83\x9E\xE3\x83\xAA\xE3\x82\xAA",
                              "\xE3\x83\x9E\xE3\x83\xAA\xE3\x82\xAA"},
                    EscapeRow{"FourByteKept", "\xF0\x9F\x8E\xAE", "\xF0\x9F\x8E\xAE"},
                    EscapeRow{"BackslashKept", "a\\x1B", "a\\x1B"},
                    EscapeRow{"StrayContinuation", "a\x80z", "a\\x80z"},
                    EscapeRow{"LoneLead", "a\xC3", "a\\xC3"},
                    EscapeRow{"LeadThenAscii", "\xC3z", "\\xC3z"},
                    EscapeRow{"Overlong", "\xC0\xAF", "\\xC0\\xAF"},
                    EscapeRow{"OverlongThree", "\xE0\x80\xAF", "\\xE0\\x80\\xAF"},
                    EscapeRow{"Surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
                    EscapeRow{"PastUnicode", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
                    EscapeRow{"TruncatedThree", "\xE3\x83", "\\xE3\\x83"},
                    EscapeRow{"Windows1252Byte", "caf\xE9", "caf\\xE9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Escape, ABufferTooSmallIsLeftUntouched)
{
    const std::string text = "a\x1B";
    char out[6];
    std::fill(std::begin(out), std::end(out), '#');
    // "a\x1B" escaped is five characters and the NUL: six.
    EXPECT_EQ(mcb_escape_text(text.data(), text.size(), out, 5), MCB_E_TOO_SMALL);
    EXPECT_EQ(std::string(out, 6), "######");
    EXPECT_EQ(mcb_escape_text(text.data(), text.size(), out, 6), 5);
    EXPECT_STREQ(out, "a\\x1B");
}

TEST(Escape, RefusesNoTextWithALength)
{
    char out[8];
    EXPECT_EQ(mcb_escape_text(nullptr, 3, out, sizeof out), MCB_E_BAD_ARGUMENT);
    EXPECT_EQ(mcb_escape_text(nullptr, 0, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(mcb_escape_text("a", 1, nullptr, 8), MCB_E_TOO_SMALL);
}

TEST(Escape, TheWorstCaseFitsTheStatedCapacity)
{
    const std::string text(100, '\x01');
    std::string out(MCB_ESCAPED_CAPACITY(text.size()), '#');
    EXPECT_EQ(mcb_escape_text(text.data(), text.size(), out.data(), out.size()),
              int(out.size() - 1));
}

} // namespace
