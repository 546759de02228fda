#include "mcbridge/card_build.h"

#include <algorithm>
#include <cstring>

namespace mcb {

CardBuilder::CardBuilder(unsigned megabits, Encoding encoding, const CardIdentity& identity)
    : megabits_(megabits), free_(megabits * 16 - kSystemBlocks)
{
    FormatOptions o;
    o.megabits = megabits;
    o.encoding = encoding;
    image_ = formatCard(o);
    std::copy(identity.begin(), identity.end(), image_.begin());
    sealHeader(std::span<uint8_t, kSectorSize>(image_.data(), kSectorSize));
    dir_ = blockOf(image_, kDirectoryBlock[0]);
    map_ = blockOf(image_, kMapBlock[0]);
}

CardBuilder::Placed CardBuilder::add(std::span<const uint8_t, kEntrySize> entry,
                                     std::span<const uint8_t> data, int slot, int* placedSlot)
{
    const std::size_t count = data.size() / kBlockSize;
    if (slot < 0 || unsigned(slot) >= kSaveSlotCount || slotTaken(unsigned(slot))) {
        slot = -1;
        for (unsigned s = 0; s < kSaveSlotCount && slot < 0; ++s)
            if (!slotTaken(s))
                slot = int(s);
    }
    if (slot < 0)
        return Placed::NoSlot;
    if (count == 0 || count > free_)
        return Placed::NoRoom;
    const unsigned first = next_;
    std::memcpy(&image_[std::size_t(first) * kBlockSize], data.data(), count * kBlockSize);
    for (unsigned b = first; b < first + count; ++b)
        setMapEntry(map_, b, b + 1 == first + count ? kMapLastEntry : uint16_t(b + 1));
    uint8_t* e = &dir_[std::size_t(slot) * kEntrySize];
    std::memcpy(e, entry.data(), kEntrySize);
    putBe16(e + kEntryFirstBlock, uint16_t(first));
    putBe16(e + kEntryBlockCount, uint16_t(count));
    next_ += unsigned(count);
    free_ -= unsigned(count);
    if (placedSlot)
        *placedSlot = slot;
    return Placed::Ok;
}

std::vector<uint8_t> CardBuilder::image() const
{
    std::vector<uint8_t> out = image_;
    const uint16_t saveBlocks = uint16_t(megabits_ * 16 - kSystemBlocks);
    // Both copies alike, the second newer: what a console leaves after a
    // change has been written to both.
    for (int copy = 0; copy < 2; ++copy) {
        Block dir = dir_;
        putBe16(&dir[kDirCounter], uint16_t(copy));
        sealDirectory(dir);
        Block map = map_;
        putBe16(&map[kMapCounter], uint16_t(copy == 0 ? 0xFFFF : 0));
        refreshMapHeader(map, saveBlocks); // counts, and steps the counter to copy
        std::memcpy(&out[kDirectoryBlock[copy] * kBlockSize], dir.data(), kBlockSize);
        std::memcpy(&out[kMapBlock[copy] * kBlockSize], map.data(), kBlockSize);
    }
    return out;
}

CardIdentity identityOf(std::span<const uint8_t> image)
{
    CardIdentity id{};
    std::copy_n(image.begin(), std::min(image.size(), id.size()), id.begin());
    return id;
}

} // namespace mcb
