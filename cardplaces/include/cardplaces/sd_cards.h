// Per-game cards on an SD card's root, in the layouts of place_table.h:
// their names made from a game's id and a channel, and read back.
#pragma once

#include "cardplaces/place_table.h"

#include <string>
#include <vector>

namespace cardplaces {

// The path, under root, of the card of a game (id: its six-character game
// and maker code) on channel (1 to 8) in a layout.
std::string perGamePath(const std::string& root, const SdLayoutRow& layout, const std::string& id,
                        unsigned channel);

struct PerGameCard {
    std::string path;
    const SdLayoutRow* layout = nullptr;
    std::string game;  // the four-character game id
    std::string maker; // its maker code, when the name carries it
    unsigned channel = 0;
};

// Every per-game card under root, in every layout, by path.
std::vector<PerGameCard> perGameCards(const std::string& root);

} // namespace cardplaces
