#include "mcbridge/format.h"

#include "mcbridge/cardfs.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

namespace mcb {

bool isCardSize(unsigned megabits)
{
    return std::find(std::begin(kCardSizes), std::end(kCardSizes), megabits) !=
           std::end(kCardSizes);
}

std::optional<unsigned> megabitsForLength(uint64_t bytes)
{
    for (unsigned m : kCardSizes)
        if (bytes == cardBytes(m))
            return m;
    return std::nullopt;
}

std::optional<std::size_t> extraHeaderLength(uint64_t fileLength, std::span<const uint8_t> head)
{
    for (unsigned m : kCardSizes) {
        if (fileLength <= cardBytes(m) || fileLength - cardBytes(m) > kLargestExtraHeader)
            continue;
        const std::size_t extra = std::size_t(fileLength - cardBytes(m));
        if (head.size() < extra + kSectorSize)
            continue;
        const std::span<const uint8_t, kSectorSize> sector(head.data() + extra, kSectorSize);
        if (headerIntact(sector) && getBe16(&sector[kHeaderSizeMbit]) == m)
            return extra;
    }
    return std::nullopt;
}

FormatOptions freshFormat(unsigned megabits, Encoding encoding)
{
    FormatOptions o;
    o.megabits = megabits;
    o.encoding = encoding;
    // The console's clock counts bus ticks (40.5 MHz) from the start of 2000.
    constexpr int64_t kEpoch2000 = 946684800;
    constexpr uint64_t kTicksPerSecond = 40500000;
    const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    o.formatTime = now > kEpoch2000 ? uint64_t(now - kEpoch2000) * kTicksPerSecond : 0;
    std::random_device rd;
    for (auto& b : o.serial)
        b = uint8_t(rd());
    return o;
}

std::vector<uint8_t> formatCard(const FormatOptions& o)
{
    std::vector<uint8_t> card(cardBytes(o.megabits), 0xFF);
    const uint16_t saveBlocks = uint16_t(o.megabits * 16 - kSystemBlocks);

    uint8_t* h = card.data();
    std::memcpy(h, o.serial.data(), o.serial.size());
    putBe32(h + 0x0C, uint32_t(o.formatTime >> 32));
    putBe32(h + 0x10, uint32_t(o.formatTime));
    std::memset(h + 0x14, 0, 0x0C); // SRAM bias, SRAM language, reserved
    putBe16(h + 0x20, 0);           // device id
    putBe16(h + kHeaderSizeMbit, uint16_t(o.megabits));
    putBe16(h + kHeaderEncoding, uint16_t(o.encoding));
    sealHeader(std::span<uint8_t, kSectorSize>(h, kSectorSize));

    for (int copy = 0; copy < 2; ++copy) {
        Block dir;
        dir.fill(0xFF);
        putBe16(&dir[kDirCounter], uint16_t(copy));
        sealDirectory(dir);
        std::memcpy(&card[kDirectoryBlock[copy] * kBlockSize], dir.data(), kBlockSize);

        Block map{};
        putBe16(&map[kMapCounter], uint16_t(copy));
        putBe16(&map[kMapFree], saveBlocks);
        putBe16(&map[kMapLastAllocated], kSystemBlocks - 1);
        sealMap(map);
        std::memcpy(&card[kMapBlock[copy] * kBlockSize], map.data(), kBlockSize);
    }
    return card;
}

} // namespace mcb
