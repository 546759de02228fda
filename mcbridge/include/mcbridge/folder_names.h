// File names for saves written into a folder. Emulators that keep a card as
// a folder of save files name each file after the save itself: maker code,
// game code and the save's name up to its first NUL, joined by '-', with
// ".gci" after it. Writing the same names lets a whole card move into such a
// folder and back in one step, and lets the emulator write its changes back
// over our files instead of beside them.
#pragma once

#include "mcbridge/cardfs.h"
#include "mcbridge/save_container.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mcb {

// The name (without a folder) of the save whose 64-byte directory entry is
// given, in the given form, exactly as the emulator names it. Bytes a file
// system refuses are written as "__xx__" (two lower-case hex digits):
// control characters (below 0x20), "*/:<>?\| and DEL; so is each '_' of a
// "__" in the name, so that no escape can be read two ways. Every other
// byte is written as it is, those of 0x80 and above too: a Japanese save's
// name stays in Shift-JIS, as the emulator writes it, although such a name
// is no valid UTF-8; an escaped one would be a second file beside the
// emulator's. The codes' '-' keeps any name from being "." or "..", and the
// extension keeps it from ending in a dot or a space.
std::string folderNameFor(std::span<const uint8_t, kEntrySize> entry,
                          SaveFormat format = SaveFormat::Gci);

// Names for several saves written to one folder, in the order given. Saves
// whose names would be the same (also when they differ only in letter case,
// which some file systems fold) get "-2", "-3"... before the extension; so do
// names in taken (files already in the folder that must not be replaced).
std::vector<std::string> folderNamesFor(const std::vector<std::array<uint8_t, kEntrySize>>& entries,
                                        SaveFormat format = SaveFormat::Gci,
                                        const std::vector<std::string>& taken = {});

} // namespace mcb
