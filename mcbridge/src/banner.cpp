#include "mcbridge/banner.h"

namespace mcb {

namespace {

struct Layout {
    bool banner = false; // the save has a banner picture
    uint8_t format = 0;
    uint64_t picture = 0; // banner, or icon frame 0
    unsigned iconFormat = kIconNone;
    uint64_t palette = 0; // of an indexed picture
};

unsigned frameBytes(unsigned format)
{
    switch (format) {
    case kIconIndexedShared: return kIconSize * kIconSize;
    case kIconDirect: return kIconSize * kIconSize * 2;
    case kIconIndexedOwn: return kIconSize * kIconSize + 512;
    default: return 0;
    }
}

Layout layoutOf(EntryRef e)
{
    Layout l;
    l.format = e.bannerFormat();
    l.picture = e.pictureOffset();
    if (l.format != kBannerNone && l.format != kBannerNoneBounce) {
        l.banner = true;
        l.palette = l.picture + kBannerWidth * kBannerHeight;
        return l;
    }
    // No banner: the icon frames follow one another at the picture offset,
    // up to the first frame whose speed is 0; indexed frames that share a
    // palette find it after the last frame.
    uint64_t offset = l.picture;
    unsigned frames = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (((e.iconSpeed() >> (2 * i)) & 3) == 0)
            break;
        const unsigned f = (e.iconFormat() >> (2 * i)) & 3;
        offset += frameBytes(f);
        ++frames;
    }
    if (frames == 0)
        return l; // no icon either
    l.iconFormat = e.iconFormat() & 3;
    if (l.iconFormat == kIconIndexedShared)
        l.palette = offset;
    else if (l.iconFormat == kIconIndexedOwn)
        l.palette = l.picture + kIconSize * kIconSize;
    return l;
}

bool indexedBanner(uint8_t f) { return f == kBannerIndexed || f == kBannerIndexedBounce; }

std::optional<uint16_t> word(const SaveBytes& data, uint64_t at)
{
    const auto hi = data(at);
    const auto lo = data(at + 1);
    if (!hi || !lo)
        return std::nullopt;
    return uint16_t(*hi << 8 | *lo);
}

std::optional<uint16_t> paletteColour(const SaveBytes& data, uint64_t palette,
                                      std::optional<uint8_t> index)
{
    if (!index)
        return std::nullopt;
    const auto c = word(data, palette + 2u * *index);
    return c ? std::optional(bitmapColour(*c)) : std::nullopt;
}

} // namespace

uint16_t bitmapColour(uint16_t v)
{
    if (v & 0x8000)
        return v;
    const unsigned a = (v >> 12) & 7;
    const unsigned alpha = a * 255 / 7;
    auto channel = [&](unsigned c4) {
        const unsigned c = c4 * 17;
        return ((c * alpha + 255 * (255 - alpha)) / 255) >> 3;
    };
    return uint16_t(channel((v >> 8) & 15) << 10 | channel((v >> 4) & 15) << 5 | channel(v & 15));
}

std::vector<ByteRange> pictureRanges(EntryRef e)
{
    const Layout l = layoutOf(e);
    const uint64_t p = l.picture;
    if (l.banner) {
        if (indexedBanner(l.format))
            return {{p, p + 3072 + 512}};
        if (l.format == kBannerGrey)
            return {{p, p + 3072}};
        return {{p, p + 6144}};
    }
    switch (l.iconFormat) {
    case kIconDirect: return {{p, p + 2048}};
    case kIconIndexedOwn: return {{p, p + 1024 + 512}};
    case kIconIndexedShared: return {{p, p + 1024}, {l.palette, l.palette + 512}};
    default: return {};
    }
}

Banner decodeBanner(EntryRef e, const SaveBytes& data)
{
    Banner out;
    out.fill(kWhite);
    const Layout l = layoutOf(e);
    const uint64_t p = l.picture;
    for (int y = 0; y < kBannerHeight; ++y) {
        for (int x = 0; x < kBannerWidth; ++x) {
            std::optional<uint16_t> c;
            const uint64_t index8 = uint64_t(y / 4) * 384 + (x / 8) * 32 + (y % 4) * 8 + (x % 8);
            const uint64_t index16 = uint64_t(y / 4) * 384 + (x / 4) * 16 + (y % 4) * 4 + (x % 4);
            if (l.banner) {
                if (indexedBanner(l.format)) {
                    c = paletteColour(data, l.palette, data(p + index8));
                } else if (l.format == kBannerGrey) {
                    if (const auto v = data(p + index8))
                        c = uint16_t((*v / 8) * 0x421);
                } else if (const auto w = word(data, p + 2 * index16)) {
                    c = bitmapColour(*w);
                }
            } else if (x >= 32 && x < 64 && l.iconFormat != kIconNone) {
                const int ix = x - 32;
                const uint64_t icon8 =
                    uint64_t(y / 4) * 128 + (ix / 8) * 32 + (y % 4) * 8 + (ix % 8);
                const uint64_t icon16 =
                    uint64_t(y / 4) * 128 + (ix / 4) * 16 + (y % 4) * 4 + (ix % 4);
                if (l.iconFormat == kIconDirect) {
                    if (const auto w = word(data, p + 2 * icon16))
                        c = bitmapColour(*w);
                } else {
                    c = paletteColour(data, l.palette, data(p + icon8));
                }
            }
            if (c)
                out[std::size_t(y * kBannerWidth + x)] = *c;
        }
    }
    return out;
}

std::vector<uint8_t> bitmapFile(const Banner& banner)
{
    std::vector<uint8_t> f(kBitmapFileSize, 0);
    auto le16 = [&](std::size_t at, uint16_t v) {
        f[at] = uint8_t(v);
        f[at + 1] = uint8_t(v >> 8);
    };
    auto le32 = [&](std::size_t at, uint32_t v) {
        le16(at, uint16_t(v));
        le16(at + 2, uint16_t(v >> 16));
    };
    f[0] = 'B';
    f[1] = 'M';
    le32(2, kBitmapFileSize);
    le32(10, 54);
    le32(14, 40);
    le32(18, kBannerWidth);
    le32(22, kBannerHeight);
    le16(26, 1);
    le16(28, 16);
    le32(30, 0);
    le32(34, kBannerWidth * kBannerHeight * 2);
    le32(38, 23617);
    le32(42, 23617);
    for (int y = 0; y < kBannerHeight; ++y) {
        const std::size_t row = 54 + std::size_t(kBannerHeight - 1 - y) * kBannerWidth * 2;
        for (int x = 0; x < kBannerWidth; ++x)
            le16(row + 2 * std::size_t(x), banner[std::size_t(y * kBannerWidth + x)]);
    }
    return f;
}

} // namespace mcb
