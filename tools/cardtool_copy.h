// cardtool's copy from one card to another.
//
// Both cards are open at once, each through its own handle: every save is
// first read from the one card into memory, and only when all of them were
// read whole are they written to the other.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cardtool {

struct CopyRequest {
    std::string from;
    std::vector<std::string> slots;
    std::string to;
};

// "--from DEVICE SLOT... --to DEVICE", in that order; nothing, and why, when
// the arguments are not that.
std::optional<CopyRequest> parseCopy(const std::vector<std::string>& args, std::string& error);

// How the tool reaches each card; false with the reason in error.
struct CopySides {
    // The save in slot as a save file's bytes; label gets its name as shown.
    std::function<bool(const std::string& slot, std::vector<uint8_t>& save, std::string& label,
                       std::string& error)>
        read;
    // The save onto the other card (replacing one of its name and code).
    std::function<bool(const std::vector<uint8_t>& save, std::string& error)> write;
};

// The exit status: 0 when every save was copied.
int copyBetweenCards(const CopyRequest& request, const CopySides& sides);

// True when both device strings name one card (the same image file however
// it is spelt, or the same adapter).
bool sameCard(const std::string& a, const std::string& b);

} // namespace cardtool
