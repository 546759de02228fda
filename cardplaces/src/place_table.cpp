#include "cardplaces/place_table.h"

#include <cstring>

namespace cardplaces {

namespace {

constexpr EmulatorRow kEmulators[] = {
    {Install::Native, Base::XdgData, "dolphin-emu/GC", Base::XdgConfig, "dolphin-emu/Dolphin.ini"},
    {Install::Flatpak, Base::Home, ".var/app/org.DolphinEmu.dolphin-emu/data/dolphin-emu/GC",
     Base::Home, ".var/app/org.DolphinEmu.dolphin-emu/config/dolphin-emu/Dolphin.ini"},
    {Install::Older, Base::Home, ".dolphin-emu/GC", Base::Home, ".dolphin-emu/Config/Dolphin.ini"},
};

constexpr const char* kEmulatorRegions[] = {"USA", "JAP", "EUR"};

constexpr SdLayoutRow kSdLayouts[] = {
    {"region-folders", "MemoryCards/GC/DL-DOL-{game}-{region}", "DL-DOL-{game}-{region}-{n}.raw",
     ""},
    // The maker's two characters belong in the name; a converter in use
    // writes "01" whatever the maker, which the second folder name reads.
    {"id-folders", "MemoryCards/{id}00", "{id}00-{n}.raw", "MemoryCards/{game}0100"},
};

constexpr RegionRow kRegions[] = {
    {'E', "USA", false}, {'J', "JPN", true},  {'P', "EUR", false}, {'K', "KOR", false},
    {'D', "GER", false}, {'F', "FRA", false}, {'I', "ITA", false}, {'S', "ESP", false},
};

} // namespace

std::span<const EmulatorRow> emulatorRows() { return kEmulators; }
std::span<const char* const> emulatorRegions() { return kEmulatorRegions; }
std::span<const SdLayoutRow> sdLayoutRows() { return kSdLayouts; }
std::span<const RegionRow> regionRows() { return kRegions; }

const SdLayoutRow* sdLayout(const std::string& name)
{
    for (const SdLayoutRow& row : kSdLayouts)
        if (name == row.name)
            return &row;
    return nullptr;
}

std::string regionName(char letter)
{
    for (const RegionRow& row : kRegions)
        if (row.letter == letter)
            return row.name;
    return "OTH";
}

bool japaneseRegion(char letter)
{
    for (const RegionRow& row : kRegions)
        if (row.letter == letter)
            return row.japanese;
    return false;
}

} // namespace cardplaces
