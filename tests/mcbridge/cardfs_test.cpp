// Checksums, copy choice, map header refresh and the formatter.
#include "cardfs.h"
#include "format.h"
#include "inspect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace mcb;

TEST(Checksum, ErasedDirectoryWithCounterZeroIsF003Over0000)
{
    Block dir;
    dir.fill(0xFF);
    putBe16(&dir[kDirCounter], 0);
    sealDirectory(dir);
    EXPECT_EQ(getBe16(&dir[kDirChecksum]), 0xF003);
    EXPECT_EQ(getBe16(&dir[kDirInverse]), 0x0000); // 0xFFFF is stored as 0
    EXPECT_TRUE(directoryIntact(dir));
}

TEST(Checksum, ASumOfFFFFIsStoredAsZeroAndStillMatches)
{
    std::vector<uint8_t> words = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    const Checksum c = checksumOf(words);
    EXPECT_EQ(c.sum, 0);
    EXPECT_EQ(c.inverse, 0xFFFE);
    uint8_t stored[4];
    putBe16(stored, 0);
    putBe16(stored + 2, c.inverse);
    EXPECT_TRUE(checksumHolds(words, stored, stored + 2));
    // An erased pair never passes, whatever the words sum to.
    putBe16(stored, 0xFFFF);
    EXPECT_FALSE(checksumHolds(words, stored, stored + 2));
}

TEST(Checksum, AnyChangedByteBreaksIt)
{
    Block map{};
    putBe16(&map[kMapFree], 59);
    sealMap(map);
    ASSERT_TRUE(mapIntact(map));
    for (std::size_t at : {std::size_t(4), std::size_t(0x100), kBlockSize - 1}) {
        Block damaged = map;
        damaged[at] ^= 0x40;
        EXPECT_FALSE(mapIntact(damaged)) << at;
    }
}

TEST(CopyChoice, CountersAtTheirEdges)
{
    struct Case {
        uint16_t a, b;
        int current;
    };
    const Case cases[] = {
        {5, 5, 1}, {0, 0xFFFF, 0}, {0xFFFF, 0, 1}, {7, 6, 0},           {6, 7, 1},
        {0, 0, 1}, {0, 1, 1},      {1, 0, 0},      {0xFFFE, 0xFFFF, 1}, {0x8000, 2, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(currentCopy(c.a, c.b), c.current) << c.a << " " << c.b;
}

TEST(MapHeader, RefreshCountsTheSaveAreaAndAdvancesTheCounter)
{
    Block map{};
    putBe16(&map[kMapCounter], 0xFFFF);
    refreshMapHeader(map, 59);
    EXPECT_EQ(getBe16(&map[kMapFree]), 59);
    EXPECT_EQ(getBe16(&map[kMapLastAllocated]), 4);
    EXPECT_EQ(mapCounter(map), 0); // wraps
    EXPECT_TRUE(mapIntact(map));
    // The inverse is 0xF002 minus the sum when nothing wraps to 0xFFFF.
    const uint16_t sum = getBe16(&map[kMapChecksum]);
    EXPECT_EQ(getBe16(&map[kMapInverse]), uint16_t(0xF002 - sum));

    setMapEntry(map, 5, 6);
    setMapEntry(map, 6, kMapLastEntry);
    setMapEntry(map, 2000, 7); // beyond a 4 Mbit card: not counted
    refreshMapHeader(map, 59);
    EXPECT_EQ(getBe16(&map[kMapFree]), 57);
    EXPECT_EQ(getBe16(&map[kMapLastAllocated]), 6);
    EXPECT_EQ(mapCounter(map), 1);
}

TEST(Formatter, EveryCardSizeAndEncodingComesOutSound)
{
    for (unsigned m : {4u, 8u, 16u, 64u}) {
        for (Encoding enc : {Encoding::Ansi, Encoding::ShiftJis}) {
            const FormatOptions o = freshFormat(m, enc);
            const std::vector<uint8_t> card = formatCard(o);
            ASSERT_EQ(card.size(), cardBytes(m));
            const CardReport r = inspectCard(card);
            EXPECT_TRUE(r.sound()) << m << ": " << (r.problems.empty() ? "" : r.problems[0]);
            EXPECT_EQ(r.megabits, m);
            EXPECT_EQ(r.freeBlocks, m * 16 - 5);
            EXPECT_TRUE(r.saves.empty());
            EXPECT_EQ(getBe16(&card[kHeaderEncoding]), uint16_t(enc));
            EXPECT_EQ(0, std::memcmp(card.data(), o.serial.data(), 12));
            for (int copy = 0; copy < 2; ++copy) {
                const uint8_t* map = &card[kMapBlock[copy] * kBlockSize];
                EXPECT_EQ(getBe16(map + kMapLastAllocated), 4);
                EXPECT_EQ(getBe16(map + kMapCounter), copy);
                const uint8_t* dir = &card[kDirectoryBlock[copy] * kBlockSize];
                EXPECT_EQ(getBe16(dir + kDirCounter), copy);
            }
        }
    }
}

TEST(Inspect, ReportsWhatIsWrong)
{
    std::vector<uint8_t> card = formatCard(FormatOptions{});
    card[0x30] ^= 1; // header
    card[kDirectoryBlock[0] * kBlockSize + 5] = 0;
    card[kDirectoryBlock[1] * kBlockSize + 5] = 0;
    const CardReport r = inspectCard(card);
    EXPECT_FALSE(r.headerIntact);
    EXPECT_EQ(r.directoryCopy, -1);
    EXPECT_EQ(r.problems.size(), 2u);

    EXPECT_FALSE(inspectCard(std::vector<uint8_t>(1000)).sound());
}
