// What a save says about itself: icon frames in every format, comment texts
// in both encodings, dates, permissions, and the same for a card save read
// through its chain.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/icon_decode.h"
#include "mcbridge/save_info.h"
#include "mcbridge/text_encoding.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace mcb;
using namespace mcbtest;

namespace {

// The structure is large; one per test, on the heap.
std::unique_ptr<mcb_save_info> blankInfo()
{
    auto info = std::make_unique<mcb_save_info>();
    std::memset(info.get(), 0xAB, sizeof *info);
    return info;
}

std::array<uint8_t, 4> opaque(uint16_t c)
{
    auto five = [](unsigned v) { return uint8_t(v << 3 | v >> 2); };
    return {five((c >> 10) & 31), five((c >> 5) & 31), five(c & 31), 255};
}

std::array<uint8_t, 4> pixelOf(const mcb_icon_frame& f, unsigned x, unsigned y)
{
    const uint8_t* p = &f.rgba[4 * (y * 32 + x)];
    return {p[0], p[1], p[2], p[3]};
}

// Every pixel of frame i shows made frame source, stored in format.
void expectFrame(const mcb_icon_frame& f, unsigned source, unsigned format)
{
    unsigned wrong = 0;
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 0; x < 32; ++x)
            wrong += pixelOf(f, x, y) != opaque(madeIconColour(source, format, x, y));
    EXPECT_EQ(wrong, 0u) << "pixels differ in a frame made as " << source;
}

std::unique_ptr<mcb_save_info> describeFile(const std::vector<uint8_t>& file)
{
    TempDir dir;
    writeFile(dir.file("s.gci"), file);
    auto info = blankInfo();
    EXPECT_EQ(mcb_save_info_file(dir.file("s.gci").c_str(), info.get()), 1)
        << mcb_save_fault_text(mcb_save_fault());
    return info;
}

struct IconRow {
    const char* name;
    uint8_t bannerFlags;
    std::vector<MadeFrame> frames;
};

void PrintTo(const IconRow& row, std::ostream* os) { *os << row.name; }

class IconFormats : public testing::TestWithParam<IconRow> {};

TEST_P(IconFormats, DecodesEveryFrameWithItsDelay)
{
    const IconRow& row = GetParam();
    DescribedSaveSpec spec;
    spec.save.blocks = 4;
    spec.bannerFlags = row.bannerFlags;
    spec.frames = row.frames;
    const auto info = describeFile(makeDescribedSave(spec));
    ASSERT_EQ(info->frame_count, row.frames.size());
    EXPECT_EQ(info->animation,
              row.bannerFlags & 4 ? uint32_t(MCB_ANIMATION_BOUNCE) : uint32_t(MCB_ANIMATION_LOOP));
    EXPECT_EQ(info->icon_complete, 1u);
    for (unsigned i = 0; i < row.frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(info->frames[i].format, row.frames[i].format);
        EXPECT_EQ(info->frames[i].delay, 4 * row.frames[i].delay);
        expectFrame(info->frames[i], i, row.frames[i].format);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, IconFormats,
    testing::Values(IconRow{"DirectColour", 0, {{2, 1}}}, IconRow{"OwnPalette", 0, {{3, 2}}},
                    IconRow{"SharedPalette", 0, {{1, 3}, {1, 1}, {1, 2}}},
                    IconRow{"MixedAfterIndexedBanner", 1, {{1, 1}, {2, 2}, {3, 3}, {1, 2}}},
                    IconRow{"EightFramesAfterDirectBanner",
                            2,
                            {{2, 1}, {1, 2}, {3, 3}, {1, 1}, {2, 2}, {3, 1}, {1, 3}, {2, 2}}},
                    IconRow{"BounceAfterIndexedBanner", 5, {{3, 1}, {3, 2}}},
                    IconRow{"BounceWithoutBanner", 4, {{2, 3}, {1, 3}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveIcons, AFrameWithoutPictureShowsTheNextOne)
{
    DescribedSaveSpec spec;
    spec.save.blocks = 2;
    spec.frames = {{1, 2}, {0, 2}, {2, 1}, {0, 3}};
    const auto info = describeFile(makeDescribedSave(spec));
    ASSERT_EQ(info->frame_count, 4u);
    expectFrame(info->frames[0], 0, 1);
    EXPECT_EQ(info->frames[1].format, 0u);
    EXPECT_EQ(info->frames[1].delay, 8u);
    expectFrame(info->frames[1], 2, 2);
    expectFrame(info->frames[2], 2, 2);
    for (unsigned i = 0; i < 32 * 32; ++i)
        ASSERT_EQ(info->frames[3].rgba[4 * i + 3], 0) << "a last blank frame is transparent";
}

TEST(SaveIcons, NoIconWhenTheFirstFrameHasNoPictureOrNoDelay)
{
    DescribedSaveSpec spec;
    spec.frames = {{0, 2}, {2, 2}};
    EXPECT_EQ(describeFile(makeDescribedSave(spec))->frame_count, 0u);
    spec.frames = {{2, 0}, {2, 2}};
    EXPECT_EQ(describeFile(makeDescribedSave(spec))->frame_count, 0u);
}

// Picture data that would lie past the save's end is not read: those pixels
// stay transparent and the description says it is incomplete.
TEST(SaveIcons, IconBeyondTheSaveIsIncomplete)
{
    DescribedSaveSpec spec;
    spec.save.blocks = 1;
    std::vector<uint8_t> file = makeDescribedSave(spec);
    putBe32(&file[kEntryPictureOffset], uint32_t(kBlockSize - 1024));
    putBe16(&file[kEntryIconFormat], 2);
    putBe16(&file[kEntryIconSpeed], 1);
    const auto info = describeFile(file);
    ASSERT_EQ(info->frame_count, 1u);
    EXPECT_EQ(info->icon_complete, 0u);
    EXPECT_EQ(info->frames[0].rgba[4 * (31 * 32 + 31) + 3], 0);
}

struct ColourRow {
    const char* name;
    uint16_t stored;
    std::array<uint8_t, 4> rgba;
};

void PrintTo(const ColourRow& row, std::ostream* os) { *os << row.name; }

class IconColours : public testing::TestWithParam<ColourRow> {};

TEST_P(IconColours, ConvertToRgba)
{
    EXPECT_EQ(rgbaFromRgb5a3(GetParam().stored), GetParam().rgba);
}

INSTANTIATE_TEST_SUITE_P(
    BothColourModes, IconColours,
    testing::Values(ColourRow{"OpaqueWhite", 0xFFFF, {255, 255, 255, 255}},
                    ColourRow{"OpaqueRed", 0xFC00, {255, 0, 0, 255}},
                    ColourRow{"OpaqueDarkGrey", 0x8421, {8, 8, 8, 255}},
                    ColourRow{"ClearRed", 0x0F00, {255, 0, 0, 0}},
                    ColourRow{"TranslucentWhite", 0x7FFF, {255, 255, 255, 255}},
                    ColourRow{"TranslucentViolet", 0x3A5F, {170, 85, 255, 0x6D}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextRow {
    const char* name;
    std::vector<uint8_t> bytes;
    Encoding encoding;
    std::string utf8;
};

void PrintTo(const TextRow& row, std::ostream* os) { *os << row.name; }

class Texts : public testing::TestWithParam<TextRow> {};

TEST_P(Texts, DecodeToUtf8)
{
    EXPECT_EQ(textToUtf8(GetParam().bytes, GetParam().encoding), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    BothEncodings, Texts,
    testing::Values(
        TextRow{"StopsAtNul", {'a', 'b', 0, 'c'}, Encoding::ShiftJis, "ab"},
        TextRow{"Kanji", {0x89, 0xA9, 0x8D, 0xA8}, Encoding::ShiftJis, "\xE9\xBB\x84\xE6\x98\x8F"},
        TextRow{
            "Katakana", {0x83, 0x5A, 0x81, 0x5B}, Encoding::ShiftJis, "\xE3\x82\xBB\xE3\x83\xBC"},
        TextRow{"VendorRomanNumeral", {0x87, 0x55}, Encoding::ShiftJis, "\xE2\x85\xA1"},
        TextRow{"UpperLeadRow",
                {0xE0, 0x40, 0xFC, 0x4B},
                Encoding::ShiftJis,
                "\xE6\xBC\xBE\xE9\xBB\x91"},
        TextRow{"HalfWidthKana",
                {0xB1, 'A'},
                Encoding::ShiftJis,
                "\xEF\xBD\xB1"
                "A"},
        TextRow{"UnassignedPair", {0x85, 0x40, 'z'}, Encoding::ShiftJis, "\xEF\xBF\xBDz"},
        TextRow{"LeadCutByNul", {'x', 0x83, 0}, Encoding::ShiftJis, "x\xEF\xBF\xBD"},
        TextRow{"LeadAtTheEnd", {0x83}, Encoding::ShiftJis, "\xEF\xBF\xBD"},
        TextRow{"Cp1252Specials",
                {0x80, 0x99, 0x9F},
                Encoding::Ansi,
                "\xE2\x82\xAC\xE2\x84\xA2\xC5\xB8"},
        TextRow{"Cp1252Latin1", {'c', 'a', 'f', 0xE9, 0xA0}, Encoding::Ansi, "caf\xC3\xA9\xC2\xA0"},
        TextRow{"Cp1252Hole", {0x81}, Encoding::Ansi, "\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DateRow {
    const char* name;
    uint32_t seconds;
    CalendarTime when;
};

void PrintTo(const DateRow& row, std::ostream* os) { *os << row.name; }

class ConsoleDates : public testing::TestWithParam<DateRow> {};

TEST_P(ConsoleDates, CountSecondsFrom2000)
{
    EXPECT_EQ(calendarFromConsoleSeconds(GetParam().seconds), GetParam().when);
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, ConsoleDates,
    testing::Values(DateRow{"TheEpoch", 0, {2000, 1, 1, 0, 0, 0}},
                    DateRow{"LastSecondOfTheFirstDay", 86399, {2000, 1, 1, 23, 59, 59}},
                    DateRow{"LeapDay2000", 5097600, {2000, 2, 29, 0, 0, 0}},
                    DateRow{"AfterALeapYear", 36720000, {2001, 3, 1, 0, 0, 0}},
                    DateRow{"AnAfternoon", 103250096, {2003, 4, 10, 0, 34, 56}},
                    DateRow{"LargestCount", 0xFFFFFFFF, {2136, 2, 7, 6, 28, 15}}),
    [](const auto& info) { return std::string(info.param.name); });

DescribedSaveSpec describedSpec(const std::string& code)
{
    DescribedSaveSpec spec;
    spec.save.code = code;
    spec.save.name = "progress.dat";
    spec.save.blocks = 3;
    spec.commentOffset = 0x2010; // in the second block
    spec.pictureOffset = 0x2100; // from the second into the third
    spec.title = {0x83, 0x5A, 0x81, 0x5B, 'X'};
    spec.comment = {'2', 0x80};
    spec.modified = 103250096;
    spec.permissions = 0x14;
    spec.copyCounter = 3;
    spec.bannerFlags = 1;
    spec.frames = {{1, 1}, {3, 2}, {2, 3}};
    return spec;
}

TEST(SaveInfo, DescribesASaveFile)
{
    const auto jp = describeFile(makeDescribedSave(describedSpec("GRSJAF")));
    EXPECT_STREQ(jp->code, "GRSJAF");
    EXPECT_STREQ(jp->name, "progress.dat");
    EXPECT_EQ(jp->has_comment, 1u);
    EXPECT_EQ(jp->encoding, 1u);
    EXPECT_STREQ(jp->title, "\xE3\x82\xBB\xE3\x83\xBC"
                            "X");
    EXPECT_EQ(jp->modified, 103250096u);
    EXPECT_EQ(jp->year * 10000 + jp->month * 100 + jp->day, 20030410);
    EXPECT_EQ(jp->hour * 3600 + jp->minute * 60 + jp->second, 34 * 60 + 56);
    EXPECT_EQ(jp->permissions, uint32_t(MCB_PERMISSION_PUBLIC | MCB_PERMISSION_NO_MOVE));
    EXPECT_EQ(jp->copy_counter, 3u);
    EXPECT_EQ(jp->blocks, 3u);
    EXPECT_EQ(jp->format, uint32_t(MCB_SAVE_GCI));
    EXPECT_EQ(jp->frame_count, 3u);

    // Any other market's texts are Windows-1252.
    const auto us = describeFile(makeDescribedSave(describedSpec("GRSEAF")));
    EXPECT_EQ(us->encoding, 0u);
    EXPECT_STREQ(us->title, "\xC6\x92Z\xEF\xBF\xBD[X"); // 0x81 is a hole
    EXPECT_STREQ(us->comment, "2\xE2\x82\xAC");
}

TEST(SaveInfo, ASaveWithoutCommentHasEmptyLines)
{
    DescribedSaveSpec spec = describedSpec("GRSEAF");
    spec.commentOffset = 0xFFFFFFFF;
    const auto info = describeFile(makeDescribedSave(spec));
    EXPECT_EQ(info->has_comment, 0u);
    EXPECT_STREQ(info->title, "");
    EXPECT_STREQ(info->comment, "");
}

// A card whose save lies in blocks 9, 5 and 7, chained in that order: the
// comment and the icon are in the second and third blocks of the chain.
class CardSlotInfo : public testing::Test {
protected:
    void SetUp() override
    {
        save = makeDescribedSave(describedSpec("GRSEAF"));
        placeChainedSave(card.image(), 2, save, {9, 5, 7});
    }
    void TearDown() override { CloseDevice(); }

    EmulatedCard card{4, Encoding::ShiftJis};
    std::vector<uint8_t> save;
};

TEST_F(CardSlotInfo, FollowsTheChainAndTheCardsEncoding)
{
    ASSERT_TRUE(connect());
    auto info = blankInfo();
    ASSERT_EQ(mcb_save_info_slot(2, info.get()), 1) << mcb_error_text(mcb_last_error());
    EXPECT_EQ(info->encoding, 1u) << "the card's encoding wins over the game code";
    EXPECT_STREQ(info->title, "\xE3\x82\xBB\xE3\x83\xBC"
                              "X");
    EXPECT_EQ(info->format, 0u);
    EXPECT_EQ(info->blocks, 3u);
    ASSERT_EQ(info->frame_count, 3u);
    expectFrame(info->frames[0], 0, 1);
    expectFrame(info->frames[1], 1, 3);
    expectFrame(info->frames[2], 2, 2);
}

TEST_F(CardSlotInfo, RefusesEmptySlotsAndBrokenChains)
{
    ASSERT_TRUE(connect());
    auto info = blankInfo();
    EXPECT_EQ(mcb_save_info_slot(0, info.get()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_SAVE);
    EXPECT_EQ(mcb_save_info_slot(127, info.get()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(mcb_save_info_slot(2, nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    CloseDevice();

    // Block 5 now claims to end the save: the chain is one block short.
    for (unsigned copy = 0; copy < 2; ++copy) {
        Block map;
        std::memcpy(map.data(), &card.image()[kMapBlock[copy] * kBlockSize], kBlockSize);
        setMapEntry(map, 5, kMapLastEntry);
        sealMap(map);
        std::memcpy(&card.image()[kMapBlock[copy] * kBlockSize], map.data(), kBlockSize);
    }
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_save_info_slot(2, info.get()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BROKEN_CHAIN);
}

TEST_F(CardSlotInfo, ReportsALinkLostWhileReadingTheSave)
{
    auto info = blankInfo();
    card.faults.failReadAt = {Place::Kind::Block, 7, 2}; // inside the chain's last block
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_save_info_slot(2, info.get()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_IO);
}

TEST(SaveInfoSlot, NeedsAnOpenAdapter)
{
    CloseDevice();
    auto info = blankInfo();
    EXPECT_EQ(mcb_save_info_slot(0, info.get()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_LOADED);
}

} // namespace

namespace {

// Listing a card as the program does: one load, then for every save its
// entry, its banner's bitmap and its description. What that reads is counted
// by the adapter, in sectors: the system area once, and for each save no
// more than the sectors its banner, icon and comment lie in and the few that
// show the card is still the one loaded. The figures are printed:
//
//   build/test/bin/mcbridge_tests --gtest_filter='*ListingReads*'
struct ListedSave {
    unsigned blocks;
    uint8_t bannerFlags;
    std::vector<MadeFrame> frames;
    uint32_t commentOffset;
    uint32_t pictureOffset;
    bool scattered; // its blocks chained out of order, as deletes leave them
};

struct ListingRow {
    const char* name;
    std::vector<ListedSave> saves;
};

void PrintTo(const ListingRow& row, std::ostream* os) { *os << row.name; }

uint64_t sectorsSpanned(uint64_t begin, uint64_t length)
{
    return length == 0 ? 0 : (begin + length - 1) / kSectorSize - begin / kSectorSize + 1;
}

// The sectors holding what a listing needs of the save, laid out as
// makeDescribedSave lays them: its banner (for the list's picture), its icon
// and its comment lines (for the description), each counted on its own as
// the two calls read them.
uint64_t neededSectors(const ListedSave& s)
{
    const uint64_t banner = (s.bannerFlags & 3) == 1   ? 96 * 32 + 512
                            : (s.bannerFlags & 3) == 2 ? 96 * 32 * 2
                                                       : 0;
    uint64_t icon = 0;
    bool shared = false;
    for (const MadeFrame& f : s.frames) {
        icon += f.format == 2 ? 2048 : f.format == 3 ? 1024 + 512 : f.format == 1 ? 1024 : 0;
        shared |= f.format == 1;
    }
    icon += shared ? 512 : 0;
    const uint64_t comment = s.commentOffset == 0xFFFFFFFF ? 0 : 64;
    return sectorsSpanned(s.pictureOffset, banner) +
           sectorsSpanned(s.pictureOffset + banner, icon) +
           sectorsSpanned(s.commentOffset, comment);
}

// A card's check before a description: its header, and the sector of each
// copy of the directory and of the map that holds its counter and checksum.
constexpr uint64_t kCheckSectors = 1 + 4;
// The load: the header, the four counter sectors, the directory in use and
// both copies of the map.
constexpr uint64_t kLoadSectors = 1 + 4 + 3 * kSectorsPerBlock;

// The program's probe card: 127 saves in every block of a 16 Mbit card, each
// a direct-colour banner at the start of its first block.
std::vector<ListedSave> fullCard()
{
    const unsigned blocks = unsigned(MCB_SAVE_BLOCKS(16));
    std::vector<ListedSave> saves;
    for (unsigned i = 0; i < kSaveSlotCount; ++i)
        saves.push_back(
            {blocks / kSaveSlotCount + (i < blocks % kSaveSlotCount ? 1 : 0), 2, {}, 0, 0, false});
    return saves;
}

std::vector<uint8_t> listedCard(const ListingRow& row, std::vector<std::vector<uint8_t>>& files)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{16});
    unsigned next = kSystemBlocks;
    for (std::size_t i = 0; i < row.saves.size(); ++i) {
        const ListedSave& s = row.saves[i];
        DescribedSaveSpec spec;
        spec.save.name = "save" + std::to_string(i);
        spec.save.blocks = s.blocks;
        spec.save.seed = uint8_t(i);
        spec.bannerFlags = s.bannerFlags;
        spec.frames = s.frames;
        spec.commentOffset = s.commentOffset;
        spec.pictureOffset = s.pictureOffset;
        spec.title = {'T', uint8_t('0' + i % 10)};
        spec.comment = {'c'};
        files.push_back(makeDescribedSave(spec));
        std::vector<unsigned> blocks(s.blocks);
        for (unsigned b = 0; b < s.blocks; ++b)
            blocks[b] = next + (s.scattered ? s.blocks - 1 - b : b);
        next += s.blocks;
        placeChainedSave(image, unsigned(i), files.back(), blocks);
    }
    return image;
}

class ListingReads : public testing::TestWithParam<ListingRow> {};

} // namespace

TEST_P(ListingReads, AreTheSystemAreaOnceAndAFewSectorsPerSave)
{
    const ListingRow& row = GetParam();
    std::vector<std::vector<uint8_t>> files;
    NamedCards cards;
    auto& card = cards.add("mem:L", listedCard(row, files));
    mcb_card* c = nullptr;
    ASSERT_EQ(mcb_open("mem:L", &c), MCB_OK);
    const uint64_t start = card.traffic->sectorReads;
    ASSERT_EQ(mcb_load(c), int(row.saves.size()));
    uint64_t bound = kLoadSectors;
    std::vector<std::unique_ptr<mcb_save_info>> described;
    for (std::size_t i = 0; i < row.saves.size(); ++i) {
        const auto slot = uint32_t(i);
        uint8_t entry[MCB_ENTRY_SIZE];
        ASSERT_EQ(mcb_entry(c, slot, entry, sizeof entry), MCB_OK);
        std::vector<uint8_t> bitmap(MCB_BITMAP_MAX);
        size_t length = 0;
        ASSERT_GT(mcb_slot_bitmap(c, slot, bitmap.data(), bitmap.size(), &length), 0);
        described.push_back(blankInfo());
        ASSERT_EQ(mcb_describe_slot(c, slot, described.back().get()), MCB_OK);
        bound += neededSectors(row.saves[i]) + kCheckSectors;
    }
    const uint64_t read = card.traffic->sectorReads - start;
    EXPECT_LE(read, bound) << read << " sectors for " << row.saves.size() << " saves";
    std::printf("listing %-16s %zu saves: %llu sectors read (bound %llu)\n", row.name,
                row.saves.size(), static_cast<unsigned long long>(read),
                static_cast<unsigned long long>(bound));

    // What is read is all a description needs: each says what the save's
    // own bytes say.
    for (std::size_t i = 0; i < files.size(); ++i) {
        auto fromFile = blankInfo();
        ASSERT_EQ(mcb_describe_save(files[i].data(), files[i].size(), fromFile.get()), MCB_OK);
        fromFile->format = described[i]->format;
        EXPECT_EQ(std::memcmp(fromFile.get(), described[i].get(), sizeof(mcb_save_info)), 0)
            << "save " << i;
    }
    mcb_close(c);
}

INSTANTIATE_TEST_SUITE_P(
    Listing, ListingReads,
    testing::Values(ListingRow{"OneBlockEach",
                               std::vector<ListedSave>(12, ListedSave{1, 2, {}, 0x1C00, 0, false})},
                    ListingRow{"SeveralSizes",
                               {{1, 1, {{1, 1}}, 0, 0x40, false},
                                {3, 2, {{2, 2}, {3, 1}}, 0x2010, 0x2100, true},
                                {7, 1, {{1, 1}, {1, 2}, {2, 3}}, 0x4000, 0x40, true},
                                {20, 2, {{2, 1}}, 0xFFFFFFFF, 0x8000, false},
                                {2, 0, {}, 0x10, 0x40, false}}},
                    ListingRow{"Full16Mbit", fullCard()},
                    ListingRow{"CommentsInLaterBlocks",
                               {{5, 1, {{3, 1}}, 0x8000 - 32, 0x6000, true},
                                {9, 2, {{2, 2}}, 0x10000, 0x2000, true}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A card another program changed after the load: the description is of
// the save the card holds now, never pieced together from the old chain.
TEST(ListingReads, SeeAChangeAnotherProgramMadeSinceTheLoad)
{
    const ListingRow row{"", {{2, 2, {}, 0x10, 0x40, false}}};
    std::vector<std::vector<uint8_t>> files;
    NamedCards cards;
    auto& card = cards.add("mem:L", listedCard(row, files));
    mcb_card* c = nullptr;
    ASSERT_EQ(mcb_open("mem:L", &c), MCB_OK);
    ASSERT_EQ(mcb_load(c), 1);
    auto before = blankInfo();
    ASSERT_EQ(mcb_describe_slot(c, 0, before.get()), MCB_OK);
    EXPECT_STREQ(before->title, "T0");

    // The same slot now holds another save, in other blocks.
    DescribedSaveSpec spec;
    spec.save.name = "other";
    spec.save.blocks = 1;
    spec.bannerFlags = 0;
    spec.commentOffset = 0x100;
    spec.title = {'N', 'e', 'w'};
    placeChainedSave(card.image(), 0, makeDescribedSave(spec), {40});
    auto after = blankInfo();
    ASSERT_EQ(mcb_describe_slot(c, 0, after.get()), MCB_OK);
    EXPECT_STREQ(after->name, "other");
    EXPECT_STREQ(after->title, "New");
    mcb_close(c);
}
