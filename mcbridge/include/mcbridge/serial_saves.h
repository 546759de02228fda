// Saves bound to the card they were made on. F-Zero GX and Phantasy Star
// Online (Episode I & II, Episode III) keep the card's serial inside their
// system save and refuse the save when it disagrees with the card it sits
// on. When such a save moves to another card it is re-signed for that card:
// the card's serial written where the game keeps it, and the game's own
// checksum over it recomputed, so that the game accepts the save there.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "mcbridge/card_serial.h"
#include "mcbridge/cardfs.h"

namespace mcb {

enum class SerialBoundGame {
    None,
    FZeroGx,      // "f_zero.dat": 16-bit checksum over the first four blocks
    PsoEpisode12, // "PSO_SYSTEM": 32-bit checksum inside the second block
    PsoEpisode3,  // "PSO3_SYSTEM": as above, over 16 bytes more
};

// Which serial-bound save an entry names, from its game code and file name;
// None for every other save.
SerialBoundGame serialBoundGame(EntryRef entry);

// The serial a recognised save holds, or nothing when the save is not
// recognised or its data (its blocks in order) is too short to hold one.
std::optional<CardSerial> serialInSave(EntryRef entry, std::span<const uint8_t> data);

// Re-signs a recognised save's data for the card whose serial is given.
// Returns true when a byte changed; a save that is not recognised, or whose
// data is too short for the game's layout, is left exactly as it is.
bool resignSave(EntryRef entry, std::span<uint8_t> data, CardSerial serial);

} // namespace mcb
