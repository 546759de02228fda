#include "mcbridge/card_serial.h"

namespace mcb {

CardSerial cardSerial(std::span<const uint8_t, kCardIdentitySize> identity)
{
    CardSerial serial;
    for (std::size_t at = 0; at < kCardIdentitySize; at += 8) {
        serial.first ^= getBe32(&identity[at]);
        serial.second ^= getBe32(&identity[at + 4]);
    }
    return serial;
}

CardSerial cardSerial(std::span<const uint8_t, kSectorSize> sector0)
{
    return cardSerial(sector0.first<kCardIdentitySize>());
}

} // namespace mcb
