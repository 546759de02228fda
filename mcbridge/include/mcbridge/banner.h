// A save's banner (or, lacking one, its first icon frame) as the 96 x 32
// picture of 16-bit 5-5-5 colours that the program shows, and the bitmap file
// that carries it.
#pragma once

#include "mcbridge/cardfs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace mcb {

constexpr int kBannerWidth = 96;
constexpr int kBannerHeight = 32;
constexpr int kIconSize = 32;
constexpr uint16_t kWhite = 0xFFFF;
constexpr std::size_t kBitmapFileSize = 54 + kBannerWidth * kBannerHeight * 2; // 6,198

using Banner = std::array<uint16_t, kBannerWidth * kBannerHeight>; // row 0 at the top

// Banner format bytes with a meaning of their own; any other value is a
// banner of direct 16-bit colours.
constexpr uint8_t kBannerNone = 0;
constexpr uint8_t kBannerNoneBounce = 4; // no banner; the icon animates back and forth
constexpr uint8_t kBannerIndexed = 1;
constexpr uint8_t kBannerIndexedBounce = 5;
constexpr uint8_t kBannerGrey = 93;

// Icon frame formats, two bits per frame in the entry.
constexpr unsigned kIconNone = 0;
constexpr unsigned kIconIndexedShared = 1; // palette after the last frame
constexpr unsigned kIconDirect = 2;
constexpr unsigned kIconIndexedOwn = 3; // palette right after the frame

// A byte of the save's data (the blocks after the entry), or nothing where
// the caller holds none.
using SaveBytes = std::function<std::optional<uint8_t>(uint64_t offset)>;

// Byte ranges of the save's data that decoding the picture reads.
struct ByteRange {
    uint64_t begin;
    uint64_t end;
};
std::vector<ByteRange> pictureRanges(EntryRef entry);

// Decodes the picture; pixels whose data is missing are white.
Banner decodeBanner(EntryRef entry, const SaveBytes& data);

// A colour as the console stores it (RGB5A3) in the bitmap's 5-5-5 form: an
// opaque colour passes as it is, a translucent one is blended over white.
uint16_t bitmapColour(uint16_t rgb5a3);

// The 6,198-byte bitmap file: 96 x 32, 16 bits a pixel, bottom row first.
std::vector<uint8_t> bitmapFile(const Banner& banner);

} // namespace mcb
