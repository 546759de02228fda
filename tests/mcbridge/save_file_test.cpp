// Only plain save files go onto the card: other tools' containers, files
// whose entry disagrees with their length, and things that are not regular
// files are refused before the card is touched.
#include "emulated_card.h"
#include "library.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sys/stat.h>

using namespace mcb;
using namespace mcbtest;

namespace {

// A save wrapped in another tool's container: a header starting with its
// magic text, then the entry and the data.
std::vector<uint8_t> contained(const std::vector<uint8_t>& magic, std::size_t headerSize)
{
    std::vector<uint8_t> f(headerSize, 0);
    std::copy(magic.begin(), magic.end(), f.begin());
    const auto save = makeSaveFile({.name = "wrapped", .blocks = 4});
    f.insert(f.end(), save.begin(), save.end());
    return f;
}

struct BadFile {
    std::string name;
    // Makes the file at path; the entry's count field is left as made.
    void (*make)(const std::string& path);
    int32_t error;
};

void PrintTo(const BadFile& b, std::ostream* os) { *os << b.name; }

class NotASave : public ::testing::TestWithParam<BadFile> {};

} // namespace

TEST_P(NotASave, IsRefusedBeforeTheCardIsTouched)
{
    const BadFile& b = GetParam();
    EmulatedCard card;
    TempDir dir;
    const std::string path = dir.file("bad");
    b.make(path);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    const std::vector<uint8_t> image = card.image();
    card.resetTraffic();
    EXPECT_EQ(UpLoadSaver(path.c_str()), 0);
    EXPECT_EQ(mcb_last_error(), b.error);
    EXPECT_EQ(card.traffic().transfers, 0u);
    EXPECT_EQ(card.image(), image);
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotASave,
    ::testing::Values(
        BadFile{"FirstContainer",
                [](const std::string& p) {
                    writeFile(p, contained({0x47, 0x43, 0x53, 0x41, 0x56, 0x45}, 0x110));
                },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"SecondContainer",
                [](const std::string& p) {
                    writeFile(p, contained({0x44, 0x41, 0x54, 0x45, 0x4C, 0x47, 0x43, 0x5F, 0x53,
                                            0x41, 0x56, 0x45},
                                           0x80));
                },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"ContainerHeaderPassingTheCount",
                [](const std::string& p) {
                    // Even with a count that fits the length, the magic text
                    // says what the file is.
                    auto f = contained({0x47, 0x43, 0x53, 0x41, 0x56, 0x45}, 0x110);
                    putBe16(&f[kEntryBlockCount], 4);
                    writeFile(p, f);
                },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"EntryCountsMoreThanTheFileHolds",
                [](const std::string& p) {
                    auto f = makeSaveFile({.blocks = 3});
                    f.resize(64 + 2 * 8192);
                    writeFile(p, f);
                },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"EntryCountsLessThanTheFileHolds",
                [](const std::string& p) {
                    auto f = makeSaveFile({.blocks = 2});
                    putBe16(&f[kEntryBlockCount], 1);
                    writeFile(p, f);
                },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"LongerThanTheLargestCard",
                [](const std::string& p) {
                    auto f = makeSaveFile({.blocks = 1});
                    putBe16(&f[kEntryBlockCount], uint16_t(kLargestSaveBlocks + 1));
                    f.resize(64 + std::size_t(kLargestSaveBlocks + 1) * 8192);
                    writeFile(p, f);
                },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"Directory", [](const std::string& p) { std::filesystem::create_directory(p); },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"Fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"Device",
                [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
                MCB_ERROR_NOT_A_SAVE},
        BadFile{"Missing", [](const std::string&) {}, MCB_ERROR_FILE}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return info.param.name; });

TEST(NotASave, TheSlotReplacementRefusesTheSameWay)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "wrapped", .blocks = 4}), 5);
    EmulatedCard card(image);
    TempDir dir;
    writeFile(dir.file("c.gcs"), contained({0x47, 0x43, 0x53, 0x41, 0x56, 0x45}, 0x110));
    ASSERT_TRUE(connect());
    card.resetTraffic();
    EXPECT_EQ(mcb_replace_slot(0, dir.file("c.gcs").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_A_SAVE);
    EXPECT_EQ(card.traffic().transfers, 0u);
}

TEST(NotASave, FindSaverLooksOnlyIntoRegularFiles)
{
    EmulatedCard card;
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0); // would block an ordinary open
    std::filesystem::create_directory(dir.file("folder"));
    ASSERT_TRUE(connect());
    char name[33] = {};
    for (const char* f : {"pipe", "folder"}) {
        EXPECT_EQ(FindSaver(dir.file(f).c_str(), name), 0) << f;
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_A_SAVE) << f;
    }
    EXPECT_EQ(FindSaver("/dev/zero", name), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_A_SAVE);
}
