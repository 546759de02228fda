// What both fuzz targets share: a card image made from fuzz input, put
// behind the emulated adapter the library finds, and the blocks a writing
// call may touch.
#pragma once

#include "card_medium.h"
#include "emulated_adapter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace mcbfuzz {

// The smallest card (4 Mbit). Input shorter than that is the card's start;
// the rest reads as erased flash, as on a card whose later blocks were never
// written.
std::vector<uint8_t> cardFrom(std::span<const uint8_t> input);

// A card in memory behind the emulated adapter, with its traffic logged.
class FuzzCard {
public:
    explicit FuzzCard(std::vector<uint8_t> image);
    ~FuzzCard();
    std::vector<uint8_t>& image() { return medium_->bytes(); }
    mcb::Traffic& traffic() { return *traffic_; }

private:
    std::shared_ptr<mcb::MemoryMedium> medium_;
    std::shared_ptr<mcb::Traffic> traffic_;
};

// OpenDevice and GetCardMemory, as the program does.
bool connect();

// A folder of the process's own for the files the calls write.
const std::string& scratch();

// Stops the run with a message libFuzzer shows beside the input.
[[noreturn]] void violation(const char* what, long detail = -1);

} // namespace mcbfuzz
