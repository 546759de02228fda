// The serial a card carries in the first 32 bytes of its header. Those bytes
// come from the console that formatted the card (its flash ID and the moment
// of formatting), so no two formatted cards share them; some games fold them
// into a serial and bind their saves to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "mcbridge/cardfs.h"

namespace mcb {

constexpr std::size_t kCardIdentitySize = 32;

// The two 32-bit words, each read big-endian as the console does: the first
// is the XOR of the header's words at 0, 8, 16 and 24, the second of those at
// 4, 12, 20 and 28.
struct CardSerial {
    uint32_t first = 0;
    uint32_t second = 0;
    bool operator==(const CardSerial&) const = default;
};

// The serial of a card from its identity bytes, or from its whole header
// sector (of which only the identity bytes count).
CardSerial cardSerial(std::span<const uint8_t, kCardIdentitySize> identity);
CardSerial cardSerial(std::span<const uint8_t, kSectorSize> sector0);

} // namespace mcb
