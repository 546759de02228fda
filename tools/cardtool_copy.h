// cardtool's copy from one card to another.
//
// The library holds one adapter per process and finds it through
// MCBRIDGE_DEVICE at every OpenDevice; the copy runs in two steps, each with
// its own card named in the environment while it is open: every save is
// first read from the one card into a private temporary folder, and only
// when all of them were read whole are they written to the other.
#pragma once

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

// How the tool reaches each card. Each opens its card itself (naming it as
// the device first); false with the reason in error.
struct CopySides {
    // The save in slot into file; label gets the save's name as shown.
    std::function<bool(const std::string& slot, const std::string& file, std::string& label,
                       std::string& error)>
        read;
    // The save file onto the other card (replacing one of its name and code).
    std::function<bool(const std::string& file, std::string& error)> write;
};

// The exit status: 0 when every save was copied.
int copyBetweenCards(const CopyRequest& request, const CopySides& sides);

// True when both device strings name one card (the same image file however
// it is spelt, or the same adapter).
bool sameCard(const std::string& a, const std::string& b);

} // namespace cardtool
