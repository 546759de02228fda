// Checksums, copy choice, map header refresh and the formatter.
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <tuple>
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

class AnyChangedByte : public ::testing::TestWithParam<std::size_t> {};

TEST_P(AnyChangedByte, BreaksTheMapChecksum)
{
    Block map{};
    putBe16(&map[kMapFree], 59);
    sealMap(map);
    ASSERT_TRUE(mapIntact(map));
    map[GetParam()] ^= 0x40;
    EXPECT_FALSE(mapIntact(map));
}

INSTANTIATE_TEST_SUITE_P(Checksum, AnyChangedByte,
                         ::testing::Values(std::size_t(4), std::size_t(0x100), kBlockSize - 1),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return "Byte" + std::to_string(info.param);
                         });

struct CounterCase {
    uint16_t a, b;
    int current;
};

void PrintTo(const CounterCase& c, std::ostream* os) { *os << c.a << "/" << c.b; }

class CopyChoice : public ::testing::TestWithParam<CounterCase> {};

TEST_P(CopyChoice, CountersAtTheirEdges)
{
    EXPECT_EQ(currentCopy(GetParam().a, GetParam().b), GetParam().current);
}

// "A0005_B0005": the two copies' counters in hex.
std::string counterName(const ::testing::TestParamInfo<CounterCase>& info)
{
    char name[16];
    std::snprintf(name, sizeof name, "A%04X_B%04X", info.param.a, info.param.b);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Counters, CopyChoice,
                         ::testing::Values(CounterCase{5, 5, 1}, CounterCase{0, 0xFFFF, 0},
                                           CounterCase{0xFFFF, 0, 1}, CounterCase{7, 6, 0},
                                           CounterCase{6, 7, 1}, CounterCase{0, 0, 1},
                                           CounterCase{0, 1, 1}, CounterCase{1, 0, 0},
                                           CounterCase{0xFFFE, 0xFFFF, 1},
                                           CounterCase{0x8000, 2, 0}),
                         counterName);

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

class Formatter : public ::testing::TestWithParam<std::tuple<unsigned, Encoding>> {};

TEST_P(Formatter, EveryCardSizeAndEncodingComesOutSound)
{
    const auto [m, enc] = GetParam();
    const FormatOptions o = freshFormat(m, enc);
    const std::vector<uint8_t> card = formatCard(o);
    ASSERT_EQ(card.size(), cardBytes(m));
    const CardReport r = inspectCard(card);
    EXPECT_TRUE(r.sound()) << (r.problems.empty() ? "" : r.problems[0]);
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

// "16MbitShiftJis": the card's size and its names' encoding.
std::string formatName(const ::testing::TestParamInfo<std::tuple<unsigned, Encoding>>& info)
{
    const unsigned megabits = std::get<0>(info.param);
    const bool ansi = std::get<1>(info.param) == Encoding::Ansi;
    return std::to_string(megabits) + "Mbit" + (ansi ? "Ansi" : "ShiftJis");
}

INSTANTIATE_TEST_SUITE_P(Cards, Formatter,
                         ::testing::Combine(::testing::Values(4u, 8u, 16u, 32u, 64u, 128u),
                                            ::testing::Values(Encoding::Ansi, Encoding::ShiftJis)),
                         formatName);

TEST(Inspect, ReportsWhatIsWrong)
{
    std::vector<uint8_t> card = formatCard(FormatOptions{});
    card[0x30] ^= 1; // header
    card[kDirectoryBlock[0] * kBlockSize + 5] = 0;
    card[kDirectoryBlock[1] * kBlockSize + 5] = 0;
    const CardReport r = inspectCard(card);
    EXPECT_FALSE(r.headerIntact);
    EXPECT_EQ(r.directoryCopy, -1);
    EXPECT_EQ(r.problems.size(), 3u); // the header and each directory copy

    EXPECT_FALSE(inspectCard(std::vector<uint8_t>(1000)).sound());
}
