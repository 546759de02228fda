// PNG files of RGBA pictures, still or animated, for the card tool's icon
// frames. Written with zlib alone: the animated form (frame-control and
// frame-data chunks after the first image) is small enough to write here,
// and viewers that do not know it show the first frame.
#pragma once

#include <cstdint>
#include <vector>

namespace png {

// A still picture: width x height pixels, rows top first, R, G, B, A.
std::vector<uint8_t> encode(unsigned width, unsigned height, const uint8_t* rgba);

struct Frame {
    const uint8_t* rgba; // width x height pixels, as for encode
    uint16_t delayTicks; // how long the frame stays, in sixtieths of a second
};

// An animated picture that repeats for ever; each frame replaces the last
// whole (transparent pixels included).
std::vector<uint8_t> encodeAnimated(unsigned width, unsigned height,
                                    const std::vector<Frame>& frames);

} // namespace png
