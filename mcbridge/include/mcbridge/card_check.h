// Checking a card's system area as a console would read it, planning the
// repairs it calls for, and finding the saves its last change deleted. Pure
// functions over the five system blocks, so the library, the card tool and
// the tests share one judgement; each finding is a record (kind, slots,
// blocks, counts) that a reader words in its own language.
#pragma once

#include "mcbridge.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/chain.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mcb {

// One finding and the blocks it names (a save's chain, leaked blocks, ...).
struct CheckItem {
    mcb_finding f{};
    std::vector<uint16_t> blocks;
};
using Findings = std::vector<CheckItem>;

// The five system blocks of a card, as read, and the card's true size.
struct SystemCopies {
    Block header{};
    Block dir[2]{};
    Block map[2]{};
    unsigned megabits = 0; // from the image's length or the adapter, not the header
};

// The system blocks of a whole-card image; false when it is shorter than
// them or no card's length.
bool systemCopiesOf(std::span<const uint8_t> image, SystemCopies& out);

struct CheckResult {
    Findings items;
    int directoryCopy = -1; // in use; -1 when neither copy is intact
    int mapCopy = -1;
    bool sound() const;
};
CheckResult checkCard(const SystemCopies& s);

struct RepairPlan {
    Findings items;
    bool possible = false;  // a copy of the directory and of the map whose checksums hold
    int directoryCopy = -1; // the copies repaired from
    int mapCopy = -1;
    std::vector<uint16_t> freed;     // leaked blocks to free in the map in use
    std::vector<unsigned> leftAlone; // saves whose chains are broken or shared
    bool changes() const;            // anything to write
};
RepairPlan planRepair(const SystemCopies& s);

struct Recoverable {
    unsigned slot = 0; // in the directory copy not in use
    std::array<uint8_t, kEntrySize> entry{};
    std::vector<uint16_t> blocks; // in chain order
    int32_t source = MCB_RECOVER_CHAIN;
};
std::vector<Recoverable> findRecoverable(const SystemCopies& s);
Findings recoverableItems(const std::vector<Recoverable>& saves);

// The slots whose chains are broken or meet another save's, in the
// directory and map given: the saves a repair or recovery leaves as they
// are, and that a commit made by them may carry over unchanged.
std::vector<unsigned> brokenSaves(const Block& dir, const Block& map, const SaveArea& area);

// English, for the card tool: one line per finding, without the blocks. A
// save is shown as shownName when one is given (the card tool's decoded,
// escaped name), else as its code and raw name.
std::string findingText(const mcb_finding& f, const std::string& shownName = {});
// Block numbers as runs: "5-9, 12, 20-21".
std::string blockRuns(const std::vector<uint16_t>& blocks);

} // namespace mcb
