// A save's animated icon: up to eight 32 x 32 frames, each with its own
// format and delay, shown looping or back and forth. Decoded to RGBA the way
// the console shows it, for the program's animation and the card tool.
#pragma once

#include "mcbridge/banner.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mcb {

constexpr unsigned kIconFrameLimit = 8;
constexpr std::size_t kIconPixels = kIconSize * kIconSize;
// A delay step lasts four of the console's video frames (1/60 s each).
constexpr unsigned kTicksPerDelayStep = 4;

// Bit 2 of the entry's banner format byte.
enum class AnimationMode : uint8_t { Loop = 0, Bounce = 1 };

struct IconFrameRgba {
    unsigned format = kIconNone; // the frame's own format; None shows a later frame's picture
    unsigned delay = 0;          // 1, 2 or 3 delay steps
    std::array<uint8_t, kIconPixels * 4> rgba{}; // rows top first; R, G, B, A
};

struct IconAnimation {
    AnimationMode mode = AnimationMode::Loop;
    std::vector<IconFrameRgba> frames; // empty: the save has no icon
    bool complete = true;              // false when some picture data was missing
};

// Frames run until the first whose delay is 0. A frame without a format of
// its own shows the next frame that has one (transparent when none does);
// a first frame without a format means the save has no icon. Missing data
// leaves pixels transparent.
IconAnimation decodeIcons(EntryRef entry, const SaveBytes& data);

// One of the console's 16-bit colours: with bit 15 set, opaque 5-5-5;
// without, 3 bits of alpha and 4-4-4 colour.
std::array<uint8_t, 4> rgbaFromRgb5a3(uint16_t colour);

} // namespace mcb
