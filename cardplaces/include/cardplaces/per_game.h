// A card's saves split into per-game cards on an SD card, and per-game
// cards gathered back onto one card, through the library's public calls.
// Each reports every game and every save it could not take, by name.
#pragma once

#include "cardplaces/place_table.h"

#include <string>
#include <vector>

namespace cardplaces {

struct SplitCard {
    std::string id;   // the game's six-character id
    std::string path; // the card written, empty when none was
    unsigned saves = 0;
    unsigned megabits = 0;
    bool japanese = false;
    std::string problem; // why no card was written, in English
};

struct SplitSummary {
    std::string problem; // the source could not be read; nothing was written
    std::vector<SplitCard> cards;
};

// One new card per game of the source card under root in layout, on the
// game's first free channel (never over a card that is there), with the
// source card's identity and the encoding the game's region needs. A size of
// 0 takes 16 Mbit, or the smallest card size the game's saves fit on.
SplitSummary splitCard(const std::string& source, const std::string& root,
                       const SdLayoutRow& layout, unsigned megabits = 0);

struct GatherSave {
    std::string from;    // the per-game card's path
    std::string code;    // the save's game code
    std::string name;    // its name, as the card's bytes have it
    std::string problem; // empty when written
    bool resigned = false;
};

struct GatherSummary {
    // Why nothing at all was written: the target could not be opened, or
    // the batch does not fit (blocksNeeded over blocksFree, or more saves
    // than free directory places).
    std::string problem;
    unsigned blocksNeeded = 0;
    unsigned blocksFree = 0;
    std::vector<GatherSave> saves;
    unsigned written() const;
};

// Every save of every per-game card under root onto the target card. Twins
// (a save of the same code and name on the target or on an earlier card)
// are named and left out; the room for the rest is checked as a whole
// before anything is written; saves bound to another card's serial are
// re-signed for the target.
GatherSummary gatherCards(const std::string& root, const std::string& target);

} // namespace cardplaces
