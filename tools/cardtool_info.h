// cardtool's info and icons: what a save on the card or in a file says
// about itself, printed in English, and its icon frames as PNG pictures.
#pragma once

#include <functional>
#include <string>

namespace cardtool {

struct InfoContext {
    // A save's name as the terminal shows it (decoded, controls escaped).
    std::function<std::string(const std::string& raw, const std::string& code)> showName;
    // Opens the adapter and reads the card's size; false with the reason.
    std::function<bool(std::string& error)> open;
    // Why a file may not be written (the card image in use, no regular
    // file); empty when it may.
    std::function<std::string(const std::string& path)> outputProblem;
};

// The save is target: a path that exists names a save file, otherwise a
// slot number names a card save. Each returns the exit status.
int info(const InfoContext& c, const std::string& target);
int icons(const InfoContext& c, const std::string& target, const std::string& dir);

} // namespace cardtool
