// Following saves through the allocation map, as consoles leave them.
#include "mcbridge/chain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

using namespace mcb;

namespace {

const SaveArea kArea = saveAreaFor(251); // a 16 Mbit card: blocks 5..255

// Links the blocks in the order given; the last one ends the chain.
void link(Block& map, const std::vector<uint16_t>& b)
{
    for (std::size_t i = 0; i < b.size(); ++i)
        setMapEntry(map, b[i], i + 1 == b.size() ? kMapLastEntry : b[i + 1]);
}

void putEntry(Block& dir, unsigned slot, const char* name, uint16_t first, uint16_t count)
{
    uint8_t* e = &dir[slot * kEntrySize];
    std::memset(e, 0, kEntrySize);
    std::memcpy(e, "GTEST0", 6);
    std::memcpy(e + kEntryName, name, std::strlen(name));
    putBe16(e + kEntryFirstBlock, first);
    putBe16(e + kEntryBlockCount, count);
}

struct ChainCase {
    std::string name;
    std::vector<uint16_t> linked; // linked in this order, the last ending the chain
    uint16_t first;
    uint16_t count;
    ChainFault fault;
    std::size_t followed; // blocks followed before the verdict
};

void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.name; }

class FollowChain : public ::testing::TestWithParam<ChainCase> {};

} // namespace

TEST_P(FollowChain, GivesTheVerdictAndTheBlocksFollowed)
{
    const ChainCase& c = GetParam();
    Block map{};
    link(map, c.linked);
    const Chain chain = followChain(map, c.first, c.count, kArea);
    EXPECT_EQ(chain.fault, c.fault) << chainFaultText(chain.fault);
    EXPECT_EQ(chain.blocks.size(), c.followed);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, FollowChain,
    ::testing::Values(ChainCase{"Consecutive", {5, 6, 7}, 5, 3, ChainFault::None, 3},
                      ChainCase{"OutOfOrder", {40, 9, 200, 6}, 40, 4, ChainFault::None, 4},
                      ChainCase{"SingleBlock", {255}, 255, 1, ChainFault::None, 1},
                      ChainCase{"NoBlocks", {5}, 5, 0, ChainFault::NoBlocks, 0},
                      ChainCase{"StartsInSystemArea", {4, 5}, 4, 2, ChainFault::OutsideArea, 0},
                      ChainCase{"LeadsPastTheCard", {250, 256}, 250, 2, ChainFault::OutsideArea, 1},
                      ChainCase{"LeadsToAFreeBlock", {10}, 9, 2, ChainFault::FreeBlock, 0},
                      ChainCase{"EndsEarly", {10, 11}, 10, 3, ChainFault::EndsEarly, 2},
                      ChainCase{"TooLong", {10, 11, 12}, 10, 2, ChainFault::TooLong, 2}),
    [](const ::testing::TestParamInfo<ChainCase>& info) { return info.param.name; });

TEST(FollowChain, LoopIsCaughtWithoutRunningForever)
{
    Block map{};
    setMapEntry(map, 20, 21);
    setMapEntry(map, 21, 22);
    setMapEntry(map, 22, 20);
    const Chain c = followChain(map, 20, 10, kArea);
    EXPECT_EQ(c.fault, ChainFault::Loop);
    EXPECT_EQ(c.blocks.size(), 3u);
}

TEST(FollowChains, SoundCardAgreesAndKnowsEachBlocksOwner)
{
    Block dir, map{};
    dir.fill(0xFF);
    putEntry(dir, 0, "a", 30, 2);
    putEntry(dir, 3, "b", 12, 3);
    link(map, {30, 7});
    link(map, {12, 31, 5});
    const CardChains all = followChains(dir, map, kArea);
    EXPECT_TRUE(all.agree());
    EXPECT_EQ(all.owner[7], 0);
    EXPECT_EQ(all.owner[5], 3);
    EXPECT_EQ(all.owner[6], CardChains::kNoOwner);
    EXPECT_EQ(all.unowned(kArea).size(), 251u - 5u);
}

TEST(FollowChains, ChainsThatMeetAreBothShared)
{
    Block dir, map{};
    dir.fill(0xFF);
    link(map, {30, 31, 32});
    putEntry(dir, 0, "a", 30, 3);
    putEntry(dir, 1, "b", 31, 2); // joins a's chain half way
    putEntry(dir, 2, "c", 50, 1);
    link(map, {50});
    const CardChains all = followChains(dir, map, kArea);
    EXPECT_FALSE(all.agree());
    EXPECT_EQ(all.chains[0].fault, ChainFault::Shared);
    EXPECT_EQ(all.chains[1].fault, ChainFault::Shared);
    EXPECT_TRUE(all.chains[2].sound());
    EXPECT_EQ(all.owner[31], CardChains::kManyOwners);
    EXPECT_EQ(all.owner[30], 0);
}
