// Loading the card's directory and allocation map, answering questions about
// them, and writing them back so that a cut at any moment leaves a card the
// console still reads.
#include "journal.h"
#include "library.h"
#include "mcbridge/chain.h"
#include "save_file.h"

#include <cstring>

namespace mcb {

namespace {

// The sectors that hold each copy's counter (and its checksum): the last of
// a directory block, the first of a map block.
constexpr unsigned kDirCounterSectors[2] = {kDirectoryBlock[0] * kSectorsPerBlock + 15,
                                            kDirectoryBlock[1] * kSectorsPerBlock + 15};
constexpr unsigned kMapCounterSectors[2] = {kMapBlock[0] * kSectorsPerBlock,
                                            kMapBlock[1] * kSectorsPerBlock};

struct Loaded {
    Block block;
    int copy = 0;
    Block other;                        // the copy not in use, when it was read
    bool otherRead = false;             // other holds what the card has there
    bool otherIntact = false;           // and its checksum holds
    uint8_t counters[2][kSectorSize]{}; // the counter sectors, as read
};

// Reads the copy the counters prefer; when its checksum fails, the other.
// The counters come from the sectors that hold them (counterSector[copy]).
// With readOther, the copy not in use is read as well.
template <typename Intact>
bool loadCurrentCopy(const unsigned blocks[2], const unsigned counterSector[2],
                     std::size_t counterOffset, Intact intact, Loaded& out, bool stepBetween,
                     bool readOther)
{
    uint8_t(&s)[2][kSectorSize] = out.counters;
    for (int c = 0; c < 2; ++c)
        if (!readWholeSector(counterSector[c], s[c]))
            return false;
    if (stepBetween)
        step();
    const int preferred = currentCopy(getBe16(&s[0][counterOffset]), getBe16(&s[1][counterOffset]));
    if (!readBlock(blocks[preferred], out.block))
        return false;
    if (intact(out.block)) {
        out.copy = preferred;
        if (readOther) {
            if (!readBlock(blocks[1 - preferred], out.other))
                return false;
            out.otherRead = true;
            out.otherIntact = intact(out.other);
        }
        return true;
    }
    out.other = out.block;
    out.otherRead = true;
    out.otherIntact = false;
    if (!readBlock(blocks[1 - preferred], out.block))
        return false;
    out.copy = 1 - preferred;
    return intact(out.block);
}

bool writeBlockTo(unsigned block, const Block& data, bool headerFirstSector)
{
    const unsigned first = block * kSectorsPerBlock;
    if (!stillTheCard(lib().headerOnCard.data()) || !EraseBlock(uint16_t(first)))
        return false;
    // The map keeps its checksum in its first sector: write that sector last,
    // so that a copy cut short never passes for a whole one.
    for (unsigned i = 0; i < kSectorsPerBlock; ++i) {
        const unsigned s = headerFirstSector ? (i + 1) % kSectorsPerBlock : i;
        if (!stillTheCard(lib().headerOnCard.data()) ||
            !writeWholeSector(first + s, &data[s * kSectorSize]))
            return false;
    }
    return true;
}

bool writeMap(int copy, const Block& map) { return writeBlockTo(kMapBlock[copy], map, true); }
bool writeDirectory(int copy, const Block& dir)
{
    return writeBlockTo(kDirectoryBlock[copy], dir, false);
}

// The free count a map states is the number of its free entries.
bool freeCountHolds(const Block& map, const SaveArea& area)
{
    unsigned free = 0;
    for (unsigned b = area.first; b < area.end; ++b)
        free += mapEntry(map, b) == kMapFreeEntry;
    return getBe16(&map[kMapFree]) == free;
}

// A directory and a map the console would accept together: every save's
// chain sound and no block shared, and a free count that says what the
// entries do. The saves left alone (broken already, and carried over as
// they are by a repair) are not looked at.
bool agree(const Block& dir, const Block& map, const SaveArea& area,
           const std::vector<unsigned>& leftAlone = {})
{
    Block checked = dir;
    for (unsigned slot : leftAlone)
        std::memset(&checked[slot * kEntrySize], 0xFF, kEntrySize);
    return followChains(checked, map, area).agree() && freeCountHolds(map, area);
}

// Brings the copies that a cut left broken back to the content of the
// intact ones, before the commit overwrites anything: a commit then always
// starts from four whole copies, and a second cut cannot leave two bad ones.
// Only a copy that is bad already is written, so a cut here costs nothing.
bool repairBrokenCopies()
{
    Library& l = lib();
    if (!l.mapOtherIntact) {
        if (!writeMap(1 - l.mapCopy, l.mapOnCard))
            return false;
        l.mapOther = l.mapOnCard;
        l.mapOtherIntact = true;
    }
    if (!l.directoryOtherIntact) {
        if (!writeDirectory(1 - l.directoryCopy, l.directoryOnCard))
            return false;
        l.directoryOtherIntact = true;
    }
    return true;
}

// A commit that carries broken saves over (a repair, a recovery) must leave
// their entries and every map link their chains reach exactly as the card
// holds them.
bool leftAloneUnchanged(const std::vector<unsigned>& leftAlone)
{
    const Library& l = lib();
    if (leftAlone.empty())
        return true;
    const SaveArea area = saveArea();
    const CardChains before = followChains(l.directoryOnCard, l.mapOnCard, area);
    for (unsigned slot : leftAlone) {
        if (slot >= kSaveSlotCount ||
            std::memcmp(&l.directoryOnCard[slot * kEntrySize], &(*l.directory)[slot * kEntrySize],
                        kEntrySize) != 0)
            return false;
        const EntryRef e = entryAt(l.directoryOnCard, slot);
        for (uint16_t b : before.chains[slot].blocks)
            if (mapEntry(l.mapOnCard, b) != mapEntry(*l.map, b))
                return false;
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
            if (area.contains(b) && mapEntry(l.mapOnCard, b) != mapEntry(*l.map, b))
                return false;
    }
    return true;
}

} // namespace

bool stillTheCard(const uint8_t* header)
{
    Library& l = lib();
    if (!l.device->sameMedium())
        return fail(MCB_ERROR_CHANGED);
    if (!l.headerKnown)
        return true;
    uint8_t now[kSectorSize];
    if (!readWholeSector(0, now))
        return false;
    return std::memcmp(now, header, kSectorSize) == 0 || fail(MCB_ERROR_CHANGED);
}

void noteSwap()
{
    Library& l = lib();
    if (!l.device || !l.headerKnown || l.lastError == MCB_ERROR_CHANGED)
        return;
    uint8_t now[kSectorSize];
    if (!l.device->sameMedium() ||
        (readWholeSector(0, now) && std::memcmp(now, l.headerOnCard.data(), kSectorSize) != 0)) {
        l.loaded = false;
        l.lastError = MCB_ERROR_CHANGED;
    }
}

bool loadSystemArea()
{
    Library& l = lib();
    l.loaded = false;
    if (!l.device || !l.directory || !l.map)
        return fail(MCB_ERROR_NOT_OPEN);

    progress(3);
    Loaded dir;
    if (!loadCurrentCopy(kDirectoryBlock, kDirCounterSectors, kDirCounter % kSectorSize,
                         directoryIntact, dir, true, false))
        return fail(MCB_ERROR_DAMAGED);
    step();

    Loaded map;
    if (!loadCurrentCopy(kMapBlock, kMapCounterSectors, kMapCounter, mapIntact, map, false, true))
        return fail(MCB_ERROR_DAMAGED);
    step();

    *l.directory = dir.block;
    *l.map = map.block;
    l.directoryOnCard = dir.block;
    l.mapOnCard = map.block;
    l.mapSeen = map.block;
    l.directoryCopy = dir.copy;
    l.mapCopy = map.copy;
    l.mapOther = map.other;
    l.mapOtherIntact = map.otherIntact;
    l.directoryOtherKnown = dir.otherRead;
    l.directoryOtherIntact = dir.otherIntact;
    for (int c = 0; c < 2; ++c) {
        std::memcpy(l.countersSeen[c].data(), dir.counters[c], kSectorSize);
        std::memcpy(l.countersSeen[2 + c].data(), map.counters[c], kSectorSize);
    }
    l.countersKnown = true;
    l.loaded = true;
    return true;
}

bool systemAreaAsLoaded(const uint8_t* header)
{
    const Library& l = lib();
    if (!l.device || !l.loaded || !l.countersKnown || !l.headerKnown || !l.device->sameMedium() ||
        std::memcmp(header, l.headerOnCard.data(), kSectorSize) != 0 ||
        *l.directory != l.directoryOnCard || *l.map != l.mapOnCard)
        return false;
    const unsigned sectors[4] = {kDirCounterSectors[0], kDirCounterSectors[1],
                                 kMapCounterSectors[0], kMapCounterSectors[1]};
    uint8_t now[kSectorSize];
    for (int i = 0; i < 4; ++i)
        if (!readWholeSector(sectors[i], now) ||
            std::memcmp(now, l.countersSeen[i].data(), kSectorSize) != 0)
            return false;
    return true;
}

int findSlot(const char* name, const char* code)
{
    const Block& dir = *lib().directory;
    int found = -1;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty() || !e.sameName(name) || !e.sameCode(code))
            continue;
        // A console's copy can leave two saves of one name and code; acting
        // on the first would touch a save the user did not mean.
        if (found >= 0) {
            fail(MCB_ERROR_AMBIGUOUS);
            return -1;
        }
        found = int(slot);
    }
    if (found < 0)
        fail(MCB_ERROR_NO_SAVE);
    return found;
}

bool CommitSystemArea() { return CommitSystemArea({}); }

namespace {

// What a change does to the map, against the map the card holds: the
// blocks it frees, and the blocks it takes or links anew.
struct MapChange {
    bool frees = false;
    bool takes = false;
    Block interim{}; // the new map with every freed block still as the card has it
};

MapChange mapChange(const Block& onCard, const Block& map, const SaveArea& area)
{
    MapChange c;
    c.interim = map;
    for (unsigned b = area.first; b < area.end; ++b) {
        const uint16_t was = mapEntry(onCard, b);
        const uint16_t now = mapEntry(map, b);
        if (now == was)
            continue;
        if (now == kMapFreeEntry) {
            setMapEntry(c.interim, b, was);
            c.frees = true;
        } else {
            // A used block linked elsewhere leaves the old chain through it
            // as broken as freeing it would.
            c.takes = true;
            c.frees |= was != kMapFreeEntry;
        }
    }
    return c;
}

// The card in the adapter is still the one the buffers were read from: the
// same header, and the current directory and map as they were read or
// last written. Another card put in, or an image replaced or rewritten by
// another program, fails with MCB_ERROR_CHANGED before anything is written.
bool sameCardAsRead()
{
    Library& l = lib();
    if (!l.device->sameMedium())
        return fail(MCB_ERROR_CHANGED);
    if (l.headerKnown) {
        uint8_t header[kSectorSize];
        if (!readWholeSector(0, header))
            return false;
        if (std::memcmp(header, l.headerOnCard.data(), kSectorSize) != 0)
            return fail(MCB_ERROR_CHANGED);
    }
    Block now;
    if (!readBlock(kDirectoryBlock[l.directoryCopy], now))
        return false;
    if (now != l.directoryOnCard)
        return fail(MCB_ERROR_CHANGED);
    if (!readBlock(kMapBlock[l.mapCopy], now))
        return false;
    return now == l.mapSeen || fail(MCB_ERROR_CHANGED);
}

} // namespace

bool CommitSystemArea(const std::vector<unsigned>& leftAlone)
{
    Library& l = lib();
    if (!l.loaded || !l.cardSized || !l.device) {
        l.loaded = false;
        return fail(MCB_ERROR_NOT_LOADED);
    }
    Block& dir = *l.directory;
    Block& map = *l.map;
    const SaveArea area = saveArea();

    // A change that only frees blocks writes its directory first, one that
    // only takes blocks its map first, so that a cut between the two leaves
    // at worst blocks no save owns, never a save whose blocks are free. A
    // change that does both goes through an interim map that keeps the
    // freed blocks as they were until no directory copy points at them.
    MapChange change = mapChange(l.mapOnCard, map, area);
    const bool mixed = change.frees && change.takes;
    refreshMapHeader(change.interim, l.userBlockCount); // counter + 1
    if (mixed)
        putBe16(&map[kMapCounter], mapCounter(change.interim));
    refreshMapHeader(map, l.userBlockCount); // counter + 1, or + 2 after an interim map

    putBe16(&dir[kDirCounter], uint16_t(directoryCounter(dir) + 1));
    sealDirectory(dir);

    // A directory and map that disagree would be a card the console rejects:
    // nothing is written, whatever the change was, and neither is anything
    // that a cut between two writes would leave disagreeing. The same goes
    // for a copy in use that disagrees when a broken copy would be repaired
    // from it.
    const bool between = mixed ? agree(l.directoryOnCard, change.interim, area, leftAlone) &&
                                     agree(dir, change.interim, area, leftAlone)
                         : change.frees ? agree(dir, l.mapOnCard, area, leftAlone)
                                        : agree(l.directoryOnCard, map, area, leftAlone);
    if (!leftAloneUnchanged(leftAlone) || !agree(dir, map, area, leftAlone) || !between) {
        l.loaded = false;
        return fail(MCB_ERROR_DAMAGED);
    }
    // The intactness of the other directory copy comes from the card before
    // anything is written, so that a failed read changes nothing.
    if (!l.directoryOtherKnown) {
        Block other;
        if (!readBlock(kDirectoryBlock[1 - l.directoryCopy], other)) {
            l.loaded = false;
            return false;
        }
        l.directoryOtherIntact = directoryIntact(other);
        l.directoryOtherKnown = true;
    }
    const bool repairs = !l.mapOtherIntact || !l.directoryOtherIntact;
    if (repairs && !agree(l.directoryOnCard, l.mapOnCard, area, leftAlone)) {
        l.loaded = false;
        return fail(MCB_ERROR_DAMAGED);
    }
    if (!sameCardAsRead()) {
        l.loaded = false;
        return false;
    }
    // The journal keeps the blocks of saves this commit frees (journal.h).
    if (!journalBeforeCommit(map)) {
        l.loaded = false;
        return false;
    }

    // The copies the card does not use now are written: until a new copy is
    // whole, the old one still holds. The copies in use are left as they
    // were, as a console leaves them: they still describe the card before
    // this change, so a save it deleted can be found again, chain and all.
    const int spareMap = 1 - l.mapCopy;
    const int spareDir = 1 - l.directoryCopy;
    // Only where the directory counters pass 0x7FFF, which a console
    // compares as signed numbers and so takes the older copy for the newer,
    // is the copy in use brought up to date as well.
    const bool bothDirectories = directoryCounter(dir) == 0x8000;
    const auto writeDirectories = [&] {
        if (!writeDirectory(spareDir, dir))
            return false;
        step();
        return !bothDirectories || writeDirectory(l.directoryCopy, dir);
    };
    l.loaded = false; // until every write has gone through
    if (repairs && !repairBrokenCopies())
        return false;
    step();
    if (change.frees && !mixed) {
        if (!writeDirectories())
            return false;
        step();
        if (!writeMap(spareMap, map))
            return false;
    } else {
        if (!writeMap(spareMap, mixed ? change.interim : map))
            return false;
        step();
        if (!writeDirectories())
            return false;
        // The interim map is current now; the final one goes over the copy
        // that was in use, which no directory copy needs any more.
        if (mixed && !writeMap(l.mapCopy, map))
            return false;
    }
    step();
    // A map copy in use whose free count was wrong (a repair corrects it)
    // would be left behind as a damaged copy: it gets the new map too.
    const bool refreshOld = !mixed && !freeCountHolds(l.mapSeen, area);
    if (refreshOld && !writeMap(l.mapCopy, map))
        return false;
    step();

    // The map copy not in use now: the one that was in use (as the card
    // holds it), or the interim map.
    l.directoryCopy = bothDirectories ? 1 : spareDir;
    if (refreshOld) {
        l.mapOther = map;
        l.mapCopy = 1; // equal counters: the second copy is current
    } else if (!mixed) {
        l.mapOther = l.mapSeen;
        l.mapCopy = spareMap;
    } else {
        l.mapOther = change.interim;
    }
    l.directoryOnCard = dir;
    l.mapOnCard = map;
    l.mapSeen = map;
    l.mapOtherIntact = mapIntact(l.mapOther) && freeCountHolds(l.mapOther, area);
    l.directoryOtherKnown = true;
    l.directoryOtherIntact = true;
    l.countersKnown = false;
    l.loaded = true;
    return true;
}

namespace {

bool sameSlots(const Block& a, const Block& b)
{
    return std::memcmp(a.data(), b.data(), std::size_t(kSaveSlotCount) * kEntrySize) == 0;
}

bool sameLinks(const Block& a, const Block& b, const SaveArea& area)
{
    for (unsigned block = area.first; block < area.end; ++block)
        if (mapEntry(a, block) != mapEntry(b, block))
            return false;
    return true;
}

} // namespace

bool CommitRecovery(const Block& spareDirectory, const std::vector<unsigned>& leftAlone)
{
    Library& l = lib();
    if (!l.loaded || !l.cardSized || !l.device) {
        l.loaded = false;
        return fail(MCB_ERROR_NOT_LOADED);
    }
    Block& dir = *l.directory;
    Block& map = *l.map;
    const SaveArea area = saveArea();
    // The copies not in use hold the card as it was before the change that
    // deleted the save, and that is the card the recovery makes: the save's
    // entry in one, its chain in the other. Written over, either would take
    // the only record of the save with it if the write were cut; so the
    // copies in use are written instead, the map first. Cut during the map,
    // the card reads as the old map and the directory without the save (its
    // blocks marked used by no save, its chain still in both map copies, so
    // it can still be recovered); cut during the directory, the card reads
    // as the old directory, which holds the save, and the new map: the save
    // is back. Only when the spare copies say exactly that is this order
    // taken; otherwise the commit every change makes. A spare map a cut
    // left broken is first made whole again from the one in use, which then
    // holds the chain (a recovery cut during its map leaves that card).
    const Block& spareMap = l.mapOtherIntact ? l.mapOther : l.mapOnCard;
    const bool fromSpares = l.directoryOtherIntact && directoryIntact(spareDirectory) &&
                            sameSlots(spareDirectory, dir) && sameLinks(spareMap, map, area) &&
                            directoryCounter(dir) + 1u < 0x8000u;
    if (!fromSpares)
        return CommitSystemArea(leftAlone);
    refreshMapHeader(map, l.userBlockCount);
    putBe16(&dir[kDirCounter], uint16_t(directoryCounter(dir) + 1));
    sealDirectory(dir);
    if (!leftAloneUnchanged(leftAlone) || !agree(dir, map, area, leftAlone) ||
        !agree(l.directoryOnCard, map, area, leftAlone)) {
        l.loaded = false;
        return fail(MCB_ERROR_DAMAGED);
    }
    if (!sameCardAsRead()) {
        l.loaded = false;
        return false;
    }
    l.loaded = false; // until every write has gone through
    if (!l.mapOtherIntact && !repairBrokenCopies())
        return false;
    step();
    if (!writeMap(l.mapCopy, map))
        return false;
    step();
    if (!writeDirectory(l.directoryCopy, dir))
        return false;
    step();
    l.directoryOnCard = dir;
    l.mapOnCard = map;
    l.mapSeen = map;
    l.countersKnown = false;
    l.loaded = true;
    return true;
}

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t InitSaverInfo(void)
{
    return guarded(Access::Read, [&]() -> int32_t { return loadSystemArea() ? 1 : 0; });
}

MCB_API int32_t GetSaverInfo(uint32_t index, char* name, char* code, uint16_t* blockCount)
{
    return guarded([&]() -> int32_t {
        // Any index of 128 or more is empty, 65,536 included.
        const uint32_t slot = index;
        if (slot >= kSlotCount)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        if (slot == 0)
            progress(kSlotCount);
        step();
        Library& l = lib();
        if (!l.loaded)
            return fail(MCB_ERROR_NOT_LOADED);
        // The last place of the directory is its trailer, never a save.
        if (slot >= kSaveSlotCount || entryAt(*l.directory, slot).empty())
            return fail(MCB_ERROR_NO_SAVE);
        const EntryRef e = entryAt(*l.directory, slot);
        if (name)
            std::memcpy(name, e.p + kEntryName, kEntryNameSize);
        if (code)
            std::memcpy(code, e.p + kEntryCode, kEntryCodeSize);
        if (blockCount)
            *blockCount = e.blockCount();
        return 1;
    });
}

MCB_API int32_t FindSaver(const char* path, char* name)
{
    return guarded(Access::Read, [&]() -> int32_t {
        if (!path)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        if (!loadSystemArea())
            return fail(MCB_ERROR_IO);
        uint8_t head[kEntryName + kEntryNameSize];
        if (!readFileHead(path, head, sizeof head))
            return 0;
        const Block& dir = *lib().directory;
        for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
            const EntryRef e = entryAt(dir, slot);
            if (e.empty() || !e.sameSave(head))
                continue;
            if (name) {
                const std::string n = EntryRef{head}.name();
                std::memcpy(name, n.data(), n.size());
                name[n.size()] = '\0';
            }
            return 1;
        }
        return fail(MCB_ERROR_NO_SAVE);
    });
}

} // extern "C"
