// Checking, repairing and recovering the card in the adapter. The judgement
// is card_check's; this file reads the system area, keeps the findings for
// the caller to copy out, and writes every change through the commit.
#include "library.h"
#include "mcbridge/card_check.h"
#include "save_blocks.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace mcb {

namespace {

// The findings of the last check, repair or recovery listing on the card.
Findings& findings() { return lib().findings; }

bool refuse(int32_t error)
{
    fail(error);
    return false;
}

// The header, both directory copies and both map copies, as the card holds
// them. A failed read leaves the loaded buffers alone but no longer trusted.
bool readSystem(SystemCopies& s)
{
    Library& l = lib();
    if (!l.cardSized || !l.device || !l.directory || !l.map)
        return refuse(MCB_ERROR_NOT_LOADED);
    progress(kSystemBlocks);
    Block* blocks[kSystemBlocks] = {&s.header, &s.dir[0], &s.dir[1], &s.map[0], &s.map[1]};
    for (unsigned b = 0; b < kSystemBlocks; ++b) {
        step();
        if (!readBlock(b, *blocks[b])) {
            l.loaded = false;
            return refuse(MCB_ERROR_IO);
        }
    }
    s.megabits = (unsigned(l.userBlockCount) + kSystemBlocks) / 16;
    return true;
}

// Takes the copies a repair or recovery starts from as the library's loaded
// directory and map, with the other copies' state as a console judges it, so
// that the commit first rebuilds a copy the console would not use. A free
// count the repair corrects is corrected in the copy it rebuilds from too.
void adopt(const SystemCopies& s, int d, int m)
{
    Library& l = lib();
    l.directoryCopy = d;
    l.mapCopy = m;
    l.directoryOnCard = s.dir[d];
    l.mapOnCard = s.map[m];
    l.mapSeen = s.map[m];
    const SaveArea area = saveArea();
    unsigned free = 0;
    for (unsigned b = area.first; b < area.end; ++b)
        free += mapEntry(l.mapOnCard, b) == kMapFreeEntry;
    if (getBe16(&l.mapOnCard[kMapFree]) != free) {
        putBe16(&l.mapOnCard[kMapFree], uint16_t(free));
        sealMap(l.mapOnCard);
    }
    const Block& otherMap = s.map[1 - m];
    unsigned otherFree = 0;
    for (unsigned b = area.first; b < area.end; ++b)
        otherFree += mapEntry(otherMap, b) == kMapFreeEntry;
    l.mapOther = otherMap;
    l.mapOtherIntact = mapIntact(otherMap) && getBe16(&otherMap[kMapFree]) == otherFree;
    l.directoryOtherKnown = true;
    l.directoryOtherIntact = directoryIntact(s.dir[1 - d]);
    *l.directory = l.directoryOnCard;
    *l.map = l.mapOnCard;
    l.countersKnown = false;
    l.loaded = true;
}

int32_t check(uint32_t* count, int32_t* sound)
{
    findings().clear();
    SystemCopies s;
    if (!readSystem(s))
        return 0;
    CheckResult r = checkCard(s);
    if (sound)
        *sound = r.sound() ? 1 : 0;
    findings() = std::move(r.items);
    if (count)
        *count = uint32_t(findings().size());
    return 1;
}

int32_t repair(int32_t apply, uint32_t* count)
{
    findings().clear();
    SystemCopies s;
    if (!readSystem(s))
        return 0;
    RepairPlan plan = planRepair(s);
    const bool changes = plan.changes();
    findings() = plan.items;
    if (count)
        *count = uint32_t(findings().size());
    if (!plan.possible)
        return fail(MCB_ERROR_DAMAGED);
    if (!apply || !changes)
        return 1;
    adopt(s, plan.directoryCopy, plan.mapCopy);
    for (uint16_t b : plan.freed)
        setMapEntry(*lib().map, b, kMapFreeEntry);
    progress(5);
    return CommitSystemArea(plan.leftAlone) ? 1 : 0;
}

int32_t recoverList(uint32_t* count)
{
    findings().clear();
    SystemCopies s;
    if (!readSystem(s))
        return 0;
    findings() = recoverableItems(findRecoverable(s));
    if (count)
        *count = uint32_t(findings().size());
    return 1;
}

// Where a save a failed recovery was putting back stands now, read from the
// card again: back in a slot of the directory in use, with the chain that
// was written (one MCB_FINDING_SAVE), still to be recovered (its
// MCB_RECOVERABLE), or neither, when the card cannot be read.
Findings whereAfterFailure(const Recoverable& r)
{
    Library& l = lib();
    const int32_t cause = l.lastError;
    Findings out;
    SystemCopies s;
    if (!reloadAfterFailure() || !readSystem(s)) {
        l.loaded = false;
        l.lastError = cause;
        return out;
    }
    const CardChains chains = followChains(*l.directory, *l.map, saveArea());
    for (unsigned slot = 0; slot < kSaveSlotCount && out.empty(); ++slot) {
        const EntryRef e = entryAt(*l.directory, slot);
        if (!e.empty() && std::memcmp(e.p, r.entry.data(), kEntrySize) == 0 &&
            chains.chains[slot].sound() && chains.chains[slot].blocks == r.blocks) {
            out = recoverableItems({r});
            out.front().f.kind = MCB_FINDING_SAVE;
            out.front().f.slot = int32_t(slot);
            out.front().f.detail = 0;
        }
    }
    for (const Recoverable& x : out.empty() ? findRecoverable(s) : std::vector<Recoverable>{})
        if (x.entry == r.entry && x.blocks == r.blocks)
            out = recoverableItems({x});
    l.lastError = cause;
    return out;
}

int32_t recoverSlot(uint32_t slot, uint32_t* placed)
{
    findings().clear();
    if (slot >= kSaveSlotCount)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    SystemCopies s;
    if (!readSystem(s))
        return 0;
    const std::vector<Recoverable> saves = findRecoverable(s);
    const auto r = std::find_if(saves.begin(), saves.end(),
                                [&](const Recoverable& x) { return x.slot == slot; });
    if (r == saves.end())
        return fail(MCB_ERROR_NO_SAVE);
    const CheckResult judged = checkCard(s);
    adopt(s, judged.directoryCopy, judged.mapCopy);
    Library& l = lib();
    const std::vector<unsigned> leftAlone = brokenSaves(*l.directory, *l.map, saveArea());
    int target = entryAt(*l.directory, slot).empty() ? int(slot) : -1;
    for (unsigned c = 0; c < kSaveSlotCount && target < 0; ++c)
        if (entryAt(*l.directory, c).empty())
            target = int(c);
    if (target < 0)
        return fail(MCB_ERROR_NO_SLOT);
    std::memcpy(&(*l.directory)[unsigned(target) * kEntrySize], r->entry.data(), kEntrySize);
    chainInMap(*l.map, r->blocks);
    progress(5);
    if (!CommitRecovery(s.dir[1 - judged.directoryCopy], leftAlone)) {
        findings() = whereAfterFailure(*r);
        return 0;
    }
    findings() = recoverableItems({*r});
    if (placed)
        *placed = uint32_t(target);
    return 1;
}

// What the card holds for the save in slot, whose chain may be broken: its
// entry (counting the blocks found) and those blocks, and where they were
// learnt from.
struct Rescue {
    std::array<uint8_t, kEntrySize> entry{};
    std::vector<uint16_t> blocks;
    int32_t source = MCB_RECOVER_CHAIN;
};

std::optional<Rescue> rescueOf(uint32_t slot)
{
    Library& l = lib();
    if (slot >= kSaveSlotCount) {
        fail(MCB_ERROR_BAD_ARGUMENT);
        return std::nullopt;
    }
    if (!l.cardSized || !loadSystemArea()) {
        fail(l.cardSized ? MCB_ERROR_IO : MCB_ERROR_NOT_LOADED);
        return std::nullopt;
    }
    const EntryRef e = entryAt(*l.directory, slot);
    if (e.empty()) {
        fail(MCB_ERROR_NO_SAVE);
        return std::nullopt;
    }
    const SaveArea area = saveArea();
    const Chain c = followChains(*l.directory, *l.map, area).chains[slot];
    // A chain that reaches the entry's count of distinct blocks before it
    // breaks (it goes on too long, or into another save) gives them in the
    // order the save was written; otherwise the run from the first block is
    // the best guess there is.
    std::vector<uint16_t> blocks;
    int32_t from = MCB_RECOVER_CHAIN;
    if (c.blocks.size() == e.blockCount()) {
        blocks = c.blocks;
    } else {
        from = MCB_RECOVER_RUN;
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
            if (area.contains(b))
                blocks.push_back(uint16_t(b));
    }
    if (blocks.empty()) {
        fail(MCB_ERROR_BROKEN_CHAIN);
        return std::nullopt;
    }
    Rescue r;
    std::memcpy(r.entry.data(), e.p, kEntrySize);
    putBe16(&r.entry[kEntryBlockCount], uint16_t(blocks.size()));
    r.blocks = std::move(blocks);
    r.source = from;
    return r;
}

int32_t downloadDamaged(uint32_t slot, const char* path, int32_t* source)
{
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    const auto r = rescueOf(slot);
    if (!r || !readIntoSaveFile(path, r->entry.data(), r->blocks))
        return 0;
    if (source)
        *source = r->source;
    return 1;
}

int32_t findingAt(uint32_t index, mcb_finding* out)
{
    if (!out || index >= findings().size())
        return fail(MCB_ERROR_BAD_ARGUMENT);
    *out = findings()[index].f;
    return 1;
}

// How many blocks the finding names; out gets as many as fit.
int32_t findingBlocks(uint32_t index, uint16_t* out, std::size_t capacity, int32_t& n)
{
    if (index >= findings().size() || (!out && capacity > 0))
        return fail(MCB_ERROR_BAD_ARGUMENT);
    const std::vector<uint16_t>& blocks = findings()[index].blocks;
    std::copy_n(blocks.begin(), std::min<std::size_t>(capacity, blocks.size()), out);
    n = int32_t(blocks.size());
    return 1;
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t mcb_check_card(uint32_t* count, int32_t* sound)
{
    return guarded(Access::Read, [&] { return check(count, sound); });
}

MCB_API int32_t mcb_repair_card(int32_t apply, uint32_t* count)
{
    return guarded(apply ? Access::Change : Access::Read, [&] { return repair(apply, count); });
}

MCB_API int32_t mcb_recover_list(uint32_t* count)
{
    return guarded(Access::Read, [&] { return recoverList(count); });
}

MCB_API int32_t mcb_recover_slot(uint32_t slot, uint32_t* placed)
{
    return guarded(Access::Change, [&] { return recoverSlot(slot, placed); });
}

MCB_API int32_t mcb_finding_at(uint32_t index, mcb_finding* out)
{
    return guarded([&] { return findingAt(index, out); });
}

MCB_API int32_t mcb_finding_blocks(uint32_t index, uint16_t* out, uint32_t capacity)
{
    int32_t n = 0;
    guarded([&] { return findingBlocks(index, out, capacity, n); });
    return n;
}

MCB_API int32_t mcb_download_damaged(uint32_t slot, const char* path, int32_t* source)
{
    return guarded(Access::Read, [&] { return downloadDamaged(slot, path, source); });
}

MCB_API int mcb_check(mcb_card* card, uint32_t* count, int32_t* sound)
{
    return onCard(card, Access::Read, [&](int&) { return check(count, sound); });
}

MCB_API int mcb_repair(mcb_card* card, int32_t apply, uint32_t* count)
{
    return onCard(card, apply ? Access::Change : Access::Read,
                  [&](int&) { return repair(apply, count); });
}

MCB_API int mcb_recover_find(mcb_card* card, uint32_t* count)
{
    return onCard(card, Access::Read, [&](int&) { return recoverList(count); });
}

MCB_API int mcb_recover(mcb_card* card, uint32_t slot, uint32_t* placed)
{
    return onCard(card, Access::Change, [&](int&) { return recoverSlot(slot, placed); });
}

MCB_API int mcb_card_finding(mcb_card* card, uint32_t index, mcb_finding* out)
{
    return onCard(card, Access::None, [&](int&) { return findingAt(index, out); });
}

MCB_API int mcb_card_finding_blocks(mcb_card* card, uint32_t index, uint16_t* out, size_t capacity)
{
    return onCard(card, Access::None, [&](int& count) {
        int32_t n = 0;
        const int32_t ok = findingBlocks(index, out, capacity, n);
        count = n;
        return ok;
    });
}

MCB_API int mcb_rescue_save(mcb_card* card, uint32_t slot, void* out, size_t capacity,
                            size_t* length, int32_t* source)
{
    return onCard(card, Access::Read, [&](int& size) -> int32_t {
        const auto r = rescueOf(slot);
        if (!r)
            return 0;
        const std::size_t whole = kEntrySize + r->blocks.size() * kBlockSize;
        if (length)
            *length = whole;
        if (!out || capacity < whole)
            return fail(MCB_ERROR_TOO_SMALL);
        std::vector<uint8_t> data;
        if (!readSaveBlocks(r->blocks, data))
            return 0;
        auto* bytes = static_cast<uint8_t*>(out);
        std::memcpy(bytes, r->entry.data(), kEntrySize);
        std::memcpy(bytes + kEntrySize, data.data(), data.size());
        if (source)
            *source = r->source;
        size = int(whole);
        return 1;
    });
}

} // extern "C"
