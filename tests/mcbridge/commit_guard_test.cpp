// What a commit refuses to write, what it repairs first, and what two cuts
// in a row leave on the card.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/chain.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace mcb;
using namespace mcbtest;

namespace {

void putBlock(std::vector<uint8_t>& image, unsigned block, const Block& b)
{
    std::memcpy(&image[block * kBlockSize], b.data(), kBlockSize);
}

// A in slot 0 on blocks 5-6, B in slot 1 on blocks 7-9.
std::vector<uint8_t> twoSaves()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "A", .blocks = 2}), 5);
    placeSave(image, 1, makeSaveFile({.name = "B", .blocks = 3, .seed = 2}), 7);
    return image;
}

void link(Block& map, std::initializer_list<unsigned> blocks)
{
    const std::vector<unsigned> b(blocks);
    for (std::size_t i = 0; i < b.size(); ++i)
        setMapEntry(map, b[i], i + 1 == b.size() ? kMapLastEntry : uint16_t(b[i + 1]));
}

void setEntry(Block& dir, unsigned slot, const std::vector<uint8_t>& entry)
{
    std::memcpy(&dir[slot * kEntrySize], entry.data(), kEntrySize);
}

unsigned intactCopies(const std::vector<uint8_t>& image)
{
    unsigned n = 0;
    for (int c = 0; c < 2; ++c) {
        n += directoryIntact(blockOf(image, kDirectoryBlock[c]));
        n += mapIntact(blockOf(image, kMapBlock[c]));
    }
    return n;
}

using Change = std::function<void(Block& dir, Block& map)>;

struct GuardCase {
    const char* name;
    Change change;
};

class CommitGuard : public testing::TestWithParam<GuardCase> {};

} // namespace

// Whatever the caller put in the buffers, a directory and map that disagree
// never reach the card: nothing at all is written.
TEST_P(CommitGuard, RefusesADirectoryAndMapThatDisagree)
{
    const auto image = twoSaves();
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    GetParam().change(*lib().directory, *lib().map);
    card.resetTraffic();
    lib().lastError = MCB_SUCCESS;
    EXPECT_FALSE(CommitSystemArea());
    EXPECT_EQ(lib().lastError, MCB_ERROR_DAMAGED);
    EXPECT_FALSE(lib().loaded);
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);
    EXPECT_EQ(card.image(), image);
}

INSTANTIATE_TEST_SUITE_P(
    Disagreements, CommitGuard,
    testing::Values(
        GuardCase{"SaveBlocksMarkedFree", [](Block&, Block& map) { setMapEntry(map, 6, 0); }},
        GuardCase{"ChainThroughAnotherSave",
                  [](Block&, Block& map) {
                      link(map, {5, 8, 9});
                  }},
        GuardCase{"NewEntryOnUsedBlocks",
                  [](Block& dir, Block&) { setEntry(dir, 2, makeEntry({.name = "C"}, 7, 3)); }},
        GuardCase{"NewEntryOnFreeBlocks",
                  [](Block& dir, Block&) { setEntry(dir, 2, makeEntry({.name = "C"}, 20, 2)); }},
        GuardCase{"CountLongerThanChain",
                  [](Block& dir, Block&) { setEntry(dir, 1, makeEntry({.name = "B"}, 7, 4)); }},
        GuardCase{"ChainLeavesTheCard", [](Block&, Block& map) { setMapEntry(map, 9, 70); }},
        GuardCase{"ChainLoops", [](Block&, Block& map) { setMapEntry(map, 9, 7); }}),
    [](const testing::TestParamInfo<GuardCase>& info) { return std::string(info.param.name); });

TEST(CommitGuard, SavesChainedOutOfOrderStillCommit)
{
    // As a console leaves them after deletes: B's blocks run 12, 7, 10.
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "A", .blocks = 2}), 5);
    for (int c = 0; c < 2; ++c) {
        Block dir = blockOf(image, kDirectoryBlock[c]);
        Block map = blockOf(image, kMapBlock[c]);
        setEntry(dir, 1, makeEntry({.name = "B"}, 12, 3));
        link(map, {12, 7, 10});
        refreshMapHeader(map, 59);
        putBe16(&map[kMapCounter], uint16_t(c));
        sealMap(map);
        sealDirectory(dir);
        putBlock(image, kDirectoryBlock[c], dir);
        putBlock(image, kMapBlock[c], map);
    }
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    setEntry(*lib().directory, 2, makeEntry({.name = "C"}, 8, 2));
    link(*lib().map, {8, 9});
    ASSERT_TRUE(CommitSystemArea());
    EXPECT_EQ(intactCopies(card.image()), 4u);
    Block dir, map;
    ASSERT_TRUE(currentStructures(card.image(), dir, map));
    const CardChains chains = followChains(dir, map, saveAreaFor(59));
    EXPECT_TRUE(chains.agree());
    EXPECT_EQ(chains.chains[1].blocks, (std::vector<uint16_t>{12, 7, 10}));
    EXPECT_EQ(chains.chains[2].blocks, (std::vector<uint16_t>{8, 9}));
}

// Map copy 2 is newer and its checksum holds, but it calls A's blocks free;
// copy 1 agrees with the directory. An upload must not spread copy 2.
TEST(CommitGuard, ANewerMapThatDisagreesIsNeverCopiedIntoBothCopies)
{
    auto image = twoSaves();
    Block newer = blockOf(image, kMapBlock[1]);
    setMapEntry(newer, 5, 0);
    setMapEntry(newer, 6, 0);
    putBe16(&newer[kMapCounter], uint16_t(mapCounter(newer) + 5));
    refreshMapHeader(newer, 59);
    putBlock(image, kMapBlock[1], newer);
    const Block older = blockOf(image, kMapBlock[0]);

    EmulatedCard card(image);
    TempDir dir;
    writeFile(dir.file("c.gci"), makeSaveFile({.name = "C", .blocks = 2, .seed = 7}));
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_TRUE(lib().mapOtherIntact);
    EXPECT_EQ(lib().mapOther, older);
    EXPECT_EQ(UpLoadSaver(dir.file("c.gci").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_DAMAGED);
    EXPECT_EQ(blockOf(card.image(), kMapBlock[0]), older);
    EXPECT_EQ(blockOf(card.image(), kMapBlock[1]), newer);
}

namespace {

struct RepairCase {
    const char* name;
    unsigned brokenBlock;    // erased before the commit
    uint16_t mapCounters[2]; // of map copies 1 and 2
};

class CommitRepair : public testing::TestWithParam<RepairCase> {};

} // namespace

// A copy a cut left erased is rewritten from the intact one before anything
// else, whatever the update counters say (the wrap from 0xFFFF to 0
// included), and the commit then leaves all four copies whole.
TEST_P(CommitRepair, RewritesTheBrokenCopyFirst)
{
    const RepairCase& c = GetParam();
    auto image = twoSaves();
    for (int copy = 0; copy < 2; ++copy) {
        Block map = blockOf(image, kMapBlock[copy]);
        putBe16(&map[kMapCounter], c.mapCounters[copy]);
        sealMap(map);
        putBlock(image, kMapBlock[copy], map);
    }
    std::memset(&image[c.brokenBlock * kBlockSize], 0xFF, kBlockSize);
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    const bool mapBroken = c.brokenBlock >= kMapBlock[0];
    EXPECT_EQ(lib().mapOtherIntact, !mapBroken);
    setEntry(*lib().directory, 2, makeEntry({.name = "C"}, 10, 2));
    link(*lib().map, {10, 11});
    card.resetTraffic();
    ASSERT_TRUE(CommitSystemArea());
    const auto& written = card.traffic().writtenSectors;
    ASSERT_GE(written.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(written[i] / kSectorsPerBlock, c.brokenBlock) << i;
    EXPECT_EQ(intactCopies(card.image()), 4u);
    const CardReport r = inspectCard(card.image());
    EXPECT_TRUE(r.sound()) << r.problems[0];
    EXPECT_EQ(r.saves.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Copies, CommitRepair,
    testing::Values(RepairCase{"DirectoryCopy1", kDirectoryBlock[0], {0, 1}},
                    RepairCase{"DirectoryCopy2", kDirectoryBlock[1], {0, 1}},
                    RepairCase{"MapCopy1", kMapBlock[0], {0, 1}},
                    RepairCase{"MapCopy2", kMapBlock[1], {0, 1}},
                    RepairCase{"MapCopy1AtTheWrap", kMapBlock[0], {0xFFFF, 0}},
                    RepairCase{"MapCopy2AtTheWrap", kMapBlock[1], {0xFFFF, 0}},
                    RepairCase{"MapCopy2BeforeTheWrap", kMapBlock[1], {0, 0xFFFF}}),
    [](const testing::TestParamInfo<RepairCase>& info) { return std::string(info.param.name); });

namespace {

std::vector<std::string> slotNames(const Block& dir)
{
    std::vector<std::string> names;
    for (unsigned s = 0; s < kSaveSlotCount; ++s)
        names.push_back(entryAt(dir, s).empty() ? ""
                                                : entryAt(dir, s).name() + "@" +
                                                      std::to_string(entryAt(dir, s).firstBlock()));
    return names;
}

const Change kAllocate = [](Block& dir, Block& map) {
    setEntry(dir, 2, makeEntry({.name = "C"}, 10, 2));
    link(map, {10, 11});
};
const Change kFree = [](Block& dir, Block& map) {
    std::memset(&dir[0], 0xFF, kEntrySize);
    setMapEntry(map, 5, 0);
    setMapEntry(map, 6, 0);
};
const Change kMoveB = [](Block& dir, Block& map) {
    setEntry(dir, 1, makeEntry({.name = "B", .seed = 2}, 13, 3));
    for (unsigned b : {7, 8, 9})
        setMapEntry(map, b, 0);
    link(map, {13, 14, 15});
};

struct PairCase {
    const char* name;
    Change first;
    Change second;
};

class TwoCuts : public testing::TestWithParam<PairCase> {};

// Commits the change on the card image as loaded; the count of sectors it
// wrote (cut: the link drops after that many). The card is reused: its
// image is overwritten in place, thousands of times.
uint64_t commitOn(EmulatedCard& card, const std::vector<uint8_t>& image, const Change& change,
                  uint64_t cut, std::vector<std::string>* loaded = nullptr,
                  std::vector<std::string>* changed = nullptr)
{
    card.image() = image;
    card.resetTraffic(false);
    card.faults.cutAfterSectorWrites = cut;
    if (!connect() || !InitSaverInfo())
        return 0;
    if (loaded)
        *loaded = slotNames(*lib().directory);
    change(*lib().directory, *lib().map);
    if (changed)
        *changed = slotNames(*lib().directory);
    CommitSystemArea();
    return card.traffic().sectorWrites;
}

} // namespace

// A cut at every sector write of one commit, then at every sector write of
// the next: after each pair at most one of the four copies is bad, the card
// loads, and its saves are as the second commit found them or as it left
// them.
TEST_P(TwoCuts, EveryPairOfCutPointsLeavesACardThatLoads)
{
    const PairCase& p = GetParam();
    const auto base = twoSaves();
    EmulatedCard card(base);
    const uint64_t firstTotal = commitOn(card, base, p.first, 0);
    ASSERT_GE(firstTotal, 32u);
    unsigned pairs = 0;
    for (uint64_t n1 = 1; n1 <= firstTotal; ++n1) {
        commitOn(card, base, p.first, n1);
        const std::vector<uint8_t> afterFirst = card.image();
        ASSERT_GE(intactCopies(afterFirst), 3u) << "first cut " << n1;
        const uint64_t secondTotal = commitOn(card, afterFirst, p.second, 0);
        ASSERT_GE(secondTotal, 32u) << "first cut " << n1;
        for (uint64_t n2 = 1; n2 <= secondTotal; ++n2, ++pairs) {
            std::vector<std::string> loaded, changed;
            commitOn(card, afterFirst, p.second, n2, &loaded, &changed);
            const auto& img = card.image();
            ASSERT_GE(intactCopies(img), 3u) << "cuts " << n1 << ", " << n2;
            Block dir, map;
            ASSERT_TRUE(currentStructures(img, dir, map)) << "cuts " << n1 << ", " << n2;
            const auto names = slotNames(dir);
            ASSERT_TRUE(names == loaded || names == changed) << "cuts " << n1 << ", " << n2;
            ASSERT_TRUE(followChains(dir, map, saveAreaFor(59)).agree())
                << "cuts " << n1 << ", " << n2;
        }
    }
    std::printf("two cuts %-16s %u pairs, all passed\n", p.name, pairs);
}

INSTANTIATE_TEST_SUITE_P(Commits, TwoCuts,
                         testing::Values(PairCase{"AllocateThenFree", kAllocate, kFree},
                                         PairCase{"MoveThenAllocate", kMoveB, kAllocate}),
                         [](const testing::TestParamInfo<PairCase>& info) {
                             return std::string(info.param.name);
                         });
