// Copying single saves between the card and save files, and removing them.
#include "atomic_file.h"
#include "library.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace mcb {

namespace {

// Blocks in use: marked in the map, or claimed by an entry of the directory
// (a card another tool left inconsistent must not lose a save's blocks to a
// new one). The entry in skipSlot does not count.
std::vector<bool> blocksInUse(const Block& dir, const Block& map, const SaveArea& area,
                              int skipSlot)
{
    std::vector<bool> used(kMapBlockLimit, false);
    for (unsigned b = area.first; b < area.end; ++b)
        used[b] = mapEntry(map, b) != kMapFreeEntry;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (int(slot) == skipSlot || e.empty())
            continue;
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
            if (area.contains(b))
                used[b] = true;
    }
    return used;
}

// The lowest run of count free blocks.
std::optional<unsigned> freeRun(const std::vector<bool>& used, const SaveArea& area, unsigned count)
{
    unsigned run = 0;
    for (unsigned b = area.first; b < area.end; ++b) {
        run = used[b] ? 0 : run + 1;
        if (run == count)
            return b - count + 1;
    }
    return std::nullopt;
}

// Frees the map entries of a save's blocks that lie in the save area and
// that no other entry claims.
void freeBlocks(Block& map, const Block& dir, int slot, const SaveArea& area)
{
    const EntryRef e = entryAt(dir, unsigned(slot));
    const std::vector<bool> others = blocksInUse(dir, Block{}, area, slot);
    for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
        if (area.contains(b) && !others[b])
            setMapEntry(map, b, kMapFreeEntry);
}

void chainBlocks(Block& map, unsigned first, unsigned count)
{
    for (unsigned b = first; b < first + count; ++b)
        setMapEntry(map, b, b + 1 == first + count ? kMapLastEntry : uint16_t(b + 1));
}

struct File {
    std::FILE* f = nullptr;
    explicit File(const char* path) : f(path ? std::fopen(path, "rb") : nullptr) {}
    ~File()
    {
        if (f)
            std::fclose(f);
    }
};

// Writes count blocks from the file onto the card at first, each erased
// before its first sector. A last block the file does not fill is padded
// with zeros.
bool writeBlocksFromFile(std::FILE* f, unsigned first, unsigned count)
{
    uint8_t sector[kSectorSize];
    for (unsigned b = first; b < first + count; ++b) {
        if (!EraseBlock(uint16_t(b * kSectorsPerBlock)))
            return false;
        for (unsigned s = 0; s < kSectorsPerBlock; ++s) {
            const std::size_t got = std::fread(sector, 1, kSectorSize, f);
            std::memset(sector + got, 0, kSectorSize - got);
            if (!writeWholeSector(b * kSectorsPerBlock + s, sector))
                return false;
        }
    }
    return true;
}

int32_t upload(const char* path)
{
    Library& l = lib();
    // The buffers must be this card's, read in this connection.
    if (!l.loaded || !l.cardSized)
        return 0;
    File file(path);
    struct stat st {};
    if (!file.f || fstat(fileno(file.f), &st) != 0)
        return 0;
    // The block count comes from the length (less 54, so that a last block
    // short by up to ten bytes still counts); a file without a whole block
    // has no save in it.
    constexpr uint64_t kCountBase = 54;
    if (uint64_t(st.st_size) < kCountBase + kBlockSize)
        return 0;
    const uint64_t blocks = (uint64_t(st.st_size) - kCountBase) / kBlockSize;
    const SaveArea area = saveArea();
    if (blocks > area.end - area.first)
        return 0;
    const unsigned count = unsigned(blocks);

    progress(7);
    step();
    uint8_t entry[kEntrySize];
    if (std::fread(entry, 1, kEntrySize, file.f) != kEntrySize || EntryRef{entry}.empty())
        return 0;

    Block dir = *l.directory;
    Block map = *l.map;
    int replaced = -1;
    for (unsigned s = 0; s < kSaveSlotCount && replaced < 0; ++s)
        if (!entryAt(dir, s).empty() && entryAt(dir, s).sameSave(entry))
            replaced = int(s);
    int slot = replaced;
    for (unsigned s = 0; s < kSaveSlotCount && slot < 0; ++s)
        if (entryAt(dir, s).empty())
            slot = int(s);
    if (slot < 0)
        return 0; // the directory is full

    // A new save goes to the lowest free run. A save that replaces another
    // goes to free blocks too, so that until the commit the card still holds
    // the whole old save; only when nothing else fits may it take the old
    // save's own blocks.
    std::optional<unsigned> start = freeRun(blocksInUse(dir, map, area, -1), area, count);
    if (!start && replaced >= 0) {
        Block without = map;
        freeBlocks(without, dir, replaced, area);
        start = freeRun(blocksInUse(dir, without, area, replaced), area, count);
    }
    if (!start)
        return 0;
    step();

    if (!writeBlocksFromFile(file.f, *start, count)) {
        l.loaded = false; // blocks may be half written: reload before any change
        return 0;
    }

    if (replaced >= 0)
        freeBlocks(map, dir, replaced, area);
    chainBlocks(map, *start, count);
    uint8_t* target = &dir[unsigned(slot) * kEntrySize];
    std::memcpy(target, entry, kEntrySize);
    putBe16(target + kEntryFirstBlock, uint16_t(*start));
    putBe16(target + kEntryBlockCount, uint16_t(count));
    *l.directory = dir;
    *l.map = map;
    return CommitSystemArea() ? 1 : 0;
}

int32_t download(const char* name, const char* code, const char* path)
{
    if (!name || !code || !path || !loadSystemArea())
        return 0;
    const int slot = findSlot(name, code);
    if (slot < 0)
        return 0;
    const Block& dir = *lib().directory;
    const EntryRef e = entryAt(dir, unsigned(slot));
    const SaveArea area = saveArea();
    if (!area.holds(e.firstBlock(), e.blockCount()))
        return 0; // never read outside the save area, whatever the entry says

    AtomicFile out(path);
    if (!out.isOpen() || !out.write(e.p, kEntrySize))
        return 0;
    const unsigned first = e.firstBlock() * kSectorsPerBlock;
    const unsigned end = first + e.blockCount() * kSectorsPerBlock;
    progress(e.blockCount() * kSectorsPerBlock);
    uint8_t sector[kSectorSize];
    for (unsigned s = first; s < end; ++s) {
        step();
        // A save file missing a sector is no copy of the save.
        if (!readWholeSector(s, sector) || !out.write(sector, kSectorSize))
            return 0;
    }
    return out.commit() ? 1 : 0;
}

int32_t remove(const char* name, const char* code)
{
    if (!name || !code || !loadSystemArea())
        return 0;
    const int slot = findSlot(name, code);
    if (slot < 0)
        return 0;
    Library& l = lib();
    freeBlocks(*l.map, *l.directory, slot, saveArea());
    std::memset(&(*l.directory)[unsigned(slot) * kEntrySize], 0xFF, kEntrySize);
    progress(5);
    return CommitSystemArea() ? 1 : 0;
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t DownLoadSaver(const char* name, const char* code, const char* path)
{
    return guarded([&] { return download(name, code, path); });
}

MCB_API int32_t UpLoadSaver(const char* path)
{
    return guarded([&] { return upload(path); });
}

MCB_API int32_t DeleteSaver(const char* name, const char* code)
{
    return guarded([&] { return remove(name, code); });
}

} // extern "C"
