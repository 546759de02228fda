// Banner and icon pictures: decoding each format, the bitmap file, and what
// the library reads to make them.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/banner.h"
#include "mcbridge/banner_encode.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mcb;
using namespace mcbtest;

namespace {

// A save file whose data holds picture at the entry's picture offset.
std::vector<uint8_t> saveWithPicture(SaveSpec spec, const std::vector<uint8_t>& picture,
                                     uint16_t iconFormat = 0, uint16_t iconSpeed = 0)
{
    std::vector<uint8_t> f = makeSaveFile(spec);
    putBe16(&f[kEntryIconFormat], iconFormat);
    putBe16(&f[kEntryIconSpeed], iconSpeed);
    const std::size_t at = kEntrySize + spec.pictureOffset;
    for (std::size_t i = 0; i < picture.size() && at + i < f.size(); ++i)
        f[at + i] = picture[i];
    return f;
}

Banner decodeFile(const std::vector<uint8_t>& f)
{
    return decodeBanner(EntryRef{f.data()}, [&](uint64_t o) -> std::optional<uint8_t> {
        if (kEntrySize + o >= f.size())
            return std::nullopt;
        return f[kEntrySize + o];
    });
}

// Few enough colours (200) for an indexed picture to hold them all.
Banner testPicture()
{
    Banner b;
    for (int y = 0; y < kBannerHeight; ++y)
        for (int x = 0; x < kBannerWidth; ++x)
            b[std::size_t(y * kBannerWidth + x)] =
                uint16_t((((x / 6) * 13 + (y / 4) * 7) % 200) * 163 & 0x7FFF);
    return b;
}

Icon testIcon(int shift)
{
    Icon icon;
    for (int i = 0; i < kIconSize * kIconSize; ++i)
        icon[std::size_t(i)] = uint16_t((((i / 5 + shift) % 40) * 811) & 0x7FFF);
    return icon;
}

uint16_t pixel(const Banner& b, int x, int y) { return b[std::size_t(y * kBannerWidth + x)]; }

} // namespace

namespace {

struct BannerFormatCase {
    const char* name;
    uint8_t format;
};

void PrintTo(const BannerFormatCase& c, std::ostream* os) { *os << c.name; }

class BannerFormats : public testing::TestWithParam<BannerFormatCase> {};

} // namespace

TEST_P(BannerFormats, DecodeWhatWasStored)
{
    const uint8_t format = GetParam().format;
    const Banner picture = testPicture();
    const auto f = saveWithPicture({.blocks = 1, .bannerFormat = format, .pictureOffset = 64},
                                   encodeBanner(picture, format));
    const Banner got = decodeFile(f);
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i] & 0x7FFF, picture[i]) << "at " << i;
}

// Any format byte without a meaning of its own is direct colour.
INSTANTIATE_TEST_SUITE_P(Banner, BannerFormats,
                         testing::Values(BannerFormatCase{"Indexed", kBannerIndexed},
                                         BannerFormatCase{"IndexedBouncing", kBannerIndexedBounce},
                                         BannerFormatCase{"Direct", 2},
                                         BannerFormatCase{"DirectAsSix", 6},
                                         BannerFormatCase{"DirectAsThree", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Banner, GreyLevelsKeepTheirTopFiveBits)
{
    std::vector<uint8_t> grey(3072, 0x07);
    grey[0] = 0xFF; // pixel (0, 0)
    grey[1] = 0x80; // pixel (1, 0)
    const Banner b = decodeFile(saveWithPicture({.bannerFormat = 93}, grey));
    EXPECT_EQ(pixel(b, 0, 0), 0x7FFF);
    EXPECT_EQ(pixel(b, 1, 0), 16 * 0x421);
    EXPECT_EQ(pixel(b, 2, 0), 0);
}

TEST(Banner, OpaqueColoursPassAndTranslucentOnesBlendOverWhite)
{
    EXPECT_EQ(bitmapColour(0x801F), 0x801F);    // pure blue, as stored
    EXPECT_EQ(bitmapColour(0x0F00), 0x7FFF);    // fully transparent red: white
    EXPECT_EQ(bitmapColour(0x7F00), 0x7C00);    // fully opaque red
    EXPECT_EQ(bitmapColour(0x7000), 0x0000);    // opaque black
    const uint16_t half = bitmapColour(0x3000); // black at 3/7
    EXPECT_GT(half & 0x1F, 10);
    EXPECT_LT(half & 0x1F, 31);
}

TEST(Banner, TilesAreAddressedAsTheConsoleStoresThem)
{
    // Direct colour: pixel (5, 6) is word (6/4)*384 + (5/4)*16 + (6%4)*4 + 5%4.
    std::vector<uint8_t> direct(6144, 0xFF);
    const std::size_t w = (1 * 384 + 1 * 16 + 2 * 4 + 1) * 2;
    direct[w] = 0x80;
    direct[w + 1] = 0x1F;
    const Banner b = decodeFile(saveWithPicture({.bannerFormat = 2}, direct));
    EXPECT_EQ(pixel(b, 5, 6), 0x801F);
    EXPECT_EQ(pixel(b, 4, 6), 0xFFFF);
    // And the bitmap stores it little-endian, bottom row first.
    const auto bmp = bitmapFile(b);
    const std::size_t at = 54 + std::size_t(31 - 6) * 96 * 2 + 5 * 2;
    EXPECT_EQ(bmp[at], 0x1F);
    EXPECT_EQ(bmp[at + 1], 0x80);
}

namespace {

// A save without a banner: its icon frames, and the banner byte that says so.
struct IconOnlyCase {
    const char* name;
    std::vector<unsigned> formats;
    uint8_t bannerFormat;
};

void PrintTo(const IconOnlyCase& c, std::ostream* os) { *os << c.name; }

class IconOnlySaves : public testing::TestWithParam<IconOnlyCase> {};

} // namespace

TEST_P(IconOnlySaves, ShowTheFirstIconFrameInTheMiddle)
{
    const IconOnlyCase& c = GetParam();
    std::vector<IconFrame> frames;
    for (std::size_t i = 0; i < c.formats.size(); ++i)
        frames.push_back({c.formats[i], testIcon(int(i) * 11)});
    uint16_t fmt = 0, speed = 0;
    const auto data = encodeIcons(frames, fmt, speed);
    const auto f = saveWithPicture(
        {.blocks = 1, .bannerFormat = c.bannerFormat, .pictureOffset = 0x40}, data, fmt, speed);
    const Banner b = decodeFile(f);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 96; ++x) {
            if (x < 32 || x >= 64)
                ASSERT_EQ(pixel(b, x, y), 0xFFFF) << x << "," << y;
            else
                ASSERT_EQ(pixel(b, x, y) & 0x7FFF, frames[0].pixels[std::size_t(y * 32 + x - 32)])
                    << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Banner, IconOnlySaves,
    testing::Values(
        IconOnlyCase{"SixFramesSharingAPalette",
                     {kIconIndexedShared, kIconIndexedShared, kIconIndexedShared,
                      kIconIndexedShared, kIconIndexedShared, kIconIndexedShared},
                     kBannerNone},
        IconOnlyCase{"OneDirectFrame", {kIconDirect}, kBannerNone},
        IconOnlyCase{"OwnPaletteThenDirect", {kIconIndexedOwn, kIconDirect}, kBannerNone},
        IconOnlyCase{"SharedDirectSharedBouncing",
                     {kIconIndexedShared, kIconDirect, kIconIndexedShared},
                     kBannerNoneBounce},
        IconOnlyCase{
            "DirectThenOwnPaletteBouncing", {kIconDirect, kIconIndexedOwn}, kBannerNoneBounce}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Banner, MissingDataIsWhiteAndNeverRead)
{
    // A picture offset past the save's end, and a save with no icon at all.
    const auto far = saveWithPicture({.blocks = 1, .bannerFormat = 2, .pictureOffset = 8000}, {});
    const Banner b = decodeFile(far);
    EXPECT_EQ(pixel(b, 0, 0), bitmapColour(getBe16(&far[kEntrySize + 8000]))); // still in the save
    EXPECT_EQ(pixel(b, 95, 31), 0xFFFF); // data past the end: white
    const auto none = saveWithPicture({.bannerFormat = 0}, {}, 0, 0);
    const Banner blank = decodeFile(none);
    for (uint16_t p : blank)
        ASSERT_EQ(p, 0xFFFF);
}

TEST(Banner, TheBitmapFileIsAlwaysTheSameShape)
{
    const auto bmp = bitmapFile(testPicture());
    ASSERT_EQ(bmp.size(), 6198u);
    auto le32 = [&](std::size_t at) {
        return uint32_t(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24);
    };
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(le32(2), 6198u);
    EXPECT_EQ(le32(10), 54u);
    EXPECT_EQ(le32(14), 40u);
    EXPECT_EQ(le32(18), 96u);
    EXPECT_EQ(le32(22), 32u);
    EXPECT_EQ(bmp[28], 16);
    EXPECT_EQ(le32(34), 6144u);
    EXPECT_EQ(le32(38), 23617u);
}

namespace {

struct PictureReadCase {
    const char* name;
    uint8_t format;
    unsigned blocks;
    uint32_t offset;
    uint64_t sectorsRead;
};

void PrintTo(const PictureReadCase& c, std::ostream* os) { *os << c.name; }

class PictureReads : public testing::TestWithParam<PictureReadCase> {};

} // namespace

TEST_P(PictureReads, CardAndFileGiveTheSameBitmapReadingOnlyThePicture)
{
    const PictureReadCase& c = GetParam();
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    const auto save =
        saveWithPicture({.blocks = c.blocks, .bannerFormat = c.format, .pictureOffset = c.offset},
                        encodeBanner(testPicture(), c.format));
    placeSave(image, 4, save, 9);
    EmulatedCard card(image);
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    card.resetTraffic();
    ASSERT_EQ(GetSaverPIC(4, dir.file("icon.bmp").c_str()), 1);
    EXPECT_EQ(card.traffic().sectorReads, c.sectorsRead);
    ASSERT_EQ(GetBitmap(save.data(), dir.file("picture.bmp").c_str()), 1);
    EXPECT_EQ(readFile(dir.file("icon.bmp")), readFile(dir.file("picture.bmp")));
    EXPECT_EQ(readFile(dir.file("icon.bmp")).size(), 6198u);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureReads,
                         testing::Values(PictureReadCase{"DirectInOneBlock", 2, 1, 0, 12},
                                         PictureReadCase{"IndexedInThreeBlocks", 1, 3, 0, 7},
                                         PictureReadCase{"GreyPastTheStart", 93, 2, 0x200, 6},
                                         PictureReadCase{"DirectAcrossABlockEdge", 2, 2, 8100, 13}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pictures, EntriesClaimingTooMuchGiveNoPicture)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    auto save = saveWithPicture({.blocks = 1, .bannerFormat = 2}, encodeBanner(testPicture(), 2));
    placeSave(image, 0, save, 62); // the last usable block of a 4 Mbit card is 63
    // Now say the save runs far past the card's end.
    for (int c = 0; c < 2; ++c) {
        Block d;
        std::memcpy(d.data(), &image[kDirectoryBlock[c] * kBlockSize], kBlockSize);
        putBe16(&d[kEntryBlockCount], 500);
        putBe32(&d[kEntryPictureOffset], 8192 * 2 - 100);
        sealDirectory(d);
        std::memcpy(&image[kDirectoryBlock[c] * kBlockSize], d.data(), kBlockSize);
    }
    EmulatedCard card(image);
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    card.resetTraffic();
    // Its chain ends long before the count: the save is broken, and no
    // picture is pieced together from whatever lies around it.
    EXPECT_EQ(GetSaverPIC(0, dir.file("icon.bmp").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BROKEN_CHAIN);
    EXPECT_EQ(card.traffic().sectorReads, 0u);
    // GetBitmap with a buffer exactly as long as the entry claims, capped.
    save.resize(64 + 500 * 8192, 0);
    putBe16(&save[kEntryBlockCount], 0xFFFF);
    save.resize(64 + std::size_t(kLargestSaveBlocks) * 8192, 0);
    putBe32(&save[kEntryPictureOffset], uint32_t(kLargestSaveBlocks) * 8192 - 10);
    EXPECT_EQ(GetBitmap(save.data(), dir.file("p.bmp").c_str()), 1);
}

TEST(Pictures, EmptySlotsAndUnwritablePathsGiveNoPicture)
{
    EmulatedCard card;
    TempDir dir;
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(GetSaverPIC(0, dir.file("icon.bmp").c_str()), 0);
    EXPECT_EQ(GetSaverPIC(200, dir.file("icon.bmp").c_str()), 0);
    const auto save = makeSaveFile({});
    EXPECT_EQ(GetBitmap(save.data(), (dir.path() + "/missing/p.bmp").c_str()), 0);
    EXPECT_EQ(GetBitmap(nullptr, dir.file("p.bmp").c_str()), 0);
}
