#include "mcbridge/chain.h"

namespace mcb {

const char* chainFaultText(ChainFault fault)
{
    switch (fault) {
    case ChainFault::None: return "sound";
    case ChainFault::NoBlocks: return "claims no blocks";
    case ChainFault::OutsideArea: return "leads outside the save area";
    case ChainFault::FreeBlock: return "leads to a block the map calls free";
    case ChainFault::Loop: return "loops back on itself";
    case ChainFault::EndsEarly: return "ends before its block count";
    case ChainFault::TooLong: return "goes on past its block count";
    case ChainFault::Shared: return "shares blocks with another save";
    }
    return "is broken";
}

Chain followChain(const Block& map, uint16_t first, uint16_t count, const SaveArea& area)
{
    Chain c;
    if (count == 0) {
        c.fault = ChainFault::NoBlocks;
        return c;
    }
    std::vector<bool> seen(kMapBlockLimit, false);
    unsigned block = first;
    for (;;) {
        if (!area.contains(block)) {
            c.fault = ChainFault::OutsideArea;
            return c;
        }
        const uint16_t next = mapEntry(map, block);
        if (next == kMapFreeEntry) {
            c.fault = ChainFault::FreeBlock;
            return c;
        }
        if (seen[block]) {
            c.fault = ChainFault::Loop;
            return c;
        }
        seen[block] = true;
        c.blocks.push_back(uint16_t(block));
        if (next == kMapLastEntry) {
            if (c.blocks.size() < count)
                c.fault = ChainFault::EndsEarly;
            return c;
        }
        if (c.blocks.size() == count) {
            c.fault = ChainFault::TooLong;
            return c;
        }
        block = next;
    }
}

bool CardChains::agree() const
{
    for (const Chain& c : chains)
        if (!c.sound())
            return false;
    return true;
}

std::vector<uint16_t> CardChains::unowned(const SaveArea& area) const
{
    std::vector<uint16_t> out;
    for (unsigned b = area.first; b < area.end; ++b)
        if (owner[b] == kNoOwner)
            out.push_back(uint16_t(b));
    return out;
}

CardChains followChains(const Block& dir, const Block& map, const SaveArea& area)
{
    CardChains all;
    all.owner.assign(kMapBlockLimit, CardChains::kNoOwner);
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty())
            continue;
        Chain& c = all.chains[slot];
        c = followChain(map, e.firstBlock(), e.blockCount(), area);
        for (uint16_t b : c.blocks) {
            int& o = all.owner[b];
            if (o == CardChains::kNoOwner) {
                o = int(slot);
                continue;
            }
            // A chain already broken keeps the fault that broke it.
            if (o >= 0 && all.chains[unsigned(o)].sound())
                all.chains[unsigned(o)].fault = ChainFault::Shared;
            o = CardChains::kManyOwners;
            if (c.sound())
                c.fault = ChainFault::Shared;
        }
    }
    return all;
}

} // namespace mcb
