// Copying single saves between the card and save files, and removing them.
// Each works on one directory slot; the name-based exports find the slot
// first and refuse when two saves share the name and code.
#include "library.h"
#include "mcbridge/card_serial.h"
#include "mcbridge/serial_saves.h"
#include "save_blocks.h"
#include "save_file.h"

#include <cstring>

namespace mcb {

namespace {

bool refuse(int32_t error)
{
    fail(error);
    return false;
}

// Loads the card's directory and map; the save area must be known.
bool load()
{
    if (!lib().cardSized)
        return refuse(MCB_ERROR_NOT_LOADED);
    return loadSystemArea() || refuse(MCB_ERROR_IO);
}

// Loads the directory and checks that slot holds a save.
bool loadSlot(uint32_t slot)
{
    if (slot >= kSaveSlotCount)
        return refuse(MCB_ERROR_BAD_ARGUMENT);
    if (!load())
        return false;
    return !entryAt(*lib().directory, slot).empty() || refuse(MCB_ERROR_NO_SAVE);
}

int32_t downloadSlot(unsigned slot, const char* path)
{
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    const Block& dir = *lib().directory;
    // Checked before the file is created: a broken save yields no file.
    const auto blocks = soundBlocksOf(dir, *lib().map, slot);
    if (!blocks)
        return 0;
    return readIntoSaveFile(path, entryAt(dir, slot).p, *blocks) ? 1 : 0;
}

int32_t deleteSlot(unsigned slot)
{
    Library& l = lib();
    const auto blocks = soundBlocksOf(*l.directory, *l.map, slot);
    if (!blocks)
        return 0;
    for (uint16_t b : *blocks)
        setMapEntry(*l.map, b, kMapFreeEntry);
    std::memset(&(*l.directory)[slot * kEntrySize], 0xFF, kEntrySize);
    progress(5);
    return CommitSystemArea() ? 1 : 0;
}

// A save bound to the card it was made on, signed for this card instead, as
// a console does when it copies one: without it the game refuses the save
// here. A save that already holds this card's serial goes on unchanged (its
// checksum included), and so does every other save. The card's header is
// read only for the saves that need it.
bool signForCard(const SaveFile& file, std::vector<uint8_t>& data)
{
    const EntryRef entry{file.entry.data()};
    if (serialBoundGame(entry) == SerialBoundGame::None)
        return true;
    const auto held = serialInSave(entry, file.data);
    if (!held)
        return true;
    uint8_t header[kSectorSize];
    if (!readWholeSector(0, header))
        return false;
    const CardSerial card = cardSerial(std::span<const uint8_t, kSectorSize>(header));
    if (*held != card) {
        data = file.data;
        resignSave(entry, data, card);
    }
    return true;
}

// Puts a save onto the card, as a new save (replaced < 0) or in place of the
// save in slot replaced. The new blocks are always free ones, never the old
// save's: until the commit, the card still holds the old save whole.
int32_t putSave(const SaveFile& file, int replaced)
{
    Library& l = lib();
    const SaveArea area = saveArea();
    Block dir = *l.directory;
    Block map = *l.map;
    const CardChains chains = followChains(dir, map, area);
    if (replaced >= 0 && !chains.chains[unsigned(replaced)].sound())
        return fail(MCB_ERROR_BROKEN_CHAIN);
    int slot = replaced;
    for (unsigned s = 0; s < kSaveSlotCount && slot < 0; ++s)
        if (entryAt(dir, s).empty())
            slot = int(s);
    if (slot < 0)
        return fail(MCB_ERROR_NO_SLOT);

    // The copy of the map the card does not use may know of blocks the
    // current one lost; while its checksum holds, its used blocks are kept.
    // The load read it already.
    const std::vector<bool> used =
        blocksInUse(dir, chains, map, l.mapOtherIntact ? &l.mapOther : nullptr, area);
    const auto blocks = chooseBlocks(used, area, file.blocks);
    if (!blocks) {
        l.spaceNeeded = file.blocks;
        l.spaceFree = freeCount(used, area);
        return fail(MCB_ERROR_NO_ROOM);
    }
    std::vector<uint8_t> signedData;
    if (!signForCard(file, signedData))
        return 0;
    step();
    if (!writeAndVerify(*blocks, signedData.empty() ? file.data : signedData)) {
        l.loaded = false; // the card may not be as the buffers say: reload first
        return 0;
    }

    if (replaced >= 0)
        for (uint16_t b : chains.chains[unsigned(replaced)].blocks)
            setMapEntry(map, b, kMapFreeEntry);
    chainInMap(map, *blocks);
    uint8_t* target = &dir[unsigned(slot) * kEntrySize];
    std::memcpy(target, file.entry.data(), kEntrySize);
    putBe16(target + kEntryFirstBlock, blocks->front());
    putBe16(target + kEntryBlockCount, uint16_t(file.blocks));
    *l.directory = dir;
    *l.map = map;
    return CommitSystemArea() ? 1 : 0;
}

int32_t upload(const char* path)
{
    Library& l = lib();
    // The buffers must be this card's, read in this connection.
    if (!l.loaded || !l.cardSized)
        return fail(MCB_ERROR_NOT_LOADED);
    const auto file = readSaveFile(path);
    if (!file)
        return 0;
    progress(7);
    step();
    int replaced = -1;
    for (unsigned s = 0; s < kSaveSlotCount; ++s) {
        const EntryRef e = entryAt(*l.directory, s);
        if (e.empty() || !e.sameSave(file->entry.data()))
            continue;
        if (replaced >= 0)
            return fail(MCB_ERROR_AMBIGUOUS);
        replaced = int(s);
    }
    return putSave(*file, replaced);
}

int32_t replaceSlot(uint32_t slot, const char* path)
{
    const auto file = readSaveFile(path);
    if (!file || !loadSlot(slot))
        return 0;
    if (!entryAt(*lib().directory, slot).sameSave(file->entry.data()))
        return fail(MCB_ERROR_BAD_ARGUMENT);
    progress(7);
    step();
    return putSave(*file, int(slot));
}

// The slot of the save (name, code) in a freshly loaded directory.
int loadAndFind(const char* name, const char* code)
{
    if (!name || !code)
        return refuse(MCB_ERROR_BAD_ARGUMENT), -1;
    return load() ? findSlot(name, code) : -1;
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t DownLoadSaver(const char* name, const char* code, const char* path)
{
    return guarded([&]() -> int32_t {
        const int slot = loadAndFind(name, code);
        return slot < 0 ? 0 : downloadSlot(unsigned(slot), path);
    });
}

MCB_API int32_t UpLoadSaver(const char* path)
{
    return guarded([&] { return upload(path); });
}

MCB_API int32_t DeleteSaver(const char* name, const char* code)
{
    return guarded([&]() -> int32_t {
        const int slot = loadAndFind(name, code);
        return slot < 0 ? 0 : deleteSlot(unsigned(slot));
    });
}

MCB_API int32_t mcb_find_slot(const char* name, const char* code)
{
    int32_t slot = -1;
    guarded([&]() -> int32_t {
        if (!name || !code)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        if (!lib().loaded)
            return fail(MCB_ERROR_NOT_LOADED);
        slot = findSlot(name, code);
        return slot < 0 ? 0 : 1;
    });
    return slot;
}

MCB_API int32_t mcb_download_slot(uint32_t slot, const char* path)
{
    return guarded([&] { return loadSlot(slot) ? downloadSlot(slot, path) : 0; });
}

MCB_API int32_t mcb_delete_slot(uint32_t slot)
{
    return guarded([&] { return loadSlot(slot) ? deleteSlot(slot) : 0; });
}

MCB_API int32_t mcb_replace_slot(uint32_t slot, const char* path)
{
    return guarded([&] { return replaceSlot(slot, path); });
}

} // extern "C"
