// The journal: before a change writes to a card, what it will overwrite is
// kept in a record on the computer (the card's identity, its system area,
// the blocks of saves the change overwrites or frees), synced before the
// first write, so that any change can be undone later. The library's writes
// to a card all pass through the two hooks below; nothing else needs to know.
#pragma once

#include "mcbridge/card_serial.h"
#include "mcbridge/cardfs.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mcb {

struct Library;

constexpr std::size_t kSystemBytes = std::size_t(kSystemBlocks) * kBlockSize;
constexpr uint32_t kJournalRecords = 100;
constexpr uint64_t kJournalBytes = uint64_t(256) << 20;

// One record as read back from its file.
struct JournalRecord {
    uint32_t number = 0;
    int64_t time = 0;    // seconds since 1970
    uint32_t undoes = 0; // for an undo: the record it went back to before
    uint32_t sectors = 0;
    std::array<uint8_t, kCardIdentitySize> identity{};
    std::vector<uint8_t> before;                   // the system area before the change
    std::map<uint16_t, std::vector<uint8_t>> kept; // with blocks: what the change overwrote
    std::vector<uint16_t> keptBlocks;              // which blocks those are
    bool complete = false;                         // the change ended and after is known
    bool succeeded = false;                        // and every call of it succeeded
    std::vector<uint8_t> after;                    // the system area it left
    std::string what;
    std::string saves;
    uint64_t fileBytes = 0;
    std::string path;
};

// Reads a record file; with blocks, the kept blocks' bytes as well. A tail
// cut short (the change was cut while it was being added) is left off.
bool readRecord(const std::string& path, bool withBlocks, JournalRecord& out);

// The records of the folder, oldest first, without their blocks.
std::vector<JournalRecord> listRecords(const std::string& folder);

// Whether a record is about the card with this header and size: by its
// identity before or after the change, never by how it was reached.
bool recordIsFor(const JournalRecord& r, const uint8_t* header, uint32_t sectors);

// The records of the folder about the card with this header and size,
// oldest first, without their blocks; with an undo of a whole card that was
// cut once the header had gone back (see recordsFor in journal.cpp).
std::vector<JournalRecord> recordsFor(const std::string& folder, const uint8_t* header,
                                      uint32_t sectors);

// The folder a card's records go to, "" when its journal is off.
std::string journalFolder(const Library& card);

// Hooks: before a sector write or a block erase (false, with the reason
// recorded, when the record cannot be kept: nothing is written then), after
// it, and before a commit of newMap (which frees or relinks blocks). Do
// nothing while the journal is off.
bool journalBeforeWrite(unsigned sector);
// Before a change that writes the whole card (a restore, whose header comes
// last): every block is kept from the start. False when the record could not
// be written.
bool journalWholeCard();
void journalAfterWrite(unsigned sector, const uint8_t* data, bool erase, bool ok);
bool journalBeforeCommit(const Block& newMap);

// The end of a change: an export's call, or a group of them. The record
// gets the card's new system area and is closed; the oldest records beyond
// the bounds are dropped.
void journalCallEnded(Library& card, bool succeeded);
void journalFinish(Library& card);

// Settings and groups, per card.
void journalSet(Library& card, bool off, const std::string& folder);
void journalLimits(Library& card, uint32_t records, uint64_t bytes);
void journalBegin(Library& card, const std::string& what);
bool journalEnd(Library& card); // false when no group was open
// The next record made for this card is an undo back to before number, or
// the continuation of the unfinished undo at path.
void journalMarkUndo(Library& card, uint32_t number, const std::string& resumePath);

// Undoes the card back to before record number (0: the latest for it).
int32_t undoTo(uint32_t number);

} // namespace mcb
