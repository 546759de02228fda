// Following a save's blocks through the allocation map. A console allocates
// a save's blocks one by one and links each to the next in the map, so after
// deletes a save's blocks are often out of order: reading, freeing and
// checking a save all go by its chain, never by first block and count alone.
#pragma once

#include "mcbridge/cardfs.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mcb {

enum class ChainFault : uint8_t {
    None,
    NoBlocks,    // the entry claims no blocks
    OutsideArea, // a link leads outside the save area
    FreeBlock,   // a link leads to a block the map calls free
    Loop,        // a link leads back to a block of the same chain
    EndsEarly,   // the chain ends before the entry's block count
    TooLong,     // the chain goes on past the entry's block count
    Shared,      // a block of the chain belongs to another save's chain too
};

// English, for reports and the card tool.
const char* chainFaultText(ChainFault fault);

struct Chain {
    std::vector<uint16_t> blocks; // in chain order; as far as it could be followed
    ChainFault fault = ChainFault::None;
    bool sound() const { return fault == ChainFault::None; }
};

// The chain of a save that starts at first and should hold count blocks. It
// is sound when it stays inside the area, visits exactly count distinct
// blocks and the last one's map entry is 0xFFFF.
Chain followChain(const Block& map, uint16_t first, uint16_t count, const SaveArea& area);

// Every save's chain on a card, and which save owns each block.
struct CardChains {
    static constexpr int kNoOwner = -1;
    static constexpr int kManyOwners = -2;

    std::array<Chain, kSaveSlotCount> chains; // empty slots: no blocks, no fault
    std::vector<int> owner;                   // by block number: slot, kNoOwner or kManyOwners

    // True when every save's chain is sound and no two saves share a block:
    // the directory and the map agree.
    bool agree() const;
    // The blocks of the save area that no save owns, in rising order.
    std::vector<uint16_t> unowned(const SaveArea& area) const;
};

// Walks every save of the directory. Chains that meet another save's chain
// are marked Shared (both of them), even when each is sound on its own.
CardChains followChains(const Block& dir, const Block& map, const SaveArea& area);

} // namespace mcb
