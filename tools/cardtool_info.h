// cardtool's info and icons: what a save on the card or in a file says
// about itself, printed in English, and its icon frames as PNG pictures.
#pragma once

#include "mcbridge.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cardtool {

struct InfoContext {
    // A save's name as the terminal shows it (decoded, controls escaped).
    std::function<std::string(const std::string& raw, const std::string& code)> showName;
    // Opens the adapter and reads the card's size; false with the reason.
    std::function<bool(std::string& error)> open;
    // Why a file may not be written (the card image in use, no regular
    // file, protected, a link); empty when it may.
    std::function<std::string(const std::string& path)> outputProblem;
    // The card's handle, as open left it.
    std::function<mcb_card*()> card;
    // Writes a file of the user's as every output of cardtool is written;
    // the reason when it was not.
    std::function<std::string(const std::string& path, const std::vector<uint8_t>& bytes)> write;
};

// The save is target: a path that exists names a save file, otherwise a
// slot number names a card save. Each returns the exit status.
int info(const InfoContext& c, const std::string& target);
int icons(const InfoContext& c, const std::string& target, const std::string& dir);

} // namespace cardtool
