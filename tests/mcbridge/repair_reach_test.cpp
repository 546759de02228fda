// Repair never makes a save unreachable: for every kind of damage the check
// knows, each save the card gave back before a repair it gives back after,
// byte for byte. The card is built as a program leaves it (the last save
// written through the library, so that only the newest copies hold it), then
// damaged by hand.
#include "emulated_card.h"
#include "mcbridge.h"
#include "mcbridge/card_check.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

using Save = std::pair<std::vector<uint8_t>, std::vector<uint8_t>>; // entry, data

// Every save the card gives back through a handle, as its entry and data.
std::vector<Save> reachableSaves(const char* device)
{
    std::vector<Save> out;
    mcb_card* c = nullptr;
    if (mcb_open(device, &c) != MCB_OK)
        return out;
    const Card card(c);
    if (mcb_load(c) < 0)
        return out;
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        size_t length = 0;
        if (mcb_read_save(c, slot, MCB_SAVE_GCI, nullptr, 0, &length) != MCB_E_TOO_SMALL)
            continue;
        std::vector<uint8_t> bytes(length);
        if (mcb_read_save(c, slot, MCB_SAVE_GCI, bytes.data(), bytes.size(), &length) < 0)
            continue;
        out.emplace_back(std::vector<uint8_t>(bytes.begin(), bytes.begin() + kEntrySize),
                         std::vector<uint8_t>(bytes.begin() + kEntrySize, bytes.end()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

Block blockAt(const std::vector<uint8_t>& image, unsigned b)
{
    Block out;
    std::memcpy(out.data(), &image[std::size_t(b) * kBlockSize], kBlockSize);
    return out;
}

void putBlock(std::vector<uint8_t>& image, unsigned b, const Block& block)
{
    std::memcpy(&image[std::size_t(b) * kBlockSize], block.data(), kBlockSize);
}

// Which copy of the map (or directory) the counters call newer.
int newestMap(const std::vector<uint8_t>& image)
{
    return currentCopy(mapCounter(blockAt(image, kMapBlock[0])),
                       mapCounter(blockAt(image, kMapBlock[1])));
}
int newestDirectory(const std::vector<uint8_t>& image)
{
    return currentCopy(directoryCounter(blockAt(image, kDirectoryBlock[0])),
                       directoryCounter(blockAt(image, kDirectoryBlock[1])));
}

void wrongFreeCount(std::vector<uint8_t>& image, int copy)
{
    Block map = blockAt(image, kMapBlock[copy]);
    putBe16(&map[kMapFree], uint16_t(getBe16(&map[kMapFree]) + 1));
    sealMap(map);
    putBlock(image, kMapBlock[copy], map);
}

void flipByte(std::vector<uint8_t>& image, unsigned block, std::size_t offset)
{
    image[std::size_t(block) * kBlockSize + offset] ^= 0x01;
}

using Damage = std::function<void(std::vector<uint8_t>&)>;

struct DamageCase {
    const char* name;
    Damage damage;
    std::size_t reachable; // saves the card gives back before the repair
    bool mended;           // a repair leaves the card with nothing to warn of
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class RepairReach : public ::testing::TestWithParam<DamageCase> {};

// A at 5-6, B chained 20 -> 9 -> 15, C at 10-11; N written last through a
// handle; then the row's damage.
NamedCards::Card& damagedCard(NamedCards& cards)
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "A", .blocks = 2, .seed = 1}), 5);
    placeChainedSave(image, 1, makeSaveFile({.name = "B", .blocks = 3, .seed = 2}), {20, 9, 15});
    placeSave(image, 2, makeSaveFile({.name = "C", .blocks = 2, .seed = 3}), 10);
    auto& card = cards.add("mem:D", image);
    {
        mcb_card* c = nullptr;
        EXPECT_EQ(mcb_open("mem:D", &c), MCB_OK);
        const Card held(c);
        EXPECT_EQ(mcb_load(c), 3);
        const auto n = makeSaveFile({.name = "N", .blocks = 3, .seed = 4});
        const mcb_write_request req{sizeof(mcb_write_request), MCB_WRITE_NEW, 0, 0};
        EXPECT_EQ(mcb_write_save(c, n.data(), n.size(), &req, nullptr), MCB_OK);
    }
    RepairReach::GetParam().damage(card.image());
    return card;
}

int repairOnce()
{
    mcb_card* c = nullptr;
    if (mcb_open("mem:D", &c) != MCB_OK)
        return MCB_E_FAILED;
    const Card held(c);
    uint32_t count = 0;
    return mcb_repair(c, 1, &count);
}

bool mended(const std::vector<uint8_t>& image)
{
    SystemCopies s;
    if (!systemCopiesOf(image, s))
        return false;
    const Findings items = checkCard(s).items;
    return std::all_of(items.begin(), items.end(),
                       [](const CheckItem& i) { return i.f.severity == MCB_SEVERITY_INFO; });
}

} // namespace

TEST_P(RepairReach, EverySaveReachableBeforeIsReachableAfter)
{
    NamedCards cards;
    auto& card = damagedCard(cards);
    const std::vector<Save> before = reachableSaves("mem:D");
    ASSERT_EQ(before.size(), GetParam().reachable);
    ASSERT_EQ(repairOnce(), MCB_OK);
    const std::vector<Save> after = reachableSaves("mem:D");
    for (const Save& s : before)
        EXPECT_NE(std::find(after.begin(), after.end(), s), after.end())
            << EntryRef{s.first.data()}.name() << " is no longer reachable";
    if (!GetParam().mended)
        return;
    EXPECT_EQ(after.size(), 4u);
    EXPECT_TRUE(mended(card.image()));
}

// A cut after every sector the repair writes: each save reachable before
// still is, and a second repair finishes the work.
TEST_P(RepairReach, ACutAtEveryWriteKeepsEverySaveReachable)
{
    NamedCards cards;
    auto& card = damagedCard(cards);
    const std::vector<uint8_t> damaged = card.image();
    const std::vector<Save> before = reachableSaves("mem:D");
    const uint64_t start = card.traffic->sectorWrites;
    ASSERT_EQ(repairOnce(), MCB_OK);
    const uint64_t total = card.traffic->sectorWrites - start;
    for (uint64_t n = 1; n < total; ++n) {
        card.image() = damaged;
        card.faults.cutAfterSectorWrites = n;
        EXPECT_LT(repairOnce(), 0) << n;
        card.faults = {};
        const std::vector<Save> now = reachableSaves("mem:D");
        for (const Save& s : before)
            ASSERT_NE(std::find(now.begin(), now.end(), s), now.end())
                << EntryRef{s.first.data()}.name() << " lost by a cut after " << n;
        if (!GetParam().mended)
            continue;
        ASSERT_EQ(repairOnce(), MCB_OK) << n;
        EXPECT_TRUE(mended(card.image())) << n;
        EXPECT_EQ(reachableSaves("mem:D").size(), 4u) << n;
    }
    std::printf("%s: %llu cut points, every save reachable before still reachable\n",
                GetParam().name, static_cast<unsigned long long>(total > 0 ? total - 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, RepairReach,
    ::testing::Values(
        DamageCase{"None", [](auto&) {}, 4, true},
        DamageCase{"FreeCountOfTheNewestMap", [](auto& i) { wrongFreeCount(i, newestMap(i)); }, 4,
                   true},
        DamageCase{"FreeCountOfTheOlderMap", [](auto& i) { wrongFreeCount(i, 1 - newestMap(i)); },
                   4, true},
        DamageCase{"ChecksumOfTheNewestMap",
                   [](auto& i) { flipByte(i, kMapBlock[newestMap(i)], 0); }, 3, false},
        DamageCase{"ChecksumOfTheOlderMap",
                   [](auto& i) { flipByte(i, kMapBlock[1 - newestMap(i)], 0); }, 4, true},
        DamageCase{"ChecksumOfTheNewestDirectory",
                   [](auto& i) { flipByte(i, kDirectoryBlock[newestDirectory(i)], 0x1FFC); }, 3,
                   false},
        DamageCase{"ChecksumOfTheOlderDirectory",
                   [](auto& i) { flipByte(i, kDirectoryBlock[1 - newestDirectory(i)], 0x1FFC); }, 4,
                   true},
        DamageCase{"HeaderChecksum", [](auto& i) { flipByte(i, 0, 0x30); }, 4, false},
        DamageCase{"HeaderSize",
                   [](auto& i) {
                       putBe16(&i[kHeaderSizeMbit], 8);
                       sealHeader(std::span<uint8_t, kSectorSize>(i.data(), kSectorSize));
                   },
                   4, false},
        DamageCase{"ChainToAFreeBlock", [](auto& i) { setMapEntryOnCard(i, 20, 30); }, 3, false},
        DamageCase{"ChainOutsideTheArea", [](auto& i) { setMapEntryOnCard(i, 20, 3); }, 3, false},
        DamageCase{"ChainLoops", [](auto& i) { setMapEntryOnCard(i, 15, 20); }, 3, false},
        DamageCase{"ChainEndsEarly", [](auto& i) { setMapEntryOnCard(i, 9, kMapLastEntry); }, 3,
                   false},
        DamageCase{"ChainTooLong",
                   [](auto& i) {
                       setMapEntryOnCard(i, 15, 40);
                       setMapEntryOnCard(i, 40, kMapLastEntry);
                   },
                   3, false},
        DamageCase{"SharedBlocks", [](auto& i) { setMapEntryOnCard(i, 11, 9); }, 3, false},
        DamageCase{"LeakedBlocks", [](auto& i) { setMapEntryOnCard(i, 50, kMapLastEntry); }, 4,
                   true},
        DamageCase{"TwinSaves",
                   [](auto& i) {
                       placeSave(i, 5, makeSaveFile({.name = "A", .blocks = 1, .seed = 9}), 45);
                   },
                   5, false}),
    [](const auto& info) { return std::string(info.param.name); });
