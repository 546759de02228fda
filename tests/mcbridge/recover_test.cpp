// Bringing back a save the card's last change deleted: found in the
// directory copy not in use, put back whole through the commit.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge.h"
#include "mcbridge/card_check.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

using namespace mcb;
using namespace mcbtest;

namespace {

const SaveSpec kA{.name = "A", .blocks = 2, .seed = 1};
const SaveSpec kB{.name = "B", .blocks = 3, .seed = 2};
const SaveSpec kC{.name = "C", .blocks = 2, .seed = 3};

std::vector<uint8_t> threeSaves()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile(kA), 5);
    placeSave(image, 1, makeSaveFile(kB), 7);
    placeSave(image, 2, makeSaveFile(kC), 10);
    return image;
}

std::vector<mcb_finding> recoverable()
{
    uint32_t count = 0;
    EXPECT_EQ(mcb_recover_list(&count), 1) << mcb_last_error();
    std::vector<mcb_finding> out(count);
    for (uint32_t i = 0; i < count; ++i)
        EXPECT_EQ(mcb_finding_at(i, &out[i]), 1);
    return out;
}

// The save file the card holds in slot, with the entry's first block set
// to 0 as in a made save file; empty when it cannot be read.
std::vector<uint8_t> saveIn(unsigned slot, const TempDir& dir)
{
    if (!mcb_download_slot(slot, dir.file("out.gci").c_str()))
        return {};
    auto bytes = readFile(dir.file("out.gci"));
    putBe16(&bytes[kEntryFirstBlock], 0);
    return bytes;
}

std::vector<uint8_t> madeFile(const SaveSpec& spec)
{
    auto bytes = makeSaveFile(spec);
    putBe16(&bytes[kEntryFirstBlock], 0);
    return bytes;
}

Block blockOf(const std::vector<uint8_t>& image, unsigned block)
{
    Block b;
    std::memcpy(b.data(), &image[block * kBlockSize], kBlockSize);
    return b;
}

} // namespace

TEST(Recover, BringsBackTheSaveTheLastDeleteRemoved)
{
    EmulatedCard card(threeSaves());
    TempDir dir;
    ASSERT_TRUE(connect());
    EXPECT_TRUE(recoverable().empty());
    ASSERT_EQ(mcb_delete_slot(1), 1);
    const auto list = recoverable();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].name, "B");
    EXPECT_EQ(list[0].slot, 1);
    EXPECT_EQ(list[0].count, 3u);
    uint32_t placed = 99;
    ASSERT_EQ(mcb_recover_slot(1, &placed), 1) << mcb_last_error();
    EXPECT_EQ(placed, 1u);
    EXPECT_EQ(saveIn(1, dir), madeFile(kB));
    EXPECT_TRUE(inspectCard(card.image()).sound());
}

// Each change rewrites the directory copy not in use, so a save deleted two
// changes ago is gone from both copies: recover reaches one change back.
TEST(Recover, ReachesOneChangeBack)
{
    EmulatedCard card(threeSaves());
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_delete_slot(1), 1);
    ASSERT_EQ(mcb_delete_slot(2), 1);
    const auto list = recoverable();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].name, "C");
    EXPECT_EQ(mcb_recover_slot(1, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_SAVE);
    ASSERT_EQ(mcb_recover_slot(2, nullptr), 1);
    EXPECT_EQ(saveIn(2, dir), madeFile(kC));
}

TEST(Recover, ASaveWhoseBlocksWereReusedIsNotOffered)
{
    EmulatedCard card(threeSaves());
    TempDir dir;
    writeFile(dir.file("d.gci"), makeSaveFile({.name = "D", .blocks = 3, .seed = 9}));
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_delete_slot(1), 1);
    ASSERT_EQ(InitSaverInfo(), 1);
    // D lands in B's old blocks 7-9 and is the last change: what the other
    // copy describes is the card before D, with no B in it either way.
    ASSERT_EQ(UpLoadSaver(dir.file("d.gci").c_str()), 1);
    EXPECT_TRUE(recoverable().empty());
}

// A console's delete writes only the copies not in use, so the old map copy
// still holds the save's chain, however scattered.
TEST(Recover, FollowsTheChainTheOlderMapCopyKeeps)
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile(kA), 5);
    placeChainedSave(image, 1, makeSaveFile({.name = "E", .blocks = 3, .seed = 5}), {30, 9, 21});
    Block dir = blockOf(image, kDirectoryBlock[0]);
    Block map = blockOf(image, kMapBlock[0]);
    std::memset(&dir[1 * kEntrySize], 0xFF, kEntrySize);
    for (unsigned b : {30, 9, 21})
        setMapEntry(map, b, 0);
    // Copy 1 (counters 1) is in use; the delete makes copy 0 newer.
    putBe16(&dir[kDirCounter], 2);
    sealDirectory(dir);
    putBe16(&map[kMapCounter], 1);
    refreshMapHeader(map, 59);
    std::memcpy(&image[kDirectoryBlock[0] * kBlockSize], dir.data(), kBlockSize);
    std::memcpy(&image[kMapBlock[0] * kBlockSize], map.data(), kBlockSize);

    EmulatedCard card(image);
    TempDir tmp;
    ASSERT_TRUE(connect());
    const auto list = recoverable();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].detail, MCB_RECOVER_CHAIN);
    std::vector<uint16_t> blocks(3);
    EXPECT_EQ(mcb_finding_blocks(0, blocks.data(), 3), 3);
    EXPECT_EQ(blocks, (std::vector<uint16_t>{30, 9, 21}));
    ASSERT_EQ(mcb_recover_slot(1, nullptr), 1);
    EXPECT_EQ(saveIn(1, tmp), madeFile({.name = "E", .blocks = 3, .seed = 5}));
}

// A cut at every sector write of the recovery: the card loads and is sound,
// A and C are whole, and B is back whole or not there at all. A cut while the
// directory copy that still describes B is rewritten loses that description:
// B can then no longer be recovered (its blocks show as leaked).
TEST(Recover, SurvivesACutAtEveryWrite)
{
    EmulatedCard card(threeSaves());
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_delete_slot(1), 1);
    const std::vector<uint8_t> deleted = card.image();
    card.resetTraffic();
    ASSERT_EQ(mcb_recover_slot(1, nullptr), 1);
    const uint64_t total = card.traffic().sectorWrites;
    ASSERT_GE(total, 32u);
    TempDir dir;
    unsigned back = 0, lost = 0;
    for (uint64_t n = 1; n <= total; ++n) {
        card.image() = deleted;
        card.faults.cutAfterSectorWrites = n;
        ASSERT_TRUE(connect());
        mcb_recover_slot(1, nullptr);
        card.faults = {};
        ASSERT_TRUE(connect());
        ASSERT_EQ(InitSaverInfo(), 1) << "cut after " << n;
        ASSERT_EQ(saveIn(0, dir), madeFile(kA)) << n;
        ASSERT_EQ(saveIn(2, dir), madeFile(kC)) << n;
        const auto b = saveIn(1, dir);
        if (!b.empty()) {
            ASSERT_EQ(b, madeFile(kB)) << n;
            ++back;
        } else if (recoverable().empty()) {
            ++lost;
        }
        SystemCopies s;
        ASSERT_TRUE(systemCopiesOf(card.image(), s));
        for (const CheckItem& i : checkCard(s).items)
            ASSERT_NE(i.f.severity, MCB_SEVERITY_FAULT) << n << ": " << findingText(i.f);
    }
    EXPECT_EQ(lost, 0u);
    std::printf("recover cut sweep: %llu points, all passed (%u left the save back, %u lost the "
                "chance to recover it)\n",
                static_cast<unsigned long long>(total), back, lost);
}

// ---- Recovery by handle: the exact chain, and a cut at every write --------

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

Card open(const char* device)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(device, &c), MCB_OK) << device;
    return Card(c);
}

// The data of the save named name as the card gives it through its chain.
std::optional<std::vector<uint8_t>> savedAs(mcb_card* card, const std::string& name)
{
    if (mcb_load(card) < 0)
        return std::nullopt;
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        uint8_t entry[MCB_ENTRY_SIZE];
        if (mcb_entry(card, slot, entry, sizeof entry) != MCB_OK || EntryRef{entry}.name() != name)
            continue;
        size_t length = 0;
        mcb_read_save(card, slot, MCB_SAVE_GCI, nullptr, 0, &length);
        std::vector<uint8_t> bytes(length);
        if (mcb_read_save(card, slot, MCB_SAVE_GCI, bytes.data(), bytes.size(), &length) < 0)
            return std::nullopt;
        return std::vector<uint8_t>(bytes.begin() + kEntrySize, bytes.end());
    }
    return std::nullopt;
}

std::vector<uint8_t> dataOf(const SaveSpec& spec)
{
    const auto file = makeSaveFile(spec);
    return {file.begin() + kEntrySize, file.end()};
}

std::vector<CheckItem> findingsOf(const std::vector<uint8_t>& image)
{
    SystemCopies s;
    EXPECT_TRUE(systemCopiesOf(image, s));
    return checkCard(s).items;
}

std::vector<uint16_t> leakedOn(const std::vector<uint8_t>& image)
{
    for (const CheckItem& i : findingsOf(image))
        if (i.f.kind == MCB_FINDING_LEAKED_BLOCKS)
            return i.blocks;
    return {};
}

bool faultless(const std::vector<uint8_t>& image)
{
    for (const CheckItem& i : findingsOf(image))
        if (i.f.severity == MCB_SEVERITY_FAULT)
            return false;
    return true;
}

// What the card's handle found last, as (kind, blocks).
std::vector<std::pair<int32_t, std::vector<uint16_t>>> handleFindings(mcb_card* card)
{
    std::vector<std::pair<int32_t, std::vector<uint16_t>>> out;
    mcb_finding f{};
    for (uint32_t i = 0; mcb_card_finding(card, i, &f) == MCB_OK; ++i) {
        std::vector<uint16_t> blocks(f.blocks);
        mcb_card_finding_blocks(card, i, blocks.data(), blocks.size());
        out.emplace_back(f.kind, blocks);
    }
    return out;
}

const SaveSpec kSaved{.name = "B", .blocks = 0, .seed = 2};

struct ChainCase {
    const char* name;
    std::vector<unsigned> chain; // the deleted save's blocks in chain order
};

void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.name; }

class RecoverChain : public ::testing::TestWithParam<ChainCase> {
protected:
    SaveSpec saved() const
    {
        SaveSpec s = kSaved;
        s.blocks = unsigned(GetParam().chain.size());
        return s;
    }
    std::vector<uint16_t> chain() const
    {
        return {GetParam().chain.begin(), GetParam().chain.end()};
    }
    // A at 5-6, the save in slot 1 on its chain, C at 10-11; the save then
    // deleted through a handle, as any program deletes it.
    std::vector<uint8_t> deletedCard()
    {
        auto image = formatCard(FormatOptions{4});
        placeSave(image, 0, makeSaveFile(kA), 5);
        placeChainedSave(image, 1, makeSaveFile(saved()), GetParam().chain);
        placeSave(image, 2, makeSaveFile(kC), 10);
        cards.add("mem:R", image);
        const Card c = open("mem:R");
        EXPECT_EQ(mcb_load(c.get()), 3);
        EXPECT_EQ(mcb_delete_save(c.get(), 1, nullptr), MCB_OK);
        return cards["mem:R"].image();
    }
    void expectOthersWhole(mcb_card* c, uint64_t n)
    {
        EXPECT_EQ(savedAs(c, "A"), dataOf(kA)) << n;
        EXPECT_EQ(savedAs(c, "C"), dataOf(kC)) << n;
    }
    NamedCards cards;
};

} // namespace

TEST_P(RecoverChain, BringsBackExactlyTheChainADeleteLeft)
{
    deletedCard();
    const Card c = open("mem:R");
    uint32_t count = 0;
    ASSERT_EQ(mcb_recover_find(c.get(), &count), MCB_OK);
    ASSERT_EQ(count, 1u);
    mcb_finding f{};
    ASSERT_EQ(mcb_card_finding(c.get(), 0, &f), MCB_OK);
    EXPECT_EQ(f.detail, MCB_RECOVER_CHAIN);
    EXPECT_EQ(handleFindings(c.get())[0].second, chain());
    uint32_t placed = 99;
    ASSERT_EQ(mcb_recover(c.get(), 1, &placed), MCB_OK);
    EXPECT_EQ(placed, 1u);
    EXPECT_EQ(savedAs(c.get(), "B"), dataOf(saved()));
    expectOthersWhole(c.get(), 0);
    EXPECT_TRUE(faultless(cards["mem:R"].image()));
    EXPECT_EQ(leakedOn(cards["mem:R"].image()), std::vector<uint16_t>{});
}

// A cut after every sector a recovery writes: the card is one a console
// reads, A and C are whole, and the save is either back, chain and all, or
// still listed with its exact chain (its blocks, marked used by no save
// until then, being that chain and nothing else) and put back by a second
// recovery. The failed call says which, in its findings.
TEST_P(RecoverChain, ACutAtEveryWriteLeavesTheSaveBackOrStillRecoverable)
{
    const std::vector<uint8_t> deleted = deletedCard();
    auto& card = cards["mem:R"];
    uint64_t total = 0;
    {
        const Card c = open("mem:R");
        const uint64_t before = card.traffic->sectorWrites;
        ASSERT_EQ(mcb_recover(c.get(), 1, nullptr), MCB_OK);
        total = card.traffic->sectorWrites - before;
    }
    ASSERT_GT(total, 16u);
    unsigned back = 0, findable = 0;
    for (uint64_t n = 1; n < total; ++n) {
        card.image() = deleted;
        card.faults.cutAfterSectorWrites = n;
        std::vector<std::pair<int32_t, std::vector<uint16_t>>> told;
        {
            const Card c = open("mem:R");
            ASSERT_LT(mcb_recover(c.get(), 1, nullptr), 0) << n;
            told = handleFindings(c.get());
        }
        card.faults = {};
        ASSERT_TRUE(faultless(card.image())) << n;
        ASSERT_EQ(told.size(), 1u) << n;
        EXPECT_EQ(told[0].second, chain()) << n;
        const Card c = open("mem:R");
        expectOthersWhole(c.get(), n);
        if (savedAs(c.get(), "B") == dataOf(saved())) {
            EXPECT_EQ(told[0].first, MCB_FINDING_SAVE) << n;
            EXPECT_EQ(leakedOn(card.image()), std::vector<uint16_t>{}) << n;
            ++back;
            continue;
        }
        EXPECT_EQ(told[0].first, MCB_RECOVERABLE) << n;
        for (uint16_t b : leakedOn(card.image()))
            EXPECT_NE(std::find(chain().begin(), chain().end(), b), chain().end()) << n;
        uint32_t count = 0;
        ASSERT_EQ(mcb_recover_find(c.get(), &count), MCB_OK) << n;
        ASSERT_EQ(count, 1u) << n;
        EXPECT_EQ(handleFindings(c.get())[0].second, chain()) << n;
        ASSERT_EQ(mcb_recover(c.get(), 1, nullptr), MCB_OK) << n;
        EXPECT_EQ(savedAs(c.get(), "B"), dataOf(saved())) << n;
        EXPECT_TRUE(faultless(card.image())) << n;
        EXPECT_EQ(leakedOn(card.image()), std::vector<uint16_t>{}) << n;
        ++findable;
    }
    EXPECT_EQ(back + findable, total - 1);
    std::printf("%s: %llu cut points, %u left the save back, %u left it recoverable\n",
                GetParam().name, static_cast<unsigned long long>(total - 1), back, findable);
}

INSTANTIATE_TEST_SUITE_P(Chains, RecoverChain,
                         ::testing::Values(ChainCase{"OneRun", {20, 21, 22}},
                                           ChainCase{"OutOfOrder", {30, 9, 21}},
                                           ChainCase{"Backwards", {40, 39, 38, 37}},
                                           ChainCase{"SingleBlock", {33}},
                                           ChainCase{"AroundTheOthers", {12, 7, 50, 8}}),
                         [](const auto& info) { return std::string(info.param.name); });
