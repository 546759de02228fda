#include "save_blocks.h"

#include "library.h"
#include "mcbridge/atomic_file.h"

#include <algorithm>
#include <cstring>

namespace mcb {

namespace {
bool refuse(int32_t error)
{
    fail(error);
    return false;
}
} // namespace

std::optional<std::vector<uint16_t>> soundBlocksOf(const Block& dir, const Block& map,
                                                   unsigned slot)
{
    CardChains all = followChains(dir, map, saveArea());
    Chain& c = all.chains[slot];
    if (!c.sound()) {
        fail(MCB_ERROR_BROKEN_CHAIN);
        return std::nullopt;
    }
    return std::move(c.blocks);
}

std::vector<bool> blocksInUse(const Block& dir, const CardChains& chains, const Block& map,
                              const Block* otherMap, const SaveArea& area)
{
    std::vector<bool> used(kMapBlockLimit, false);
    for (unsigned b = area.first; b < area.end; ++b)
        used[b] = mapEntry(map, b) != kMapFreeEntry;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty())
            continue;
        if (otherMap)
            for (uint16_t b : followChain(*otherMap, e.firstBlock(), e.blockCount(), area).blocks)
                used[b] = true;
        const Chain& c = chains.chains[slot];
        for (uint16_t b : c.blocks)
            used[b] = true;
        if (c.sound())
            continue;
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
            if (area.contains(b))
                used[b] = true;
    }
    return used;
}

void keepOtherMapsBlocks(std::vector<bool>& used, const Block& otherMap, const SaveArea& area)
{
    for (unsigned b = area.first; b < area.end; ++b)
        used[b] = used[b] || mapEntry(otherMap, b) != kMapFreeEntry;
}

unsigned freeCount(const std::vector<bool>& used, const SaveArea& area)
{
    unsigned n = 0;
    for (unsigned b = area.first; b < area.end; ++b)
        n += !used[b];
    return n;
}

std::optional<std::vector<uint16_t>> chooseBlocks(const std::vector<bool>& used,
                                                  const SaveArea& area, unsigned count)
{
    if (count == 0)
        return std::nullopt;
    unsigned run = 0;
    for (unsigned b = area.first; b < area.end; ++b) {
        run = used[b] ? 0 : run + 1;
        if (run == count) {
            std::vector<uint16_t> blocks(count);
            for (unsigned i = 0; i < count; ++i)
                blocks[i] = uint16_t(b - count + 1 + i);
            return blocks;
        }
    }
    std::vector<uint16_t> blocks;
    for (unsigned b = area.first; b < area.end && blocks.size() < count; ++b)
        if (!used[b])
            blocks.push_back(uint16_t(b));
    if (blocks.size() < count)
        return std::nullopt;
    return blocks;
}

void chainInMap(Block& map, const std::vector<uint16_t>& blocks)
{
    for (std::size_t i = 0; i < blocks.size(); ++i)
        setMapEntry(map, blocks[i], i + 1 == blocks.size() ? kMapLastEntry : blocks[i + 1]);
}

bool writeAndVerify(const std::vector<uint16_t>& blocks, const std::vector<uint8_t>& data)
{
    if (data.size() < blocks.size() * kBlockSize)
        return refuse(MCB_ERROR_FAILED);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const unsigned first = blocks[i] * kSectorsPerBlock;
        // A card swapped since it was read would have its own saves there.
        if (!stillTheCard(lib().headerOnCard.data()))
            return false;
        if (!EraseBlock(uint16_t(first)))
            return refuse(MCB_ERROR_IO);
        for (unsigned s = 0; s < kSectorsPerBlock; ++s)
            if (!writeWholeSector(first + s, &data[i * kBlockSize + s * kSectorSize]))
                return refuse(MCB_ERROR_IO);
    }
    // Only after every block is written: a later write that strayed into an
    // earlier block shows up too.
    uint8_t sector[kSectorSize];
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        for (unsigned s = 0; s < kSectorsPerBlock; ++s) {
            if (!readWholeSector(blocks[i] * kSectorsPerBlock + s, sector))
                return refuse(MCB_ERROR_IO);
            if (std::memcmp(sector, &data[i * kBlockSize + s * kSectorSize], kSectorSize) != 0)
                return refuse(MCB_ERROR_READ_BACK);
        }
    }
    return true;
}

bool readSaveBlocks(const std::vector<uint16_t>& blocks, std::vector<uint8_t>& data)
{
    data.resize(blocks.size() * kBlockSize);
    progress(blocks.size() * kSectorsPerBlock);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        for (unsigned s = 0; s < kSectorsPerBlock; ++s) {
            step();
            // A copy missing a sector is no copy of the save.
            if (!readWholeSector(blocks[i] * kSectorsPerBlock + s,
                                 &data[i * kBlockSize + s * kSectorSize]))
                return fail(MCB_ERROR_IO);
        }
    }
    return true;
}

std::optional<uint8_t> ChainSectors::operator()(uint64_t offset)
{
    const uint64_t index = offset / kSectorSize;
    if (index >= uint64_t(blocks_.size()) * kSectorsPerBlock)
        return std::nullopt;
    auto it = sectors_.find(index);
    if (it == sectors_.end()) {
        std::optional<std::array<uint8_t, kSectorSize>> sector(std::in_place);
        const unsigned block = blocks_[index / kSectorsPerBlock];
        if (!readWholeSector(unsigned(block * kSectorsPerBlock + index % kSectorsPerBlock),
                             sector->data())) {
            sector.reset();
            failed_ = true;
        }
        it = sectors_.emplace(index, sector).first;
    }
    if (!it->second)
        return std::nullopt;
    return (*it->second)[offset % kSectorSize];
}

bool readIntoSaveFile(const char* path, const uint8_t* entry, const std::vector<uint16_t>& blocks)
{
    AtomicFile out(path);
    if (!out.isOpen())
        return fail(MCB_ERROR_FILE);
    std::vector<uint8_t> data;
    if (!readSaveBlocks(blocks, data))
        return false;
    return (out.write(entry, kEntrySize) && out.write(data.data(), data.size()) && out.commit()) ||
           fail(MCB_ERROR_FILE);
}

} // namespace mcb
