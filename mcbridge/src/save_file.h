// Reading a save file from the computer before it goes onto the card. Only a
// plain save file is taken: its 64-byte entry, then as many blocks as the
// entry counts. Anything else (another tool's container, a truncated copy, a
// directory, a pipe, a device) is refused before the card is touched.
#pragma once

#include "mcbridge/cardfs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mcb {

struct SaveFile {
    std::array<uint8_t, kEntrySize> entry{};
    unsigned blocks = 0;
    std::vector<uint8_t> data; // blocks x 8,192 bytes; a short last block padded with zeros
};

// Fails with MCB_ERROR_FILE when the file cannot be opened or read, and with
// MCB_ERROR_NOT_A_SAVE when it is no plain save file. Reads at most the
// largest card's worth of bytes.
std::optional<SaveFile> readSaveFile(const char* path);

// The first n bytes of a regular file, under the same rules: MCB_ERROR_FILE
// when it cannot be read, MCB_ERROR_NOT_A_SAVE when it is no regular file or
// is shorter.
bool readFileHead(const char* path, uint8_t* out, std::size_t n);

} // namespace mcb
