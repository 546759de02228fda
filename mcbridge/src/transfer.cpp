// Copying single saves between the card and save files, and removing them.
// Each works on one directory slot; the name-based exports find the slot
// first and refuse when two saves share the name and code.
#include "library.h"
#include "save_blocks.h"
#include "save_file.h"
#include "write_save.h"

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

int32_t deleteSlot(unsigned slot) { return deleteSave(slot, nullptr); }

// The original exports put a plain save file onto the card through the one
// write call, and leave telling what a failure left on the card to their
// caller.
int32_t putFile(const PlainSave& file, int32_t policy, int slot)
{
    progress(7);
    step();
    WriteRequest request;
    request.policy = policy;
    request.slot = slot;
    request.judge = false;
    WriteOutcome out;
    return writeSave(file, request, out);
}

int32_t upload(const char* path)
{
    Library& l = lib();
    // The buffers must be this card's, read in this connection.
    if (!l.loaded || !l.cardSized)
        return fail(MCB_ERROR_NOT_LOADED);
    const auto file = readSaveFile(path);
    return file ? putFile(*file, MCB_WRITE_REPLACE_NAME, -1) : 0;
}

int32_t replaceSlot(uint32_t slot, const char* path)
{
    const auto file = readSaveFile(path);
    if (!file || !loadSlot(slot))
        return 0;
    if (!entryAt(*lib().directory, slot).sameSave(file->entry.data()))
        return fail(MCB_ERROR_BAD_ARGUMENT);
    return putFile(*file, MCB_WRITE_REPLACE_SLOT, int(slot));
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
    return guarded(Access::Read, [&]() -> int32_t {
        const int slot = loadAndFind(name, code);
        return slot < 0 ? 0 : downloadSlot(unsigned(slot), path);
    });
}

MCB_API int32_t UpLoadSaver(const char* path)
{
    return guarded(Access::Change, [&] { return upload(path); });
}

MCB_API int32_t DeleteSaver(const char* name, const char* code)
{
    return guarded(Access::Change, [&]() -> int32_t {
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
    return guarded(Access::Read, [&] { return loadSlot(slot) ? downloadSlot(slot, path) : 0; });
}

MCB_API int32_t mcb_delete_slot(uint32_t slot)
{
    return guarded(Access::Change, [&] { return loadSlot(slot) ? deleteSlot(slot) : 0; });
}

MCB_API int32_t mcb_replace_slot(uint32_t slot, const char* path)
{
    return guarded(Access::Change, [&] { return replaceSlot(slot, path); });
}

} // extern "C"
