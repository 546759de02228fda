#include "tools/demo_saves.h"

#include "mcbridge/banner_encode.h"
#include "mcbridge/cardfs.h"
#include "pixel_font.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace demo {

namespace {

using namespace mcb;

constexpr uint16_t rgb(unsigned r, unsigned g, unsigned b) // 0..31 each
{
    return uint16_t((r & 31) << 10 | (g & 31) << 5 | (b & 31));
}

uint16_t mix(uint16_t a, uint16_t b, double t)
{
    auto ch = [&](int shift) {
        const double x = ((a >> shift) & 31) * (1 - t) + ((b >> shift) & 31) * t;
        return unsigned(std::lround(x));
    };
    return rgb(ch(10), ch(5), ch(0));
}

// A small drawing surface over a picture of 5-5-5 colours.
template <std::size_t W, std::size_t H> struct Canvas {
    std::array<uint16_t, W * H> px{};

    void set(int x, int y, uint16_t c)
    {
        if (x >= 0 && y >= 0 && x < int(W) && y < int(H))
            px[std::size_t(y) * W + std::size_t(x)] = c;
    }
    void verticalGradient(uint16_t top, uint16_t bottom)
    {
        for (std::size_t y = 0; y < H; ++y)
            for (std::size_t x = 0; x < W; ++x)
                px[y * W + x] = mix(top, bottom, double(y) / double(H - 1));
    }
    void rect(int x0, int y0, int w, int h, uint16_t c)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                set(x, y, c);
    }
    void disc(double cx, double cy, double r, uint16_t c)
    {
        for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
            for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    set(x, y, c);
    }
    void text(int x, int y, std::string_view s, uint16_t c, uint16_t shadow)
    {
        for (char ch : s) {
            const auto g = glyph(ch);
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g[std::size_t(row)] & (0x10 >> col)) {
                        set(x + col + 1, y + row + 1, shadow);
                        set(x + col, y + row, c);
                    }
            x += 6;
        }
    }
};

using BannerCanvas = Canvas<kBannerWidth, kBannerHeight>;
using IconCanvas = Canvas<kIconSize, kIconSize>;

Banner skyRacer()
{
    BannerCanvas c;
    c.verticalGradient(rgb(6, 14, 30), rgb(24, 28, 31));
    c.disc(80, 9, 6, rgb(31, 28, 8));
    for (int x = 0; x < 96; ++x) // hills
        for (int y = 24 + int(3 * std::sin(x / 7.0)); y < 32; ++y)
            c.set(x, y, rgb(6, 18, 6));
    c.rect(10, 16, 18, 3, rgb(28, 6, 4)); // a plane
    c.rect(16, 13, 4, 9, rgb(28, 6, 4));
    c.text(34, 12, "SKY", rgb(31, 31, 31), rgb(4, 4, 12));
    c.text(34, 21, "RACER", rgb(31, 31, 31), rgb(4, 4, 12));
    return c.px;
}

Banner castleQuest()
{
    BannerCanvas c;
    c.verticalGradient(rgb(20, 8, 16), rgb(31, 20, 8));
    const uint16_t stone = rgb(5, 4, 8);
    c.rect(6, 14, 30, 18, stone);
    for (int x = 6; x < 36; x += 6)
        c.rect(x, 11, 3, 3, stone);
    c.rect(14, 6, 8, 8, stone);
    c.rect(17, 22, 4, 10, rgb(31, 24, 10)); // lit gate
    c.disc(86, 7, 3, rgb(31, 31, 28));
    c.text(42, 6, "CASTLE", rgb(31, 29, 20), rgb(8, 2, 6));
    c.text(42, 18, "QUEST", rgb(31, 29, 20), rgb(8, 2, 6));
    return c.px;
}

Banner puzzleGarden()
{
    BannerCanvas c;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 96; ++x)
            c.set(x, y, ((x / 8 + y / 8) % 2) ? rgb(20, 20, 20) : rgb(12, 12, 12));
    c.rect(4, 8, 88, 16, rgb(2, 2, 2));
    c.text(7, 12, "PUZZLE GARDEN", rgb(31, 31, 31), rgb(8, 8, 8));
    return c.px;
}

Banner starJourney()
{
    BannerCanvas c;
    c.verticalGradient(rgb(1, 1, 8), rgb(6, 3, 16));
    for (int i = 0; i < 40; ++i)
        c.set((i * 37) % 96, (i * 17) % 32, rgb(31, 31, 24));
    c.disc(16, 16, 9, rgb(30, 26, 6));
    c.disc(19, 13, 8, rgb(1, 1, 8)); // a crescent
    c.text(34, 12, "HOSHI", rgb(31, 31, 31), rgb(10, 2, 14));
    return c.px;
}

Icon fish(int frame)
{
    IconCanvas c;
    c.verticalGradient(rgb(4, 12, 24), rgb(2, 6, 14));
    const double x = 8 + 4 * frame;
    c.disc(x + 8, 16, 6, rgb(31, 16, 4));
    for (int i = 0; i < 6; ++i)
        c.rect(int(x) - i, 16 - i, 2, 2 * i + 1, rgb(31, 12, 2));
    c.set(int(x) + 11, 14, rgb(0, 0, 0));
    c.disc(26, 30 - 6 * frame, 1.5, rgb(24, 28, 31)); // rising bubble
    return c.px;
}

Icon moon()
{
    IconCanvas c;
    c.verticalGradient(rgb(1, 1, 8), rgb(6, 3, 16));
    c.disc(16, 16, 11, rgb(30, 26, 6));
    c.disc(21, 12, 10, rgb(2, 2, 10));
    return c.px;
}

struct Spec {
    std::string code;
    std::string name; // bytes as stored: Windows-1252 or Shift-JIS
    std::string fileName;
    std::string comment1, comment2;
    unsigned blocks;
    uint8_t bannerFormat;
    Banner banner;
    std::vector<IconFrame> icons;
};

DemoSave build(const Spec& s, uint32_t modified)
{
    std::vector<uint8_t> f(kEntrySize + std::size_t(s.blocks) * kBlockSize, 0);
    uint8_t* e = f.data();
    std::memcpy(e + kEntryCode, s.code.data(), kEntryCodeSize);
    e[6] = 0xFF;
    e[kEntryBannerFormat] = s.bannerFormat;
    std::memcpy(e + kEntryName, s.name.data(), std::min(s.name.size(), kEntryNameSize));
    putBe32(e + 0x28, modified);
    constexpr uint32_t kPicture = 0x40; // after the two comment lines
    putBe32(e + kEntryPictureOffset, kPicture);
    e[0x34] = 0x04; // public
    putBe16(e + kEntryBlockCount, uint16_t(s.blocks));
    putBe16(e + 0x3A, 0xFFFF);
    putBe32(e + 0x3C, 0); // comments at the start of the data

    uint8_t* data = f.data() + kEntrySize;
    std::memcpy(data, s.comment1.data(), std::min<std::size_t>(s.comment1.size(), 32));
    std::memcpy(data + 32, s.comment2.data(), std::min<std::size_t>(s.comment2.size(), 32));
    std::vector<uint8_t> pictures;
    if (s.bannerFormat != kBannerNone)
        pictures = encodeBanner(s.banner, s.bannerFormat);
    uint16_t iconFormat = 0, iconSpeed = 0;
    const auto icons = encodeIcons(s.icons, iconFormat, iconSpeed);
    pictures.insert(pictures.end(), icons.begin(), icons.end());
    putBe16(e + kEntryIconFormat, iconFormat);
    putBe16(e + kEntryIconSpeed, iconSpeed);
    std::memcpy(data + kPicture, pictures.data(), pictures.size());
    // The game's own data: something that looks like records, not noise.
    for (std::size_t i = kPicture + pictures.size(); i < f.size() - kEntrySize; ++i)
        data[i] = uint8_t((i * 7 + i / 256) & 0xFF);
    return {s.fileName, std::move(f)};
}

} // namespace

std::vector<DemoSave> demoSaves()
{
    const std::vector<Spec> specs = {
        {"DSRE01",
         "Sky Racer",
         "SkyRacer.GCI",
         "Sky Racer",
         "Lap records",
         3,
         kBannerIndexed,
         skyRacer(),
         {{kIconDirect, fish(0)}}},
        {"DCQP01",
         "Castle Quest",
         "CastleQuest.GCI",
         "Castle Quest",
         "Chapter 4",
         5,
         2,
         castleQuest(),
         {{kIconIndexedOwn, moon()}}},
        {"DPGE01",
         "Puzzle Garden",
         "PuzzleGarden.GCI",
         "Puzzle Garden",
         "Stage 12",
         1,
         kBannerGrey,
         puzzleGarden(),
         {}},
        {"DOLE01",
         "Ocean Log",
         "OceanLog.GCI",
         "Ocean Log",
         "Day 31",
         2,
         kBannerNone,
         {},
         {{kIconIndexedShared, fish(0)},
          {kIconIndexedShared, fish(1)},
          {kIconIndexedShared, fish(2)},
          {kIconIndexedShared, fish(3)}}},
        // "星の旅" in Shift-JIS: a Japanese save's name is stored that way.
        {"DHTJ01",
         "\x90\xaf\x82\xcc\x97\xb7",
         "HoshiNoTabi.GCI",
         "Hoshi no Tabi",
         "",
         2,
         kBannerIndexed,
         starJourney(),
         {{kIconDirect, moon()}}},
    };
    std::vector<DemoSave> saves;
    uint32_t modified = 0x2D000000;
    for (const Spec& s : specs)
        saves.push_back(build(s, modified += 86400));
    return saves;
}

} // namespace demo
