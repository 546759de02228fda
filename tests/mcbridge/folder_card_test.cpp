// A folder of .gci files as a card: every change reaches the files, a
// failing disk leaves the old files, files that are not saves stay.
#include "folder_medium.h"
#include "mcbridge.h"
#include "mcbridge/folder_names.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

Card openFolder(const std::string& device)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(device.c_str(), &c), MCB_OK) << device;
    return Card(c);
}

using Files = std::map<std::string, std::vector<uint8_t>>;

// The folder's files but the card's own (its identity and layout).
Files filesOf(const std::string& dir)
{
    Files files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename() != kCardFile)
            files[e.path().filename().string()] = readFile(e.path().string());
    return files;
}

std::string nameOf(const std::vector<uint8_t>& save)
{
    return folderNameFor(std::span<const uint8_t, kEntrySize>(save.data(), kEntrySize));
}

// Where a save lies is the card's business: files compare without it.
std::vector<uint8_t> placeless(std::vector<uint8_t> save)
{
    save[kEntryFirstBlock] = save[kEntryFirstBlock + 1] = 0;
    return save;
}

int slotNamed(mcb_card* card, const std::string& name)
{
    mcb_load(card);
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        uint8_t e[MCB_ENTRY_SIZE];
        if (mcb_entry(card, slot, e, sizeof e) == MCB_OK &&
            std::string(reinterpret_cast<char*>(e + MCB_ENTRY_NAME)).starts_with(name))
            return int(slot);
    }
    return -1;
}

int writeSave(mcb_card* card, const std::vector<uint8_t>& save, int32_t policy)
{
    const mcb_write_request r{sizeof r, policy, 0, 0};
    return mcb_write_save(card, save.data(), save.size(), &r, nullptr);
}

const std::vector<uint8_t> kOld = makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 3});
const std::vector<uint8_t> kNewTown =
    makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 4, .seed = 9});
const std::vector<uint8_t> kOther = makeSaveFile({.code = "GM8E01", .name = "metroid"});
const std::vector<uint8_t> kFresh = makeSaveFile({.code = "GZLE01", .name = "zelda", .seed = 4});
const std::vector<uint8_t> kNotes = {'n', 'o', 't', 'e', 's'};

// The folder every row starts from: two saves, a text file, a .gci that is
// no save.
void fill(const TempDir& dir)
{
    writeFile(dir.file(nameOf(kOld)), kOld);
    writeFile(dir.file(nameOf(kOther)), kOther);
    writeFile(dir.file("readme.txt"), kNotes);
    writeFile(dir.file("broken.gci"), {1, 2, 3});
}

struct Change {
    const char* name;
    std::function<int(mcb_card*)> act;
    int code;                                // what the call returns
    std::vector<std::vector<uint8_t>> saves; // the save files the folder holds after it
};

class FolderChange : public ::testing::TestWithParam<Change> {};

TEST_P(FolderChange, ReachesTheFilesAndLeavesOtherFilesAlone)
{
    const TempDir dir;
    fill(dir);
    Card card = openFolder("folder:" + dir.path());
    ASSERT_EQ(mcb_load(card.get()), 2);
    EXPECT_EQ(GetParam().act(card.get()), GetParam().code);

    Files want{{"readme.txt", kNotes}, {"broken.gci", {1, 2, 3}}};
    for (const auto& s : GetParam().saves)
        want[nameOf(s)] = placeless(s);
    Files got = filesOf(dir.path());
    for (auto& [name, bytes] : got)
        if (name.ends_with(".gci") && bytes.size() > kEntrySize)
            bytes = placeless(bytes);
    EXPECT_EQ(got, want);
    // The card shows what the files hold, opened anew.
    card.reset();
    const Card again = openFolder("folder:" + dir.path());
    EXPECT_EQ(mcb_load(again.get()), int(GetParam().saves.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderChange,
    ::testing::Values(
        Change{"NewSave",
               [](mcb_card* c) { return writeSave(c, kFresh, MCB_WRITE_NEW); },
               MCB_OK,
               {kOld, kOther, kFresh}},
        Change{"ReplaceKeepsTheFileName",
               [](mcb_card* c) { return writeSave(c, kNewTown, MCB_WRITE_REPLACE_NAME); },
               MCB_OK,
               {kNewTown, kOther}},
        Change{"Delete",
               [](mcb_card* c) { return mcb_delete_save(c, slotNamed(c, "town"), nullptr); },
               MCB_OK,
               {kOther}},
        Change{"FormatRemovesSavesOnly", [](mcb_card* c) { return mcb_format(c, 0); }, MCB_OK, {}},
        Change{"RefusedTwinWritesNothing",
               [](mcb_card* c) { return writeSave(c, kNewTown, MCB_WRITE_NEW); },
               MCB_E_EXISTS,
               {kOld, kOther}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DiskFault {
    const char* name;
    const char* faults;
    std::function<int(mcb_card*)> act;
};

class FolderDiskFault : public ::testing::TestWithParam<DiskFault> {};

TEST_P(FolderDiskFault, LeavesTheOldFilesAndTheCardAsTheyHoldIt)
{
    const TempDir dir;
    fill(dir);
    const Files before = filesOf(dir.path());
    setenv("MCBRIDGE_FAULTS", GetParam().faults, 1);
    const Card card = openFolder("folder:" + dir.path());
    unsetenv("MCBRIDGE_FAULTS");
    ASSERT_EQ(mcb_load(card.get()), 2);
    EXPECT_EQ(GetParam().act(card.get()), MCB_E_FILE);
    EXPECT_EQ(filesOf(dir.path()), before); // no half file, no temporary file
    ASSERT_EQ(mcb_load(card.get()), 2);
    const int slot = slotNamed(card.get(), "town");
    ASSERT_GE(slot, 0);
    size_t length = 0;
    std::vector<uint8_t> back(kOld.size());
    ASSERT_EQ(
        mcb_read_save(card.get(), uint32_t(slot), MCB_SAVE_GCI, back.data(), back.size(), &length),
        int(kOld.size()));
    EXPECT_EQ(placeless(back), placeless(kOld));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderDiskFault,
    ::testing::Values(DiskFault{"NewSaveOnAFailingDisk", "file-fail=1",
                                [](mcb_card* c) { return writeSave(c, kFresh, MCB_WRITE_NEW); }},
                      DiskFault{"NewSaveOnAFullDisk", "disk-full=1",
                                [](mcb_card* c) { return writeSave(c, kFresh, MCB_WRITE_NEW); }},
                      DiskFault{"ReplacementOnAFullDisk", "disk-full=1",
                                [](mcb_card* c) {
                                    return writeSave(c, kNewTown, MCB_WRITE_REPLACE_NAME);
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

struct Size {
    const char* name;
    const char* query;
    int code;          // mcb_open's
    uint32_t megabits; // of the card shown
};

class FolderSize : public ::testing::TestWithParam<Size> {};

TEST_P(FolderSize, IsThatOfTheCardStated)
{
    const TempDir dir;
    mcb_card* c = nullptr;
    ASSERT_EQ(mcb_open(("folder:" + dir.path() + GetParam().query).c_str(), &c), GetParam().code);
    const Card card(c);
    if (!c)
        return;
    mcb_card_info info{};
    info.size = sizeof info;
    ASSERT_EQ(mcb_describe_card(card.get(), &info), MCB_OK);
    EXPECT_EQ(info.megabits, GetParam().megabits);
    EXPECT_EQ(info.kind, uint32_t(MCB_KIND_FOLDER));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderSize,
    ::testing::Values(Size{"TheEmulatorsByDefault", "", MCB_OK, 128},
                      Size{"InMegabits", "?size=16", MCB_OK, 16},
                      Size{"InTheEmulatorsBlocks", "?size=59", MCB_OK, 4},
                      Size{"WithAnEncoding", "?size=507&encoding=sjis", MCB_OK, 32},
                      Size{"NoCardsSize", "?size=60", MCB_E_BAD_DEVICE, 0},
                      Size{"UnknownOption", "?colour=red", MCB_E_BAD_DEVICE, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(FolderCard, SavesTheCardHasNoRoomForAreSetAsideAndNeverRemoved)
{
    const TempDir dir;
    const auto big = [](const char* name, uint8_t seed) {
        return makeSaveFile({.code = "GAFE01", .name = name, .blocks = 25, .seed = seed});
    };
    for (const auto& s : {big("a", 1), big("b", 2), big("c", 3)})
        writeFile(dir.file(nameOf(s)), s);
    writeFile(dir.file("readme.txt"), kNotes);
    const Card card = openFolder("folder:" + dir.path() + "?size=4"); // 59 blocks
    ASSERT_EQ(mcb_load(card.get()), 2);
    ASSERT_EQ(mcb_folder_file(card.get(), 0, nullptr), 2);
    mcb_aside_file f{};
    f.size = sizeof f;
    std::map<std::string, uint32_t> aside;
    for (uint32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(mcb_folder_file(card.get(), i, &f), 2);
        aside[f.name] = f.reason;
    }
    EXPECT_EQ(aside, (std::map<std::string, uint32_t>{{nameOf(big("c", 3)), MCB_ASIDE_NO_ROOM},
                                                      {"readme.txt", MCB_ASIDE_NOT_A_SAVE}}));
    ASSERT_EQ(mcb_delete_save(card.get(), uint32_t(slotNamed(card.get(), "a")), nullptr), MCB_OK);
    EXPECT_EQ(filesOf(dir.path()).count(nameOf(big("c", 3))), 1u);
    EXPECT_EQ(filesOf(dir.path()).count(nameOf(big("a", 1))), 0u);
}

TEST(FolderCard, ShowsWhatAnotherProgramPutInTheFolderSinceTheLastCall)
{
    const TempDir dir;
    fill(dir);
    const Card card = openFolder("folder:" + dir.path());
    ASSERT_EQ(mcb_load(card.get()), 2);
    writeFile(dir.file(nameOf(kFresh)), kFresh);
    EXPECT_EQ(mcb_load(card.get()), 3);
    // A write made after it keeps the save the other program added.
    ASSERT_EQ(mcb_delete_save(card.get(), uint32_t(slotNamed(card.get(), "metroid")), nullptr),
              MCB_OK);
    EXPECT_EQ(filesOf(dir.path()).count(nameOf(kFresh)), 1u);
}

TEST(FolderCard, BackupImageRestoresEverySaveByteForByte)
{
    const TempDir dir;
    fill(dir);
    const Card card = openFolder("folder:" + dir.path());
    size_t length = 0;
    ASSERT_EQ(mcb_read_image(card.get(), nullptr, 0, &length), MCB_E_TOO_SMALL);
    std::vector<uint8_t> image(length);
    ASSERT_EQ(mcb_read_image(card.get(), image.data(), image.size(), &length), MCB_OK);
    ASSERT_EQ(mcb_delete_save(card.get(), uint32_t(slotNamed(card.get(), "town")), nullptr),
              MCB_OK);
    ASSERT_EQ(writeSave(card.get(), kFresh, MCB_WRITE_NEW), MCB_OK);
    ASSERT_EQ(mcb_write_image(card.get(), image.data(), image.size(), MCB_RESTORE_SAME_CARD),
              MCB_OK);
    Files got = filesOf(dir.path());
    EXPECT_EQ(got.count(nameOf(kFresh)), 0u);
    ASSERT_EQ(got.count(nameOf(kOld)), 1u);
    EXPECT_EQ(placeless(got[nameOf(kOld)]), placeless(kOld));
    EXPECT_EQ(got["readme.txt"], kNotes);
}
