// cardtool's check, repair, recover and forced download: the card's health
// through the library's check functions, printed in English.
#pragma once

#include "mcbridge.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cardtool {

struct CheckContext {
    // A save's name as the terminal shows it (decoded, controls escaped).
    std::function<std::string(const std::string& raw, const std::string& code)> showName;
    // Closes the adapter and opens it again (after a failed write); false
    // with the reason in error.
    std::function<bool(std::string& error)> reopen;
    // The card's handle, as the last open left it.
    std::function<mcb_card*()> card;
    // Writes a file of the user's as every output of cardtool is written;
    // the reason when it was not.
    std::function<std::string(const std::string& path, const std::vector<uint8_t>& bytes)> write;
};

// Each runs with the adapter open and the card's size read, and returns the
// exit status: check 0 when the card is sound and 1 when not; the others 0
// when they did what was asked.
int check(const CheckContext& c);
int repair(const CheckContext& c, bool apply);
int recover(const CheckContext& c, std::optional<unsigned> slot);
int forcedDownload(const CheckContext& c, unsigned slot, const std::string& path);

} // namespace cardtool
