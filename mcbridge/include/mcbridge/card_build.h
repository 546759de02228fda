// Making a whole card image from saves held in memory: a folder of save
// files shown as a card, and the per-game cards a split writes, are cards
// no console formatted. Each is laid out as a console would leave a card
// freshly filled: every save in one run of blocks chained through the map,
// both copies of the directory and of the map equal and sealed.
#pragma once

#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace mcb {

// The first bytes of a card's header that make it this card: the console's
// serial, the moment of formatting and what follows them up to 0x20.
constexpr std::size_t kIdentitySize = 32;
using CardIdentity = std::array<uint8_t, kIdentitySize>;

class CardBuilder {
public:
    // A blank card of megabits, its texts in encoding, with the identity
    // given (every other header field as a console's format writes it).
    CardBuilder(unsigned megabits, Encoding encoding, const CardIdentity& identity);

    enum class Placed { Ok, NoSlot, NoRoom };
    // Puts a save (its 64-byte entry and its blocks' bytes) into slot, or
    // into the first empty slot when slot is negative or taken. The entry's
    // first block becomes where the save lands; its block count the data's.
    Placed add(std::span<const uint8_t, kEntrySize> entry, std::span<const uint8_t> data,
               int slot = -1, int* placedSlot = nullptr);
    unsigned freeBlocks() const { return free_; }
    bool slotTaken(unsigned slot) const { return !entryAt(dir_, slot).empty(); }

    // The whole image: header, both directory and map copies, the saves.
    std::vector<uint8_t> image() const;

private:
    unsigned megabits_;
    std::vector<uint8_t> image_;
    Block dir_;
    Block map_;
    unsigned next_ = kSystemBlocks; // blocks fill from the front, one run a save
    unsigned free_;
};

// The identity of an image's header (its first 32 bytes).
CardIdentity identityOf(std::span<const uint8_t> image);

} // namespace mcb
