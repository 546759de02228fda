// Every export that fails says why: each way a call can fail, over a card
// built for it, leaves its own reason for mcb_last_error, never the catch-all
// MCB_ERROR_FAILED, and the next call that succeeds clears it.
#include "emulated_card.h"
#include "library.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace mcb;
using namespace mcbtest;

namespace {

enum class Before {
    Nothing,   // no adapter opened
    Connected, // OpenDevice and GetCardMemory
    Loaded,    // and InitSaverInfo
};

struct FailureRow {
    const char* name;
    std::function<void(std::vector<uint8_t>& card, EmulatedCard* emulated, const TempDir& dir)>
        prepare; // the card before it is installed (emulated null), then its faults
    Before before;
    std::function<int32_t(const TempDir&)> call;
    int32_t error;
};

std::vector<uint8_t> twoSaves()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "one", .blocks = 2, .seed = 1}), 5);
    placeSave(image, 1, makeSaveFile({.name = "two", .blocks = 3, .seed = 2}), 7);
    return image;
}

void nothing(std::vector<uint8_t>&, EmulatedCard*, const TempDir&) {}

class FailureReason : public testing::TestWithParam<FailureRow> {};

TEST_P(FailureReason, IsTheCallsOwn)
{
    const FailureRow& row = GetParam();
    TempDir dir;
    std::vector<uint8_t> image = twoSaves();
    row.prepare(image, nullptr, dir);
    EmulatedCard card(image);
    row.prepare(image, &card, dir);
    if (row.before != Before::Nothing) {
        const Faults faults = card.faults;
        card.faults = {};
        ASSERT_TRUE(connect());
        card.faults = faults;
        if (faults.any()) { // faults count from an open: this one
            CloseDevice();
            ASSERT_EQ(OpenDevice(nullptr), 1);
        }
    }
    if (row.before == Before::Loaded) {
        ASSERT_EQ(InitSaverInfo(), 1);
    }
    EXPECT_EQ(row.call(dir), 0);
    EXPECT_EQ(mcb_last_error(), row.error) << mcb_error_text(mcb_last_error());
}

// A save file for the card above: a new save, or the one in slot 1 again.
void saveFiles(std::vector<uint8_t>&, EmulatedCard* card, const TempDir& dir)
{
    if (card)
        return;
    writeFile(dir.file("new.gci"), makeSaveFile({.name = "new", .blocks = 2}));
    writeFile(dir.file("big.gci"), makeSaveFile({.name = "big", .blocks = 56}));
    writeFile(dir.file("two.gci"), makeSaveFile({.name = "two", .blocks = 3, .seed = 5}));
    writeFile(dir.file("junk.gci"), std::vector<uint8_t>(100, 7));
}

const FailureRow kRows[] = {
    {"OpenDeviceNothingPlugged",
     [](auto&, EmulatedCard* c, const TempDir&) {
         if (c)
             c->plugged = false;
     },
     Before::Nothing, [](const TempDir&) { return OpenDevice(nullptr); }, MCB_ERROR_NOT_FOUND},
    {"CloseDeviceNoneOpen", nothing, Before::Nothing, [](const TempDir&) { return CloseDevice(); },
     MCB_ERROR_NOT_OPEN},
    {"GetCardMemoryBlankHeader",
     [](std::vector<uint8_t>& i, EmulatedCard* c, const TempDir&) {
         if (!c)
             i[kHeaderSizeMbit + 1] = 0;
     },
     Before::Nothing, [](const TempDir&) { return OpenDevice(nullptr) ? GetCardMemory() : -1; },
     MCB_ERROR_NOT_A_CARD},
    {"GetCardMemoryNoAnswer",
     [](auto&, EmulatedCard* c, const TempDir&) {
         if (c)
             c->faults.failRead = 1;
     },
     Before::Nothing, [](const TempDir&) { return OpenDevice(nullptr) ? GetCardMemory() : -1; },
     MCB_ERROR_IO},
    {"InitSaverInfoNotOpen", nothing, Before::Connected,
     [](const TempDir&) { return CloseDevice() ? InitSaverInfo() : -1; }, MCB_ERROR_NOT_OPEN},
    {"InitSaverInfoDamaged",
     [](std::vector<uint8_t>& i, EmulatedCard* c, const TempDir&) {
         if (!c)
             for (unsigned copy : kDirectoryBlock)
                 i[copy * kBlockSize + 3] ^= 0x10;
     },
     Before::Connected, [](const TempDir&) { return InitSaverInfo(); }, MCB_ERROR_DAMAGED},
    {"GetSaverInfoNotLoaded", nothing, Before::Connected,
     [](const TempDir&) {
         char name[33], code[7];
         uint16_t n;
         return GetSaverInfo(0, name, code, &n);
     },
     MCB_ERROR_NOT_LOADED},
    {"GetSaverInfoEmptySlot", nothing, Before::Loaded,
     [](const TempDir&) {
         char name[33], code[7];
         uint16_t n;
         return GetSaverInfo(5, name, code, &n);
     },
     MCB_ERROR_NO_SAVE},
    {"GetSaverInfoPastTheDirectory", nothing, Before::Loaded,
     [](const TempDir&) {
         char name[33], code[7];
         uint16_t n;
         return GetSaverInfo(65536, name, code, &n);
     },
     MCB_ERROR_BAD_ARGUMENT},
    {"FindSaverNoSuchSave", saveFiles, Before::Connected,
     [](const TempDir& d) {
         char name[33];
         return FindSaver(d.file("new.gci").c_str(), name);
     },
     MCB_ERROR_NO_SAVE},
    {"FindSaverMissingFile", nothing, Before::Connected,
     [](const TempDir& d) {
         char name[33];
         return FindSaver(d.file("none.gci").c_str(), name);
     },
     MCB_ERROR_FILE},
    {"DownLoadSaverNoSuchSave", nothing, Before::Connected,
     [](const TempDir& d) { return DownLoadSaver("three", "GTSE01", d.file("o.gci").c_str()); },
     MCB_ERROR_NO_SAVE},
    {"DownLoadSaverTwins",
     [](std::vector<uint8_t>& i, EmulatedCard* c, const TempDir&) {
         if (!c)
             placeSave(i, 2, makeSaveFile({.name = "two", .blocks = 1}), 20);
     },
     Before::Connected,
     [](const TempDir& d) { return DownLoadSaver("two", "GTSE01", d.file("o.gci").c_str()); },
     MCB_ERROR_AMBIGUOUS},
    {"DownLoadSaverUnwritableFile", nothing, Before::Connected,
     [](const TempDir& d) {
         return DownLoadSaver("one", "GTSE01", d.file("no/such/folder.gci").c_str());
     },
     MCB_ERROR_FILE},
    {"UpLoadSaverNotLoaded", saveFiles, Before::Connected,
     [](const TempDir& d) { return UpLoadSaver(d.file("new.gci").c_str()); }, MCB_ERROR_NOT_LOADED},
    {"UpLoadSaverNotASave", saveFiles, Before::Loaded,
     [](const TempDir& d) { return UpLoadSaver(d.file("junk.gci").c_str()); },
     MCB_ERROR_NOT_A_SAVE},
    {"UpLoadSaverNoRoom", saveFiles, Before::Loaded,
     [](const TempDir& d) { return UpLoadSaver(d.file("big.gci").c_str()); }, MCB_ERROR_NO_ROOM},
    {"UpLoadSaverFullDirectory",
     [](std::vector<uint8_t>& i, EmulatedCard* c, const TempDir& d) {
         saveFiles(i, c, d);
         if (c)
             return;
         i = formatCard(FormatOptions{64});
         for (unsigned s = 0; s < kSaveSlotCount; ++s)
             placeSave(i, s, makeSaveFile({.name = "s" + std::to_string(s)}), 5 + s);
     },
     Before::Loaded, [](const TempDir& d) { return UpLoadSaver(d.file("new.gci").c_str()); },
     MCB_ERROR_NO_SLOT},
    {"UpLoadSaverReadBackDiffers",
     [](auto&, EmulatedCard* c, const TempDir& d) {
         std::vector<uint8_t> none;
         saveFiles(none, c, d);
         if (c) // a worn cell in the first free block, where the new save goes
             c->stuckAtZero().push_back(10 * kBlockSize + 100);
     },
     Before::Loaded, [](const TempDir& d) { return UpLoadSaver(d.file("new.gci").c_str()); },
     MCB_ERROR_READ_BACK},
    {"DeleteSaverBrokenChain",
     [](std::vector<uint8_t>& i, EmulatedCard* c, const TempDir&) {
         if (!c)
             setMapEntryOnCard(i, 8, 0x0000);
     },
     Before::Connected, [](const TempDir&) { return DeleteSaver("two", "GTSE01"); },
     MCB_ERROR_BROKEN_CHAIN},
    {"ReadCardToFileNotOpen", nothing, Before::Connected,
     [](const TempDir& d) { return CloseDevice() ? ReadCardToFile(d.file("c.gcp").c_str()) : -1; },
     MCB_ERROR_NOT_OPEN},
    {"ReadCardToFileUnwritableFile", nothing, Before::Connected,
     [](const TempDir& d) { return ReadCardToFile(d.file("no/such/c.gcp").c_str()); },
     MCB_ERROR_FILE},
    {"WriteFileToCardMissingFile", nothing, Before::Connected,
     [](const TempDir& d) { return WriteFileToCard(d.file("none.gcp").c_str()); }, MCB_ERROR_FILE},
    {"WriteFileToCardWrongLength",
     [](auto&, EmulatedCard* c, const TempDir& d) {
         if (!c)
             writeFile(d.file("c.gcp"), formatCard(FormatOptions{8}));
     },
     Before::Connected, [](const TempDir& d) { return WriteFileToCard(d.file("c.gcp").c_str()); },
     MCB_ERROR_IMAGE_LENGTH},
    {"WriteFileToCardOtherCard",
     [](auto&, EmulatedCard* c, const TempDir& d) {
         FormatOptions o{4};
         o.formatTime = 12345;
         if (!c)
             writeFile(d.file("c.gcp"), formatCard(o));
     },
     Before::Connected, [](const TempDir& d) { return WriteFileToCard(d.file("c.gcp").c_str()); },
     MCB_ERROR_OTHER_CARD},
    {"GetSaverPICEmptySlot", nothing, Before::Loaded,
     [](const TempDir& d) { return GetSaverPIC(9, d.file("p.bmp").c_str()); }, MCB_ERROR_NO_SAVE},
    {"GetSaverPICNoPath", nothing, Before::Loaded,
     [](const TempDir&) { return GetSaverPIC(0, nullptr); }, MCB_ERROR_BAD_ARGUMENT},
    {"GetSaverPICUnwritableFile", nothing, Before::Loaded,
     [](const TempDir& d) { return GetSaverPIC(0, d.file("no/such/p.bmp").c_str()); },
     MCB_ERROR_FILE},
    {"GetBitmapNoSave", nothing, Before::Nothing,
     [](const TempDir& d) { return GetBitmap(nullptr, d.file("p.bmp").c_str()); },
     MCB_ERROR_BAD_ARGUMENT},
    {"GetBitmapUnwritableFile", nothing, Before::Nothing,
     [](const TempDir& d) {
         static const std::vector<uint8_t> save = makeSaveFile({.blocks = 1});
         return GetBitmap(save.data(), d.file("no/such/p.bmp").c_str());
     },
     MCB_ERROR_FILE},
    {"FindSlotNotLoaded", nothing, Before::Connected,
     [](const TempDir&) { return mcb_find_slot("one", "GTSE01") + 1; }, MCB_ERROR_NOT_LOADED},
    {"DownloadSlotPastTheDirectory", nothing, Before::Connected,
     [](const TempDir& d) { return mcb_download_slot(127, d.file("o.gci").c_str()); },
     MCB_ERROR_BAD_ARGUMENT},
    {"DeleteSlotEmpty", nothing, Before::Connected,
     [](const TempDir&) { return mcb_delete_slot(4); }, MCB_ERROR_NO_SAVE},
    {"ReplaceSlotOtherSave", saveFiles, Before::Connected,
     [](const TempDir& d) { return mcb_replace_slot(0, d.file("two.gci").c_str()); },
     MCB_ERROR_BAD_ARGUMENT},
    {"SaveFormatNotASave", saveFiles, Before::Nothing,
     [](const TempDir& d) { return mcb_save_format(d.file("junk.gci").c_str()); },
     MCB_ERROR_NOT_A_SAVE},
    {"ConvertSaveUnknownFormat", saveFiles, Before::Nothing,
     [](const TempDir& d) {
         return mcb_convert_save(d.file("new.gci").c_str(), d.file("o.gcs").c_str(), 9);
     },
     MCB_ERROR_BAD_ARGUMENT},
    {"SaveInfoSlotEmpty", nothing, Before::Connected,
     [](const TempDir&) {
         static mcb_save_info info;
         return mcb_save_info_slot(6, &info);
     },
     MCB_ERROR_NO_SAVE},
    {"RestoreCardUnknownMode", nothing, Before::Connected,
     [](const TempDir& d) { return mcb_restore_card(d.file("c.gcp").c_str(), -1); },
     MCB_ERROR_BAD_ARGUMENT},
};

INSTANTIATE_TEST_SUITE_P(Exports, FailureReason, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FailureReason, LastsUntilTheNextCallThatSucceeds)
{
    EmulatedCard card(twoSaves());
    TempDir dir;
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_delete_slot(9), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_SAVE);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_SAVE); // reading it changes nothing
    EXPECT_EQ(IsConnected(), 1);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_SAVE);
    EXPECT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(mcb_last_error(), MCB_SUCCESS);
}

} // namespace
