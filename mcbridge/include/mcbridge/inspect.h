// Checking a whole card image the way a console would see it: which copies
// of the directory and map it would use, and whether the saves they describe
// hold together. Used by the card tool's check and by the tests.
#pragma once

#include "mcbridge/cardfs.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mcb {

struct SaveInfo {
    unsigned slot = 0;
    std::string code;
    std::string name;
    unsigned firstBlock = 0;
    unsigned blockCount = 0;
};

struct CardReport {
    unsigned megabits = 0; // from the header
    bool headerIntact = false;
    int directoryCopy = -1; // the copy in use (0 or 1), -1 when neither is intact
    int mapCopy = -1;
    uint16_t directoryCounter = 0;
    uint16_t mapCounter = 0;
    uint16_t freeBlocks = 0; // as the map says
    std::vector<SaveInfo> saves;
    std::vector<std::string> problems; // empty when the card is sound

    bool sound() const { return problems.empty(); }
};

// image: every sector of the card. The save area is taken from the image's
// length (the header may claim another size; that is reported).
CardReport inspectCard(std::span<const uint8_t> image);

// The current directory and map of an image (nullptr-free copies), or false
// when one of them has no intact copy.
bool currentStructures(std::span<const uint8_t> image, Block& directory, Block& map);

} // namespace mcb
