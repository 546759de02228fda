// Cards larger than the console's own: 32 and 128 Mbit. Every block of them
// must be reached through the adapter, to the last one, by every command.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/card_check.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace mcb;
using namespace mcbtest;

namespace {

// A save file's data and its entry but for where the card put it (the
// first block, which a file taken from a card gives and a new one does not).
std::vector<uint8_t> placeless(std::vector<uint8_t> file)
{
    if (file.size() >= kEntrySize)
        putBe16(&file[kEntryFirstBlock], 0);
    return file;
}

struct LargeCase {
    const char* name;
    unsigned megabits;
    unsigned saveBlocks;
    unsigned piece; // the size of the saves that fill the card
};

class LargeCards : public testing::TestWithParam<LargeCase> {
protected:
    // Fills the card with saves of `piece` blocks and one that takes the
    // rest, through the adapter; the save files, in upload order.
    std::vector<std::vector<uint8_t>> fill(const TempDir& dir)
    {
        const LargeCase& c = GetParam();
        std::vector<std::vector<uint8_t>> files;
        unsigned left = c.saveBlocks;
        for (uint8_t n = 0; left > 0; ++n) {
            SaveSpec spec;
            spec.name = "large " + std::to_string(n);
            spec.blocks = std::min(left, c.piece);
            spec.seed = uint8_t(n * 37 + 5);
            files.push_back(makeSaveFile(spec));
            const std::string path = dir.file("s" + std::to_string(n) + ".gci");
            writeFile(path, files.back());
            EXPECT_EQ(InitSaverInfo(), 1);
            EXPECT_EQ(UpLoadSaver(path.c_str()), 1) << int(n) << ": " << mcb_last_error();
            left -= spec.blocks;
        }
        return files;
    }
};

// The blocks the first finding of kind names, from the last check or repair.
std::vector<uint16_t> blocksFound(uint32_t count, int32_t kind)
{
    for (uint32_t i = 0; i < count; ++i) {
        mcb_finding f;
        if (mcb_finding_at(i, &f) && f.kind == kind) {
            std::vector<uint16_t> b(f.blocks);
            mcb_finding_blocks(i, b.data(), uint32_t(b.size()));
            return b;
        }
    }
    return {};
}

// The last block of the card, and the blocks every save's chain runs through,
// as the image says.
unsigned lastUsedBlock(const std::vector<uint8_t>& image)
{
    Block dir, map;
    EXPECT_TRUE(currentStructures(image, dir, map));
    unsigned last = 0;
    for (unsigned b = kSystemBlocks; b < kMapBlockLimit && b < image.size() / kBlockSize; ++b)
        if (mapEntry(map, b) != kMapFreeEntry)
            last = b;
    return last;
}

TEST_P(LargeCards, FilledToTheLastBlockAndEverySaveReadsBack)
{
    const LargeCase& c = GetParam();
    EmulatedCard card(c.megabits);
    TempDir dir;
    ASSERT_TRUE(connect());
    const auto files = fill(dir);

    const CardReport r = inspectCard(card.image());
    EXPECT_TRUE(r.sound()) << (r.problems.empty() ? "" : r.problems[0]);
    EXPECT_EQ(r.freeBlocks, 0u);
    ASSERT_EQ(r.saves.size(), files.size());
    // The last save runs into the card's very last block.
    EXPECT_EQ(lastUsedBlock(card.image()), c.megabits * 16 - 1);
    EXPECT_EQ(r.saves.back().firstBlock + r.saves.back().blockCount, c.megabits * 16);

    // A card sized anew lists the same, and each save comes back as written.
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string out = dir.file("back" + std::to_string(i) + ".gci");
        ASSERT_EQ(mcb_download_slot(uint32_t(i), out.c_str()), 1) << i << ": " << mcb_last_error();
        EXPECT_EQ(placeless(readFile(out)), files[i]) << i;
    }
    // The images hold each save where its chain says.
    for (const SaveInfo& s : r.saves)
        EXPECT_EQ(blocksOf(card.image(), s.firstBlock, s.blockCount),
                  std::vector<uint8_t>(files[s.slot].begin() + 64, files[s.slot].end()))
            << s.slot;
}

TEST_P(LargeCards, AFreedRunNearTheEndTakesANewSave)
{
    const LargeCase& c = GetParam();
    EmulatedCard card(c.megabits);
    TempDir dir;
    ASSERT_TRUE(connect());
    const auto files = fill(dir);
    // The second last save lies high on the card: freeing it and writing
    // another of its size puts that one there.
    const unsigned victim = unsigned(files.size() - 2);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_EQ(DeleteSaver(("large " + std::to_string(victim)).c_str(), "GTSE01"), 1)
        << mcb_last_error();
    SaveSpec spec;
    spec.name = "late";
    spec.blocks = c.piece;
    spec.seed = 201;
    const auto late = makeSaveFile(spec);
    writeFile(dir.file("late.gci"), late);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_EQ(UpLoadSaver(dir.file("late.gci").c_str()), 1) << mcb_last_error();

    const CardReport r = inspectCard(card.image());
    ASSERT_TRUE(r.sound()) << r.problems[0];
    EXPECT_EQ(r.freeBlocks, 0u);
    const auto it = std::find_if(r.saves.begin(), r.saves.end(),
                                 [](const SaveInfo& s) { return s.name == "late"; });
    ASSERT_NE(it, r.saves.end());
    EXPECT_GE(it->firstBlock, c.megabits * 16 - 2 * c.piece);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_EQ(mcb_download_slot(it->slot, dir.file("late back.gci").c_str()), 1);
    EXPECT_EQ(placeless(readFile(dir.file("late back.gci"))), late);
}

TEST_P(LargeCards, BackupAndRestoreCoverEverySector)
{
    const LargeCase& c = GetParam();
    EmulatedCard card(c.megabits);
    TempDir dir;
    ASSERT_TRUE(connect());
    fill(dir);
    const std::vector<uint8_t> full = card.image();
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(ReadCardToFile(dir.file("card.gcp").c_str()), 1) << mcb_last_error();
    EXPECT_EQ(readFile(dir.file("card.gcp")), full);
    // The progress runs over the whole card: a step a block.
    ASSERT_FALSE(log.counts().empty());
    EXPECT_EQ(log.counts()[0], uintptr_t(c.megabits) * 256);
    EXPECT_EQ(log.steps(), std::size_t(c.megabits) * 16);

    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_EQ(DeleteSaver("large 0", "GTSE01"), 1);
    ASSERT_NE(card.image(), full);
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_restore_card(dir.file("card.gcp").c_str(), MCB_RESTORE_SAME_CARD), 1)
        << mcb_last_error();
    EXPECT_EQ(card.image(), full);
}

TEST_P(LargeCards, FormattedBlankAndSound)
{
    const LargeCase& c = GetParam();
    EmulatedCard card(c.megabits);
    TempDir dir;
    ASSERT_TRUE(connect());
    fill(dir);
    // A format through the adapter is a blank image of the card's size
    // written over it, as the tool does.
    writeFile(dir.file("blank.gcp"), formatCard(freshFormat(c.megabits, Encoding::Ansi)));
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_restore_card(dir.file("blank.gcp").c_str(), MCB_RESTORE_KEEP_IDENTITY), 1)
        << mcb_last_error();
    const CardReport r = inspectCard(card.image());
    EXPECT_TRUE(r.sound());
    EXPECT_TRUE(r.saves.empty());
    EXPECT_EQ(r.freeBlocks, c.saveBlocks);
    ASSERT_TRUE(connect());
    uint16_t count = 0;
    ASSERT_EQ(InitSaverInfo(), 1);
    char name[33], code[7];
    EXPECT_EQ(GetSaverInfo(0, name, code, &count), 0);
}

TEST_P(LargeCards, CheckFindsAndRepairFreesALeakAtTheEnd)
{
    const LargeCase& c = GetParam();
    std::vector<uint8_t> image = formatCard(freshFormat(c.megabits, Encoding::Ansi));
    SaveSpec spec;
    spec.blocks = 3;
    placeSave(image, 0, makeSaveFile(spec), c.megabits * 16 - 3);
    // A block marked used that no save owns, past where a 10-bit block
    // number could reach.
    setMapEntryOnCard(image, c.megabits * 16 - 5, kMapLastEntry);
    EmulatedCard card(image);
    uint32_t count = 0;
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_check_card(&count, nullptr), 1) << mcb_last_error();
    EXPECT_EQ(blocksFound(count, MCB_FINDING_LEAKED_BLOCKS),
              std::vector<uint16_t>{uint16_t(c.megabits * 16 - 5)});
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_repair_card(1, &count), 1) << mcb_last_error();
    EXPECT_EQ(blocksFound(count, MCB_REPAIR_FREE_BLOCKS),
              std::vector<uint16_t>{uint16_t(c.megabits * 16 - 5)});
    Block dir, map;
    ASSERT_TRUE(currentStructures(card.image(), dir, map));
    EXPECT_EQ(mapEntry(map, c.megabits * 16 - 5), kMapFreeEntry);
    EXPECT_NE(mapEntry(map, c.megabits * 16 - 3), kMapFreeEntry);
    ASSERT_TRUE(connect());
    ASSERT_EQ(mcb_check_card(&count, nullptr), 1);
    EXPECT_TRUE(blocksFound(count, MCB_FINDING_LEAKED_BLOCKS).empty());
}

INSTANTIATE_TEST_SUITE_P(Cards, LargeCards,
                         testing::Values(LargeCase{"ThirtyTwoMegabits", 32, 507, 120},
                                         LargeCase{"OneHundredTwentyEightMegabits", 128, 2043,
                                                   450}),
                         [](const auto& info) { return std::string(info.param.name); });

// Images some tools write with a header of their own in front of the card.
struct HeadedCase {
    const char* name;
    std::size_t extra;
    unsigned megabits;
    bool intactBehind; // the card header behind the extra one is whole
    int32_t openError;
    int32_t restoreError;
};

class HeadedImages : public testing::TestWithParam<HeadedCase> {};

TEST_P(HeadedImages, AreRecognisedAndRefusedBeforeTheCardIsTouched)
{
    const HeadedCase& c = GetParam();
    std::vector<uint8_t> file(c.extra, 0x4D);
    std::vector<uint8_t> card = formatCard(freshFormat(c.megabits, Encoding::Ansi));
    if (!c.intactBehind)
        card[0x30] ^= 0xFF;
    file.insert(file.end(), card.begin(), card.end());
    TempDir dir;
    writeFile(dir.file("headed.img"), file);

    EXPECT_EQ(extraHeaderLength(file.size(), std::span(file).first(std::min(
                                                 file.size(), kHeadedImageProbe))) != std::nullopt,
              c.openError == MCB_ERROR_IMAGE_HEADER);

    // As the card itself: the emulated adapter will not open it.
    setenv("MCBRIDGE_DEVICE", ("image:" + dir.file("headed.img")).c_str(), 1);
    mcb_receiver r{};
    EXPECT_EQ(OpenDevice(&r), 0);
    EXPECT_EQ(r.error, c.openError);
    unsetenv("MCBRIDGE_DEVICE");

    // As an image to restore: refused, the card unchanged.
    EmulatedCard target(c.megabits);
    const std::vector<uint8_t> before = target.image();
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_check_image(dir.file("headed.img").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), c.restoreError);
    EXPECT_EQ(mcb_restore_card(dir.file("headed.img").c_str(), MCB_RESTORE_FORCE), 0);
    EXPECT_EQ(mcb_last_error(), c.restoreError);
    EXPECT_EQ(target.image(), before);
    EXPECT_EQ(target.traffic().erases, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Images, HeadedImages,
    testing::Values(HeadedCase{"SixtyFourBytesBeforeASixteenMegabitCard", 64, 16, true,
                               MCB_ERROR_IMAGE_HEADER, MCB_ERROR_IMAGE_HEADER},
                    HeadedCase{"ASectorBeforeAFourMegabitCard", 512, 4, true,
                               MCB_ERROR_IMAGE_HEADER, MCB_ERROR_IMAGE_HEADER},
                    HeadedCase{"ABlockBeforeAOneHundredTwentyEightMegabitCard", 8192, 128, true,
                               MCB_ERROR_IMAGE_HEADER, MCB_ERROR_IMAGE_HEADER},
                    HeadedCase{"SixtyFourBytesBeforeADamagedHeader", 64, 16, false,
                               MCB_ERROR_IMAGE_SIZE, MCB_ERROR_IMAGE_LENGTH},
                    HeadedCase{"MoreThanABlockInFront", 8194, 8, true, MCB_ERROR_IMAGE_SIZE,
                               MCB_ERROR_IMAGE_LENGTH}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
