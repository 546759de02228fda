// The cards a user would want to open on this computer: the adapter, the
// emulator's card images and folder cards (with the paths its configuration
// overrides), the per-game cards of SD cards mounted for the user, and the
// cards opened lately. For cardtool and the program alike; no Qt.
#pragma once

#include "cardplaces/place_table.h"

#include <string>
#include <vector>

namespace cardplaces {

// Where to look: the process's own environment, or a fake tree in tests.
struct Environment {
    std::string home;
    std::string xdgData;                 // $XDG_DATA_HOME, else home/.local/share
    std::string xdgConfig;               // $XDG_CONFIG_HOME, else home/.config
    std::string xdgState;                // $XDG_STATE_HOME, else home/.local/state
    std::vector<std::string> mediaRoots; // /media/$USER, /run/media/$USER
    std::string adapter;                 // $MCBRIDGE_DEVICE
    static Environment fromProcess();
};

enum class CardKind { Adapter, EmulatorImage, EmulatorFolder, PerGame, Recent };
const char* kindText(CardKind kind); // English, for cardtool

// Where a card was found, as parts for each program to word in its own
// language (whereText words it in English).
struct Where {
    enum class Kind {
        Variable, // the device MCBRIDGE_DEVICE names
        Node,     // another device node of the same driver as that one
        Emulator, // an install of the emulator: install, slot, region, configured
        SdCard,   // a per-game card: sdCard, game, channel
        Recent,   // a card opened lately
    };
    Kind kind = Kind::Recent;
    std::string path; // the card's file, folder or device
    Install install = Install::Native;
    char slot = 'A';
    std::string region;      // the emulator's region folder; empty for a configured path
    bool configured = false; // a path the emulator's configuration sets
    std::string sdCard;      // the SD card's own name
    std::string game;        // the game id (four or six characters)
    unsigned channel = 0;
};
std::string whereText(const Where& where);

struct FoundCard {
    CardKind kind;
    std::string device; // for mcb_open
    Where where;        // which install, slot and region, SD card and game
    unsigned megabits = 0;
    int saves = -1;      // -1 when the card could not be read
    std::string problem; // why not, in English
};

// The adapters to look for: the device MCBRIDGE_DEVICE names (it names one)
// and, when that is a device node, the other nodes of its driver: the same
// name with another number (/dev/mcadapter0, /dev/mcadapter1, ...), by
// number. A USB adapter is named by its vendor and product, and the library
// opens the first device of that kind: others of the same kind cannot be
// told apart by a device string, so none is added for them. Image and
// folder devices are no adapters.
std::vector<std::string> adapterDevices(const std::string& named);

// Every card found, each opened once to tell its size and save count.
std::vector<FoundCard> findCards(const Environment& env);

// The mounted SD cards that hold per-game cards in a layout.
std::vector<std::string> sdCardRoots(const Environment& env);

// The card images and folders opened lately, newest first; remembering one
// puts it first. Adapters are not remembered: they are found anyway.
std::vector<std::string> recentCards(const Environment& env);
void rememberCard(const Environment& env, const std::string& device);

} // namespace cardplaces
