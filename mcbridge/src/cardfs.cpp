#include "mcbridge/cardfs.h"

#include <algorithm>
#include <cstring>

namespace mcb {

Checksum checksumOf(std::span<const uint8_t> words)
{
    uint16_t sum = 0;
    uint16_t inverse = 0;
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
        const uint16_t w = getBe16(&words[i]);
        sum = uint16_t(sum + w);
        inverse = uint16_t(inverse + uint16_t(~w));
    }
    // The console never stores 0xFFFF: erased flash reads as 0xFFFF, and a
    // checksum must not look like an erased one.
    if (sum == 0xFFFF)
        sum = 0;
    if (inverse == 0xFFFF)
        inverse = 0;
    return {sum, inverse};
}

bool checksumHolds(std::span<const uint8_t> words, const uint8_t* sumAt, const uint8_t* inverseAt)
{
    const Checksum c = checksumOf(words);
    return getBe16(sumAt) == c.sum && getBe16(inverseAt) == c.inverse;
}

namespace {
void store(uint8_t* sumAt, uint8_t* inverseAt, Checksum c)
{
    putBe16(sumAt, c.sum);
    putBe16(inverseAt, c.inverse);
}
} // namespace

bool headerIntact(std::span<const uint8_t, kSectorSize> s)
{
    return checksumHolds(s.first(kHeaderChecksum), &s[kHeaderChecksum], &s[kHeaderInverse]);
}

void sealHeader(std::span<uint8_t, kSectorSize> s)
{
    store(&s[kHeaderChecksum], &s[kHeaderInverse], checksumOf(s.first(kHeaderChecksum)));
}

uint16_t directoryCounter(const Block& dir) { return getBe16(&dir[kDirCounter]); }

bool directoryIntact(const Block& dir)
{
    return checksumHolds(std::span(dir).first(kDirChecksum), &dir[kDirChecksum], &dir[kDirInverse]);
}

void sealDirectory(Block& dir)
{
    store(&dir[kDirChecksum], &dir[kDirInverse], checksumOf(std::span(dir).first(kDirChecksum)));
}

uint16_t mapCounter(const Block& map) { return getBe16(&map[kMapCounter]); }

bool mapIntact(const Block& map)
{
    return checksumHolds(std::span(map).subspan(kMapCounter), &map[kMapChecksum],
                         &map[kMapInverse]);
}

void sealMap(Block& map)
{
    store(&map[kMapChecksum], &map[kMapInverse], checksumOf(std::span(map).subspan(kMapCounter)));
}

int currentCopy(uint16_t a, uint16_t b)
{
    if (a == 0 && b == 0xFFFF)
        return 0;
    if (a != 0 && !(a == 0xFFFF && b == 0) && a > b)
        return 0;
    return 1;
}

SaveArea saveAreaFor(uint16_t saveBlocks)
{
    SaveArea area;
    area.end = std::min<unsigned>(kSystemBlocks + saveBlocks, kMapBlockLimit);
    return area;
}

void refreshMapHeader(Block& map, uint16_t saveBlocks)
{
    const SaveArea area = saveAreaFor(saveBlocks);
    unsigned used = 0;
    for (unsigned b = area.first; b < area.end; ++b)
        if (mapEntry(map, b) != kMapFreeEntry)
            ++used;
    putBe16(&map[kMapFree], uint16_t(saveBlocks - used));
    putBe16(&map[kMapLastAllocated], uint16_t(used + 4));
    putBe16(&map[kMapCounter], uint16_t(mapCounter(map) + 1));
    sealMap(map);
}

bool EntryRef::sameName(const char* name) const
{
    return std::strncmp(reinterpret_cast<const char*>(p + kEntryName), name, kEntryNameSize) == 0;
}

bool EntryRef::sameCode(const char* code) const
{
    return std::strncmp(reinterpret_cast<const char*>(p + kEntryCode), code, kEntryCodeSize) == 0;
}

namespace {
std::string boundedString(const uint8_t* p, std::size_t width)
{
    const auto* c = reinterpret_cast<const char*>(p);
    return std::string(c, strnlen(c, width));
}
} // namespace

bool EntryRef::sameSave(const uint8_t* other) const
{
    // strncmp on bounded buffers: both stop at a NUL or at the width.
    return std::strncmp(reinterpret_cast<const char*>(p + kEntryName),
                        reinterpret_cast<const char*>(other + kEntryName), kEntryNameSize) == 0 &&
           std::strncmp(reinterpret_cast<const char*>(p + kEntryCode),
                        reinterpret_cast<const char*>(other + kEntryCode), kEntryCodeSize) == 0;
}

std::string EntryRef::name() const { return boundedString(p + kEntryName, kEntryNameSize); }
std::string EntryRef::code() const { return boundedString(p + kEntryCode, kEntryCodeSize); }

} // namespace mcb
