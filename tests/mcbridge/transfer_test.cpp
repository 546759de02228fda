// Copying saves between card and files, replacing and deleting them.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace mcb;
using namespace mcbtest;

namespace {

SaveInfo saveNamed(const std::vector<uint8_t>& image, const std::string& name)
{
    for (const SaveInfo& s : inspectCard(image).saves)
        if (s.name == name)
            return s;
    ADD_FAILURE() << "no save " << name;
    return {};
}

std::vector<uint16_t> chainOf(const std::vector<uint8_t>& image, unsigned first, unsigned count)
{
    Block dir, map;
    EXPECT_TRUE(currentStructures(image, dir, map));
    std::vector<uint16_t> chain;
    for (unsigned b = first; b < first + count; ++b)
        chain.push_back(mapEntry(map, b));
    return chain;
}

// Uploads as the program does: a listing in the same connection first.
int32_t upload(const std::string& path)
{
    if (!connect() || !InitSaverInfo())
        return 0;
    return UpLoadSaver(path.c_str());
}

std::size_t filesIn(const std::string& dir)
{
    return std::size_t(std::distance(std::filesystem::directory_iterator(dir),
                                     std::filesystem::directory_iterator()));
}

} // namespace

TEST(Download, WritesTheEntryAndEveryBlock)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    const auto save = makeSaveFile({.code = "GZLE01", .name = "zelda", .blocks = 3});
    placeSave(image, 2, save, 11);
    EmulatedCard card(image);
    TempDir dir;
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(DownLoadSaver("zelda", "GZLE01", dir.file("z.gci").c_str()), 1);
    const auto file = readFile(dir.file("z.gci"));
    ASSERT_EQ(file.size(), 64u + 3 * 8192);
    // The entry as the card holds it, first block and count included.
    EXPECT_EQ(getBe16(&file[kEntryFirstBlock]), 11);
    EXPECT_EQ(getBe16(&file[kEntryBlockCount]), 3);
    EXPECT_TRUE(std::equal(file.begin() + 64, file.end(), save.begin() + 64));
    // Directory load (3 and three steps), then 48 sectors and a step each.
    ASSERT_EQ(log.counts(), (std::vector<uintptr_t>{3, 48}));
    EXPECT_EQ(log.steps(), 3u + 48u);
}

TEST(Download, AFailedReadLeavesTheOlderFileAndNoLeftovers)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "x", .blocks = 2}), 5);
    EmulatedCard card(image);
    TempDir dir;
    writeFile(dir.file("x.gci"), {1, 2, 3});
    card.faults.failReadAt = {Place::Kind::Block, 6,
                              4}; // the fourth sector of the save's second block
    ASSERT_TRUE(connect());
    EXPECT_EQ(DownLoadSaver("x", "GTSE01", dir.file("x.gci").c_str()), 0);
    EXPECT_EQ(readFile(dir.file("x.gci")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(Download, UnknownSavesAndSavesOffTheCardGiveNoFile)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "edge", .blocks = 3}), 62); // runs past block 63
    EmulatedCard card(image);
    TempDir dir;
    ASSERT_TRUE(connect());
    card.resetTraffic();
    EXPECT_EQ(DownLoadSaver("edge", "GTSE01", dir.file("e.gci").c_str()), 0);
    EXPECT_EQ(DownLoadSaver("other", "GTSE01", dir.file("o.gci").c_str()), 0);
    EXPECT_EQ(filesIn(dir.path()), 0u);
    EXPECT_EQ(card.traffic().sectorReads, 2u * 52u); // only the directory loads
}

namespace {

struct LengthCase {
    const char* name;
    std::size_t length;
    unsigned entryBlocks;
    unsigned blocks; // 0: refused as no save file
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class UploadLengths : public testing::TestWithParam<LengthCase> {};

} // namespace

TEST_P(UploadLengths, BlockCountComesFromTheFileLengthAndMustMatchTheEntry)
{
    const LengthCase& c = GetParam();
    EmulatedCard card;
    TempDir dir;
    auto f = makeSaveFile({.name = "len", .blocks = 2});
    putBe16(&f[kEntryBlockCount], uint16_t(c.entryBlocks));
    f.resize(c.length);
    writeFile(dir.file("s.gci"), f);
    if (c.blocks == 0) {
        EXPECT_EQ(upload(dir.file("s.gci")), 0);
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_A_SAVE);
        EXPECT_EQ(card.traffic().sectorWrites, 0u);
        return;
    }
    ASSERT_EQ(upload(dir.file("s.gci")), 1);
    const SaveInfo s = saveNamed(card.image(), "len");
    EXPECT_EQ(s.blockCount, c.blocks);
    // What the file does not fill of its last block is zeros.
    const auto data = blocksOf(card.image(), s.firstBlock, s.blockCount);
    const std::size_t have = c.length - 64;
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(data[i], i < have ? f[64 + i] : 0) << "at " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Upload, UploadLengths,
    testing::Values(LengthCase{"WholeBlocks", 64 + 2 * 8192, 2, 2},
                    LengthCase{"ShortestForTwoBlocks", 2 * 8192 + 54, 2, 2},
                    LengthCase{"OneByteLessIsOneBlock", 2 * 8192 + 53, 1, 1},
                    LengthCase{"ShortestForOneBlock", 8246, 1, 1},
                    LengthCase{"EntryClaimsABlockTooMany", 2 * 8192 + 53, 2, 0},
                    LengthCase{"EntryClaimsMoreThanWholeBlocks", 64 + 2 * 8192, 3, 0}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

struct RefusedFileCase {
    const char* name;
    const char* file;
};

void PrintTo(const RefusedFileCase& c, std::ostream* os) { *os << c.name; }

class RefusedFiles : public testing::TestWithParam<RefusedFileCase> {};

} // namespace

TEST_P(RefusedFiles, AreRefusedBeforeAnythingIsWritten)
{
    EmulatedCard card;
    TempDir dir;
    auto tooShort = makeSaveFile({.name = "short"});
    tooShort.resize(8245);
    writeFile(dir.file("short.gci"), tooShort);
    writeFile(dir.file("huge.gci"), makeSaveFile({.name = "huge", .blocks = 60})); // card holds 59
    auto blank = makeSaveFile({.name = "blank"});
    blank[0] = 0xFF; // an entry that reads as an empty slot
    writeFile(dir.file("blank.gci"), blank);
    card.resetTraffic();
    EXPECT_EQ(upload(dir.file(GetParam().file)), 0);
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
    EXPECT_EQ(card.traffic().erases, 0u);
}

INSTANTIATE_TEST_SUITE_P(Upload, RefusedFiles,
                         testing::Values(RefusedFileCase{"TooShort", "short.gci"},
                                         RefusedFileCase{"LargerThanTheCard", "huge.gci"},
                                         RefusedFileCase{"EntryOfAnEmptySlot", "blank.gci"},
                                         RefusedFileCase{"Missing", "missing.gci"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A listing made in an earlier connection does not count.
TEST(Upload, WithoutADirectoryReadInThisConnectionNothingIsWritten)
{
    EmulatedCard card;
    TempDir dir;
    writeFile(dir.file("ok.gci"), makeSaveFile({.name = "ok"}));
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_TRUE(connect());
    EXPECT_EQ(UpLoadSaver(dir.file("ok.gci").c_str()), 0);
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
}

TEST(Upload, NewSavesTakeTheLowestRunThatFits)
{
    EmulatedCard card;
    TempDir dir;
    ProgressLog log;
    writeFile(dir.file("a.gci"), makeSaveFile({.name = "a", .blocks = 3}));
    writeFile(dir.file("b.gci"), makeSaveFile({.name = "b", .blocks = 2}));
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(InitSaverInfo(), 1);
    log.clear();
    ASSERT_EQ(UpLoadSaver(dir.file("a.gci").c_str()), 1);
    EXPECT_EQ(log.wparams, (std::vector<uintptr_t>{7, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(saveNamed(card.image(), "a").firstBlock, 5u);
    EXPECT_EQ(chainOf(card.image(), 5, 3), (std::vector<uint16_t>{6, 7, 0xFFFF}));
    ASSERT_EQ(upload(dir.file("b.gci")), 1);
    EXPECT_EQ(saveNamed(card.image(), "b").firstBlock, 8u);
    EXPECT_EQ(chainOf(card.image(), 8, 2), (std::vector<uint16_t>{9, 0xFFFF}));
    EXPECT_EQ(inspectCard(card.image()).freeBlocks, 59 - 5);
}

TEST(Upload, GapsAreFilledWhereTheyFit)
{
    for (unsigned blocks : {3u, 2u}) {
        std::vector<uint8_t> image = formatCard(FormatOptions{4});
        placeSave(image, 0, makeSaveFile({.name = "used", .blocks = 1}), 7);
        placeSave(image, 1, makeSaveFile({.name = "tail", .blocks = 49}), 11);
        EmulatedCard card(image);
        TempDir dir;
        writeFile(dir.file("n.gci"), makeSaveFile({.name = "new", .blocks = blocks}));
        ASSERT_EQ(upload(dir.file("n.gci")), 1);
        EXPECT_EQ(saveNamed(card.image(), "new").firstBlock, blocks == 3 ? 8u : 5u);
    }
}

TEST(Upload, AFullDirectoryOrFullCardRefusesANewSave)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{16});
    for (unsigned s = 0; s < 127; ++s)
        placeSave(image, s, makeSaveFile({.name = "s" + std::to_string(s), .blocks = 1}), 5 + s);
    EmulatedCard card(image);
    TempDir dir;
    writeFile(dir.file("n.gci"), makeSaveFile({.name = "one more"}));
    EXPECT_EQ(upload(dir.file("n.gci")), 0);
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
    // The same name as a save on the card is a replacement, which fits.
    writeFile(dir.file("r.gci"), makeSaveFile({.name = "s3", .seed = 9}));
    EXPECT_EQ(upload(dir.file("r.gci")), 1);

    EmulatedCard small;
    writeFile(dir.file("big.gci"), makeSaveFile({.name = "big", .blocks = 50}));
    ASSERT_EQ(upload(dir.file("big.gci")), 1);
    writeFile(dir.file("ten.gci"), makeSaveFile({.name = "ten", .blocks = 10}));
    small.resetTraffic();
    EXPECT_EQ(upload(dir.file("ten.gci")), 0);
    EXPECT_EQ(small.traffic().sectorWrites, 0u);
}

namespace {

struct ReplacementCase {
    const char* name;
    unsigned oldBlocks, newBlocks;
    unsigned expectFirst;
};

void PrintTo(const ReplacementCase& c, std::ostream* os) { *os << c.name; }

class Replacements : public testing::TestWithParam<ReplacementCase> {};

} // namespace

TEST_P(Replacements, LeaveTheFilesSaveAndSpareTheNeighbours)
{
    const ReplacementCase& c = GetParam();
    // Old save at 6..; neighbours at 5 and right after it; free space after.
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "left", .blocks = 1, .seed = 3}), 5);
    placeSave(image, 1, makeSaveFile({.name = "mid", .blocks = c.oldBlocks, .seed = 4}), 6);
    placeSave(image, 2, makeSaveFile({.name = "right", .blocks = 2, .seed = 5}), 6 + c.oldBlocks);
    const auto before = image;
    EmulatedCard card(image);
    TempDir dir;
    auto f = makeSaveFile({.name = "mid", .blocks = c.newBlocks, .seed = 8});
    f[0x28] = 0x42; // a field of the file's own entry
    writeFile(dir.file("m.gci"), f);
    ASSERT_EQ(upload(dir.file("m.gci")), 1);
    const CardReport r = inspectCard(card.image());
    ASSERT_TRUE(r.sound()) << r.problems[0];
    ASSERT_EQ(r.saves.size(), 3u);
    const SaveInfo mid = saveNamed(card.image(), "mid");
    EXPECT_EQ(mid.slot, 1u);
    EXPECT_EQ(mid.blockCount, c.newBlocks);
    EXPECT_EQ(mid.firstBlock, c.expectFirst);
    EXPECT_EQ(blocksOf(card.image(), mid.firstBlock, mid.blockCount),
              std::vector<uint8_t>(f.begin() + 64, f.end()));
    Block dirBlock, map;
    ASSERT_TRUE(currentStructures(card.image(), dirBlock, map));
    EXPECT_EQ(dirBlock[kEntrySize + 0x28], 0x42);
    for (const char* n : {"left", "right"}) {
        const SaveInfo s = saveNamed(card.image(), n);
        EXPECT_EQ(blocksOf(card.image(), s.firstBlock, s.blockCount),
                  blocksOf(before, s.firstBlock, s.blockCount))
            << n;
    }
    EXPECT_EQ(r.freeBlocks, 59 - 3 - c.newBlocks);
}

INSTANTIATE_TEST_SUITE_P(Upload, Replacements,
                         testing::Values(ReplacementCase{"SameSize", 2, 2, 10},
                                         ReplacementCase{"Larger", 2, 4, 10},
                                         ReplacementCase{"Smaller", 3, 1, 11}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Upload, AReplacementThatFitsOnlyInTheOldBlocksIsRefused)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "mid", .blocks = 4, .seed = 1}), 5);
    placeSave(image, 1, makeSaveFile({.name = "fill", .blocks = 53, .seed = 2}), 9);
    EmulatedCard card(image); // 2 blocks free at 62-63
    TempDir dir;
    writeFile(dir.file("m.gci"), makeSaveFile({.name = "mid", .blocks = 3, .seed = 7}));
    ASSERT_TRUE(connect());
    card.resetTraffic();
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(UpLoadSaver(dir.file("m.gci").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_ROOM);
    uint32_t needed = 0, free = 0;
    ASSERT_EQ(mcb_space(&needed, &free), 1);
    EXPECT_EQ(needed, 3u);
    EXPECT_EQ(free, 2u);
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);
    EXPECT_EQ(card.image(), image);
    // The slot-based replacement says the same.
    EXPECT_EQ(mcb_replace_slot(0, dir.file("m.gci").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NO_ROOM);
    EXPECT_EQ(card.image(), image);
}

TEST(Delete, FreesTheBlocksAndTheSlotButKeepsTheData)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "a", .blocks = 2}), 5);
    placeSave(image, 1, makeSaveFile({.name = "b", .blocks = 2}), 7);
    EmulatedCard card(image);
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(DeleteSaver("a", "GTSE01"), 1);
    EXPECT_EQ(log.counts(), (std::vector<uintptr_t>{3, 5}));
    EXPECT_EQ(log.steps(), 3u + 5u);
    const CardReport r = inspectCard(card.image());
    ASSERT_EQ(r.saves.size(), 1u);
    EXPECT_EQ(r.saves[0].name, "b");
    EXPECT_EQ(r.freeBlocks, 57);
    EXPECT_EQ(blocksOf(card.image(), 5, 2), blocksOf(image, 5, 2)); // never erased
    EXPECT_EQ(DeleteSaver("a", "GTSE01"), 0);

    // A new save goes to the lowest run that fits beside the deleted save's
    // blocks, which stay recoverable while there is room elsewhere.
    TempDir dir;
    writeFile(dir.file("c.gci"), makeSaveFile({.name = "c", .blocks = 1}));
    ASSERT_EQ(upload(dir.file("c.gci")), 1);
    EXPECT_EQ(saveNamed(card.image(), "c").firstBlock, 9u);
}
