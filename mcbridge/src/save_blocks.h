// Where a save's blocks are on the card, and where a new save may go. Both
// work on the library's loaded directory and map and record why they fail.
#pragma once

#include "mcbridge/cardfs.h"
#include "mcbridge/chain.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace mcb {

// The blocks of the save in slot, in chain order, when its chain is sound
// and meets no other save's; otherwise fails with MCB_ERROR_BROKEN_CHAIN. A
// save whose blocks cannot all be told apart from its neighbours' is never
// read as whole nor freed.
std::optional<std::vector<uint16_t>> soundBlocksOf(const Block& dir, const Block& map,
                                                   unsigned slot);

// Blocks a new save must not take: every block any save's chain reaches,
// the run its entry claims where its chain is broken (the entry may be the
// truth and the map the damage), every block the map marks used, and the
// blocks each save's chain reaches in the other map copy while that is
// intact (otherMap null when not): a cut commit can leave a save's true
// chain there.
std::vector<bool> blocksInUse(const Block& dir, const CardChains& chains, const Block& map,
                              const Block* otherMap, const SaveArea& area);

// Adds the blocks the other map copy marks used: a new save that can go
// elsewhere leaves them alone, so that the save the last change deleted can
// still be recovered.
void keepOtherMapsBlocks(std::vector<bool>& used, const Block& otherMap, const SaveArea& area);

// The blocks for a save of count blocks: the lowest consecutive run that
// fits, as a console reads fastest; otherwise the lowest free blocks in
// rising order, to be chained. Nothing when fewer than count are free.
std::optional<std::vector<uint16_t>> chooseBlocks(const std::vector<bool>& used,
                                                  const SaveArea& area, unsigned count);

unsigned freeCount(const std::vector<bool>& used, const SaveArea& area);

// Links blocks in the order given; the last one ends the chain.
void chainInMap(Block& map, const std::vector<uint16_t>& blocks);

// Writes data (blocks.size() blocks) to the blocks, each erased first, then
// reads every sector back and compares: fails with MCB_ERROR_IO when the
// adapter fails and MCB_ERROR_READ_BACK when the card holds something else.
bool writeAndVerify(const std::vector<uint16_t>& blocks, const std::vector<uint8_t>& data);

// Reads the blocks in the order given into data, with a progress step per
// sector; fails with MCB_ERROR_IO when a sector does not come whole.
bool readSaveBlocks(const std::vector<uint16_t>& blocks, std::vector<uint8_t>& data);

// A card save's bytes through its chain, read a sector at a time on first
// use: a description needs a few dozen bytes of a block, and each sector
// read costs 5 ms on a real adapter.
class ChainSectors {
public:
    explicit ChainSectors(std::vector<uint16_t> blocks) : blocks_(std::move(blocks)) {}
    std::optional<uint8_t> operator()(uint64_t offset);
    bool failed() const { return failed_; } // a sector of the save could not be read

private:
    std::vector<uint16_t> blocks_;
    std::map<uint64_t, std::optional<std::array<uint8_t, kSectorSize>>> sectors_;
    bool failed_ = false;
};

// Writes a save file at path: the entry, then every sector of the blocks in
// the order given. The file appears only when all of it was read and
// written; fails with MCB_ERROR_IO or MCB_ERROR_FILE.
bool readIntoSaveFile(const char* path, const uint8_t* entry, const std::vector<uint16_t>& blocks);

} // namespace mcb
