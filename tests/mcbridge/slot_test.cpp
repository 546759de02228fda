// Saves by directory slot, and twin saves (one name and code in two slots).
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace mcb;
using namespace mcbtest;

namespace {

const SaveSpec kTwinA{.code = "GAFE01", .name = "village", .blocks = 2, .seed = 3};
const SaveSpec kTwinB{.code = "GAFE01", .name = "village", .blocks = 3, .seed = 4};

// Slot 2 and slot 9 hold saves of one name and code, as a console's copy can
// leave them; slot 4 holds another save.
std::vector<uint8_t> twinCard()
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 2, makeSaveFile(kTwinA), 5);
    placeSave(image, 4, makeSaveFile({.name = "other", .blocks = 1, .seed = 5}), 7);
    placeChainedSave(image, 9, makeSaveFile(kTwinB), {20, 12, 30});
    return image;
}

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& saveFile)
{
    return {saveFile.begin() + kEntrySize, saveFile.end()};
}

} // namespace

TEST(Slots, DownloadAndDeleteActOnTheSlotGiven)
{
    const std::vector<uint8_t> image = twinCard();
    EmulatedCard card(image);
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_download_slot(9, dir.file("b.gci").c_str()), 1);
    const auto file = readFile(dir.file("b.gci"));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + kEntrySize, file.end()),
              dataOf(makeSaveFile(kTwinB)));
    EXPECT_EQ(getBe16(&file[kEntryFirstBlock]), 20);

    ASSERT_EQ(mcb_delete_slot(9), 1);
    const CardReport r = inspectCard(card.image());
    ASSERT_TRUE(r.sound());
    ASSERT_EQ(r.saves.size(), 2u);
    EXPECT_EQ(r.saves[0].slot, 2u);
    EXPECT_EQ(r.saves[1].slot, 4u);
    EXPECT_EQ(r.freeBlocks, 59 - 3);
    // With one twin left, the name finds it again.
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(mcb_find_slot("village", "GAFE01"), 2);
    EXPECT_EQ(mcb_last_error(), MCB_SUCCESS);
    ASSERT_EQ(DownLoadSaver("village", "GAFE01", dir.file("a.gci").c_str()), 1);
    EXPECT_EQ(blocksOf(card.image(), 5, 2), dataOf(makeSaveFile(kTwinA)));
}

TEST(Slots, ReplaceTakesOnlyTheSlotGiven)
{
    EmulatedCard card(twinCard());
    TempDir dir;
    const auto f = makeSaveFile({.code = "GAFE01", .name = "village", .blocks = 1, .seed = 8});
    writeFile(dir.file("n.gci"), f);
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_replace_slot(2, dir.file("n.gci").c_str()), 1);
    const CardReport r = inspectCard(card.image());
    ASSERT_TRUE(r.sound());
    ASSERT_EQ(r.saves.size(), 3u);
    EXPECT_EQ(r.saves[0].blockCount, 1u);
    EXPECT_EQ(blocksOf(card.image(), r.saves[0].firstBlock, 1), dataOf(f));
    EXPECT_EQ(r.saves[2].slot, 9u);
    EXPECT_EQ(blocksOf(card.image(), {20, 12, 30}), dataOf(makeSaveFile(kTwinB)));
    EXPECT_EQ(r.freeBlocks, 59 - 5);
}

namespace {

struct TwinCase {
    const char* name;
    std::function<int32_t(const TempDir&)> call;
};

void PrintTo(const TwinCase& c, std::ostream* os) { *os << c.name; }

class TwinSaves : public testing::TestWithParam<TwinCase> {};

} // namespace

TEST_P(TwinSaves, NameBasedCallsRefuseThem)
{
    const std::vector<uint8_t> image = twinCard();
    TempDir dir;
    writeFile(dir.file("v.gci"), makeSaveFile({.code = "GAFE01", .name = "village", .seed = 9}));
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    card.resetTraffic();
    EXPECT_EQ(GetParam().call(dir), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_AMBIGUOUS);
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);
    EXPECT_EQ(card.image(), image);
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.gci")));
}

INSTANTIATE_TEST_SUITE_P(
    ByNameAndCode, TwinSaves,
    testing::Values(TwinCase{"Download",
                             [](const TempDir& d) {
                                 return DownLoadSaver("village", "GAFE01", d.file("o.gci").c_str());
                             }},
                    TwinCase{"Delete",
                             [](const TempDir&) { return DeleteSaver("village", "GAFE01"); }},
                    TwinCase{"Upload",
                             [](const TempDir& d) {
                                 return InitSaverInfo() ? UpLoadSaver(d.file("v.gci").c_str()) : -1;
                             }},
                    TwinCase{"Find",
                             [](const TempDir&) {
                                 return InitSaverInfo() ? mcb_find_slot("village", "GAFE01") + 1
                                                        : -1;
                             }}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// Slot 4 holds "other"; the twins are in slots 1 and 2.
struct RefusalCase {
    const char* name;
    std::function<int32_t(const TempDir&)> call;
    int32_t result;
    int32_t error;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class Refusals : public testing::TestWithParam<RefusalCase> {};

char infoName[33];
char infoCode[7];
uint16_t infoCount;

} // namespace

TEST_P(Refusals, SayWhyAndChangeNothing)
{
    EmulatedCard card(twinCard());
    TempDir dir;
    writeFile(dir.file("other.gci"), makeSaveFile({.name = "other", .blocks = 1, .seed = 6}));
    ASSERT_TRUE(connect());
    const std::vector<uint8_t> before = card.image();
    if (GetParam().error != MCB_ERROR_NOT_LOADED) {
        ASSERT_EQ(InitSaverInfo(), 1);
    }
    EXPECT_EQ(GetParam().call(dir), GetParam().result);
    EXPECT_EQ(mcb_last_error(), GetParam().error);
    EXPECT_EQ(card.image(), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.gci")));
}

INSTANTIATE_TEST_SUITE_P(
    SlotCalls, Refusals,
    testing::Values(
        RefusalCase{"FindBeforeAnyLoad",
                    [](const TempDir&) { return mcb_find_slot("other", "GTSE01"); }, -1,
                    MCB_ERROR_NOT_LOADED},
        RefusalCase{"InfoOfAnEmptySlot",
                    [](const TempDir&) { return GetSaverInfo(3, infoName, infoCode, &infoCount); },
                    0, MCB_ERROR_NO_SAVE},
        RefusalCase{
            "InfoOfTheTrailer",
            [](const TempDir&) { return GetSaverInfo(127, infoName, infoCode, &infoCount); }, 0,
            MCB_ERROR_NO_SAVE},
        RefusalCase{"InfoOfASavedSlot",
                    [](const TempDir&) { return GetSaverInfo(4, infoName, infoCode, &infoCount); },
                    1, MCB_SUCCESS},
        RefusalCase{"FindUnknown", [](const TempDir&) { return mcb_find_slot("nobody", "GTSE01"); },
                    -1, MCB_ERROR_NO_SAVE},
        RefusalCase{"FindSlot4", [](const TempDir&) { return mcb_find_slot("other", "GTSE01"); }, 4,
                    MCB_SUCCESS},
        RefusalCase{"DownloadEmpty",
                    [](const TempDir& d) { return mcb_download_slot(3, d.file("o.gci").c_str()); },
                    0, MCB_ERROR_NO_SAVE},
        RefusalCase{
            "DownloadTrailer",
            [](const TempDir& d) { return mcb_download_slot(127, d.file("o.gci").c_str()); }, 0,
            MCB_ERROR_BAD_ARGUMENT},
        RefusalCase{"DeleteEmpty", [](const TempDir&) { return mcb_delete_slot(0); }, 0,
                    MCB_ERROR_NO_SAVE},
        RefusalCase{"DeleteFar", [](const TempDir&) { return mcb_delete_slot(0x10004); }, 0,
                    MCB_ERROR_BAD_ARGUMENT},
        RefusalCase{
            "ReplaceEmpty",
            [](const TempDir& d) { return mcb_replace_slot(3, d.file("other.gci").c_str()); }, 0,
            MCB_ERROR_NO_SAVE},
        RefusalCase{
            "ReplaceAnotherSavesSlot",
            [](const TempDir& d) { return mcb_replace_slot(2, d.file("other.gci").c_str()); }, 0,
            MCB_ERROR_BAD_ARGUMENT},
        RefusalCase{"ReplaceWithAMissingFile",
                    [](const TempDir& d) { return mcb_replace_slot(4, d.file("no.gci").c_str()); },
                    0, MCB_ERROR_FILE},
        RefusalCase{"DeleteByNameUnknown",
                    [](const TempDir&) { return DeleteSaver("nobody", "GTSE01"); }, 0,
                    MCB_ERROR_NO_SAVE}),
    [](const auto& info) { return std::string(info.param.name); });

// The index is a whole 32-bit number: 65,536 is past the directory, not a
// second way to name slot 0.
TEST(Slots, IndexesPastTheDirectoryAreEmpty)
{
    EmulatedCard card(twinCard());
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    char name[32], code[6];
    uint16_t blocks = 0;
    ASSERT_EQ(GetSaverInfo(2, name, code, &blocks), 1);
    for (uint32_t index : {128u, 0x10000u + 2u, 0xFFFFFFFFu}) {
        EXPECT_EQ(GetSaverInfo(index, name, code, &blocks), 0) << index;
        EXPECT_EQ(GetSaverPIC(index, dir.file("p.bmp").c_str()), 0) << index;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.bmp")));
}
