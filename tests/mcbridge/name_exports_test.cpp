// The exports a program uses for save names: a save's text decoded in the
// encoding its code implies, and the names emulators give files in a folder.
#include "mcbridge.h"
#include "mcbridge/folder_names.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct TextCase {
    const char* name;
    std::string raw;
    const char* code;
    std::string utf8;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class SaveText : public ::testing::TestWithParam<TextCase> {};

} // namespace

TEST_P(SaveText, DecodesByTheCodesMarketUpToTheFirstNul)
{
    const TextCase& c = GetParam();
    char out[128];
    size_t length = 0;
    const int n = mcb_save_text(c.raw.data(), c.raw.size(), c.code, out, sizeof out, &length);
    ASSERT_EQ(n, int(c.utf8.size()));
    EXPECT_EQ(std::string(out, size_t(n)), c.utf8);
    EXPECT_EQ(out[n], '\0');
    EXPECT_EQ(length, c.utf8.size() + 1);
    // One byte short of the terminator: refused, nothing written, the
    // capacity it needs told.
    std::vector<char> small(c.utf8.size(), 'z');
    length = 0;
    EXPECT_EQ(
        mcb_save_text(c.raw.data(), c.raw.size(), c.code, small.data(), small.size(), &length),
        MCB_E_TOO_SMALL);
    EXPECT_EQ(length, c.utf8.size() + 1);
    EXPECT_EQ(std::string(small.begin(), small.end()), std::string(c.utf8.size(), 'z'));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveText,
    ::testing::Values(TextCase{"Ascii", "Mario", "GMSE01", "Mario"},
                      TextCase{"StopsAtTheNul", std::string("ab\0cd", 5), "GMSE01", "ab"},
                      TextCase{"Windows1252ForAnAmericanCode", "caf\xE9", "GMSE01", "caf\xC3\xA9"},
                      TextCase{"ShiftJisForAJapaneseCode", "\x83\x5A", "GMSJ01", "\xE3\x82\xBB"},
                      TextCase{"EmptyName", "", "GMSE01", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FolderNames, AreTheEmulatorsNamesOnePerSaveAndNeverATakenOne)
{
    std::vector<std::array<uint8_t, MCB_ENTRY_SIZE>> entries(3);
    const std::vector<mcbtest::SaveSpec> specs{
        {.code = "GAAE01", .name = "same"}, {.code = "GAAE01", .name = "SAME"}, {.name = "x/y"}};
    std::vector<uint8_t> joined;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const auto entry = mcbtest::makeEntry(specs[i], 5, 1);
        std::memcpy(entries[i].data(), entry.data(), MCB_ENTRY_SIZE);
        joined.insert(joined.end(), entry.begin(), entry.begin() + MCB_ENTRY_SIZE);
    }
    const std::string taken("01-GAAE-same.gci\0other\0", 23);
    const std::vector<std::string> expected =
        mcb::folderNamesFor(entries, mcb::SaveFormat::Gci, {"01-GAAE-same.gci", "other"});
    std::string all;
    for (const std::string& n : expected)
        all += n + '\0';
    size_t length = 0;
    EXPECT_EQ(mcb_folder_names(joined.data(), 3, MCB_SAVE_GCI, taken.data(), taken.size(), nullptr,
                               0, &length),
              MCB_E_TOO_SMALL);
    ASSERT_EQ(length, all.size());
    std::vector<char> out(length);
    ASSERT_EQ(mcb_folder_names(joined.data(), 3, MCB_SAVE_GCI, taken.data(), taken.size(),
                               out.data(), out.size(), &length),
              3);
    EXPECT_EQ(std::string(out.begin(), out.end()), all);
    // The taken name and the one differing only in case both moved on.
    EXPECT_NE(expected[0], "01-GAAE-same.gci");
    EXPECT_EQ(mcb_folder_names(joined.data(), 3, 0, nullptr, 0, out.data(), out.size(), &length),
              MCB_E_BAD_ARGUMENT);
    // No saves, no names: nothing to give fits even no buffer.
    EXPECT_EQ(mcb_folder_names(joined.data(), 0, MCB_SAVE_GCI, nullptr, 0, nullptr, 0, &length), 0);
    EXPECT_EQ(length, 0u);
}
