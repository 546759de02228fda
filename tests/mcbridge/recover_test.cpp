// Bringing back a save the card's last change deleted: found in the
// directory copy not in use, put back whole through the commit.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/card_check.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>

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
    std::printf("recover cut sweep: %llu points, all passed (%u left the save back, %u lost the "
                "chance to recover it)\n",
                static_cast<unsigned long long>(total), back, lost);
}
