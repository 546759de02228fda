// The library's process-wide state and its internal operations. One adapter
// at a time, one thread.
#pragma once

#include "adapter.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace mcb {

struct Library {
    std::unique_ptr<Adapter> device;        // DeviceHandle: null when closed
    mcb_receiver* progressWindow = nullptr; // ProgressWindow
    uint16_t userBlockCount = 0;            // UserBlockCount: save blocks on the card
    bool cardSized = false;                 // GetCardMemory has read a size
    std::unique_ptr<Block> directory;       // DirectoryBuffer
    std::unique_ptr<Block> map;             // AllocationMapBuffer

    // The buffers hold the card's current directory and map, loaded in this
    // connection (or written by a commit since). Cleared whenever the card
    // may have changed under them: a new connection, a failed load, a failed
    // write.
    bool loaded = false;
    int directoryCopy = 0; // which copy (0 or 1) the card currently uses
    int mapCopy = 0;
    Block directoryOnCard{}; // the current directory as the card holds it
    Block mapOnCard{};       // the current map as the card holds it

    // The copy of the map the card does not use now, as read by the load.
    // A cut commit can leave it newer than the current one (or the other way
    // round): while it is intact, the blocks it marks used may belong to a
    // save after all, and nothing may be placed on them.
    Block mapOther{};
    bool mapOtherIntact = false;
    // Whether the directory copy not in use is intact: a commit looks only
    // when it needs to (after a commit both copies are whole and equal).
    bool directoryOtherKnown = false;
    bool directoryOtherIntact = false;

    // Why the last call failed (an mcb_error), and for a refusal for want
    // of room, the blocks needed and free.
    int32_t lastError = MCB_SUCCESS;
    uint32_t spaceNeeded = 0;
    uint32_t spaceFree = 0;

    ~Library(); // unloading: close the adapter without the end packet
};

Library& lib();

SaveArea saveArea(); // the save area of the card last sized

// Sends WM_CARD_PROGRESS to the receiver, if there is one.
void progress(uintptr_t wParam);
inline void step() { progress(0); }

// Link (one blocking transfer each; the byte count, 0 on failure).
int32_t RawWrite(const void* buffer, uint32_t length);
int32_t RawRead(void* buffer, uint32_t length);

// The five adapter commands.
bool sendLinkBegin(uint8_t filler);
bool sendLinkEnd();
int32_t ReadSector(uint16_t sector, void* buffer, uint32_t length);
int32_t WriteSector(uint16_t sector, const void* buffer, int32_t length);
int32_t EraseBlock(uint16_t sector);

// True when a transfer moved exactly the bytes asked for; otherwise records
// MCB_ERROR_IO. A part of a packet or a sector is no transfer at all.
bool whole(int32_t moved, std::size_t expected);

// Whole-sector helpers: true only when all 512 bytes crossed.
bool readWholeSector(unsigned sector, uint8_t* buffer);
bool writeWholeSector(unsigned sector, const uint8_t* buffer);
bool readBlock(unsigned block, Block& out);

// Records why the current call fails and returns the failure result, so a
// body can say `return fail(MCB_ERROR_NO_ROOM);`. The first reason recorded
// in a call wins: it is the cause, later ones are consequences.
inline int32_t fail(int32_t error)
{
    Library& l = lib();
    if (l.lastError == MCB_SUCCESS)
        l.lastError = error;
    return 0;
}

// The body of an export: no exception crosses into the caller's C code. One
// that escapes counts as a failure, and the buffers are no longer trusted.
// Every export starts with no reason recorded; one that fails without saying
// why is reported as MCB_ERROR_FAILED rather than as a success.
template <typename Body> int32_t guarded(Body&& body) noexcept
{
    Library& l = lib();
    l.lastError = MCB_SUCCESS;
    int32_t result = 0;
    try {
        result = body();
    } catch (const std::bad_alloc&) {
        l.loaded = false;
        return fail(MCB_ERROR_NO_MEMORY);
    } catch (...) {
        l.loaded = false;
        return fail(MCB_ERROR_FAILED);
    }
    if (result == 0)
        fail(MCB_ERROR_FAILED);
    else
        l.lastError = MCB_SUCCESS; // a transfer that failed on the way did not decide the call
    return result;
}

// Directory and map (directory.cpp).
bool loadSystemArea();
bool CommitSystemArea();
// The same for a repair or a recovery that leaves the saves in leftAlone
// (whose chains are broken or shared) exactly as they are: they are not
// held against the agreement of directory and map.
bool CommitSystemArea(const std::vector<unsigned>& leftAlone);
// The slot of the save (name, code); -1 with MCB_ERROR_NO_SAVE when there is
// none and with MCB_ERROR_AMBIGUOUS when two saves match.
int findSlot(const char* name, const char* code);

} // namespace mcb
