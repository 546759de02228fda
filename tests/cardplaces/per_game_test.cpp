// Per-game cards: their names, a split and a gather back, byte for byte.
#include "cardplaces/per_game.h"
#include "cardplaces/sd_cards.h"
#include "mcbridge.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

using namespace cardplaces;
using namespace mcbtest;
namespace fs = std::filesystem;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

Card open(const std::string& device)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(device.c_str(), &c), MCB_OK) << device;
    return Card(c);
}

mcb_card_info infoOf(mcb_card* card)
{
    mcb_card_info info{};
    info.size = sizeof info;
    EXPECT_EQ(mcb_describe_card(card, &info), MCB_OK);
    return info;
}

// A card's saves by code and name, where they lie left out.
std::map<std::string, std::vector<uint8_t>> savesOf(const std::string& device)
{
    const Card card = open(device);
    std::map<std::string, std::vector<uint8_t>> out;
    mcb_load(card.get());
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        uint8_t e[MCB_ENTRY_SIZE];
        if (mcb_entry(card.get(), slot, e, sizeof e) != MCB_OK)
            continue;
        size_t length = 0;
        mcb_read_save(card.get(), slot, MCB_SAVE_GCI, nullptr, 0, &length);
        std::vector<uint8_t> bytes(length);
        EXPECT_GE(mcb_read_save(card.get(), slot, MCB_SAVE_GCI, bytes.data(), length, &length), 0);
        bytes[MCB_ENTRY_FIRST_BLOCK] = bytes[MCB_ENTRY_FIRST_BLOCK + 1] = 0;
        out[std::string(e, e + MCB_ENTRY_NAME + 8)] = bytes;
    }
    return out;
}

void put(const std::string& device, const std::vector<uint8_t>& save)
{
    const Card card = open(device);
    const mcb_write_request r{sizeof r, MCB_WRITE_NEW, 0, 0};
    ASSERT_EQ(mcb_write_save(card.get(), save.data(), save.size(), &r, nullptr), MCB_OK);
}

const std::vector<std::vector<uint8_t>> kSaves = {
    makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 3, .seed = 1}),
    makeSaveFile({.code = "GZLJ01", .name = "zelda-1", .blocks = 2, .seed = 2}),
    makeSaveFile({.code = "GZLJ01", .name = "zelda-2", .blocks = 1, .seed = 3}),
    makeSaveFile({.code = "GM8P8P", .name = "metroid", .blocks = 4, .seed = 4}),
};

// A source card of its own identity holding every save above.
std::string sourceCard(const TempDir& dir)
{
    const std::string path = dir.file("source.raw");
    EXPECT_EQ(mcb_create_image(path.c_str(), 16, 0), MCB_OK);
    for (const auto& s : kSaves)
        put("image:" + path, s);
    return "image:" + path;
}

struct Name {
    const char* layout;
    const char* id;
    unsigned channel;
    const char* path;
};

class PerGameNames : public testing::TestWithParam<Name> {};

TEST_P(PerGameNames, AreTheDevicesAndReadBack)
{
    const Name& n = GetParam();
    const TempDir dir;
    const std::string path = perGamePath(dir.path(), *sdLayout(n.layout), n.id, n.channel);
    EXPECT_EQ(path, dir.path() + "/" + n.path);
    fs::create_directories(fs::path(path).parent_path());
    writeFile(path, {0});
    const auto cards = perGameCards(dir.path());
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].path, path);
    // Only the id-folders name carries the maker.
    EXPECT_EQ(cards[0].game, std::string(n.id).substr(0, 4));
    EXPECT_EQ(cards[0].maker,
              n.layout == std::string("id-folders") ? std::string(n.id).substr(4) : "");
    EXPECT_EQ(cards[0].channel, n.channel);
    EXPECT_STREQ(cards[0].layout->name, n.layout);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PerGameNames,
    testing::Values(
        Name{"region-folders", "GAFE01", 1, "MemoryCards/GC/DL-DOL-GAFE-USA/DL-DOL-GAFE-USA-1.raw"},
        Name{"region-folders", "GZLJ01", 8, "MemoryCards/GC/DL-DOL-GZLJ-JPN/DL-DOL-GZLJ-JPN-8.raw"},
        Name{"region-folders", "GM8P01", 2, "MemoryCards/GC/DL-DOL-GM8P-EUR/DL-DOL-GM8P-EUR-2.raw"},
        Name{"region-folders", "GXXK01", 1, "MemoryCards/GC/DL-DOL-GXXK-KOR/DL-DOL-GXXK-KOR-1.raw"},
        Name{"region-folders", "GXXD01", 1, "MemoryCards/GC/DL-DOL-GXXD-GER/DL-DOL-GXXD-GER-1.raw"},
        Name{"region-folders", "GXXF01", 1, "MemoryCards/GC/DL-DOL-GXXF-FRA/DL-DOL-GXXF-FRA-1.raw"},
        Name{"region-folders", "GXXI01", 1, "MemoryCards/GC/DL-DOL-GXXI-ITA/DL-DOL-GXXI-ITA-1.raw"},
        Name{"region-folders", "GXXS01", 1, "MemoryCards/GC/DL-DOL-GXXS-ESP/DL-DOL-GXXS-ESP-1.raw"},
        Name{"region-folders", "GXXW01", 1, "MemoryCards/GC/DL-DOL-GXXW-OTH/DL-DOL-GXXW-OTH-1.raw"},
        Name{"id-folders", "GAFE01", 1, "MemoryCards/GAFE0100/GAFE0100-1.raw"},
        Name{"id-folders", "GM8P8P", 3, "MemoryCards/GM8P8P00/GM8P8P00-3.raw"}),
    [](const auto& info) {
        std::string s = std::string(info.param.layout) + "_" + info.param.id;
        std::erase(s, '-');
        return s;
    });

class SplitGather : public testing::TestWithParam<const char*> {};

TEST_P(SplitGather, GivesBackEverySaveWithTheIdentityKept)
{
    const TempDir dir;
    const std::string source = sourceCard(dir);
    const std::string root = dir.file("sd");
    const SplitSummary split = splitCard(source, root, *sdLayout(GetParam()));
    ASSERT_EQ(split.problem, "");
    ASSERT_EQ(split.cards.size(), 3u);
    const Card from = open(source);
    const mcb_card_info sourceInfo = infoOf(from.get());
    std::map<std::string, bool> japanese;
    for (const SplitCard& c : split.cards) {
        ASSERT_EQ(c.problem, "") << c.id;
        const Card card = open("image:" + c.path);
        const mcb_card_info info = infoOf(card.get());
        EXPECT_EQ(std::memcmp(info.identity, sourceInfo.identity, sizeof info.identity), 0);
        EXPECT_EQ(info.saves, c.id == "GZLJ01" ? 2u : 1u);
        japanese[c.id] = info.encoding == 1;
        EXPECT_EQ(info.megabits, 16u);
    }
    EXPECT_EQ(japanese, (std::map<std::string, bool>{
                            {"GAFE01", false}, {"GM8P8P", false}, {"GZLJ01", true}}));

    const std::string target = dir.file("target.raw");
    ASSERT_EQ(mcb_create_image(target.c_str(), 16, 0), MCB_OK);
    const GatherSummary gather = gatherCards(root, "image:" + target);
    ASSERT_EQ(gather.problem, "");
    EXPECT_EQ(gather.written(), kSaves.size());
    EXPECT_EQ(savesOf("image:" + target), savesOf(source));
}

TEST_P(SplitGather, ASecondSplitTakesTheNextChannelAndLeavesTheFirst)
{
    const TempDir dir;
    const std::string source = sourceCard(dir);
    const std::string root = dir.file("sd");
    const SplitSummary first = splitCard(source, root, *sdLayout(GetParam()));
    std::map<std::string, std::vector<uint8_t>> before;
    for (const SplitCard& c : first.cards)
        before[c.path] = readFile(c.path);
    const SplitSummary second = splitCard(source, root, *sdLayout(GetParam()));
    for (std::size_t i = 0; i < second.cards.size(); ++i) {
        EXPECT_NE(second.cards[i].path, first.cards[i].path);
        EXPECT_TRUE(second.cards[i].path.ends_with("-2.raw")) << second.cards[i].path;
    }
    for (const auto& [path, bytes] : before)
        EXPECT_EQ(readFile(path), bytes) << path;
    EXPECT_EQ(perGameCards(root).size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SplitGather, testing::Values("region-folders", "id-folders"),
                         [](const auto& info) {
                             std::string s = info.param;
                             std::erase(s, '-');
                             return s;
                         });

struct Refusal {
    const char* name;
    unsigned targetMegabits;
    bool twinOnTarget;
    unsigned fillerBlocks; // a save of another game on the target first
    unsigned written;      // saves the gather writes
    const char* problem;   // part of the summary's problem, "" for none
};

class GatherRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(GatherRefusal, NamesWhatItLeavesOutBeforeWriting)
{
    const TempDir dir;
    const std::string root = dir.file("sd");
    splitCard(sourceCard(dir), root, *sdLayout("id-folders"));
    const std::string target = dir.file("target.raw");
    ASSERT_EQ(mcb_create_image(target.c_str(), GetParam().targetMegabits, 0), MCB_OK);
    if (GetParam().twinOnTarget)
        put("image:" + target, kSaves[0]);
    if (GetParam().fillerBlocks)
        put("image:" + target,
            makeSaveFile({.code = "GFIL01", .name = "filler", .blocks = GetParam().fillerBlocks}));
    const auto before = savesOf("image:" + target);
    const GatherSummary g = gatherCards(root, "image:" + target);
    EXPECT_NE(g.problem.find(GetParam().problem), std::string::npos) << g.problem;
    EXPECT_EQ(g.written(), GetParam().written);
    EXPECT_EQ(savesOf("image:" + target).size(), before.size() + GetParam().written);
    unsigned named = 0;
    for (const GatherSave& s : g.saves)
        named += !s.problem.empty();
    EXPECT_EQ(named, kSaves.size() - GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GatherRefusal,
    testing::Values(Refusal{"TwinIsNamedAndLeftOut", 16, true, 0, 3, ""},
                    // Four blocks free for the ten the saves take.
                    Refusal{"NoRoomWritesNothing", 4, false, 55, 0,
                            "need 10 blocks and 4 directory places; the card has 4 blocks"},
                    // The twin's three blocks are not needed: the rest fit exactly.
                    Refusal{"RoomIsCountedWithoutTheTwins", 4, true, 49, 3, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
