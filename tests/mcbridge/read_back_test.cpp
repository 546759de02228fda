// Blocks written for a save are read back before the directory changes: a
// card that does not keep what was written never ends up holding half a save.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <functional>

using namespace mcb;
using namespace mcbtest;

namespace {

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& saveFile)
{
    return {saveFile.begin() + kEntrySize, saveFile.end()};
}

// A byte of the save's data (offset within the data) that is not zero, so
// that a cell stuck at zero under it shows.
std::size_t nonZeroByte(const std::vector<uint8_t>& saveFile, std::size_t from)
{
    std::size_t i = from;
    while (saveFile[kEntrySize + i] == 0)
        ++i;
    return i;
}

} // namespace

namespace {

// Each writing call that reads its blocks back: a replacement or a new save.
struct ReadBackCase {
    const char* name;
    bool replaces; // the file has the old save's name and code
    std::function<int32_t(const std::string&)> call;
};

void PrintTo(const ReadBackCase& c, std::ostream* os) { *os << c.name; }

class ReadBackDiffers : public testing::TestWithParam<ReadBackCase> {};

int32_t uploadByName(const std::string& path)
{
    return InitSaverInfo() ? UpLoadSaver(path.c_str()) : -1;
}

} // namespace

TEST_P(ReadBackDiffers, LeavesTheOldSaveAndDirectoryWhole)
{
    const auto old = makeSaveFile({.name = "mid", .blocks = 2, .seed = 1});
    const auto file = GetParam().replaces ? makeSaveFile({.name = "mid", .blocks = 2, .seed = 6})
                                          : makeSaveFile({.name = "fresh", .blocks = 2, .seed = 8});
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 0, old, 5);
    EmulatedCard card(image);
    TempDir dir;
    writeFile(dir.file("s.gci"), file);
    // The new blocks go to 7-8; one cell of the second has worn out.
    card.stuckAtZero().push_back(8 * kBlockSize + nonZeroByte(file, kBlockSize + 700) - kBlockSize);
    ASSERT_TRUE(connect());
    EXPECT_EQ(GetParam().call(dir.file("s.gci")), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_READ_BACK);
    // The directory and map as they were, and the old save readable.
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 7 * kBlockSize, card.image().begin()));
    ASSERT_EQ(DownLoadSaver("mid", "GTSE01", dir.file("old.gci").c_str()), 1);
    EXPECT_EQ(dataOf(readFile(dir.file("old.gci"))), dataOf(old));
    EXPECT_EQ(inspectCard(card.image()).saves.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(WritingCalls, ReadBackDiffers,
                         testing::Values(ReadBackCase{"NewSave", false, uploadByName},
                                         ReadBackCase{"ReplacementByName", true, uploadByName},
                                         ReadBackCase{"ReplacementBySlot", true,
                                                      [](const std::string& p) {
                                                          return mcb_replace_slot(0, p.c_str());
                                                      }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadBack, CostsOneSectorReadPerSectorWritten)
{
    for (unsigned blocks : {1u, 3u, 7u}) {
        EmulatedCard card(formatCard(FormatOptions{16}));
        TempDir dir;
        writeFile(dir.file("s.gci"), makeSaveFile({.name = "s", .blocks = blocks}));
        ASSERT_TRUE(connect());
        ASSERT_EQ(InitSaverInfo(), 1);
        card.resetTraffic();
        ASSERT_EQ(UpLoadSaver(dir.file("s.gci").c_str()), 1);
        // Every sector of the save is read back once; besides, only the
        // system area is read (the map copy the card does not use, and
        // whatever the commit reads).
        const SaveInfo saved = inspectCard(card.image()).saves.at(0);
        unsigned saveReads = 0, otherReads = 0;
        for (const auto& p : card.traffic().packetLog) {
            if (p[0] != 0xA9 || p[1] != 0x85)
                continue;
            const unsigned block = unsigned(p[2] | p[3] << 8) / 16;
            if (block >= saved.firstBlock && block < saved.firstBlock + blocks)
                ++saveReads;
            else if (block >= kSystemBlocks)
                ++otherReads;
        }
        EXPECT_EQ(saveReads, blocks * 16u) << blocks;
        EXPECT_EQ(otherReads, 0u) << blocks;
    }
}
