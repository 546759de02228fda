#include "mcbridge/icon_decode.h"

namespace mcb {

namespace {

constexpr uint64_t kIndexedBannerBytes = kBannerWidth * kBannerHeight + 512;
constexpr uint64_t kDirectBannerBytes = kBannerWidth * kBannerHeight * 2;
constexpr uint64_t kPaletteBytes = 512;

struct FramePlace {
    unsigned format;
    unsigned delay;
    uint64_t at; // offset in the save's data
};

struct IconPlan {
    std::vector<FramePlace> frames;
    uint64_t end = 0;           // end of the last frame's data
    bool sharedPalette = false; // the palette lies at end
};

uint64_t frameBytes(unsigned format)
{
    switch (format) {
    case kIconIndexedShared: return kIconPixels;
    case kIconDirect: return kIconPixels * 2;
    case kIconIndexedOwn: return kIconPixels + kPaletteBytes;
    default: return 0;
    }
}

// The console stores the banner first, then the icon: only the low two bits
// of the format byte say which banner there is.
uint64_t bannerBytes(uint8_t bannerFormat)
{
    switch (bannerFormat & 3) {
    case 1: return kIndexedBannerBytes;
    case 2: return kDirectBannerBytes;
    default: return 0;
    }
}

IconPlan planOf(EntryRef e)
{
    IconPlan plan;
    if (e.pictureOffset() == 0xFFFFFFFF || (e.iconFormat() & 3) == kIconNone)
        return plan;
    uint64_t at = uint64_t(e.pictureOffset()) + bannerBytes(e.bannerFormat());
    for (unsigned i = 0; i < kIconFrameLimit; ++i) {
        const unsigned delay = (e.iconSpeed() >> (2 * i)) & 3;
        if (delay == 0)
            break;
        const unsigned format = (e.iconFormat() >> (2 * i)) & 3;
        plan.frames.push_back({format, delay, at});
        plan.sharedPalette |= format == kIconIndexedShared;
        at += frameBytes(format);
    }
    plan.end = at;
    return plan;
}

uint64_t tiled8(unsigned x, unsigned y)
{
    return uint64_t(y / 4) * 128 + (x / 8) * 32 + (y % 4) * 8 + (x % 8);
}

uint64_t tiled16(unsigned x, unsigned y)
{
    return 2 * (uint64_t(y / 4) * 128 + (x / 4) * 16 + (y % 4) * 4 + (x % 4));
}

std::optional<uint16_t> wordAt(const SaveBytes& data, uint64_t at)
{
    const auto hi = data(at);
    const auto lo = data(at + 1);
    if (!hi || !lo)
        return std::nullopt;
    return uint16_t(*hi << 8 | *lo);
}

// Decodes one frame's picture; false when some of its data was missing.
bool decodeFrame(const FramePlace& f, uint64_t sharedPalette, const SaveBytes& data,
                 IconFrameRgba& out)
{
    bool whole = true;
    const uint64_t palette = f.format == kIconIndexedOwn ? f.at + kIconPixels : sharedPalette;
    for (unsigned y = 0; y < kIconSize; ++y) {
        for (unsigned x = 0; x < kIconSize; ++x) {
            std::optional<uint16_t> colour;
            if (f.format == kIconDirect) {
                colour = wordAt(data, f.at + tiled16(x, y));
            } else if (const auto index = data(f.at + tiled8(x, y))) {
                colour = wordAt(data, palette + 2u * *index);
            }
            if (!colour) {
                whole = false;
                continue;
            }
            const auto px = rgbaFromRgb5a3(*colour);
            std::copy(px.begin(), px.end(), out.rgba.begin() + 4 * (y * kIconSize + x));
        }
    }
    return whole;
}

} // namespace

std::array<uint8_t, 4> rgbaFromRgb5a3(uint16_t v)
{
    if (v & 0x8000) {
        auto five = [](unsigned c) { return uint8_t(c << 3 | c >> 2); };
        return {five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31), 0xFF};
    }
    const unsigned a = (v >> 12) & 7;
    auto four = [](unsigned c) { return uint8_t(c * 17); };
    return {four((v >> 8) & 15), four((v >> 4) & 15), four(v & 15),
            uint8_t(a << 5 | a << 2 | a >> 1)};
}

IconAnimation decodeIcons(EntryRef e, const SaveBytes& data)
{
    IconAnimation anim;
    anim.mode = (e.bannerFormat() & 4) ? AnimationMode::Bounce : AnimationMode::Loop;
    const IconPlan plan = planOf(e);
    for (std::size_t i = 0; i < plan.frames.size(); ++i) {
        IconFrameRgba& out = anim.frames.emplace_back();
        out.format = plan.frames[i].format;
        out.delay = plan.frames[i].delay;
        for (std::size_t j = i; j < plan.frames.size(); ++j) {
            if (plan.frames[j].format == kIconNone)
                continue;
            anim.complete &= decodeFrame(plan.frames[j], plan.end, data, out);
            break;
        }
    }
    return anim;
}

} // namespace mcb
