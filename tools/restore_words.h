// The restore command's choices for an image read from another card, and
// what it tells the user about them. Kept apart from the rest of cardtool:
// it knows the card's layout but not the adapter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace restore {

struct Request {
    std::string image;
    int32_t how = 0; // an mcb_restore
};

// "IMAGE [--force | --keep-identity]", the option on either side; nothing
// (with why in error) for any other arguments.
std::optional<Request> parseRequest(const std::vector<std::string>& args, std::string& error);

// Why an image read from another card is not written without an option, and
// what the two options do.
std::string refusal(const std::string& path);

// The image's saves bound to a card's serial, as "name (code)" in the card's
// directory order.
std::vector<std::string> serialBoundSaves(const std::vector<uint8_t>& image);

// The line after a successful restore.
std::string doneLine(const std::string& path, int32_t how, const std::vector<uint8_t>& image);

} // namespace restore
