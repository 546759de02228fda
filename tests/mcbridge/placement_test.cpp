// Where a new save may go: never into a block that a save's entry or chain
// uses, in either intact copy of the map, even when the copy the card uses
// calls it free; and into blocks only the other copy marks used (a deleted
// save's, still recoverable) only when nothing else is free.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace mcb;
using namespace mcbtest;

namespace {

// The map copy the card does not use.
int spareMapCopy(const std::vector<uint8_t>& image)
{
    const auto counter = [&](int c) {
        Block m;
        std::copy_n(image.begin() + std::ptrdiff_t(kMapBlock[c] * kBlockSize), kBlockSize,
                    m.begin());
        return mapCounter(m);
    };
    return 1 - currentCopy(counter(0), counter(1));
}

struct PlacementCase {
    std::string name;
    void (*damage)(std::vector<uint8_t>& image);
    unsigned blocks;     // of the new save
    unsigned expectAt;   // its first block; 0: refused for want of room
    unsigned expectFree; // what mcb_space says when refused
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class Placement : public ::testing::TestWithParam<PlacementCase> {};

// Blocks 5-6 used in the spare copy only, intact.
void spareCopyMarksUsed(std::vector<uint8_t>& image)
{
    const int spare = spareMapCopy(image);
    setMapEntryOnCard(image, 5, 6, spare);
    setMapEntryOnCard(image, 6, 0xFFFF, spare);
}

void spareCopyMarksUsedButIsDamaged(std::vector<uint8_t>& image)
{
    spareCopyMarksUsed(image);
    image[kMapBlock[spareMapCopy(image)] * kBlockSize + 0x100] ^= 0x01; // checksum fails
}

// A save at 5-7 whose chain breaks after its first block: the map calls 6
// and 7 free, the entry says they are the save's.
void chainBrokenAfterFirstBlock(std::vector<uint8_t>& image)
{
    placeSave(image, 0, makeSaveFile({.name = "broken", .blocks = 3}), 5);
    setMapEntryOnCard(image, 6, 0);
    setMapEntryOnCard(image, 7, 0);
}

// A save out of order at 7, 5, 9: the gaps at 6 and 8 are one block each.
void chainThroughScatteredBlocks(std::vector<uint8_t>& image)
{
    placeChainedSave(image, 0, makeSaveFile({.name = "spread", .blocks = 3}), {7, 5, 9});
}

// A save chained 9, 5, 12 whose chain the copy in use lost after its first
// block: only the spare copy still knows that 5 and 12 are its.
void spareCopyHoldsAChain(std::vector<uint8_t>& image)
{
    placeChainedSave(image, 0, makeSaveFile({.name = "split", .blocks = 3}), {9, 5, 12});
    const int current = 1 - spareMapCopy(image);
    setMapEntryOnCard(image, 9, 0xFFFF, current);
    setMapEntryOnCard(image, 5, 0, current);
    setMapEntryOnCard(image, 12, 0, current);
}

void nothing(std::vector<uint8_t>&) {}

} // namespace

TEST_P(Placement, AvoidsEveryBlockInUse)
{
    const PlacementCase& c = GetParam();
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    c.damage(image);
    EmulatedCard card(image);
    TempDir dir;
    const auto f = makeSaveFile({.name = "new", .blocks = c.blocks, .seed = 4});
    writeFile(dir.file("n.gci"), f);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    if (c.expectAt == 0) {
        EXPECT_EQ(UpLoadSaver(dir.file("n.gci").c_str()), 0);
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_ROOM);
        uint32_t needed = 0, free = 0;
        ASSERT_EQ(mcb_space(&needed, &free), 1);
        EXPECT_EQ(needed, c.blocks);
        EXPECT_EQ(free, c.expectFree);
        EXPECT_EQ(card.image(), image);
        return;
    }
    card.resetTraffic();
    const int32_t result = UpLoadSaver(dir.file("n.gci").c_str());
    // Whatever else happens, no block in use is written.
    for (unsigned sector : card.traffic().writtenSectors) {
        const unsigned block = sector / kSectorsPerBlock;
        EXPECT_TRUE(block < kSystemBlocks || (block >= c.expectAt && block < c.expectAt + c.blocks))
            << "block " << block;
    }
    // A card whose map has lost a save's blocks may be refused at the commit
    // as needing repair; placed, the save must be where it belongs.
    if (result == 0) {
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_DAMAGED);
        return;
    }
    bool found = false;
    for (const SaveInfo& s : inspectCard(card.image()).saves) {
        if (s.name != "new")
            continue;
        found = true;
        EXPECT_EQ(s.firstBlock, c.expectAt);
        EXPECT_EQ(blocksOf(card.image(), s.firstBlock, c.blocks),
                  std::vector<uint8_t>(f.begin() + kEntrySize, f.end()));
    }
    EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(
    Cards, Placement,
    ::testing::Values(
        PlacementCase{"EmptyCard", nothing, 2, 5, 0},
        PlacementCase{"SpareMapCopyMarksUsed", spareCopyMarksUsed, 2, 7, 0},
        PlacementCase{"SpareMapCopyDamaged", spareCopyMarksUsedButIsDamaged, 2, 5, 0},
        PlacementCase{"SpareMapCopyYieldsWhenRoomIsShort", spareCopyMarksUsed, 58, 5, 0},
        PlacementCase{"NoRoomEvenWithTheSpareCopysBlocks", spareCopyMarksUsed, 60, 0, 59},
        // 59 less the entry's run 9-11 and the spare copy's 5 and 12.
        PlacementCase{"SpareCopyKeepsABrokenSavesChain", spareCopyHoldsAChain, 55, 0, 54},
        PlacementCase{"BrokenChainKeepsItsEntrysRun", chainBrokenAfterFirstBlock, 3, 8, 0},
        PlacementCase{"ScatteredChain", chainThroughScatteredBlocks, 2, 10, 0}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return info.param.name; });
