// Storing pictures the way saves carry them: the other direction of
// banner.h, for making saves (the card tool's demo card, tests).
#pragma once

#include "mcbridge/banner.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mcb {

// Colours are 5-5-5 (bit 15 ignored); everything is stored opaque.
using Icon = std::array<uint16_t, kIconSize * kIconSize>;

// The picture data for a banner of the given format byte: indexed (1, 5),
// grey (93) or direct colour (any other value except 0 and 4).
std::vector<uint8_t> encodeBanner(const Banner& pixels, uint8_t format);

struct IconFrame {
    unsigned format = kIconDirect; // kIconIndexedShared, kIconDirect or kIconIndexedOwn
    Icon pixels{};
};

// The data of up to eight icon frames in order, with the shared palette
// after the last frame when any frame uses it; fills the entry's icon format
// and speed fields (every frame shown for the same time).
std::vector<uint8_t> encodeIcons(const std::vector<IconFrame>& frames, uint16_t& iconFormat,
                                 uint16_t& iconSpeed);

} // namespace mcb
