// Cards by handle: opening and closing them, what they are, and their saves
// moved through the caller's memory.
#include "journal.h"
#include "library.h"
#include "mcbridge/format.h"
#include "mcbridge/save_container.h"
#include "save_blocks.h"
#include "save_file.h"
#include "write_save.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace mcb {

namespace {

bool loadedOrLoad()
{
    Library& l = lib();
    return l.loaded || loadSystemArea() || fail(MCB_ERROR_DAMAGED);
}

// Listing the card again takes it as it is now: a header another program
// rewrote (a format gives the card a new identity) is the one later
// commits compare with. A header that names another size is no card this
// handle can take; the commits go on refusing it.
bool relistHeader()
{
    Library& l = lib();
    uint8_t header[kSectorSize];
    if (!readWholeSector(0, header))
        return false;
    if (l.cardSized && header[kHeaderSizeMbit + 1] * 16u == l.userBlockCount + kSystemBlocks) {
        std::memcpy(l.headerOnCard.data(), header, kSectorSize);
        l.headerKnown = true;
    }
    return true;
}

unsigned saveCount(const Block& dir)
{
    unsigned n = 0;
    for (unsigned s = 0; s < kSaveSlotCount; ++s)
        n += !entryAt(dir, s).empty();
    return n;
}

// Loads the directory afresh and checks that slot holds a save.
bool loadSlot(uint32_t slot)
{
    if (slot >= kSaveSlotCount)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    if (!loadSystemArea())
        return false;
    return !entryAt(*lib().directory, slot).empty() || fail(MCB_ERROR_NO_SAVE);
}

void fillOutcome(mcb_write_outcome* to, const WriteOutcome& from)
{
    if (!to || to->size < sizeof(mcb_write_outcome))
        return;
    to->result = from.result;
    to->reason = from.result == MCB_WRITTEN ? MCB_OK : -from.error;
    to->slot = from.slot;
    to->other_slot = from.otherSlot;
    to->blocks_needed = from.needed;
    to->blocks_free = from.free;
    to->blocks_replaced = from.replaced;
    to->holds = from.holds;
    to->resigned = from.resigned;
    to->deleted_first = from.deletedFirst;
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int mcb_open(const char* device, mcb_card** out)
{
    if (!out)
        return MCB_E_BAD_ARGUMENT;
    *out = nullptr;
    mcb_card* card = new (std::nothrow) mcb_card;
    if (!card)
        return MCB_E_NO_MEMORY;
    card->byName = true;
    const char* name = device ? device : std::getenv("MCBRIDGE_DEVICE");
    card->deviceName = name ? name : "";
    const int status = onCard(card, Access::None, [&](int&) -> int32_t {
        Library& l = lib();
        if (const int32_t error = openLink(l))
            return fail(error);
        const CallLock reading(l, Access::Read);
        if (reading.error())
            return fail(reading.error());
        // A header that names no size a card comes in is no formatted card.
        const int32_t megabits = sizeCard();
        return megabits == 0 || isCardSize(unsigned(megabits)) ? megabits != 0
                                                               : fail(MCB_ERROR_NOT_A_CARD);
    });
    if (status != MCB_OK) {
        mcb_close(card);
        return status;
    }
    *out = card;
    return MCB_OK;
}

MCB_API void mcb_close(mcb_card* card)
{
    if (!card)
        return;
    if (card->journal) {
        // A group left open ends with the card: its record is closed.
        const Bound bound(*card);
        journalFinish(*card);
    }
    if (card->device) {
        const Bound bound(*card);
        try {
            sendLinkEnd();
        } catch (...) {
        }
        card->device->close();
    }
    delete card;
}

MCB_API int mcb_card_error(const mcb_card* card)
{
    return card ? card->status : MCB_E_BAD_ARGUMENT;
}

MCB_API int mcb_set_receiver(mcb_card* card, mcb_receiver* receiver)
{
    return onCard(card, Access::None, [&](int&) -> int32_t {
        lib().progressWindow = receiver;
        return 1;
    });
}

MCB_API int mcb_set_lock_wait(mcb_card* card, uint32_t milliseconds)
{
    return onCard(card, Access::None, [&](int&) -> int32_t {
        lib().lockWait = std::chrono::milliseconds(milliseconds);
        return 1;
    });
}

MCB_API int mcb_lock(mcb_card* card)
{
    return onCard(card, Access::Change, [&](int&) -> int32_t { return 1; });
}

MCB_API int mcb_lock_holder(mcb_card* card, char* out, size_t capacity)
{
    if (!card || (!out && capacity > 0))
        return MCB_E_BAD_ARGUMENT;
    const std::string& holder = card->lockHolder;
    if (capacity < holder.size() + 1)
        return MCB_E_TOO_SMALL;
    std::memcpy(out, holder.c_str(), holder.size() + 1);
    return int(holder.size());
}

MCB_API int mcb_load(mcb_card* card)
{
    return onCard(card, Access::Read, [&](int& count) -> int32_t {
        if (!loadSystemArea() || !relistHeader())
            return 0;
        count = int(saveCount(*lib().directory));
        return 1;
    });
}

MCB_API int mcb_describe_card(mcb_card* card, mcb_card_info* info)
{
    return onCard(card, Access::Read, [&](int&) -> int32_t {
        if (!info || info->size < sizeof(mcb_card_info))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        Library& l = lib();
        if (!l.device)
            return fail(MCB_ERROR_NOT_OPEN);
        // What the header says is told even of a card whose directory is
        // damaged: a tool that checks or repairs it needs its size.
        info->kind = uint32_t(l.device->kind());
        info->save_blocks = l.userBlockCount;
        info->megabits = (l.userBlockCount + kSystemBlocks) / kSectorsPerBlock;
        info->encoding = getBe16(&l.headerOnCard[kHeaderEncoding]) == 1 ? 1 : 0;
        info->read_only = l.device->readOnly() ? 1 : 0;
        std::memcpy(info->identity, l.headerOnCard.data(), sizeof info->identity);
        if (!loadedOrLoad())
            return 0;
        const SaveArea area = saveArea();
        const CardChains chains = followChains(*l.directory, *l.map, area);
        const std::vector<bool> used = blocksInUse(*l.directory, chains, *l.map,
                                                   l.mapOtherIntact ? &l.mapOther : nullptr, area);
        info->free_blocks = freeCount(used, area);
        info->saves = saveCount(*l.directory);
        return 1;
    });
}

MCB_API int mcb_entry(mcb_card* card, uint32_t slot, uint8_t* entry, size_t capacity)
{
    return onCard(card, Access::None, [&](int&) -> int32_t {
        const Library& l = lib();
        if (!entry || capacity < kEntrySize || slot >= kSaveSlotCount)
            return fail(!entry || slot >= kSaveSlotCount ? MCB_ERROR_BAD_ARGUMENT
                                                         : MCB_ERROR_TOO_SMALL);
        if (!l.loaded)
            return fail(MCB_ERROR_NOT_LOADED);
        if (entryAt(*l.directory, slot).empty())
            return fail(MCB_ERROR_NO_SAVE);
        std::memcpy(entry, entryAt(*l.directory, slot).p, kEntrySize);
        return 1;
    });
}

MCB_API int mcb_read_save(mcb_card* card, uint32_t slot, int32_t format, void* out, size_t capacity,
                          size_t* length)
{
    return onCard(card, Access::Read, [&](int& size) -> int32_t {
        const auto f = formatFrom(format);
        if (!f)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        if (!loadSlot(slot))
            return 0;
        const Library& l = lib();
        const auto blocks = soundBlocksOf(*l.directory, *l.map, slot);
        if (!blocks)
            return 0;
        // The length is known before anything is read: a buffer too small
        // costs no read of the card.
        const std::size_t whole = dataOffsetOf(*f) + blocks->size() * kBlockSize;
        if (length)
            *length = whole;
        if (!out || capacity < whole)
            return fail(MCB_ERROR_TOO_SMALL);
        std::vector<uint8_t> data;
        if (!readSaveBlocks(*blocks, data))
            return 0;
        const std::span<const uint8_t, kEntrySize> entry(entryAt(*l.directory, slot).p, kEntrySize);
        const std::vector<uint8_t> file = saveInFormat(*f, entry, data);
        if (!giveBytes(file, out, capacity, length))
            return 0;
        size = int(file.size());
        return 1;
    });
}

MCB_API int mcb_write_save(mcb_card* card, const void* save, size_t length,
                           const mcb_write_request* request, mcb_write_outcome* outcome)
{
    WriteOutcome result;
    const int status = onCard(card, Access::Change, [&](int&) -> int32_t {
        Library& l = lib();
        if (!save || !request || request->size < sizeof(mcb_write_request) ||
            (outcome && outcome->size < sizeof(mcb_write_outcome))) {
            result.error = MCB_ERROR_BAD_ARGUMENT;
            return fail(MCB_ERROR_BAD_ARGUMENT);
        }
        const auto file =
            saveFromBytes(std::span(static_cast<const uint8_t*>(save), length), nullptr);
        if (!file) {
            result.error = l.lastError;
            return 0;
        }
        if (!l.cardSized || !loadSystemArea()) {
            result.error = l.lastError == MCB_SUCCESS ? MCB_ERROR_NOT_LOADED : l.lastError;
            return fail(MCB_ERROR_NOT_LOADED);
        }
        progress(7);
        step();
        WriteRequest r;
        r.policy = request->policy;
        r.slot = request->policy == MCB_WRITE_REPLACE_SLOT
                     ? int(std::min<uint32_t>(request->slot, kSaveSlotCount))
                     : -1;
        r.noResign = request->flags & MCB_WRITE_NO_RESIGN;
        r.deleteFirst = request->flags & MCB_WRITE_DELETE_FIRST;
        return writeSave(*file, r, result);
    });
    if (status != MCB_OK && result.result == MCB_REFUSED && result.error == MCB_SUCCESS)
        result.error = -status; // refused before the write call judged anything
    fillOutcome(outcome, result);
    return status;
}

MCB_API int mcb_delete_save(mcb_card* card, uint32_t slot, mcb_write_outcome* outcome)
{
    WriteOutcome result;
    const int status = onCard(card, Access::Change, [&](int&) -> int32_t {
        if (outcome && outcome->size < sizeof(mcb_write_outcome))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        Library& l = lib();
        if (!l.cardSized)
            return fail(MCB_ERROR_NOT_LOADED);
        // A slot number names the save the caller saw when it last listed
        // the card; if another program has put another there since, that one
        // is not the caller's to delete.
        std::optional<Block> seen;
        if (l.loaded)
            seen = *l.directory;
        if (!loadSlot(slot))
            return 0;
        if (seen && std::memcmp(&(*seen)[slot * kEntrySize], &(*l.directory)[slot * kEntrySize],
                                kEntrySize) != 0)
            return fail(MCB_ERROR_CHANGED);
        return deleteSave(slot, &result);
    });
    if (status != MCB_OK && result.result == MCB_REFUSED && result.error == MCB_SUCCESS)
        result.error = -status;
    fillOutcome(outcome, result);
    return status;
}

MCB_API int mcb_parse_save(const void* bytes, size_t length, mcb_save_view* view)
{
    return offCard([&](int&) -> int32_t {
        if (!bytes || !view || view->size < sizeof(mcb_save_view))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        ContainerFault fault = ContainerFault::None;
        const auto save =
            saveFromBytes(std::span(static_cast<const uint8_t*>(bytes), length), &fault);
        view->fault = int32_t(fault);
        if (!save)
            return 0;
        view->format = int32_t(save->format);
        view->blocks = save->blocks;
        view->data_offset = dataOffsetOf(save->format);
        std::memcpy(view->entry, save->entry.data(), kEntrySize);
        return 1;
    });
}

MCB_API int mcb_convert_bytes(const void* bytes, size_t length, int32_t format, void* out,
                              size_t capacity, size_t* out_length)
{
    return offCard([&](int& size) -> int32_t {
        const auto f = formatFrom(format);
        if (!bytes || !f)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const auto save =
            saveFromBytes(std::span(static_cast<const uint8_t*>(bytes), length), nullptr);
        if (!save)
            return 0;
        const std::vector<uint8_t> file = saveInFormat(*f, save->entry, save->data);
        if (!giveBytes(file, out, capacity, out_length))
            return 0;
        size = int(file.size());
        return 1;
    });
}

} // extern "C"
