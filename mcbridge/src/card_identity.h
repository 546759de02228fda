// A whole-card image carries the identity of the card it was read from in
// the first bytes of its header. Written as it is onto another card, it gives
// that card a foreign identity, and the saves some games bind to the card's
// serial stop working there. These decide whether an image is another card's
// and fit it to the card it lands on.
#pragma once

#include "mcbridge/card_serial.h"
#include "mcbridge/cardfs.h"

#include <cstdint>
#include <span>

namespace mcb {

// True when the image's identity bytes are the card's.
bool sameIdentity(std::span<const uint8_t, kSectorSize> imageHeader,
                  std::span<const uint8_t, kSectorSize> cardHeader);

// Gives the image the card's identity bytes and reseals its header; the rest
// of the header (size, encoding) stays the image's.
void takeIdentity(std::span<uint8_t> image, std::span<const uint8_t, kSectorSize> cardHeader);

// Re-signs every serial-bound save of the image (its current directory and
// map) whose serial is not the one given. A save whose chain cannot be
// followed is left alone: its blocks cannot be told apart from another's.
// Returns how many saves changed.
unsigned resignImageSaves(std::span<uint8_t> image, CardSerial serial);

} // namespace mcb
