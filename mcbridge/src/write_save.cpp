#include "write_save.h"

#include "library.h"
#include "mcbridge/card_serial.h"
#include "mcbridge/chain.h"
#include "mcbridge/serial_saves.h"
#include "save_blocks.h"

#include <cstring>
#include <optional>

namespace mcb {

namespace {

int32_t refused(WriteOutcome& out, int32_t error)
{
    out.result = MCB_REFUSED;
    out.error = error;
    return fail(error);
}

// Whether a save bound to the card it was made on must be signed for this
// card instead, as a console does when it copies one: without it the game
// refuses the save here. A save that already holds this card's serial goes
// on unchanged (its checksum included), and so does every other save. The
// card's serial comes from the header read when it was opened (the commit
// refuses a card whose header is not that one any more), or from the card
// when that was not read. signedData gets the re-signed blocks when they
// differ.
bool needsSigning(const PlainSave& save, std::vector<uint8_t>& signedData, bool& resigns)
{
    resigns = false;
    const EntryRef entry{save.entry.data()};
    if (serialBoundGame(entry) == SerialBoundGame::None)
        return true;
    const auto held = serialInSave(entry, save.data);
    if (!held)
        return true;
    Library& l = lib();
    if (!l.headerKnown) {
        if (!readWholeSector(0, l.headerOnCard.data()))
            return false;
        l.headerKnown = true;
    }
    const CardSerial card = cardSerial(std::span<const uint8_t, kSectorSize>(l.headerOnCard));
    if (*held != card) {
        signedData = save.data;
        resignSave(entry, signedData, card);
        resigns = true;
    }
    return true;
}

} // namespace

// After a failure the link may be gone (the card pulled, the cable cut):
// the card is read again through the link if it still answers, else through
// a new one. A new link shares the card with other programs as a reader.
bool reloadAfterFailure()
{
    Library& l = lib();
    if (l.device && l.cardSized && loadSystemArea())
        return true;
    if (l.device)
        l.device->close();
    l.device.reset();
    if (openLink(l) != MCB_SUCCESS)
        return false;
    const CallLock reading(l, Access::Read);
    return reading.error() == MCB_SUCCESS && sizeCard() != 0 && loadSystemArea();
}

namespace {

// True when the card gives back exactly data from the blocks.
bool blocksHold(const std::vector<uint16_t>& blocks, const std::vector<uint8_t>& data,
                bool& unreadable)
{
    Block block;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!readBlock(blocks[i], block)) {
            unreadable = true;
            return false;
        }
        if (std::memcmp(block.data(), &data[i * kBlockSize], kBlockSize) != 0)
            return false;
    }
    return true;
}

// The entry as written to the card: the first block is the card's choice.
bool sameEntryBesidesPlace(const uint8_t* onCard, const std::array<uint8_t, kEntrySize>& written)
{
    return std::memcmp(onCard, written.data(), kEntryFirstBlock) == 0 &&
           std::memcmp(onCard + kEntryBlockCount, written.data() + kEntryBlockCount,
                       kEntrySize - kEntryBlockCount) == 0;
}

// What the card holds now for the save of written's name and code (in slot
// only, when onlySlot is 0 or more), read back from the card: the new save
// (the bytes that were written, re-signed when they were), the old one (its
// entry and chain untouched; the library never writes to a save's blocks),
// none, or another.
struct Before {
    std::optional<std::array<uint8_t, kEntrySize>> entry;
    std::vector<uint16_t> chain;
};

int32_t judgeHolds(const std::array<uint8_t, kEntrySize>& written, const std::vector<uint8_t>& data,
                   const Before& before, int onlySlot)
{
    if (!reloadAfterFailure())
        return MCB_HOLDS_UNKNOWN;
    Library& l = lib();
    const CardChains chains = followChains(*l.directory, *l.map, saveArea());
    bool found = false, isNew = false, isOld = false, unreadable = false;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(*l.directory, slot);
        if ((onlySlot >= 0 && slot != unsigned(onlySlot)) || e.empty() ||
            !e.sameSave(written.data()))
            continue;
        found = true;
        const Chain& c = chains.chains[slot];
        if (!c.sound())
            continue;
        if (before.entry && std::memcmp(e.p, before.entry->data(), kEntrySize) == 0 &&
            c.blocks == before.chain)
            isOld = true;
        else if (sameEntryBesidesPlace(e.p, written) && !data.empty())
            isNew |= blocksHold(c.blocks, data, unreadable);
    }
    if (isNew)
        return MCB_HOLDS_NEW;
    if (isOld)
        return MCB_HOLDS_OLD;
    if (unreadable)
        return MCB_HOLDS_UNKNOWN;
    return found ? MCB_HOLDS_OTHER : MCB_HOLDS_NONE;
}

int32_t failed(WriteOutcome& out, const WriteRequest& request,
               const std::array<uint8_t, kEntrySize>& written, const std::vector<uint8_t>& data,
               const Before& before, int onlySlot)
{
    Library& l = lib();
    l.loaded = false; // the card may not be as the buffers say: reload first
    out.result = MCB_FAILED;
    out.error = l.lastError == MCB_SUCCESS ? MCB_ERROR_FAILED : l.lastError;
    if (request.judge)
        out.holds = judgeHolds(written, data, before, onlySlot);
    return 0;
}

// The blocks for a save of count blocks, or nothing. Blocks the other map
// copy still marks used are the last choice: they may hold the save the
// last change deleted, which can be recovered while they are untouched.
std::optional<std::vector<uint16_t>> placeFor(unsigned count, std::vector<bool>& used)
{
    Library& l = lib();
    const SaveArea area = saveArea();
    if (l.mapOtherIntact) {
        std::vector<bool> strict = used;
        keepOtherMapsBlocks(strict, l.mapOther, area);
        if (auto blocks = chooseBlocks(strict, area, count))
            return blocks;
    }
    return chooseBlocks(used, area, count);
}

int32_t commitDelete(unsigned slot, const std::vector<uint16_t>& blocks)
{
    Library& l = lib();
    for (uint16_t b : blocks)
        setMapEntry(*l.map, b, kMapFreeEntry);
    std::memset(&(*l.directory)[slot * kEntrySize], 0xFF, kEntrySize);
    progress(5);
    return CommitSystemArea() ? 1 : 0;
}

} // namespace

int32_t writeSave(const PlainSave& save, const WriteRequest& request, WriteOutcome& out)
{
    Library& l = lib();
    out = WriteOutcome{};
    out.needed = save.blocks;
    if (!l.loaded || !l.cardSized)
        return refused(out, MCB_ERROR_NOT_LOADED);

    // The saves of this name and code, and which one the policy replaces.
    std::vector<int> same;
    for (unsigned s = 0; s < kSaveSlotCount; ++s) {
        const EntryRef e = entryAt(*l.directory, s);
        if (!e.empty() && e.sameSave(save.entry.data()))
            same.push_back(int(s));
    }
    int replaced = -1;
    switch (request.policy) {
    case MCB_WRITE_NEW:
        if (!same.empty()) {
            out.slot = same[0];
            out.otherSlot = same.size() > 1 ? same[1] : -1;
            return refused(out, MCB_ERROR_EXISTS);
        }
        break;
    case MCB_WRITE_REPLACE_NAME:
        // Which of two saves of this name and code the file would replace
        // cannot be told, so neither is.
        if (same.size() > 1) {
            out.slot = same[0];
            out.otherSlot = same[1];
            return refused(out, MCB_ERROR_AMBIGUOUS);
        }
        replaced = same.empty() ? -1 : same[0];
        break;
    case MCB_WRITE_REPLACE_SLOT:
        if (request.slot < 0 || unsigned(request.slot) >= kSaveSlotCount)
            return refused(out, MCB_ERROR_BAD_ARGUMENT);
        if (entryAt(*l.directory, unsigned(request.slot)).empty())
            return refused(out, MCB_ERROR_NO_SAVE);
        if (!entryAt(*l.directory, unsigned(request.slot)).sameSave(save.entry.data()))
            return refused(out, MCB_ERROR_BAD_ARGUMENT);
        replaced = request.slot;
        break;
    default: return refused(out, MCB_ERROR_BAD_ARGUMENT);
    }
    out.slot = replaced;

    const SaveArea area = saveArea();
    CardChains chains = followChains(*l.directory, *l.map, area);
    Before before;
    if (replaced >= 0) {
        const Chain& old = chains.chains[unsigned(replaced)];
        if (!old.sound())
            return refused(out, MCB_ERROR_BROKEN_CHAIN);
        before.entry.emplace();
        std::memcpy(before.entry->data(), entryAt(*l.directory, unsigned(replaced)).p, kEntrySize);
        before.chain = old.blocks;
        out.replaced = unsigned(old.blocks.size());
    }
    int slot = replaced;
    for (unsigned s = 0; s < kSaveSlotCount && slot < 0; ++s)
        if (entryAt(*l.directory, s).empty())
            slot = int(s);
    if (slot < 0)
        return refused(out, MCB_ERROR_NO_SLOT);

    // The copy of the map the card does not use may know of blocks the
    // current one lost; the load read it already.
    std::vector<bool> used =
        blocksInUse(*l.directory, chains, *l.map, l.mapOtherIntact ? &l.mapOther : nullptr, area);
    out.free = freeCount(used, area);
    auto blocks = placeFor(save.blocks, used);
    std::array<uint8_t, kEntrySize> written = save.entry;
    putBe16(&written[kEntryBlockCount], uint16_t(save.blocks));
    const int onlySlot = request.policy == MCB_WRITE_REPLACE_SLOT ? request.slot : -1;
    if (!blocks && request.deleteFirst && replaced >= 0 && out.free + out.replaced >= save.blocks) {
        // The caller has kept the old save: it goes first, and the new one
        // takes its place as a new save.
        if (!commitDelete(unsigned(replaced), before.chain))
            return failed(out, request, written, {}, before, onlySlot);
        out.deletedFirst = true;
        before = Before{};
        chains = followChains(*l.directory, *l.map, area);
        used = blocksInUse(*l.directory, chains, *l.map, l.mapOtherIntact ? &l.mapOther : nullptr,
                           area);
        blocks = placeFor(save.blocks, used);
        if (!blocks)
            return failed(out, request, written, {}, before, onlySlot);
    }
    if (!blocks) {
        l.spaceNeeded = save.blocks;
        l.spaceFree = out.free;
        return refused(out, MCB_ERROR_NO_ROOM);
    }

    std::vector<uint8_t> signedData;
    bool resigns = false;
    if (!needsSigning(save, signedData, resigns))
        return failed(out, request, written, save.data, before, onlySlot);
    if (resigns && request.noResign)
        return refused(out, MCB_ERROR_OTHER_CARD);
    out.resigned = resigns;
    const std::vector<uint8_t>& data = resigns ? signedData : save.data;
    step();
    putBe16(&written[kEntryFirstBlock], blocks->front());
    if (!writeAndVerify(*blocks, data))
        return failed(out, request, written, data, before, onlySlot);

    Block& dir = *l.directory;
    Block& map = *l.map;
    for (uint16_t b : before.chain)
        setMapEntry(map, b, kMapFreeEntry);
    chainInMap(map, *blocks);
    std::memcpy(&dir[unsigned(slot) * kEntrySize], written.data(), kEntrySize);
    if (!CommitSystemArea())
        return failed(out, request, written, data, before, onlySlot);
    out.result = MCB_WRITTEN;
    out.slot = slot;
    out.holds = MCB_HOLDS_NEW;
    return 1;
}

int32_t deleteSave(unsigned slot, WriteOutcome* out)
{
    Library& l = lib();
    WriteOutcome ignored;
    WriteOutcome& o = out ? *out : ignored;
    o = WriteOutcome{};
    o.slot = int(slot);
    if (slot >= kSaveSlotCount || !l.loaded)
        return refused(o, slot >= kSaveSlotCount ? MCB_ERROR_BAD_ARGUMENT : MCB_ERROR_NOT_LOADED);
    if (entryAt(*l.directory, slot).empty())
        return refused(o, MCB_ERROR_NO_SAVE);
    const auto blocks = soundBlocksOf(*l.directory, *l.map, slot);
    if (!blocks)
        return refused(o, MCB_ERROR_BROKEN_CHAIN);
    Before before;
    before.entry.emplace();
    std::memcpy(before.entry->data(), entryAt(*l.directory, slot).p, kEntrySize);
    before.chain = *blocks;
    o.replaced = unsigned(blocks->size());
    if (commitDelete(slot, *blocks)) {
        o.result = MCB_WRITTEN;
        o.holds = MCB_HOLDS_NONE;
        return 1;
    }
    WriteRequest request;
    request.judge = out != nullptr;
    return failed(o, request, *before.entry, {}, before, int(slot));
}

} // namespace mcb
