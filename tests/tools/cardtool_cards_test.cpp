// cardtool on the larger cards, on images with another tool's header, and
// copying saves from one card to another.
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

std::optional<std::vector<uint8_t>> saveData(const std::vector<uint8_t>& image,
                                             const std::string& name)
{
    for (const mcb::SaveInfo& s : mcb::inspectCard(image).saves)
        if (s.name == name)
            return blocksOf(image, s.firstBlock, s.blockCount);
    return std::nullopt;
}

struct LargeCase {
    const char* name;
    unsigned megabits;
    unsigned saveBlocks;
};

class CardtoolLargeCards : public testing::TestWithParam<LargeCase> {};

TEST_P(CardtoolLargeCards, WorkToTheLastBlock)
{
    const LargeCase& c = GetParam();
    TempDir dir;
    const std::string card = dir.file("card.raw");
    const std::string dev = "--device image:" + card + " ";
    Result r = cardtool(dev + "format --size " + std::to_string(c.megabits));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(std::filesystem::file_size(card), mcb::cardBytes(c.megabits));
    const std::string blocks = std::to_string(c.saveBlocks);
    EXPECT_TRUE(says(cardtool(dev + "list"), "Card: " + std::to_string(c.megabits) + " Mbit, " +
                                                 blocks + " blocks for saves, " + blocks +
                                                 " free"));

    // One save takes all but the last ten blocks; the next goes at the end.
    std::vector<uint8_t> image = readFile(card);
    placeSave(image, 0, makeSaveFile({.name = "big", .blocks = c.saveBlocks - 10, .seed = 9}), 5);
    writeFile(card, image);
    const auto last = makeSaveFile({.name = "last", .blocks = 10, .seed = 4});
    writeFile(dir.file("last.gci"), last);
    r = cardtool(dev + "upload " + dir.file("last.gci"));
    ASSERT_EQ(r.status, 0) << r.out;
    const mcb::CardReport report = mcb::inspectCard(readFile(card));
    ASSERT_EQ(report.saves.size(), 2u);
    EXPECT_EQ(report.saves[1].firstBlock, c.megabits * 16 - 10);
    EXPECT_EQ(report.freeBlocks, 0u);

    r = cardtool(dev + "download 1 " + dir.file("back.gci"));
    ASSERT_EQ(r.status, 0) << r.out;
    auto back = readFile(dir.file("back.gci"));
    ASSERT_EQ(back.size(), last.size());
    // A save taken from a card says where it lay; the file made here does not.
    std::copy_n(&last[mcb::kEntryFirstBlock], 2, &back[mcb::kEntryFirstBlock]);
    EXPECT_EQ(back, last);
    r = cardtool(dev + "backup " + dir.file("card.gcp"));
    ASSERT_EQ(r.status, 0) << r.out;
    const std::vector<uint8_t> full = readFile(card);
    EXPECT_EQ(readFile(dir.file("card.gcp")), full);
    EXPECT_EQ(cardtool(dev + "check").status, 0);

    ASSERT_EQ(cardtool(dev + "delete 1").status, 0);
    EXPECT_TRUE(says(cardtool(dev + "list"), ", 10 free"));
    r = cardtool(dev + "restore " + dir.file("card.gcp"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(readFile(card), full);
}

INSTANTIATE_TEST_SUITE_P(Cards, CardtoolLargeCards,
                         testing::Values(LargeCase{"ThirtyTwoMegabits", 32, 507},
                                         LargeCase{"OneHundredTwentyEightMegabits", 128, 2043}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CardtoolImages, AnImageBehindAnotherHeaderIsNamedAndRefused)
{
    TempDir dir;
    const std::vector<uint8_t> plain = mcb::formatCard(mcb::FormatOptions{8});
    std::vector<uint8_t> headed(64, 0x20);
    headed.insert(headed.end(), plain.begin(), plain.end());
    writeFile(dir.file("headed.img"), headed);
    Result r = cardtool("--device image:" + dir.file("headed.img") + " list");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "another tool's header")) << r.out;

    writeFile(dir.file("card.raw"), plain);
    r = cardtool("--device image:" + dir.file("card.raw") + " restore " + dir.file("headed.img"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "behind another tool's header of 64 bytes")) << r.out;
    EXPECT_EQ(readFile(dir.file("card.raw")), plain);
}

TEST(CardtoolImages, FormatOffersEverySize)
{
    TempDir dir;
    const Result r = cardtool("--device image:" + dir.file("c.raw") + " format --size 2");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(says(r, "4, 8, 16, 32, 64 and 128 Mbit")) << r.out;
}

class CardtoolCopy : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir.file("tmp"));
        one = mcb::formatCard(mcb::FormatOptions{4});
        placeSave(one, 0, makeSaveFile({.code = "GAAE01", .name = "alpha", .blocks = 2}), 5);
        placeSave(one, 1, makeSaveFile({.code = "GBBE01", .name = "beta", .blocks = 3, .seed = 2}),
                  7);
        two = mcb::formatCard(mcb::FormatOptions{8});
        placeSave(two, 0, makeSaveFile({.code = "GCCE01", .name = "gamma", .seed = 3}), 5);
        writeFile(dir.file("one.raw"), one);
        writeFile(dir.file("two.raw"), two);
    }
    Result copy(const std::string& args, const std::string& faults = "") const
    {
        return cardtool("copy " + args, "TMPDIR=" + dir.file("tmp") +
                                            (faults.empty() ? "" : " MCBRIDGE_FAULTS=" + faults));
    }
    std::string from() const { return "--from image:" + dir.file("one.raw"); }
    std::string to() const { return "--to image:" + dir.file("two.raw"); }
    bool transitGone() const { return std::filesystem::is_empty(dir.file("tmp")); }

    TempDir dir;
    std::vector<uint8_t> one, two;
};

TEST_F(CardtoolCopy, CopiesTheSavesAndLeavesNoFileBehind)
{
    const Result r = copy(from() + " 0 1 " + to());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "Copied slot 1 (beta)")) << r.out;
    const auto now = readFile(dir.file("two.raw"));
    EXPECT_TRUE(mcb::inspectCard(now).sound());
    EXPECT_EQ(saveData(now, "alpha"), saveData(one, "alpha"));
    EXPECT_EQ(saveData(now, "beta"), saveData(one, "beta"));
    EXPECT_EQ(saveData(now, "gamma"), saveData(two, "gamma"));
    EXPECT_EQ(readFile(dir.file("one.raw")), one);
    EXPECT_TRUE(transitGone());
}

TEST_F(CardtoolCopy, WrongCommandLinesExitWithTwo)
{
    EXPECT_EQ(copy(from() + " 0").status, 2);
    EXPECT_EQ(copy(from() + " " + to()).status, 2);
    const Result same = copy(from() + " 0 --to image:" + dir.path() + "/./one.raw");
    EXPECT_EQ(same.status, 2);
    EXPECT_TRUE(says(same, "same card")) << same.out;
    EXPECT_EQ(readFile(dir.file("one.raw")), one);
}

struct CopyFault {
    const char* name;
    const char* faults;
    const char* says;
};

class CardtoolCopyFaults : public CardtoolCopy, public testing::WithParamInterface<CopyFault> {};

// A fault while the first card is read, or while the second is written:
// the copy fails and says why, the first card is as it was, and the second
// is sound and holds the save whole or not at all.
TEST_P(CardtoolCopyFaults, FailTheCopyAndLeaveBothCardsSound)
{
    const Result r = copy(from() + " 1 " + to(), GetParam().faults);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, GetParam().says)) << r.out;
    EXPECT_FALSE(says(r, dir.file("tmp"))) << r.out;
    EXPECT_EQ(readFile(dir.file("one.raw")), one);
    const auto now = readFile(dir.file("two.raw"));
    const mcb::CardReport report = mcb::inspectCard(now);
    EXPECT_TRUE(report.sound()) << report.problems[0];
    if (const auto beta = saveData(now, "beta"))
        EXPECT_EQ(beta, saveData(one, "beta"));
    else
        EXPECT_EQ(report.saves.size(), 1u);
    EXPECT_EQ(saveData(now, "gamma"), saveData(two, "gamma"));
    EXPECT_TRUE(transitGone());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CardtoolCopyFaults,
    testing::Values(CopyFault{"ReadFailsOnTheFirstCard", "read-fail=data", "could not be read"},
                    CopyFault{"ShortReadOnTheFirstCard", "read-short=data", "could not be read"},
                    CopyFault{"CutWhileTheSecondIsWritten", "cut-at=data:5", "was not copied to"},
                    CopyFault{"CutAsTheSecondsDirectoryIsWritten", "cut-at=dir",
                              "was not copied to"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
