// What cardtool accepts from its command line: slot numbers, paths of files
// it reads, and paths it may write to. Every check here stands between a
// mistyped or hostile argument and the user's card.
#pragma once

#include "mcbridge.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cli {

// The largest save file cardtool reads: the largest save behind the longest
// container header (a .gcs file's, 0x150 bytes with the entry).
constexpr uint64_t kLargestSaveInput = MCB_LARGEST_SAVE_FILE + 0x150;

// A slot as `cardtool list` numbers them: 0 to 126, decimal digits only.
std::optional<unsigned> parseSlot(const std::string& text);

// What a path names, symlinks followed.
enum class Kind { Missing, Regular, Directory, Fifo, Device, Socket, Unreadable };
Kind kindOf(const std::string& path);
// "is a directory", "is a FIFO", ... for a message after the path.
std::string describe(Kind kind);

// Whether two paths name the same file (device and inode, symlinks followed).
// A path that does not exist is the same as nothing.
bool sameFile(const std::string& a, const std::string& b);

// A regular file of at most limit bytes, read whole. Directories, FIFOs,
// devices and files longer than limit are refused without reading them;
// nothing here blocks or reads more than limit + 1 bytes.
std::optional<std::vector<uint8_t>> readBounded(const std::string& path, uint64_t limit,
                                                std::string& error);

// A save file: its 64-byte entry (not empty), then as many whole blocks as
// the entry counts, the last one short by no more than the library accepts.
// Empty when the bytes are one; otherwise why not.
std::string notASaveFile(const std::vector<uint8_t>& bytes);

// A card's text for a terminal, through the library's one escaping
// function: controls and broken UTF-8 as \xNN, so a save's name cannot move
// the cursor, clear the screen or retitle the window.
std::string escapeControls(const std::string& text);

} // namespace cli
