// A card image and a save file, both from the fuzz input: the save is
// uploaded, then deleted again. After each call the card must still load
// if it did before, a call that succeeded must leave a directory and map
// that agree, and no sector may have been written outside the directory and
// map and the blocks that were free (in every intact copy of the map, and
// claimed by no entry of any intact copy of the directory).
#include "fuzz_card.h"
#include "mcbridge.h"
#include "mcbridge/chain.h"
#include "mcbridge/inspect.h"

#include <cstdio>
#include <cstring>
#include <vector>

using namespace mcbfuzz;
using namespace mcb;

namespace {

// The save area blocks the card says are taken: every block either intact
// map marks used, and for each save of the directory in use its chain, or the
// run its entry claims where the chain is broken. The other directory copy
// keeps the card as it was before the last change (for recovering a deleted
// save); its saves' blocks are free to reuse, as they are for a console.
std::vector<bool> taken(const std::vector<uint8_t>& image, const SaveArea& area)
{
    std::vector<bool> used(kMapBlockLimit, false);
    for (unsigned c = 0; c < 2; ++c) {
        const Block map = blockOf(image, kMapBlock[c]);
        if (!mapIntact(map))
            continue;
        for (unsigned b = area.first; b < area.end; ++b)
            used[b] = used[b] || mapEntry(map, b) != kMapFreeEntry;
    }
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return std::vector<bool>(kMapBlockLimit, true);
    const CardChains chains = followChains(dir, map, area);
    for (unsigned s = 0; s < kSaveSlotCount; ++s) {
        const EntryRef e = entryAt(dir, s);
        if (e.empty())
            continue;
        for (uint16_t b : chains.chains[s].blocks)
            if (b < kMapBlockLimit)
                used[b] = true;
        if (chains.chains[s].sound())
            continue;
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < kMapBlockLimit; ++b, ++n)
            used[b] = true;
    }
    return used;
}

void checkWrites(const Traffic& t, const std::vector<bool>& used, bool dataAllowed)
{
    for (unsigned sector : t.writtenSectors) {
        const unsigned block = sector / kSectorsPerBlock;
        const bool system = block >= kDirectoryBlock[0] && block <= kMapBlock[1];
        if (system)
            continue;
        if (!dataAllowed || block == kHeaderBlock || block >= kMapBlockLimit || used[block])
            violation("a sector written outside the allowed blocks", long(sector));
    }
}

bool loads() { return connect() && InitSaverInfo() == 1; }

void checkAfter(FuzzCard& card, bool loadedBefore, bool succeeded, const SaveArea& area)
{
    if (loadedBefore && !loads())
        violation("the card no longer loads");
    if (succeeded) {
        Block dir, map;
        if (!currentStructures(card.image(), dir, map))
            violation("a call succeeded and left no intact directory or map");
        if (!followChains(dir, map, area).agree())
            violation("a call succeeded and left a directory and map that disagree");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t fileLength = std::min<std::size_t>((data[0] << 8) | data[1], size - 2);
    const std::vector<uint8_t> saveFile(data + 2, data + 2 + fileLength);
    const std::vector<uint8_t> image = cardFrom({data + 2 + fileLength, size - 2 - fileLength});
    const SaveArea area = saveAreaFor(59);
    const std::string path = scratch() + "/save.gci";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(saveFile.data(), 1, saveFile.size(), f);
        std::fclose(f);
    } else {
        return 0;
    }

    FuzzCard card(image);
    const bool loadedBefore = loads();
    if (!loadedBefore)
        return 0;
    const std::vector<bool> usedBefore = taken(card.image(), area);
    card.traffic().writtenSectors.clear();
    const bool uploaded = UpLoadSaver(path.c_str()) == 1;
    checkWrites(card.traffic(), usedBefore, true);
    checkAfter(card, loadedBefore, uploaded, area);

    if (saveFile.size() >= 64) {
        char name[33] = {}, code[7] = {};
        std::memcpy(code, saveFile.data() + kEntryCode, kEntryCodeSize);
        std::memcpy(name, saveFile.data() + kEntryName, kEntryNameSize);
        card.traffic().writtenSectors.clear();
        const bool deleted = DeleteSaver(name, code) == 1;
        checkWrites(card.traffic(), {}, false);
        checkAfter(card, true, deleted, area);
    }
    return 0;
}
