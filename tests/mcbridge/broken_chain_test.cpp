// Saves whose chain through the map is broken: never read as whole, never
// freed, never replaced; the card check names them.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/card_check.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Break {
    std::string name;
    std::vector<std::pair<unsigned, uint16_t>> links; // map entries to set
    std::string problem;                              // what the check says
    bool rejected = true; // a console rejects the card (a save that shares blocks it reads)
};

void PrintTo(const Break& b, std::ostream* os) { *os << b.name; }

// The victim holds blocks 10 -> 11 -> 12; its neighbour 20 -> 21. Block 64
// lies past a 4 Mbit card's save area.
const Break kBreaks[] = {
    {"LeadsOutside", {{11, 64}}, "has a broken chain: it leads outside the save area"},
    {"LeadsToAFreeBlock", {{11, 30}}, "has a broken chain: it leads to a block the map calls free"},
    {"Loops", {{11, 10}}, "has a broken chain: it loops back on itself"},
    {"EndsEarly", {{11, 0xFFFF}}, "claims 3 blocks; its chain holds 2"},
    {"GoesOnTooLong", {{12, 13}, {13, 0xFFFF}}, "claims 3 blocks; its chain holds 4"},
    {"MeetsAnotherSave", {{10, 20}}, "and slot 5 claim the same 2 block(s)", false},
};

struct Operation {
    std::string name;
    std::function<int32_t(const TempDir&)> call;
};

const Operation kOperations[] = {
    {"DownloadByName",
     [](const TempDir& d) { return DownLoadSaver("victim", "GTSE01", d.file("o.gci").c_str()); }},
    {"DownloadBySlot",
     [](const TempDir& d) { return mcb_download_slot(3, d.file("o.gci").c_str()); }},
    {"Picture",
     [](const TempDir& d) {
         return InitSaverInfo() ? GetSaverPIC(3, d.file("icon.bmp").c_str()) : -1;
     }},
    {"DeleteByName", [](const TempDir&) { return DeleteSaver("victim", "GTSE01"); }},
    {"DeleteBySlot", [](const TempDir&) { return mcb_delete_slot(3); }},
    {"ReplaceByName",
     [](const TempDir& d) {
         return InitSaverInfo() ? UpLoadSaver(d.file("new.gci").c_str()) : -1;
     }},
    {"ReplaceBySlot",
     [](const TempDir& d) { return mcb_replace_slot(3, d.file("new.gci").c_str()); }},
};

std::vector<uint8_t> brokenCard(const Break& b)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 3, makeSaveFile({.name = "victim", .blocks = 3, .seed = 1}), 10);
    placeSave(image, 5, makeSaveFile({.name = "neighbour", .blocks = 2, .seed = 2}), 20);
    for (auto [block, next] : b.links)
        setMapEntryOnCard(image, block, next);
    return image;
}

class BrokenChain : public ::testing::TestWithParam<std::tuple<Break, Operation>> {};

} // namespace

TEST_P(BrokenChain, IsRefusedAndLeavesCardAndFilesAlone)
{
    const auto& [brk, op] = GetParam();
    const std::vector<uint8_t> image = brokenCard(brk);
    EmulatedCard card(image);
    TempDir dir;
    writeFile(dir.file("new.gci"), makeSaveFile({.name = "victim", .blocks = 1, .seed = 7}));
    ASSERT_TRUE(connect());
    EXPECT_EQ(op.call(dir), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BROKEN_CHAIN);
    EXPECT_EQ(card.image(), image);
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.gci")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("icon.bmp")));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BrokenChain,
                         ::testing::Combine(::testing::ValuesIn(kBreaks),
                                            ::testing::ValuesIn(kOperations)),
                         [](const auto& info) {
                             return std::get<0>(info.param).name + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST(BrokenChain, TheCheckNamesEachKindAndPassesOutOfOrderSaves)
{
    for (const Break& b : kBreaks) {
        const std::vector<uint8_t> image = brokenCard(b);
        SystemCopies s;
        ASSERT_TRUE(systemCopiesOf(image, s));
        const CheckResult r = checkCard(s);
        EXPECT_EQ(r.sound(), !b.rejected) << b.name;
        const bool named = std::any_of(r.items.begin(), r.items.end(), [&](const CheckItem& i) {
            return findingText(i.f).find("slot 3 (GTSE01 victim) " + b.problem) !=
                   std::string::npos;
        });
        EXPECT_TRUE(named) << b.name;
    }
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeChainedSave(image, 0, makeSaveFile({.name = "a", .blocks = 3}), {40, 9, 22});
    placeChainedSave(image, 1, makeSaveFile({.name = "b", .blocks = 2}), {8, 5});
    const CardReport r = inspectCard(image);
    EXPECT_TRUE(r.sound()) << r.problems[0];
    EXPECT_EQ(r.saves.size(), 2u);
}
