// cardtool's commands on where cards are kept: cards (what this computer
// holds), split (a card into per-game cards on an SD card) and gather (the
// per-game cards back onto one card).
#pragma once

#include <string>
#include <vector>

namespace cardtool {

int listCards();
int splitCard(const std::vector<std::string>& args);
int gatherCards(const std::vector<std::string>& args);

} // namespace cardtool
