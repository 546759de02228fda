// What the card holds for one save after a writing call failed. A failure
// can come after the call's decisive write (the link dropped while the
// directory was being committed), so the card is asked again instead of
// assuming that nothing changed. Used by cardtool and by the program.
#pragma once

#include "mcbridge.h"

#include <cstdint>
#include <string>
#include <vector>

namespace outcome {

enum class Holds {
    NewSave,    // the save that was being written, whole
    OldSave,    // the save the card held before the call, whole
    NoSave,     // no save of that name and code (in that slot)
    OtherSave,  // a save of that name and code that is neither
    Unreadable, // the card or the save could not be read again
};

// A save file's bytes as the card would give them back: the entry with its
// first block cleared and its block count from the length, then whole
// blocks. Empty for bytes that hold no save.
std::vector<uint8_t> normalised(const std::vector<uint8_t>& saveFile);

// Reopens the adapter (with receiver for progress), reloads the directory and
// reads the saves named (name, code), or only the save in slot when slot is
// 0 or more, into scratch, comparing each with the save file that was being
// written and the one the card held (either may be empty). The adapter is
// left open.
Holds cardHoldsNow(mcb_receiver* receiver, const std::string& name, const std::string& code,
                   int slot, const std::vector<uint8_t>& written,
                   const std::vector<uint8_t>& before, const std::string& scratch);

// A regular file's bytes, at most limit of them; empty when it is none.
std::vector<uint8_t> readSmallFile(const std::string& path, uint64_t limit);

} // namespace outcome
