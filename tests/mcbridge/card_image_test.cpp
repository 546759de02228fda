// Whole-card images: backing a card up into a file and restoring one.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace mcb;
using namespace mcbtest;

TEST(CardImage, ABackupHoldsEverySectorInOrder)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "a", .blocks = 4}), 5);
    EmulatedCard card(image);
    TempDir dir;
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(ReadCardToFile(dir.file("card.gcp").c_str()), 1);
    EXPECT_EQ(readFile(dir.file("card.gcp")), image);
    EXPECT_EQ(log.counts(), (std::vector<uintptr_t>{1024}));
    EXPECT_EQ(log.steps(), 64u);
}

TEST(CardImage, AFailedBackupKeepsTheOlderFile)
{
    EmulatedCard card(8);
    TempDir dir;
    writeFile(dir.file("card.gcp"), {9, 9});
    card.faults.shortReadAt = {Place::Kind::Block, 43, 12}; // well inside the card
    ASSERT_TRUE(connect());
    EXPECT_EQ(ReadCardToFile(dir.file("card.gcp").c_str()), 0);
    EXPECT_EQ(readFile(dir.file("card.gcp")), (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(CardImage, ARestoreWritesTheWholeCardAndNamesItsSize)
{
    std::vector<uint8_t> source = formatCard(FormatOptions{16});
    placeSave(source, 0, makeSaveFile({.name = "kept", .blocks = 7}), 20);
    source[0x23] = 4; // an image that claims to be of another card
    EmulatedCard card(16);
    TempDir dir;
    writeFile(dir.file("in.gcp"), source);
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    card.resetTraffic();
    ASSERT_EQ(WriteFileToCard(dir.file("in.gcp").c_str()), 1);
    EXPECT_EQ(card.image()[0x23], 16);
    const CardReport r = inspectCard(card.image());
    EXPECT_TRUE(r.sound()) << r.problems[0];
    ASSERT_EQ(r.saves.size(), 1u);
    EXPECT_EQ(blocksOf(card.image(), 20, 7), blocksOf(source, 20, 7));
    EXPECT_EQ(card.traffic().erases, 256u);
    // Writing, then reading back: each with its count and a step a block.
    EXPECT_EQ(log.counts(), (std::vector<uintptr_t>{4096, 4096}));
    EXPECT_EQ(log.steps(), 512u);
    // The card's header, read for its identity, and then the read-back;
    // and the header looked at again to tell it is still the card: before
    // each save block (251), before each sector of the directory and map
    // blocks and their erases (4 x 17), of the header block past its first
    // sector and its erase (16), and once at the end.
    EXPECT_EQ(card.traffic().sectorReads, 1u + 4096u + 251u + 68u + 16u + 1u);
    // Each block was erased before its first sector went out.
    std::vector<bool> erased(256, false);
    for (const auto& p : card.traffic().packetLog) {
        const unsigned arg = p[2] | p[3] << 8;
        if (p[0] == 0x37)
            erased[arg / 16] = true;
        if (p[0] == 0xBC) {
            ASSERT_TRUE(erased[arg / 16]) << arg;
        }
    }
}

TEST(CardImage, ARestoreRefusesImagesThatDoNotFitTheCard)
{
    EmulatedCard card(4);
    const auto before = card.image();
    TempDir dir;
    std::vector<uint8_t> good = formatCard(FormatOptions{4});
    auto shortImage = good;
    shortImage.resize(good.size() - 512);
    auto longImage = good;
    longImage.resize(good.size() + 1);
    auto broken = good;
    for (int c = 0; c < 2; ++c)
        broken[kDirectoryBlock[c] * kBlockSize + 7] = 0;
    writeFile(dir.file("short.gcp"), shortImage);
    writeFile(dir.file("long.gcp"), longImage);
    writeFile(dir.file("big.gcp"), formatCard(FormatOptions{8}));
    writeFile(dir.file("broken.gcp"), broken);
    ASSERT_TRUE(connect());
    for (const char* f : {"short.gcp", "long.gcp", "big.gcp", "broken.gcp", "missing.gcp"}) {
        card.resetTraffic();
        EXPECT_EQ(WriteFileToCard(dir.file(f).c_str()), 0) << f;
        EXPECT_EQ(card.traffic().erases + card.traffic().sectorWrites, 0u) << f;
    }
    EXPECT_EQ(card.image(), before);
}

TEST(CardImage, ARestoreCutShortSaysSo)
{
    EmulatedCard card(4);
    TempDir dir;
    std::vector<uint8_t> source = formatCard(FormatOptions{4});
    placeSave(source, 0, makeSaveFile({.name = "x", .blocks = 30}), 5);
    writeFile(dir.file("in.gcp"), source);
    card.faults.cutAt = {Place::Kind::Block, 20, 4}; // inside the save's blocks
    ASSERT_TRUE(connect());
    EXPECT_EQ(WriteFileToCard(dir.file("in.gcp").c_str()), 0);
    EXPECT_NE(card.image(), source);
}

TEST(CardImage, NothingWithoutAKnownCardSize)
{
    EmulatedCard card(4);
    card.faults.failRead = 1;
    TempDir dir;
    ASSERT_FALSE(connect());
    EXPECT_EQ(ReadCardToFile(dir.file("c.gcp").c_str()), 0);
    writeFile(dir.file("in.gcp"), formatCard(FormatOptions{4}));
    EXPECT_EQ(WriteFileToCard(dir.file("in.gcp").c_str()), 0);
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
}
