#include "mcbridge/inspect.h"

#include "mcbridge/chain.h"
#include "mcbridge/format.h"

#include <cstring>
#include <string>

namespace mcb {

namespace {

template <typename Intact, typename Counter>
int chooseCopy(const Block copies[2], Intact intact, Counter counter)
{
    const bool ok[2] = {intact(copies[0]), intact(copies[1])};
    if (ok[0] && ok[1])
        return currentCopy(counter(copies[0]), counter(copies[1]));
    return ok[0] ? 0 : ok[1] ? 1 : -1;
}

} // namespace

bool currentStructures(std::span<const uint8_t> image, Block& directory, Block& map)
{
    if (image.size() < kSystemBlocks * kBlockSize)
        return false;
    const Block dirs[2] = {blockOf(image, kDirectoryBlock[0]), blockOf(image, kDirectoryBlock[1])};
    const Block maps[2] = {blockOf(image, kMapBlock[0]), blockOf(image, kMapBlock[1])};
    const int d = chooseCopy(dirs, directoryIntact, directoryCounter);
    const int m = chooseCopy(maps, mapIntact, mapCounter);
    if (d < 0 || m < 0)
        return false;
    directory = dirs[d];
    map = maps[m];
    return true;
}

CardReport inspectCard(std::span<const uint8_t> image)
{
    CardReport r;
    const auto size = megabitsForLength(image.size());
    if (!size) {
        r.problems.push_back("the image is " + std::to_string(image.size()) +
                             " bytes long, which is no card size");
        return r;
    }
    std::span<const uint8_t, kSectorSize> header(image.data(), kSectorSize);
    r.megabits = getBe16(&header[kHeaderSizeMbit]);
    r.headerIntact = headerIntact(header);
    if (!r.headerIntact)
        r.problems.push_back("the header checksum does not hold");
    if (r.megabits != *size)
        r.problems.push_back("the header says " + std::to_string(r.megabits) +
                             " Mbit, the image holds " + std::to_string(*size));

    const Block dirs[2] = {blockOf(image, kDirectoryBlock[0]), blockOf(image, kDirectoryBlock[1])};
    const Block maps[2] = {blockOf(image, kMapBlock[0]), blockOf(image, kMapBlock[1])};
    r.directoryCopy = chooseCopy(dirs, directoryIntact, directoryCounter);
    r.mapCopy = chooseCopy(maps, mapIntact, mapCounter);
    if (r.directoryCopy < 0)
        r.problems.push_back("neither directory copy is intact");
    if (r.mapCopy < 0)
        r.problems.push_back("neither allocation map copy is intact");
    if (r.directoryCopy < 0 || r.mapCopy < 0)
        return r;

    const Block& dir = dirs[r.directoryCopy];
    const Block& map = maps[r.mapCopy];
    r.directoryCounter = directoryCounter(dir);
    r.mapCounter = mapCounter(map);
    r.freeBlocks = getBe16(&map[kMapFree]);

    // A save is sound when its chain through the map is: the console follows
    // the chain, so blocks out of order are no fault, and a chain that breaks
    // or runs into another save's is.
    const SaveArea area = saveAreaFor(uint16_t(*size * 16 - kSystemBlocks));
    const CardChains chains = followChains(dir, map, area);
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty())
            continue;
        SaveInfo s{slot, e.code(), e.name(), e.firstBlock(), e.blockCount()};
        const Chain& c = chains.chains[slot];
        if (!c.sound())
            r.problems.push_back("slot " + std::to_string(slot) + " (" + s.name +
                                 "): its chain of blocks " + chainFaultText(c.fault));
        r.saves.push_back(std::move(s));
    }
    return r;
}

} // namespace mcb
