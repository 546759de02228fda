// cardtool's restore of an image read from another card: refused with the
// reason, written as it is with --force, and with the card's own identity
// kept with --keep-identity.
#include "mcbridge/format.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

std::vector<uint8_t> formattedBy(uint8_t seed)
{
    mcb::FormatOptions o{4};
    for (std::size_t i = 0; i < o.serial.size(); ++i)
        o.serial[i] = uint8_t(seed * 13 + i);
    o.formatTime = 0x55AA00FFull * seed;
    return mcb::formatCard(o);
}

class ToolRestore : public testing::Test {
protected:
    void SetUp() override
    {
        writeFile(dir.file("card.raw"), card);
        placeSave(other, 0, makeSaveFile({.code = "GFZE8P", .name = "f_zero.dat", .blocks = 4}), 5);
        placeSave(other, 1, makeSaveFile({.name = "plain", .blocks = 2}), 12);
        writeFile(dir.file("other.gcp"), other);
    }
    Result restore(const std::string& options)
    {
        return cardtool("--device image:" + dir.file("card.raw") + " restore " +
                        dir.file("other.gcp") + options);
    }
    std::vector<uint8_t> cardNow() const { return readFile(dir.file("card.raw")); }

    TempDir dir;
    const std::vector<uint8_t> card = formattedBy(1);
    std::vector<uint8_t> other = formattedBy(2);
};

TEST_F(ToolRestore, AnotherCardsImageIsRefusedSayingWhy)
{
    const Result r = restore("");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "was read from another card")) << r.out;
    EXPECT_TRUE(says(r, "Nothing was written")) << r.out;
    EXPECT_TRUE(says(r, "--keep-identity") && says(r, "--force")) << r.out;
    EXPECT_EQ(cardNow(), card);
}

TEST_F(ToolRestore, ForcedTheCardTakesTheImagesIdentity)
{
    const Result r = restore(" --force");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "as it is")) << r.out;
    EXPECT_EQ(cardNow(), other);
}

TEST_F(ToolRestore, KeepingTheIdentityWritesAllButIt)
{
    const Result r = cardtool("--device image:" + dir.file("card.raw") +
                              " restore --keep-identity " + dir.file("other.gcp"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "keeping the card's own identity; signed for this card: f_zero.dat "
                        "(GFZE8P)"))
        << r.out;
    const std::vector<uint8_t> now = cardNow();
    EXPECT_EQ(0, std::memcmp(now.data(), card.data(), 32));
    EXPECT_EQ(blocksOf(now, 12, 2), blocksOf(other, 12, 2));
    EXPECT_EQ(std::vector<uint8_t>(now.begin() + 0x2000, now.begin() + 5 * 0x2000),
              std::vector<uint8_t>(other.begin() + 0x2000, other.begin() + 5 * 0x2000));
    // Its own image now goes back on without a word.
    writeFile(dir.file("other.gcp"), now);
    EXPECT_EQ(restore("").status, 0);
}

TEST_F(ToolRestore, BothOptionsOrTwoImagesAreNoCommand)
{
    EXPECT_EQ(restore(" --force --keep-identity").status, 2);
    EXPECT_EQ(restore(" " + dir.file("other.gcp")).status, 2);
    EXPECT_EQ(cardtool("--device image:" + dir.file("card.raw") + " restore --force").status, 2);
    EXPECT_EQ(cardNow(), card);
}

} // namespace
