// Saves whose blocks are out of order, as a console leaves them after
// deletes: read, pictured, replaced and deleted through their chains, and new
// saves placed in scattered free blocks.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/banner_encode.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

using namespace mcb;
using namespace mcbtest;

namespace {

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& saveFile)
{
    return {saveFile.begin() + kEntrySize, saveFile.end()};
}

// A banner that straddles the save's first and second blocks, so that a
// picture read by first block and count would take the wrong bytes.
std::vector<uint8_t> picturedSave()
{
    SaveSpec spec{.name = "scattered", .blocks = 4, .seed = 2, .pictureOffset = 8192 - 1000};
    std::vector<uint8_t> f = makeSaveFile(spec);
    Banner b;
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = uint16_t(i * 37 & 0x7FFF);
    const auto picture = encodeBanner(b, spec.bannerFormat);
    std::copy(picture.begin(), picture.end(), f.begin() + kEntrySize + spec.pictureOffset);
    return f;
}

const std::vector<unsigned> kLeftBlocks{9, 6};
const std::vector<unsigned> kScatteredBlocks{30, 7, 18, 12};

struct Card {
    std::vector<uint8_t> left = makeSaveFile({.name = "left", .blocks = 2, .seed = 1});
    std::vector<uint8_t> scattered = picturedSave();
    std::vector<uint8_t> right = makeSaveFile({.name = "right", .blocks = 2, .seed = 3});
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    Card()
    {
        placeChainedSave(image, 0, left, kLeftBlocks);
        placeChainedSave(image, 1, scattered, kScatteredBlocks);
        placeSave(image, 2, right, 20);
    }
};

std::vector<uint16_t> mapEntries(const std::vector<uint8_t>& image,
                                 const std::vector<unsigned>& blocks)
{
    Block dir, map;
    EXPECT_TRUE(currentStructures(image, dir, map));
    std::vector<uint16_t> out;
    for (unsigned b : blocks)
        out.push_back(mapEntry(map, b));
    return out;
}

int32_t upload(const std::string& path)
{
    if (!connect() || !InitSaverInfo())
        return 0;
    return UpLoadSaver(path.c_str());
}

} // namespace

TEST(ChainedSaves, AreReadAndPicturedInChainOrder)
{
    const Card c;
    EmulatedCard card(c.image);
    TempDir dir;
    ASSERT_TRUE(inspectCard(c.image).sound()) << inspectCard(c.image).problems[0];
    ASSERT_TRUE(connect());
    ASSERT_EQ(DownLoadSaver("scattered", "GTSE01", dir.file("s.gci").c_str()), 1);
    ASSERT_EQ(mcb_download_slot(0, dir.file("l.gci").c_str()), 1);
    const auto s = readFile(dir.file("s.gci"));
    EXPECT_EQ(dataOf(s), dataOf(c.scattered));
    EXPECT_EQ(getBe16(&s[kEntryFirstBlock]), 30);
    EXPECT_EQ(dataOf(readFile(dir.file("l.gci"))), dataOf(c.left));

    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_EQ(GetSaverPIC(1, dir.file("icon.bmp").c_str()), 1);
    ASSERT_EQ(GetBitmap(c.scattered.data(), dir.file("picture.bmp").c_str()), 1);
    EXPECT_EQ(readFile(dir.file("icon.bmp")), readFile(dir.file("picture.bmp")));
}

TEST(ChainedSaves, DeleteFreesExactlyTheChainAndTheNextUploadSparesTheNeighbours)
{
    const Card c;
    EmulatedCard card(c.image);
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(DeleteSaver("scattered", "GTSE01"), 1);
    EXPECT_EQ(mapEntries(card.image(), kScatteredBlocks), (std::vector<uint16_t>{0, 0, 0, 0}));
    EXPECT_EQ(mapEntries(card.image(), kLeftBlocks), (std::vector<uint16_t>{6, 0xFFFF}));
    EXPECT_EQ(inspectCard(card.image()).freeBlocks, 59 - 4);

    // Five blocks: the lowest run that fits beside the freed blocks, which
    // stay recoverable while there is room elsewhere, is 13-17.
    const auto next = makeSaveFile({.name = "next", .blocks = 5, .seed = 9});
    writeFile(dir.file("n.gci"), next);
    ASSERT_EQ(upload(dir.file("n.gci")), 1);
    const CardReport r = inspectCard(card.image());
    ASSERT_TRUE(r.sound()) << r.problems[0];
    EXPECT_EQ(r.saves[1].name, "next");
    EXPECT_EQ(r.saves[1].firstBlock, 13u);
    EXPECT_EQ(blocksOf(card.image(), 13, 5), dataOf(next));
    EXPECT_EQ(blocksOf(card.image(), kLeftBlocks), dataOf(c.left));
    EXPECT_EQ(blocksOf(card.image(), 20, 2), dataOf(c.right));
}

TEST(ChainedSaves, ReplacementGoesToFreeBlocksAndFreesTheOldChain)
{
    for (bool bySlot : {false, true}) {
        const Card c;
        EmulatedCard card(c.image);
        TempDir dir;
        const auto f = makeSaveFile({.name = "scattered", .blocks = 3, .seed = 7});
        writeFile(dir.file("s.gci"), f);
        if (bySlot) {
            ASSERT_TRUE(connect());
            ASSERT_EQ(mcb_replace_slot(1, dir.file("s.gci").c_str()), 1);
        } else {
            ASSERT_EQ(upload(dir.file("s.gci")), 1);
        }
        const CardReport r = inspectCard(card.image());
        ASSERT_TRUE(r.sound()) << r.problems[0];
        ASSERT_EQ(r.saves.size(), 3u);
        // Not over the old save: the lowest free run, 13-15.
        EXPECT_EQ(r.saves[1].firstBlock, 13u) << bySlot;
        EXPECT_EQ(blocksOf(card.image(), 13, 3), dataOf(f));
        EXPECT_EQ(mapEntries(card.image(), {30, 7, 18}), (std::vector<uint16_t>{0, 0, 0}));
        EXPECT_EQ(blocksOf(card.image(), kLeftBlocks), dataOf(c.left));
        EXPECT_EQ(blocksOf(card.image(), 20, 2), dataOf(c.right));
        EXPECT_EQ(r.freeBlocks, 59 - 7);
    }
}

TEST(ChainedSaves, ASaveGoesIntoScatteredBlocksWhenNoRunFits)
{
    // Free: 8, 15 and 40 only.
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "a", .blocks = 3}), 5);
    placeSave(image, 1, makeSaveFile({.name = "b", .blocks = 6}), 9);
    placeSave(image, 2, makeSaveFile({.name = "c", .blocks = 24}), 16);
    placeSave(image, 3, makeSaveFile({.name = "d", .blocks = 23}), 41);
    EmulatedCard card(image);
    TempDir dir;
    const auto f = makeSaveFile({.name = "spread", .blocks = 3, .seed = 5});
    writeFile(dir.file("s.gci"), f);
    writeFile(dir.file("t.gci"), makeSaveFile({.name = "too big", .blocks = 4}));

    card.resetTraffic();
    ASSERT_EQ(upload(dir.file("t.gci")), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_ROOM);
    uint32_t needed = 0, free = 0;
    ASSERT_EQ(mcb_space(&needed, &free), 1);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(free, 3u);
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);

    ASSERT_EQ(upload(dir.file("s.gci")), 1);
    const CardReport r = inspectCard(card.image());
    ASSERT_TRUE(r.sound()) << r.problems[0];
    EXPECT_EQ(r.freeBlocks, 0);
    EXPECT_EQ(r.saves[4].firstBlock, 8u);
    EXPECT_EQ(mapEntries(card.image(), {8, 15, 40}), (std::vector<uint16_t>{15, 40, 0xFFFF}));
    EXPECT_EQ(blocksOf(card.image(), {8, 15, 40}), dataOf(f));
    ASSERT_EQ(DownLoadSaver("spread", "GTSE01", dir.file("back.gci").c_str()), 1);
    EXPECT_EQ(dataOf(readFile(dir.file("back.gci"))), dataOf(f));
}
