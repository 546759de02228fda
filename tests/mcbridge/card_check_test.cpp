// Checking, repairing and recovering cards damaged in each known way, built
// with the tests' own card builder and read through the library's exports.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/card_check.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>

using namespace mcb;
using namespace mcbtest;

namespace {

Block blockOf(const std::vector<uint8_t>& image, unsigned block)
{
    Block b;
    std::memcpy(b.data(), &image[block * kBlockSize], kBlockSize);
    return b;
}

void putBlock(std::vector<uint8_t>& image, unsigned block, const Block& b)
{
    std::memcpy(&image[block * kBlockSize], b.data(), kBlockSize);
}

const SaveSpec kA{.name = "A", .blocks = 2, .seed = 1};
const SaveSpec kB{.name = "B", .blocks = 3, .seed = 2};
const SaveSpec kC{.name = "C", .blocks = 2, .seed = 3};

// A in slot 0 on blocks 5-6, B in slot 1 on 7-9, C in slot 2 chained 20, 12.
std::vector<uint8_t> threeSaves()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile(kA), 5);
    placeSave(image, 1, makeSaveFile(kB), 7);
    placeChainedSave(image, 2, makeSaveFile(kC), {20, 12});
    return image;
}

// Sets a map copy's free count without touching its entries.
void setFreeCount(std::vector<uint8_t>& image, int copy, uint16_t free)
{
    Block map = blockOf(image, kMapBlock[copy]);
    putBe16(&map[kMapFree], free);
    sealMap(map);
    putBlock(image, kMapBlock[copy], map);
}

struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
    int32_t kind;     // the finding the check must name
    int32_t severity; // of that finding
    bool sound;       // the verdict
    // An adapter learns the card's size from its header; only an image's
    // length can disagree with it.
    bool seenThroughAdapter = true;
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

const Damage kDamages[] = {
    {"OneBrokenCopy",
     [](auto& img) { std::memset(&img[kDirectoryBlock[0] * kBlockSize], 0xFF, kBlockSize); },
     MCB_FINDING_COPY_DAMAGED, MCB_SEVERITY_WARNING, true},
    {"TwoBrokenCopies",
     [](auto& img) {
         img[kDirectoryBlock[0] * kBlockSize + 100] ^= 1;
         img[kMapBlock[1] * kBlockSize + 100] ^= 1;
     },
     MCB_FINDING_COPY_DAMAGED, MCB_SEVERITY_FAULT, false},
    {"LeakedBlocks", [](auto& img) { setMapEntryOnCard(img, 30, 0xFFFF); },
     MCB_FINDING_LEAKED_BLOCKS, MCB_SEVERITY_WARNING, true},
    {"BlocksClaimedTwice",
     [](auto& img) {
         placeChainedSave(img, 3, makeSaveFile({.name = "D", .blocks = 2}), {8, 9});
     },
     MCB_FINDING_SHARED_BLOCKS, MCB_SEVERITY_WARNING, true},
    {"ChainToAFreeBlock", [](auto& img) { setMapEntryOnCard(img, 20, 40); },
     MCB_FINDING_BROKEN_CHAIN, MCB_SEVERITY_FAULT, false},
    {"ChainLoops", [](auto& img) { setMapEntryOnCard(img, 9, 7); }, MCB_FINDING_BROKEN_CHAIN,
     MCB_SEVERITY_FAULT, false},
    {"CountLongerThanChain", [](auto& img) { setMapEntryOnCard(img, 8, 0xFFFF); },
     MCB_FINDING_COUNT_DISAGREES, MCB_SEVERITY_FAULT, false},
    {"WrongFreeCountInBothCopies",
     [](auto& img) {
         setFreeCount(img, 0, 50);
         setFreeCount(img, 1, 50);
     },
     MCB_FINDING_FREE_COUNT, MCB_SEVERITY_FAULT, false},
    {"WrongFreeCountInOneCopy", [](auto& img) { setFreeCount(img, 0, 3); }, MCB_FINDING_FREE_COUNT,
     MCB_SEVERITY_WARNING, true},
    {"TwinSaves", [](auto& img) { placeSave(img, 3, makeSaveFile(kA), 30); },
     MCB_FINDING_TWIN_SAVES, MCB_SEVERITY_WARNING, true},
    {"HeaderSizeDisagrees",
     [](auto& img) {
         putBe16(&img[kHeaderSizeMbit], 16);
         sealHeader(std::span<uint8_t, kSectorSize>(img.data(), kSectorSize));
     },
     MCB_FINDING_HEADER_SIZE, MCB_SEVERITY_FAULT, false, false},
};

std::string damageName(const testing::TestParamInfo<Damage>& info) { return info.param.name; }

std::vector<mcb_finding> listed(uint32_t count)
{
    std::vector<mcb_finding> out(count);
    for (uint32_t i = 0; i < count; ++i)
        EXPECT_EQ(mcb_finding_at(i, &out[i]), 1);
    return out;
}

bool has(const std::vector<mcb_finding>& list, int32_t kind, int32_t severity = -1)
{
    return std::any_of(list.begin(), list.end(), [&](const mcb_finding& f) {
        return f.kind == kind && (severity < 0 || f.severity == severity);
    });
}

// The check through the exports, on a card image.
std::vector<mcb_finding> checkOn(EmulatedCard& card, int32_t* sound)
{
    uint32_t count = 0;
    if (!connect() || !mcb_check_card(&count, sound)) {
        ADD_FAILURE() << "no check: " << mcb_last_error();
        return {};
    }
    return listed(count);
}

class CheckDamage : public testing::TestWithParam<Damage> {};

} // namespace

TEST(Check, ASoundCardListsEverySaveWithItsChain)
{
    EmulatedCard card(threeSaves());
    int32_t sound = 0;
    const auto list = checkOn(card, &sound);
    EXPECT_EQ(sound, 1);
    std::vector<std::vector<uint16_t>> chains;
    for (uint32_t i = 0; i < list.size(); ++i) {
        EXPECT_NE(list[i].severity, MCB_SEVERITY_FAULT) << findingText(list[i]);
        if (list[i].kind != MCB_FINDING_SAVE)
            continue;
        std::vector<uint16_t> blocks(list[i].blocks);
        EXPECT_EQ(mcb_finding_blocks(i, blocks.data(), uint32_t(blocks.size())),
                  int32_t(blocks.size()));
        chains.push_back(blocks);
    }
    EXPECT_EQ(chains, (std::vector<std::vector<uint16_t>>{{5, 6}, {7, 8, 9}, {20, 12}}));
    EXPECT_TRUE(has(list, MCB_FINDING_COPY_IN_USE));
}

TEST_P(CheckDamage, NamesTheDamageAndGivesTheRightVerdict)
{
    auto image = threeSaves();
    GetParam().apply(image);
    EmulatedCard card(image);
    int32_t sound = -1;
    const auto list = checkOn(card, &sound);
    if (GetParam().seenThroughAdapter) {
        EXPECT_TRUE(has(list, GetParam().kind, GetParam().severity));
        EXPECT_EQ(sound, GetParam().sound ? 1 : 0);
    }
    SystemCopies s;
    ASSERT_TRUE(systemCopiesOf(image, s));
    const CheckResult r = checkCard(s);
    EXPECT_TRUE(std::any_of(r.items.begin(), r.items.end(), [&](const CheckItem& i) {
        return i.f.kind == GetParam().kind && i.f.severity == GetParam().severity;
    }));
    // The check reads and never writes.
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);
    EXPECT_EQ(card.image(), image);
    // The image check of the tools agrees with the library's.
    EXPECT_EQ(inspectCard(image).sound(), GetParam().sound);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CheckDamage, testing::ValuesIn(kDamages), damageName);

TEST(Check, ANewerCopyThatIsIntactButOlderIsNoFault)
{
    // A console's change writes only the copy not in use: the other is a
    // whole, older description of the card.
    auto image = threeSaves();
    Block dir = blockOf(image, kDirectoryBlock[1]);
    Block map = blockOf(image, kMapBlock[1]);
    std::memset(&dir[1 * kEntrySize], 0xFF, kEntrySize);
    for (unsigned b : {7, 8, 9})
        setMapEntry(map, b, 0);
    putBe16(&dir[kDirCounter], uint16_t(directoryCounter(dir) + 1));
    sealDirectory(dir);
    refreshMapHeader(map, 59);
    putBlock(image, kDirectoryBlock[1], dir);
    putBlock(image, kMapBlock[1], map);
    SystemCopies s;
    ASSERT_TRUE(systemCopiesOf(image, s));
    const CheckResult r = checkCard(s);
    EXPECT_TRUE(r.sound());
    EXPECT_EQ(r.directoryCopy, 1);
    EXPECT_EQ(r.mapCopy, 1);
}

TEST(Check, ExportsSayWhyTheyFail)
{
    EmulatedCard card(threeSaves());
    uint32_t count = 0;
    CloseDevice();
    EXPECT_EQ(mcb_check_card(&count, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_LOADED);
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_check_card(&count, nullptr), 1);
    mcb_finding f;
    EXPECT_EQ(mcb_finding_at(count, &f), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(mcb_finding_at(0, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(mcb_finding_blocks(count, nullptr, 0), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(mcb_recover_slot(127, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(mcb_recover_slot(1, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_SAVE);
    card.faults.failReadAt = {Place::Kind::Directory, 0, 1};
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_check_card(&count, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_IO);
}

namespace {

// The bytes of each save as the card holds them, by name, for the saves
// whose chains are sound.
std::map<std::string, std::vector<uint8_t>> saveData(const std::vector<uint8_t>& image)
{
    std::map<std::string, std::vector<uint8_t>> out;
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return out;
    const CardChains chains = followChains(dir, map, saveAreaFor(59));
    for (unsigned s = 0; s < kSaveSlotCount; ++s) {
        if (entryAt(dir, s).empty() || !chains.chains[s].sound())
            continue;
        std::vector<unsigned> blocks(chains.chains[s].blocks.begin(),
                                     chains.chains[s].blocks.end());
        out[entryAt(dir, s).name() + "@" + std::to_string(s)] = blocksOf(image, blocks);
    }
    return out;
}

struct RepairCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
    std::vector<int32_t> planned; // the repair kinds the plan lists
    bool cleanAfter;              // no fault nor warning after --apply (bar twins and left saves)
};

void PrintTo(const RepairCase& c, std::ostream* os) { *os << c.name; }

const RepairCase kRepairs[] = {
    {"BrokenCopy",
     [](auto& img) { std::memset(&img[kMapBlock[0] * kBlockSize], 0xFF, kBlockSize); },
     {MCB_REPAIR_REBUILD_COPY},
     true},
    {"LeakedBlocks",
     [](auto& img) {
         setMapEntryOnCard(img, 30, 31);
         setMapEntryOnCard(img, 31, 0xFFFF);
     },
     {MCB_REPAIR_FREE_BLOCKS},
     true},
    {"WrongFreeCountInOneCopy",
     [](auto& img) { setFreeCount(img, 1, 2); },
     {MCB_REPAIR_REBUILD_COPY},
     true},
    {"WrongFreeCountInBoth",
     [](auto& img) {
         setFreeCount(img, 0, 9);
         setFreeCount(img, 1, 9);
     },
     {MCB_REPAIR_REBUILD_COPY, MCB_REPAIR_FREE_COUNT},
     true},
    {"BrokenChainBesideLeakedBlocks",
     [](auto& img) {
         setMapEntryOnCard(img, 20, 40); // C: 20 -> free 40; its block 12 is now unreached
         setMapEntryOnCard(img, 33, 0xFFFF);
     },
     {MCB_REPAIR_SAVE_LEFT, MCB_REPAIR_FREE_BLOCKS},
     false},
};

class Repair : public testing::TestWithParam<RepairCase> {};

std::vector<int32_t> kindsOf(const std::vector<mcb_finding>& list)
{
    std::vector<int32_t> out;
    for (const mcb_finding& f : list)
        out.push_back(f.kind);
    return out;
}

std::vector<uint16_t> freedBlocks(uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        mcb_finding f;
        if (mcb_finding_at(i, &f) && f.kind == MCB_REPAIR_FREE_BLOCKS) {
            std::vector<uint16_t> b(f.blocks);
            mcb_finding_blocks(i, b.data(), uint32_t(b.size()));
            return b;
        }
    }
    return {};
}

} // namespace

TEST_P(Repair, TheDryRunChangesNothingAndApplyFixesWhatItSaid)
{
    const RepairCase& c = GetParam();
    auto image = threeSaves();
    c.apply(image);
    const auto dataBefore = saveData(image);
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    uint32_t count = 0;
    ASSERT_EQ(mcb_repair_card(0, &count), 1) << mcb_last_error();
    EXPECT_EQ(kindsOf(listed(count)), c.planned);
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);
    EXPECT_EQ(card.image(), image);
    const std::vector<uint16_t> planFreed = freedBlocks(count);

    Block dirBefore, mapBefore;
    ASSERT_TRUE(currentStructures(image, dirBefore, mapBefore));
    ASSERT_EQ(mcb_repair_card(1, &count), 1) << mcb_last_error();
    EXPECT_EQ(kindsOf(listed(count)), c.planned);
    // Nothing else changed: the same entries, the same map but for the
    // freed blocks, the same data in every sound save.
    Block dir, map;
    ASSERT_TRUE(currentStructures(card.image(), dir, map));
    EXPECT_EQ(std::memcmp(dir.data(), dirBefore.data(), kSaveSlotCount * kEntrySize), 0);
    for (unsigned b = kSystemBlocks; b < 64; ++b) {
        const bool freed = std::find(planFreed.begin(), planFreed.end(), b) != planFreed.end();
        EXPECT_EQ(mapEntry(map, b), freed ? 0 : mapEntry(mapBefore, b)) << b;
    }
    EXPECT_EQ(saveData(card.image()), dataBefore);

    int32_t sound = 0;
    const auto after = checkOn(card, &sound);
    for (const mcb_finding& f : after)
        if (c.cleanAfter)
            EXPECT_EQ(f.severity, MCB_SEVERITY_INFO) << findingText(f);
        else
            EXPECT_NE(f.kind, MCB_FINDING_LEAKED_BLOCKS) << findingText(f);
    // A second repair finds nothing more to change.
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_repair_card(0, &count), 1);
    const auto again = kindsOf(listed(count));
    EXPECT_TRUE(std::none_of(again.begin(), again.end(), [](int32_t k) {
        return k == MCB_REPAIR_REBUILD_COPY || k == MCB_REPAIR_FREE_BLOCKS ||
               k == MCB_REPAIR_FREE_COUNT;
    }));
}

// A cut at every sector write of the repair: the card still loads, every
// save that was sound is sound and holds its data, no fault appears that
// was not there, and a repair run afterwards finishes the job.
TEST_P(Repair, SurvivesACutAtEveryWrite)
{
    const RepairCase& c = GetParam();
    auto image = threeSaves();
    c.apply(image);
    const auto dataBefore = saveData(image);
    SystemCopies s;
    ASSERT_TRUE(systemCopiesOf(image, s));
    const bool soundBefore = checkCard(s).sound();
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_repair_card(1, nullptr), 1);
    const uint64_t total = card.traffic().sectorWrites;
    ASSERT_GE(total, 16u);
    for (uint64_t n = 1; n <= total; ++n) {
        card.image() = image;
        card.faults.cutAfterSectorWrites = n;
        ASSERT_TRUE(connect());
        mcb_repair_card(1, nullptr);
        const auto cut = card.image();
        ASSERT_EQ(saveData(cut), dataBefore) << "cut after " << n;
        ASSERT_TRUE(systemCopiesOf(cut, s));
        if (soundBefore)
            ASSERT_TRUE(checkCard(s).sound()) << "cut after " << n;
        card.faults = {};
        ASSERT_TRUE(connect());
        ASSERT_EQ(mcb_repair_card(1, nullptr), 1) << "cut after " << n;
        ASSERT_TRUE(systemCopiesOf(card.image(), s));
        const CheckResult done = checkCard(s);
        for (const CheckItem& i : done.items)
            if (c.cleanAfter)
                ASSERT_EQ(i.f.severity, MCB_SEVERITY_INFO) << n << ": " << findingText(i.f);
        ASSERT_EQ(saveData(card.image()), dataBefore) << "cut after " << n;
    }
    std::printf("repair cut sweep %-30s %llu points, all passed\n", c.name,
                static_cast<unsigned long long>(total));
}

INSTANTIATE_TEST_SUITE_P(Cases, Repair, testing::ValuesIn(kRepairs),
                         [](const testing::TestParamInfo<RepairCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Repair, NothingToRebuildFromIsRefused)
{
    auto image = threeSaves();
    std::memset(&image[kDirectoryBlock[0] * kBlockSize], 0xFF, kBlockSize);
    std::memset(&image[kDirectoryBlock[1] * kBlockSize], 0xFF, kBlockSize);
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    uint32_t count = 0;
    EXPECT_EQ(mcb_repair_card(1, &count), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_DAMAGED);
    EXPECT_TRUE(has(listed(count), MCB_REPAIR_NOT_MENDED));
    EXPECT_EQ(card.image(), image);
}

TEST(DownloadDamaged, RescuesWhatABrokenSaveHoldsAndCopiesASoundOneWhole)
{
    auto image = threeSaves();
    setMapEntryOnCard(image, 7, 40); // B: 7 -> a free block
    EmulatedCard card(image);
    TempDir dir;
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_download_slot(1, dir.file("b.gci").c_str()), 0);
    int32_t source = -1;
    ASSERT_EQ(mcb_download_damaged(1, dir.file("b.gci").c_str(), &source), 1);
    EXPECT_EQ(source, MCB_RECOVER_RUN);
    const auto rescued = readFile(dir.file("b.gci"));
    ASSERT_EQ(rescued.size(), 64 + 3 * kBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(rescued.begin() + 64, rescued.end()), blocksOf(image, 7, 3));
    ASSERT_EQ(mcb_download_damaged(2, dir.file("c.gci").c_str(), &source), 1);
    EXPECT_EQ(source, MCB_RECOVER_CHAIN);
    ASSERT_EQ(mcb_download_slot(2, dir.file("c2.gci").c_str()), 1);
    EXPECT_EQ(readFile(dir.file("c.gci")), readFile(dir.file("c2.gci")));
    EXPECT_EQ(card.image(), image);
}
