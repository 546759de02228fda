// The adapter commands as bytes on the link, and the card size query.
#include "emulated_card.h"
#include "library.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace mcbtest;

namespace {

std::array<uint8_t, 16> lastPacket(EmulatedCard& card)
{
    EXPECT_FALSE(card.traffic().packetLog.empty());
    return card.traffic().packetLog.back();
}

} // namespace

TEST(Transport, ReadSectorPacketIsLittleEndianWithFFFiller)
{
    EmulatedCard card;
    ASSERT_EQ(OpenDevice(nullptr), 1);
    uint8_t buf[512];
    EXPECT_EQ(mcb::ReadSector(0x0123, buf, 512), 512);
    const std::array<uint8_t, 16> want = {0xA9, 0x85, 0x23, 0x01, 0xFF, 0xFF, 0xFF, 0xFF,
                                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(lastPacket(card), want);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 512),
              std::vector<uint8_t>(card.image().begin() + 0x0123 * 512,
                                   card.image().begin() + 0x0124 * 512));
}

TEST(Transport, OversizedTransfersSendNothing)
{
    EmulatedCard card;
    ASSERT_EQ(OpenDevice(nullptr), 1);
    card.resetTraffic();
    std::vector<uint8_t> buf(1024, 0);
    EXPECT_EQ(mcb::ReadSector(0, buf.data(), 513), -2);
    EXPECT_EQ(mcb::WriteSector(0, buf.data(), 513), -2);
    EXPECT_EQ(card.traffic().transfers, 0u);
}

TEST(Transport, WriteAndErasePacketsAndFlashRules)
{
    EmulatedCard card;
    ASSERT_EQ(OpenDevice(nullptr), 1);
    std::vector<uint8_t> data(512, 0x0F);

    // Without its erase a write can only clear bits: the save area of a
    // formatted card reads 0xFF, so a first write lands as given...
    ASSERT_EQ(mcb::WriteSector(0x0150, data.data(), 512), 512);
    EXPECT_EQ(lastPacket(card)[0], 0xBC);
    EXPECT_EQ(lastPacket(card)[1], 0x35);
    EXPECT_EQ(lastPacket(card)[2], 0x50);
    EXPECT_EQ(lastPacket(card)[3], 0x01);
    EXPECT_EQ(card.image()[0x0150 * 512], 0x0F);
    // ...and a second one shows the damage: old AND new.
    std::vector<uint8_t> other(512, 0xF3);
    ASSERT_EQ(mcb::WriteSector(0x0150, other.data(), 512), 512);
    EXPECT_EQ(card.image()[0x0150 * 512], 0x03);

    // Erase takes the block's first sector and clears all 16 sectors.
    ASSERT_EQ(mcb::EraseBlock(0x0150), 1);
    const std::array<uint8_t, 4> erase = {0x37, 0x81, 0x50, 0x01};
    EXPECT_TRUE(std::equal(erase.begin(), erase.end(), lastPacket(card).begin()));
    for (std::size_t i = 0x0150 * 512; i < 0x0160 * 512; ++i)
        ASSERT_EQ(card.image()[i], 0xFF) << i;
    EXPECT_EQ(card.traffic().erases, 1u);
}

TEST(Transport, FailedCommandsReportZero)
{
    EmulatedCard card;
    card.faults.failWrite = 2; // the packet after the begin packet
    ASSERT_EQ(OpenDevice(nullptr), 1);
    uint8_t buf[512];
    EXPECT_EQ(mcb::ReadSector(3, buf, 512), 0);
    EXPECT_EQ(mcb::EraseBlock(16), 1);

    card.faults = {};
    card.faults.shortRead = 1;
    ASSERT_TRUE(connect() == false); // the size read comes back short: no card
    EXPECT_FALSE(mcb::lib().cardSized);
}

namespace {

struct CardSizeCase {
    const char* name;
    unsigned megabits;
    uint16_t blocks;
};

void PrintTo(const CardSizeCase& c, std::ostream* os) { *os << c.name; }

class CardSizes : public testing::TestWithParam<CardSizeCase> {};

} // namespace

TEST_P(CardSizes, GiveTheirSaveBlocks)
{
    EmulatedCard card(GetParam().megabits);
    EXPECT_EQ(GetCardMemory(), int32_t(GetParam().megabits));
    EXPECT_EQ(mcb::lib().userBlockCount, GetParam().blocks);
    EXPECT_EQ(mcb::saveArea().end, 5u + GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(Transport, CardSizes,
                         testing::Values(CardSizeCase{"FourMegabits", 4, 59},
                                         CardSizeCase{"EightMegabits", 8, 123},
                                         CardSizeCase{"SixteenMegabits", 16, 251},
                                         CardSizeCase{"ThirtyTwoMegabits", 32, 507},
                                         CardSizeCase{"SixtyFourMegabits", 64, 1019},
                                         CardSizeCase{"OneHundredTwentyEightMegabits", 128, 2043}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Transport, AnUnreadableHeaderMeansNoCard)
{
    EmulatedCard card(8);
    card.faults.failRead = 1;
    EXPECT_EQ(GetCardMemory(), 0);
    // Nothing that needs the card's size may run on it.
    EXPECT_EQ(InitSaverInfo(), 1);
    EXPECT_FALSE(mcb::lib().cardSized);
    EXPECT_EQ(mcb::CommitSystemArea(), false);
}
