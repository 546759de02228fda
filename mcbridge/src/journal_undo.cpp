// Putting a card back as it was before a record of the journal and every
// later one. The card is only touched when it still is what the latest
// record left; the undo is itself a journalled change; and it goes in an
// order that leaves a card a console reads after a cut at any write, from
// which the next undo finishes the job.
#include "journal.h"

#include "library.h"
#include "mcbridge/chain.h"

#include <array>
#include <cstring>

namespace mcb {

namespace {

bool writeRawBlock(unsigned block, const uint8_t* data, bool checksumFirst)
{
    const unsigned first = block * kSectorsPerBlock;
    if (!EraseBlock(uint16_t(first)))
        return false;
    // A map keeps its checksum in its first sector: written last, a copy
    // cut short never passes for a whole one.
    for (unsigned i = 0; i < kSectorsPerBlock; ++i) {
        const unsigned s = checksumFirst ? (i + 1) % kSectorsPerBlock : i;
        if (!writeWholeSector(first + s, data + std::size_t(s) * kSectorSize))
            return false;
    }
    return true;
}

// A raw write goes only to the card the undo began on: a card swapped part
// way takes none of it (the commits check the same for themselves).
bool writeToCard(unsigned block, const uint8_t* data, bool checksumFirst, const uint8_t* header)
{
    return stillTheCard(header) && writeRawBlock(block, data, checksumFirst);
}

Block blockOf(const std::vector<uint8_t>& area, unsigned block)
{
    Block b;
    std::memcpy(b.data(), &area[std::size_t(block) * kBlockSize], kBlockSize);
    return b;
}

// Which copy of a pair (directory or map) a system area uses, -1 when
// neither is intact.
int copyInUse(const std::vector<uint8_t>& area, bool map)
{
    const unsigned* blocks = map ? kMapBlock : kDirectoryBlock;
    const Block a = blockOf(area, blocks[0]), b = blockOf(area, blocks[1]);
    const bool okA = map ? mapIntact(a) : directoryIntact(a);
    const bool okB = map ? mapIntact(b) : directoryIntact(b);
    if (okA && okB)
        return map ? currentCopy(mapCounter(a), mapCounter(b))
                   : currentCopy(directoryCounter(a), directoryCounter(b));
    return okA ? 0 : okB ? 1 : -1;
}

// Writes the target's pair of copies over the card's, whose copy in use
// (at now) holds the target's content already: at every moment some intact
// copy with that content is the newest. target's copy in use is at want.
bool placePair(const std::vector<uint8_t>& target, bool map, int want, int now,
               const uint8_t* header)
{
    const unsigned* blocks = map ? kMapBlock : kDirectoryBlock;
    const uint8_t* used = &target[std::size_t(blocks[want]) * kBlockSize];
    const uint8_t* other = &target[std::size_t(blocks[1 - want]) * kBlockSize];
    if (now == want && !writeToCard(blocks[1 - want], used, map, header))
        return false;
    return writeToCard(blocks[want], used, map, header) &&
           writeToCard(blocks[1 - want], other, map, header);
}

// The saves on the card now that own a block about to be written come off
// the card first, through a commit: no save is ever seen with another's
// bytes.
bool clearOwners(const std::vector<unsigned>& blocks)
{
    Library& l = lib();
    const SaveArea area = saveArea();
    std::vector<bool> hit(area.end, false);
    for (unsigned b : blocks)
        hit[b] = true;
    const CardChains chains = followChains(*l.directory, *l.map, area);
    bool any = false;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(*l.directory, slot);
        if (e.empty())
            continue;
        bool touches = false;
        for (uint16_t b : chains.chains[slot].blocks)
            touches = touches || (b < hit.size() && hit[b]);
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
            touches = touches || hit[b];
        if (!touches)
            continue;
        for (uint16_t b : chains.chains[slot].blocks)
            setMapEntry(*l.map, b, kMapFreeEntry);
        std::memset(&(*l.directory)[slot * kEntrySize], 0xFF, kEntrySize);
        any = true;
    }
    return !any || CommitSystemArea();
}

int32_t putBack(const std::vector<uint8_t>& target,
                const std::map<uint16_t, std::vector<uint8_t>>& blocks)
{
    Library& l = lib();
    // Only a whole card written (a restore, a format) changed the header.
    // It goes back last, as a restore writes it: until then the card is
    // still the one the commits below check for, and a cut anywhere before
    // leaves a card whose own header, directory and map agree.
    std::array<uint8_t, kSectorSize> header;
    if (!readWholeSector(0, header.data()))
        return 0;
    Block now;
    if (!readBlock(0, now))
        return 0;
    const bool headerBack = std::memcmp(now.data(), target.data(), kBlockSize) != 0;
    // Such an undo is a whole card written too: its own record keeps every
    // block from the start, so that it can be undone byte for byte.
    if (headerBack && !journalWholeCard())
        return fail(MCB_ERROR_JOURNAL_FILE);
    const SaveArea area = saveArea();
    std::vector<unsigned> differ;
    for (const auto& [b, data] : blocks) {
        if (!area.contains(b))
            continue;
        if (!readBlock(b, now))
            return 0;
        if (std::memcmp(now.data(), data.data(), kBlockSize) != 0)
            differ.push_back(b);
    }
    const int dirCopy = copyInUse(target, false), mapCopy = copyInUse(target, true);
    bool safe = dirCopy >= 0 && mapCopy >= 0;
    Block dirT{}, mapT{};
    if (safe) {
        dirT = blockOf(target, kDirectoryBlock[dirCopy]);
        mapT = blockOf(target, kMapBlock[mapCopy]);
        safe = followChains(dirT, mapT, area).agree() && loadSystemArea();
    }
    // A card or a target the console would not read (an undone repair
    // goes back to a damaged card) is written as it comes.
    l.lastError = MCB_SUCCESS;
    if (safe && !clearOwners(differ))
        return 0;
    for (unsigned b : differ)
        if (!writeToCard(b, blocks.at(uint16_t(b)).data(), false, header.data()))
            return 0;
    if (safe) {
        if (!loadSystemArea())
            return 0;
        // The target's entries under the card's counters: the commit counts
        // on from what the card has, so its copies are the newest.
        putBe16(&dirT[kDirCounter], directoryCounter(*l.directory));
        putBe16(&mapT[kMapCounter], mapCounter(*l.map));
        *l.directory = dirT;
        *l.map = mapT;
        if (!CommitSystemArea() ||
            !placePair(target, false, dirCopy, l.directoryCopy, header.data()) ||
            !placePair(target, true, mapCopy, l.mapCopy, header.data()))
            return 0;
    } else {
        for (unsigned b = 1; b < kSystemBlocks; ++b)
            if (!writeToCard(b, &target[std::size_t(b) * kBlockSize], b >= kMapBlock[0],
                             header.data()))
                return 0;
    }
    if (headerBack && (!writeToCard(0, target.data(), false, header.data()) || !sizeCard()))
        return 0;
    l.loaded = false;
    return loadSystemArea() ? 1 : 0;
}

} // namespace

int32_t undoTo(uint32_t number)
{
    Library& l = lib();
    if (!l.device)
        return fail(MCB_ERROR_NOT_OPEN);
    if (!l.cardSized)
        return fail(MCB_ERROR_NOT_LOADED);
    const std::string folder = journalFolder(l);
    if (folder.empty())
        return fail(MCB_ERROR_BAD_ARGUMENT);
    uint8_t header[kSectorSize];
    if (!readWholeSector(0, header))
        return 0;
    std::vector<uint8_t> current(kSystemBytes);
    Block b;
    for (unsigned i = 0; i < kSystemBlocks; ++i) {
        if (!readBlock(i, b))
            return 0;
        std::memcpy(&current[std::size_t(i) * kBlockSize], b.data(), kBlockSize);
    }
    const uint32_t sectors = (unsigned(l.userBlockCount) + kSystemBlocks) * kSectorsPerBlock;
    std::vector<JournalRecord> records = recordsFor(folder, header, sectors);
    if (records.empty())
        return fail(MCB_ERROR_BAD_ARGUMENT);

    // An undo cut short is finished first, toward the card it was going
    // back to; the card is then somewhere on its way there.
    const JournalRecord& latest = records.back();
    const bool resume = latest.undoes != 0 && !(latest.complete && latest.succeeded);
    std::size_t end = records.size();
    uint32_t target = number ? number : latest.number;
    if (resume) {
        if (latest.complete && latest.after != current)
            return fail(MCB_ERROR_JOURNAL);
        target = latest.undoes;
        --end;
    } else if (!latest.complete || latest.after != current) {
        return fail(MCB_ERROR_JOURNAL);
    } else if (!number) {
        // The latest change not undone yet: an undo stands for the changes
        // it took back, so each undo steps one change further back.
        for (std::size_t i = end - 1;;) {
            if (!records[i].undoes) {
                target = records[i].number;
                break;
            }
            std::size_t t = 0;
            while (t < i && records[t].number != records[i].undoes)
                ++t;
            if (t == 0 || t == i)
                return fail(MCB_ERROR_BAD_ARGUMENT);
            i = t - 1;
        }
    }
    std::size_t first = end;
    for (std::size_t i = 0; i < end; ++i)
        if (records[i].number == target)
            first = i;
    if (first == end)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    // Every change between must have followed the one before: a card
    // changed elsewhere in between is not put back over.
    for (std::size_t i = first; i + 1 < end; ++i)
        if (!records[i].complete || records[i].after != records[i + 1].before)
            return fail(MCB_ERROR_JOURNAL);

    // The blocks as they were before the first change that touched them.
    std::map<uint16_t, std::vector<uint8_t>> blocks;
    for (std::size_t i = end; i-- > first;) {
        JournalRecord full;
        if (!readRecord(records[i].path, true, full))
            return fail(MCB_ERROR_JOURNAL_FILE);
        for (auto& [block, data] : full.kept)
            blocks[block] = std::move(data);
    }
    journalMarkUndo(l, target, resume && !latest.complete ? latest.path : std::string());
    return putBack(records[first].before, blocks);
}

} // namespace mcb
