// Writing the directory and map back: counters, checksums, and what a cut at
// any sector write leaves on the card.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace mcbtest;
using namespace mcb;

namespace {

// Two saves: A in slot 0 on blocks 5-6, B in slot 1 on blocks 7-9.
std::vector<uint8_t> baseCard()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "A", .blocks = 2}), 5);
    placeSave(image, 1, makeSaveFile({.name = "B", .blocks = 3, .seed = 2}), 7);
    return image;
}

void chain(Block& map, unsigned first, unsigned count)
{
    for (unsigned b = first; b < first + count; ++b)
        setMapEntry(map, b, b + 1 == first + count ? kMapLastEntry : uint16_t(b + 1));
}

void setEntry(Block& dir, unsigned slot, const std::vector<uint8_t>& entry)
{
    std::memcpy(&dir[slot * kEntrySize], entry.data(), kEntrySize);
}

using Change = std::function<void(Block& dir, Block& map)>;

const Change kAllocate = [](Block& dir, Block& map) {
    setEntry(dir, 2, makeEntry({.name = "C"}, 10, 2));
    chain(map, 10, 2);
};
const Change kFree = [](Block& dir, Block& map) {
    std::memset(&dir[0], 0xFF, kEntrySize);
    setMapEntry(map, 5, 0);
    setMapEntry(map, 6, 0);
};
const Change kMove = [](Block& dir, Block& map) {
    setEntry(dir, 0, makeEntry({.name = "A"}, 12, 2));
    setMapEntry(map, 5, 0);
    setMapEntry(map, 6, 0);
    chain(map, 12, 2);
};

std::vector<std::string> slotNames(const Block& dir)
{
    std::vector<std::string> names;
    for (unsigned s = 0; s < kSaveSlotCount; ++s)
        names.push_back(entryAt(dir, s).empty() ? ""
                                                : entryAt(dir, s).name() + "@" +
                                                      std::to_string(entryAt(dir, s).firstBlock()));
    return names;
}

} // namespace

TEST(Commit, AdvancesCountersAndKeepsThePreviousCardInTheOtherCopies)
{
    EmulatedCard card(baseCard());
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(InitSaverInfo(), 1);
    const uint16_t dirBefore = directoryCounter(*lib().directory);
    const uint16_t mapBefore = mapCounter(*lib().map);
    kAllocate(*lib().directory, *lib().map);
    log.clear();
    ASSERT_TRUE(CommitSystemArea());
    EXPECT_EQ(log.wparams, (std::vector<uintptr_t>{0, 0, 0, 0, 0}));

    // The new directory and map go into the copies not in use; the others
    // keep the card as it was, so that a deleted save can be found again,
    // chain and all.
    const auto& img = card.image();
    const int spare = 1 - lib().directoryCopy;
    const int spareMap = 1 - lib().mapCopy;
    EXPECT_EQ(blockOf(img, kDirectoryBlock[lib().directoryCopy]), *lib().directory);
    EXPECT_EQ(directoryCounter(blockOf(img, kDirectoryBlock[spare])), dirBefore);
    EXPECT_EQ(blockOf(img, kMapBlock[lib().mapCopy]), *lib().map);
    EXPECT_EQ(mapCounter(blockOf(img, kMapBlock[spareMap])), mapBefore);
    EXPECT_EQ(directoryCounter(*lib().directory), uint16_t(dirBefore + 1));
    EXPECT_EQ(mapCounter(*lib().map), uint16_t(mapBefore + 1));
    const CardReport r = inspectCard(img);
    EXPECT_TRUE(r.sound());
    EXPECT_EQ(r.saves.size(), 3u);
    EXPECT_EQ(r.freeBlocks, 59 - 7);

    // The buffers now match the card: a second commit needs no reload.
    std::memset(&(*lib().directory)[2 * kEntrySize], 0xFF, kEntrySize);
    setMapEntry(*lib().map, 10, 0);
    setMapEntry(*lib().map, 11, 0);
    ASSERT_TRUE(CommitSystemArea());
    EXPECT_EQ(inspectCard(card.image()).freeBlocks, 59 - 5);
    EXPECT_EQ(mapCounter(*lib().map), uint16_t(mapBefore + 2));
}

TEST(Commit, AnEmptyMapStoresEveryBlockFree)
{
    EmulatedCard card(16);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_TRUE(CommitSystemArea());
    const Block map = blockOf(card.image(), 3);
    EXPECT_EQ(getBe16(&map[kMapFree]), 251);
    EXPECT_EQ(getBe16(&map[kMapLastAllocated]), 4);
    EXPECT_TRUE(directoryIntact(blockOf(card.image(), 1)));
}

TEST(Commit, RefusesWithoutAFreshLoad)
{
    EmulatedCard card(baseCard());
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    // A new connection may be another card: the old buffers must not go on it.
    ASSERT_TRUE(connect());
    EXPECT_FALSE(CommitSystemArea());
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
}

TEST(Commit, AFailedWriteStopsItAndForcesAReload)
{
    EmulatedCard card(baseCard());
    card.faults.cutAt = {Place::Kind::System, 0, 20};
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    kAllocate(*lib().directory, *lib().map);
    EXPECT_FALSE(CommitSystemArea());
    EXPECT_FALSE(lib().loaded);
    EXPECT_FALSE(CommitSystemArea());
}

// Whatever sector write is the last to reach the card, each structure keeps
// an intact copy, and no entry of the directory in use points at blocks the
// map in use calls free. The directory in use is the old one or the new one.
TEST(Commit, SurvivesACutAtEverySectorWrite)
{
    for (const auto& [label, change] :
         {std::pair{"allocate", kAllocate}, std::pair{"free", kFree}, std::pair{"move", kMove}}) {
        uint64_t total = 0;
        std::vector<std::string> before, after;
        {
            EmulatedCard card(baseCard());
            ASSERT_TRUE(connect());
            ASSERT_EQ(InitSaverInfo(), 1);
            before = slotNames(*lib().directory);
            change(*lib().directory, *lib().map);
            after = slotNames(*lib().directory);
            card.resetTraffic();
            ASSERT_TRUE(CommitSystemArea());
            total = card.traffic().sectorWrites;
        }
        ASSERT_GE(total, 32u) << label;
        for (uint64_t n = 0; n <= total; ++n) {
            EmulatedCard card(baseCard());
            card.faults.cutAfterSectorWrites = n;
            ASSERT_TRUE(connect());
            ASSERT_EQ(InitSaverInfo(), 1);
            change(*lib().directory, *lib().map);
            const bool done = CommitSystemArea();
            EXPECT_EQ(done, n == 0 || n >= total) << label << " cut after " << n;

            const CardReport r = inspectCard(card.image());
            ASSERT_TRUE(r.sound()) << label << " cut after " << n << ": " << r.problems[0];
            Block dir, map;
            ASSERT_TRUE(currentStructures(card.image(), dir, map));
            const auto names = slotNames(dir);
            EXPECT_TRUE(names == before || names == after) << label << " cut after " << n;
            if (n == 0 || n >= total) {
                EXPECT_EQ(names, after);
            }
        }
    }
}
