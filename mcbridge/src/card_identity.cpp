#include "card_identity.h"

#include "mcbridge/chain.h"
#include "mcbridge/inspect.h"
#include "mcbridge/serial_saves.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace mcb {

bool sameIdentity(std::span<const uint8_t, kSectorSize> imageHeader,
                  std::span<const uint8_t, kSectorSize> cardHeader)
{
    return std::equal(imageHeader.begin(), imageHeader.begin() + kCardIdentitySize,
                      cardHeader.begin());
}

void takeIdentity(std::span<uint8_t> image, std::span<const uint8_t, kSectorSize> cardHeader)
{
    std::copy_n(cardHeader.begin(), kCardIdentitySize, image.begin());
    sealHeader(image.first<kSectorSize>());
}

unsigned resignImageSaves(std::span<uint8_t> image, CardSerial serial)
{
    Block dir, map;
    if (image.size() < kSystemBlocks * kBlockSize || !currentStructures(image, dir, map))
        return 0;
    const auto saveBlocks = uint16_t(image.size() / kBlockSize - kSystemBlocks);
    const CardChains chains = followChains(dir, map, saveAreaFor(saveBlocks));
    unsigned changed = 0;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef entry = entryAt(dir, slot);
        const Chain& chain = chains.chains[slot];
        if (entry.empty() || !chain.sound() || serialBoundGame(entry) == SerialBoundGame::None)
            continue;
        std::vector<uint8_t> data(chain.blocks.size() * kBlockSize);
        for (std::size_t i = 0; i < chain.blocks.size(); ++i)
            std::memcpy(&data[i * kBlockSize], &image[chain.blocks[i] * kBlockSize], kBlockSize);
        const auto held = serialInSave(entry, data);
        if (!held || *held == serial || !resignSave(entry, data, serial))
            continue;
        for (std::size_t i = 0; i < chain.blocks.size(); ++i)
            std::memcpy(&image[chain.blocks[i] * kBlockSize], &data[i * kBlockSize], kBlockSize);
        ++changed;
    }
    return changed;
}

} // namespace mcb
