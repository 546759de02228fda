// A 5 x 7 pixel font for writing titles on the demo saves' banners.
#pragma once

#include <array>
#include <cstdint>

namespace demo {

// Seven rows of five bits (bit 4 leftmost); blank for characters it lacks.
std::array<uint8_t, 7> glyph(char c);

} // namespace demo
