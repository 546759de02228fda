// Where users keep their cards, as data: the emulator's folders and the
// files in them, the layouts SD-card memory card emulators keep one card
// per game in, and the regions' names. A new layout, folder or region is one
// row here and one row in its test.
#pragma once

#include <span>
#include <string>

namespace cardplaces {

// Where a path in a row starts from.
enum class Base { Home, XdgData, XdgConfig };

// Which install of the emulator a card belongs to.
enum class Install { Native, Flatpak, Older };

// One install of the emulator: its GC folder and its configuration file.
struct EmulatorRow {
    Install install;
    Base dataBase;
    const char* gcFolder; // relative to dataBase
    Base configBase;
    const char* configFile; // relative to configBase
};
std::span<const EmulatorRow> emulatorRows();

// The regions the emulator keeps a GC card per: the folder-mode card is
// GC/<region>/Card A, the image GC/MemoryCardA.<region>.raw.
std::span<const char* const> emulatorRegions();

// A layout of per-game cards on an SD card's root. Patterns name the game's
// folder and the card file in it: {game} is the four-character game id,
// {region} its region in three letters (regionName), {id} the six-character
// id (game and maker), {n} the channel, 1 to 8. alsoRead is another folder
// name the layout's users write by hand, read but never written (empty for
// none).
struct SdLayoutRow {
    const char* name; // as cardtool's --layout names it
    const char* folder;
    const char* file;
    const char* alsoRead;
};
std::span<const SdLayoutRow> sdLayoutRows();
const SdLayoutRow* sdLayout(const std::string& name);

// The three-letter region of a game id's fourth character; "OTH" for one
// the table lacks.
struct RegionRow {
    char letter;
    const char* name;
    bool japanese; // the game's texts are in Shift-JIS
};
std::span<const RegionRow> regionRows();
std::string regionName(char letter);
bool japaneseRegion(char letter);

constexpr unsigned kChannels = 8;

} // namespace cardplaces
