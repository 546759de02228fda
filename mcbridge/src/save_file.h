// A save on its way to the card, whole in memory: from a plain save file
// on the computer (the original exports take only that form), or from the
// bytes of any of the three forms (the handle calls). Anything else is
// refused before the card is touched.
#pragma once

#include "mcbridge/cardfs.h"
#include "mcbridge/save_container.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mcb {

struct PlainSave {
    std::array<uint8_t, kEntrySize> entry{}; // card byte order, block count = blocks
    unsigned blocks = 0;
    std::vector<uint8_t> data; // blocks x 8,192 bytes; a short last block padded with zeros
    SaveFormat format = SaveFormat::Gci;
};

// A plain save file at path. Fails with MCB_ERROR_FILE when the file cannot
// be opened or read, and with MCB_ERROR_NOT_A_SAVE when it is no plain save
// file. Reads at most the largest card's worth of bytes.
std::optional<PlainSave> readSaveFile(const char* path);

// A save from its bytes, in any of the three forms. A plain save may lack up
// to ten bytes of its last block, as the original exports have always taken
// it. Fails with MCB_ERROR_NOT_A_SAVE; fault (may be null) says why.
std::optional<PlainSave> saveFromBytes(std::span<const uint8_t> bytes, ContainerFault* fault);

// The first n bytes of a regular file, under the same rules: MCB_ERROR_FILE
// when it cannot be read, MCB_ERROR_NOT_A_SAVE when it is no regular file or
// is shorter.
bool readFileHead(const char* path, uint8_t* out, std::size_t n);

// An mcb_save_format as the library's; nothing for a number that is none.
std::optional<SaveFormat> formatFrom(int32_t format);

} // namespace mcb
