#include "mcbridge/banner_encode.h"

#include <algorithm>
#include <map>
#include <span>

namespace mcb {

namespace {

uint16_t opaque(uint16_t c) { return uint16_t(0x8000 | (c & 0x7FFF)); }

void put16(std::vector<uint8_t>& out, std::size_t at, uint16_t v)
{
    out[at] = uint8_t(v >> 8);
    out[at + 1] = uint8_t(v);
}

// A palette of at most 256 colours and each pixel's index into it. Pictures
// with more colours are reduced to 3-3-2 levels first.
struct Indexed {
    std::vector<uint16_t> palette;
    std::vector<uint8_t> indices;
};

Indexed indexColours(std::span<const uint16_t> pixels)
{
    std::map<uint16_t, unsigned> seen;
    for (uint16_t p : pixels)
        seen.emplace(uint16_t(p & 0x7FFF), 0);
    auto reduce = [&](uint16_t c) -> uint16_t {
        if (seen.size() <= 256)
            return uint16_t(c & 0x7FFF);
        const unsigned r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
        return uint16_t((r & 0x1C) << 10 | (g & 0x1C) << 5 | (b & 0x18));
    };
    Indexed out;
    std::map<uint16_t, uint8_t> index;
    for (uint16_t p : pixels) {
        const uint16_t c = reduce(p);
        auto it = index.find(c);
        if (it == index.end()) {
            it = index.emplace(c, uint8_t(out.palette.size())).first;
            out.palette.push_back(c);
        }
        out.indices.push_back(it->second);
    }
    out.palette.resize(256, 0);
    return out;
}

std::size_t tiled8(int x, int y, int width)
{
    return std::size_t((y / 4) * width * 4 + (x / 8) * 32 + (y % 4) * 8 + x % 8);
}
std::size_t tiled16(int x, int y, int width)
{
    return std::size_t((y / 4) * width * 4 + (x / 4) * 16 + (y % 4) * 4 + x % 4);
}

std::vector<uint8_t> indexedPicture(std::span<const uint16_t> pixels, int width, bool withPalette,
                                    const Indexed& ix)
{
    const int height = int(pixels.size()) / width;
    std::vector<uint8_t> out(pixels.size() + (withPalette ? 512 : 0), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[tiled8(x, y, width)] = ix.indices[std::size_t(y * width + x)];
    if (withPalette)
        for (std::size_t i = 0; i < 256; ++i)
            put16(out, pixels.size() + 2 * i, opaque(ix.palette[i]));
    return out;
}

std::vector<uint8_t> directPicture(std::span<const uint16_t> pixels, int width)
{
    const int height = int(pixels.size()) / width;
    std::vector<uint8_t> out(pixels.size() * 2, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            put16(out, 2 * tiled16(x, y, width), opaque(pixels[std::size_t(y * width + x)]));
    return out;
}

} // namespace

std::vector<uint8_t> encodeBanner(const Banner& pixels, uint8_t format)
{
    if (format == kBannerIndexed || format == kBannerIndexedBounce)
        return indexedPicture(pixels, kBannerWidth, true, indexColours(pixels));
    if (format == kBannerGrey) {
        std::vector<uint8_t> out(pixels.size(), 0);
        for (int y = 0; y < kBannerHeight; ++y) {
            for (int x = 0; x < kBannerWidth; ++x) {
                const uint16_t c = pixels[std::size_t(y * kBannerWidth + x)];
                const unsigned r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
                out[tiled8(x, y, kBannerWidth)] =
                    uint8_t((r * 77 + g * 150 + b * 29) * 255 / (31 * 256));
            }
        }
        return out;
    }
    return directPicture(pixels, kBannerWidth);
}

std::vector<uint8_t> encodeIcons(const std::vector<IconFrame>& frames, uint16_t& iconFormat,
                                 uint16_t& iconSpeed)
{
    iconFormat = 0;
    iconSpeed = 0;
    std::vector<uint16_t> shared;
    for (const IconFrame& f : frames)
        if (f.format == kIconIndexedShared)
            shared.insert(shared.end(), f.pixels.begin(), f.pixels.end());
    const Indexed sharedIx = indexColours(shared);

    std::vector<uint8_t> out;
    std::size_t sharedAt = 0;
    const std::size_t n = std::min<std::size_t>(frames.size(), 8);
    for (std::size_t i = 0; i < n; ++i) {
        const IconFrame& f = frames[i];
        iconFormat |= uint16_t((f.format & 3) << (2 * i));
        iconSpeed |= uint16_t(2u << (2 * i));
        std::vector<uint8_t> data;
        if (f.format == kIconNone) {
            // a frame without a picture has no data
        } else if (f.format == kIconDirect) {
            data = directPicture(f.pixels, kIconSize);
        } else if (f.format == kIconIndexedOwn) {
            data = indexedPicture(f.pixels, kIconSize, true, indexColours(f.pixels));
        } else {
            Indexed part{sharedIx.palette,
                         {sharedIx.indices.begin() + std::ptrdiff_t(sharedAt),
                          sharedIx.indices.begin() + std::ptrdiff_t(sharedAt + f.pixels.size())}};
            sharedAt += f.pixels.size();
            data = indexedPicture(f.pixels, kIconSize, false, part);
        }
        out.insert(out.end(), data.begin(), data.end());
    }
    if (!shared.empty()) {
        const std::size_t at = out.size();
        out.resize(at + 512);
        for (std::size_t i = 0; i < 256; ++i)
            put16(out, at + 2 * i, opaque(sharedIx.palette[i]));
    }
    return out;
}

} // namespace mcb
