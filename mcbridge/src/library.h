// The state of one open card and the library's internal operations on it.
// Every card a caller opens (mcb_open) is one Library; the fifteen original
// exports work on one default card. A call binds its card to the calling
// thread for its duration, so the operations below find it through lib()
// and two threads can work on two cards at once.
#pragma once

#include "adapter.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"

#include "mcbridge/card_check.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

namespace mcb {

struct JournalState;

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
    // The current map's block byte for byte as the card holds it (a repair
    // may correct mapOnCard's free count before it is written): what the
    // card must still hold when a commit begins.
    Block mapSeen{};

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
    // The sectors a load reads first, those holding the counter and the
    // checksum of each copy of the directory (0, 1) and of the map (2, 3),
    // as the last loadSystemArea read them; known only while its buffers
    // are what it loaded (a commit or a check clears it). A commit, this
    // handle's or another program's, writes a copy with a new counter and
    // checksum, so a read that finds them as they were need not load the
    // system area again (see systemAreaAsLoaded).
    std::array<std::array<uint8_t, kSectorSize>, 4> countersSeen{};
    bool countersKnown = false;

    // Why the last call failed (an mcb_error), and for a refusal for want
    // of room, the blocks needed and free.
    int32_t lastError = MCB_SUCCESS;
    uint32_t spaceNeeded = 0;
    uint32_t spaceFree = 0;

    // The findings of the last check, repair or recovery listing.
    Findings findings;

    // The device string a card opened by mcb_open was opened by; the
    // default card finds its adapter anew at every OpenDevice.
    bool byName = false;
    std::string deviceName;
    // The write lock (see card_lock.h): held from the first change until
    // the card is closed, and how long to wait for another writer.
    bool writeLocked = false;
    std::chrono::milliseconds lockWait{5000};
    std::string lockHolder; // who held it when a change found it taken
    // What the handle's last call returned, for mcb_card_error.
    int status = 0;
    // The card's header sector as the last load read it: a commit refuses
    // to write when the card no longer has it (another card was put in).
    std::array<uint8_t, kSectorSize> headerOnCard{};
    bool headerKnown = false;
    // The journal's settings and the record of the change under way
    // (journal.h); made at the first need.
    std::shared_ptr<JournalState> journal;

    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    virtual ~Library(); // closes the adapter without the end packet
};

// The card bound to the calling thread, or the default card.
Library& lib();
// A card of the calling thread's own that holds no adapter: the handle-free
// calls on save files record their reasons there.
Library& threadCard();
// The default card of the fifteen original exports.
Library& defaultCard();

// Binds a card to the calling thread while it lives.
class Bound {
public:
    explicit Bound(Library& card);
    ~Bound();
    Bound(const Bound&) = delete;
    Bound& operator=(const Bound&) = delete;

private:
    Library* previous_;
};

SaveArea saveArea(); // the save area of the card last sized

// Opens the card's adapter and sends the begin packet; an mcb_error.
int32_t openLink(Library& card);
// Reads the card's header: its size in megabits, 0 (MCB_ERROR_NOT_A_CARD)
// when it names none. The header is kept to tell the card again later.
int32_t sizeCard();

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

// The end of a change's call, for the journal (journal.h).
void journalCallEnded(Library& card, bool succeeded);

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

// What a call does with the card, and so which lock it takes: a read shares
// the lock for the call's length; a change takes the write lock, which the
// card keeps until it is closed.
enum class Access { None, Read, Change };

class CallLock {
public:
    CallLock(Library& card, Access access);
    ~CallLock();
    CallLock(const CallLock&) = delete;
    CallLock& operator=(const CallLock&) = delete;
    // MCB_SUCCESS, or why the lock could not be had.
    int32_t error() const { return error_; }

private:
    Library& card_;
    bool shared_ = false;
    int32_t error_ = 0;
};

// A change cut short by an exception is dropped from the card's own form.
inline void settleAfterThrow(Library& l, Access access) noexcept
{
    if (access != Access::Change || !l.device)
        return;
    try {
        l.device->settle(false);
    } catch (...) {
    }
}

// The body of an export: no exception crosses into the caller's C code. One
// that escapes counts as a failure, and the buffers are no longer trusted.
// Every export starts with no reason recorded; one that fails without saying
// why is reported as MCB_ERROR_FAILED rather than as a success. The original
// exports run on the default card.
template <typename Body> int32_t guardedOn(Library& l, Access access, Body&& body) noexcept
{
    const Bound bound(l);
    l.lastError = MCB_SUCCESS;
    int32_t result = 0;
    try {
        const CallLock held(l, access);
        if (held.error())
            return fail(held.error());
        if (access != Access::None && l.device && l.device->begin())
            l.loaded = false;
        result = body();
        // A change is whole only once the card's own form holds it (see
        // Adapter::settle); one that could not be written through is undone
        // and fails with the reason.
        if (access == Access::Change && l.device)
            if (const int32_t error = l.device->settle(result != 0); error && result) {
                l.loaded = false;
                l.lastError = error;
                journalCallEnded(l, false);
                return 0;
            }
        if (access == Access::Change)
            journalCallEnded(l, result != 0);
    } catch (const std::bad_alloc&) {
        l.loaded = false;
        settleAfterThrow(l, access);
        return fail(MCB_ERROR_NO_MEMORY);
    } catch (...) {
        l.loaded = false;
        settleAfterThrow(l, access);
        return fail(MCB_ERROR_FAILED);
    }
    if (result == 0)
        fail(MCB_ERROR_FAILED);
    else
        l.lastError = MCB_SUCCESS; // a transfer that failed on the way did not decide the call
    return result;
}

template <typename Body> int32_t guarded(Body&& body) noexcept
{
    return guardedOn(defaultCard(), Access::None, std::forward<Body>(body));
}
template <typename Body> int32_t guarded(Access access, Body&& body) noexcept
{
    return guardedOn(defaultCard(), access, std::forward<Body>(body));
}

// Directory and map (directory.cpp).
bool loadSystemArea();
// True when the directory and map the last loadSystemArea read are still the
// card's: the card's header is header (as just read) and the one the handle
// knows, the buffers hold what was loaded, and the four counter sectors read
// as they did then. Four sector reads where a load takes 52; false (and the
// caller loads) whenever it cannot tell.
bool systemAreaAsLoaded(const uint8_t* header);
bool CommitSystemArea();
// The same for a repair or a recovery that leaves the saves in leftAlone
// (whose chains are broken or shared) exactly as they are: they are not
// held against the agreement of directory and map.
bool CommitSystemArea(const std::vector<unsigned>& leftAlone);
// The commit of a recovery: the copies in use are written rather than the
// spare ones when the spare ones already describe the card it makes (they
// keep the deleted save's entry and chain); else as CommitSystemArea.
bool CommitRecovery(const Block& spareDirectory, const std::vector<unsigned>& leftAlone);
// The card in the adapter is still the one whose header sector is header
// (and, for an image file, still the file opened): read just before each
// sector written, so that a card swapped or an image replaced under a write
// takes no more of it. Else false with MCB_ERROR_CHANGED (or the read's
// failure).
bool stillTheCard(const uint8_t* header);

// Writes a new card image at path, never over a file there: 1, or 0 with
// MCB_ERROR_EXISTS or MCB_ERROR_FILE recorded.
int32_t newImage(const char* path, const std::vector<uint8_t>& image);
// After a change failed: when the card's header is no longer the one the
// handle knows, the cause recorded is MCB_ERROR_CHANGED, whatever the
// symptom was (a read back that differs, a directory that disagrees).
void noteSwap();
// After a failure part-way: the card's directory and map read again, through
// the link if it still answers, else through a new one.
bool reloadAfterFailure();
// The slot of the save (name, code); -1 with MCB_ERROR_NO_SAVE when there is
// none and with MCB_ERROR_AMBIGUOUS when two saves match.
int findSlot(const char* name, const char* code);

} // namespace mcb

// The handle callers hold.
struct mcb_card final : mcb::Library {};

namespace mcb {

// A handle call: the body's work done as guardedOn does it, on card, with
// its result as a code: value (MCB_OK unless the body sets a count) when the
// body succeeds, the negative reason when it fails. The code is kept for
// mcb_card_error.
template <typename Body> int onCard(Library* card, Access access, Body&& body) noexcept
{
    if (!card)
        return MCB_E_BAD_ARGUMENT;
    int value = MCB_OK;
    const int32_t ok = guardedOn(*card, access, [&]() -> int32_t {
        const int32_t r = body(value);
        if (!r && access == Access::Change)
            noteSwap();
        return r;
    });
    card->status = ok ? value : -card->lastError;
    return card->status;
}

// The same for a call that needs no card.
template <typename Body> int offCard(Body&& body) noexcept
{
    return onCard(&threadCard(), Access::None, std::forward<Body>(body));
}

// Copies bytes to a caller's buffer of capacity bytes; *length (may be
// null) gets their count either way. Fails with MCB_ERROR_TOO_SMALL, writing
// nothing, when they do not fit.
bool giveBytes(std::span<const uint8_t> bytes, void* out, std::size_t capacity,
               std::size_t* length);

} // namespace mcb
