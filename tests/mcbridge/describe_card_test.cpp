// A card's description tells its size from the header even when its
// directory or map cannot be read: tools that check and repair such a card
// need it.
#include "emulated_card.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mcb;
using namespace mcbtest;

namespace {

enum class Damage { None, BothDirectories, BothMaps };

struct DescribeRow {
    const char* name;
    unsigned megabits;
    Damage damage;
    int result;
};

class Describe : public testing::TestWithParam<DescribeRow> {};

TEST_P(Describe, TellsTheHeadersSizeWhateverTheDirectory)
{
    const DescribeRow& row = GetParam();
    NamedCards cards;
    auto image = formatCard(FormatOptions{row.megabits});
    const auto wipe = [&](const auto& blocks) {
        for (unsigned b : blocks)
            std::memset(&image[b * kBlockSize], 0xA5, 64);
    };
    if (row.damage == Damage::BothDirectories)
        wipe(kDirectoryBlock);
    if (row.damage == Damage::BothMaps)
        wipe(kMapBlock);
    cards.add("mem:D", image);
    mcb_card* card = nullptr;
    ASSERT_EQ(mcb_open("mem:D", &card), MCB_OK);
    mcb_card_info info{};
    info.size = sizeof info;
    EXPECT_EQ(mcb_describe_card(card, &info), row.result);
    EXPECT_EQ(info.megabits, row.megabits);
    EXPECT_EQ(info.save_blocks, MCB_SAVE_BLOCKS(row.megabits));
    EXPECT_EQ(info.kind, unsigned(MCB_KIND_IMAGE));
    mcb_close(card);
}

INSTANTIATE_TEST_SUITE_P(Rows, Describe,
                         testing::Values(DescribeRow{"Sound", 4, Damage::None, MCB_OK},
                                         DescribeRow{"NoDirectory", 8, Damage::BothDirectories,
                                                     MCB_E_DAMAGED},
                                         DescribeRow{"NoMap", 16, Damage::BothMaps, MCB_E_DAMAGED}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
