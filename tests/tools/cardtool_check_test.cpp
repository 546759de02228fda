// cardtool check, repair, recover and download --force on damaged card
// images: what they print, what they change and their exit status.
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

struct Card {
    TempDir dir;
    std::string dev;
    std::vector<uint8_t> image;
    Card()
    {
        image = mcb::formatCard(mcb::FormatOptions{4});
        placeSave(image, 0, makeSaveFile({.name = "alpha", .blocks = 3}), 5);
        placeSave(image, 1, makeSaveFile({.name = "beta", .blocks = 2, .seed = 2}), 8);
        dev = "--device image:" + dir.file("card.raw") + " ";
    }
    void write() { writeFile(dir.file("card.raw"), image); }
    std::vector<uint8_t> now() const { return readFile(dir.file("card.raw")); }
};

} // namespace

TEST(CardtoolCheck, ASoundCardExitsWithZeroAndSaysSo)
{
    Card c;
    c.write();
    const Result r = cardtool(c.dev + "check");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "Save in slot 0 (GTSE01 alpha): 3 blocks from block 5. Chain: 5-7."))
        << r.out;
    EXPECT_TRUE(says(r, "Verdict: the card is sound.")) << r.out;
}

TEST(CardtoolCheck, ABrokenChainIsNamedAndExitsWithOne)
{
    Card c;
    setMapEntryOnCard(c.image, 6, 40);
    c.write();
    const Result r = cardtool(c.dev + "check");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "FAULT: The save in slot 0 (GTSE01 alpha) has a broken chain: it leads to "
                        "a block the map calls free."))
        << r.out;
    EXPECT_TRUE(says(r, "Verdict: the card is NOT sound")) << r.out;
}

TEST(CardtoolCheck, AHeaderThatDisagreesWithTheImageIsAFault)
{
    Card c;
    mcb::putBe16(&c.image[mcb::kHeaderSizeMbit], 8);
    mcb::sealHeader(std::span<uint8_t, mcb::kSectorSize>(c.image.data(), mcb::kSectorSize));
    c.write();
    const Result r = cardtool(c.dev + "check");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "The header says the card holds 8 Mbit; it holds 4.")) << r.out;
}

TEST(CardtoolRepair, TheDryRunChangesNothingAndApplyMendsWhatItListed)
{
    Card c;
    setMapEntryOnCard(c.image, 30, 0xFFFF);                               // leaked
    std::memset(&c.image[mcb::kMapBlock[0] * mcb::kBlockSize], 0xFF, 16); // a damaged copy
    c.write();
    Result r = cardtool(c.dev + "repair");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "none is made now")) << r.out;
    EXPECT_TRUE(says(r, "Rebuild copy 1 of the allocation map from the intact copy.")) << r.out;
    EXPECT_TRUE(says(r, "Free 1 leaked block(s); 54 blocks are free then. Blocks: 30.")) << r.out;
    EXPECT_EQ(c.now(), c.image);
    r = cardtool(c.dev + "repair --apply");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "Repaired:")) << r.out;
    r = cardtool(c.dev + "check");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(says(r, "Warning")) << r.out;
    EXPECT_EQ(cardtool(c.dev + "repair --now").status, 2);
}

TEST(CardtoolRecover, ListsAndPutsBackTheLastDeletedSave)
{
    Card c;
    c.write();
    ASSERT_EQ(cardtool(c.dev + "download 1 " + c.dir.file("beta.gci")).status, 0);
    ASSERT_EQ(cardtool(c.dev + "delete 1").status, 0);
    Result r = cardtool(c.dev + "recover");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "Deleted save in slot 1 (GTSE01 beta): 2 blocks, all still free")) << r.out;
    r = cardtool(c.dev + "recover 1");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "Put back the save (GTSE01 beta) in slot 1.")) << r.out;
    ASSERT_EQ(cardtool(c.dev + "download 1 " + c.dir.file("back.gci")).status, 0);
    EXPECT_EQ(readFile(c.dir.file("back.gci")), readFile(c.dir.file("beta.gci")));
    r = cardtool(c.dev + "recover 5");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "lists no deleted save")) << r.out;
    EXPECT_EQ(cardtool(c.dev + "recover -1").status, 2);
}

// A recovery cut at each of its writes (every other one, to keep the run
// short) says where the save stands, and that is so: back in its slot, or
// still listed for a later recover.
TEST(CardtoolRecover, ACutShortRecoverySaysWhereTheSaveStands)
{
    Card c;
    c.write();
    ASSERT_EQ(cardtool(c.dev + "delete 1").status, 0);
    const std::vector<uint8_t> deleted = c.now();
    int back = 0, recoverable = 0;
    for (int n = 1; n < 40; n += 2) {
        writeFile(c.dir.file("card.raw"), deleted);
        const Result r =
            cardtool(c.dev + "recover 1", "MCBRIDGE_FAULTS=cut-after-writes=" + std::to_string(n));
        if (r.status == 0)
            break; // the recovery needs fewer writes than this
        const bool saysBack = says(r, "the save is back all the same, in slot 1");
        const bool saysRecoverable = says(r, "the save can still be put back");
        const bool listed = says(cardtool(c.dev + "list"), "beta");
        const bool stillFound = says(cardtool(c.dev + "recover"), "beta");
        EXPECT_EQ(saysBack, listed) << "cut after " << n << ": " << r.out;
        EXPECT_EQ(saysRecoverable, stillFound && !listed) << "cut after " << n << ": " << r.out;
        back += saysBack;
        recoverable += saysRecoverable;
    }
    EXPECT_GT(back, 0);
    EXPECT_GT(recoverable, 0);
}

TEST(CardtoolDownload, ForceRescuesABrokenSaveAndSaysWhatItIs)
{
    Card c;
    setMapEntryOnCard(c.image, 5, 0xFFFF); // alpha's chain ends after one block
    c.write();
    EXPECT_EQ(cardtool(c.dev + "download 0 " + c.dir.file("a.gci")).status, 1);
    const Result r = cardtool(c.dev + "download 0 " + c.dir.file("a.gci") + " --force");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "RESCUED, NOT A VERIFIED COPY")) << r.out;
    const auto file = readFile(c.dir.file("a.gci"));
    ASSERT_EQ(file.size(), 64 + 3 * mcb::kBlockSize);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 64, file.end()), blocksOf(c.image, 5, 3));
    EXPECT_EQ(c.now(), c.image);
}
