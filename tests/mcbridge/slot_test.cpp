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

TEST(Slots, NameBasedCallsRefuseTwins)
{
    const std::vector<uint8_t> image = twinCard();
    TempDir dir;
    writeFile(dir.file("v.gci"), makeSaveFile({.code = "GAFE01", .name = "village", .seed = 9}));
    struct Case {
        const char* what;
        std::function<int32_t()> call;
    };
    const Case cases[] = {
        {"download", [&] { return DownLoadSaver("village", "GAFE01", dir.file("o.gci").c_str()); }},
        {"delete", [&] { return DeleteSaver("village", "GAFE01"); }},
        {"upload", [&] { return InitSaverInfo() ? UpLoadSaver(dir.file("v.gci").c_str()) : -1; }},
        {"find", [&] { return InitSaverInfo() ? mcb_find_slot("village", "GAFE01") + 1 : -1; }},
    };
    for (const Case& c : cases) {
        EmulatedCard card(image);
        ASSERT_TRUE(connect());
        card.resetTraffic();
        EXPECT_EQ(c.call(), 0) << c.what;
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_AMBIGUOUS) << c.what;
        EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u) << c.what;
        EXPECT_EQ(card.image(), image) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.gci")));
}

TEST(Slots, EachRefusalSaysWhy)
{
    EmulatedCard card(twinCard());
    TempDir dir;
    writeFile(dir.file("other.gci"), makeSaveFile({.name = "other", .blocks = 1, .seed = 6}));
    const std::string out = dir.file("o.gci");
    struct Case {
        const char* what;
        std::function<int32_t()> call;
        int32_t result;
        int32_t error;
    };
    char name[33] = {}, code[7] = {};
    uint16_t count = 0;
    const Case cases[] = {
        {"find before any load", [&] { return mcb_find_slot("other", "GTSE01"); }, -1,
         MCB_ERROR_NOT_LOADED},
        {"info, empty slot", [&] { return GetSaverInfo(3, name, code, &count); }, 0,
         MCB_ERROR_NO_SAVE},
        {"info, trailer", [&] { return GetSaverInfo(127, name, code, &count); }, 0,
         MCB_ERROR_NO_SAVE},
        {"info, saved slot", [&] { return GetSaverInfo(4, name, code, &count); }, 1, MCB_SUCCESS},
        {"find, unknown", [&] { return mcb_find_slot("nobody", "GTSE01"); }, -1, MCB_ERROR_NO_SAVE},
        {"find, slot 4", [&] { return mcb_find_slot("other", "GTSE01"); }, 4, MCB_SUCCESS},
        {"download, empty", [&] { return mcb_download_slot(3, out.c_str()); }, 0,
         MCB_ERROR_NO_SAVE},
        {"download, trailer", [&] { return mcb_download_slot(127, out.c_str()); }, 0,
         MCB_ERROR_BAD_ARGUMENT},
        {"delete, empty", [&] { return mcb_delete_slot(0); }, 0, MCB_ERROR_NO_SAVE},
        {"delete, far", [&] { return mcb_delete_slot(0x10004); }, 0, MCB_ERROR_BAD_ARGUMENT},
        {"replace, empty", [&] { return mcb_replace_slot(3, dir.file("other.gci").c_str()); }, 0,
         MCB_ERROR_NO_SAVE},
        {"replace, another save's slot",
         [&] { return mcb_replace_slot(2, dir.file("other.gci").c_str()); }, 0,
         MCB_ERROR_BAD_ARGUMENT},
        {"replace, missing file", [&] { return mcb_replace_slot(4, dir.file("no.gci").c_str()); },
         0, MCB_ERROR_FILE},
        {"delete by name, unknown", [&] { return DeleteSaver("nobody", "GTSE01"); }, 0,
         MCB_ERROR_NO_SAVE},
    };
    ASSERT_TRUE(connect());
    const std::vector<uint8_t> before = card.image();
    bool loaded = false;
    for (const Case& c : cases) {
        if (!loaded && c.error != MCB_ERROR_NOT_LOADED)
            loaded = InitSaverInfo() == 1;
        EXPECT_EQ(c.call(), c.result) << c.what;
        EXPECT_EQ(mcb_last_error(), c.error) << c.what;
    }
    EXPECT_EQ(card.image(), before);
    EXPECT_FALSE(std::filesystem::exists(out));
}

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
