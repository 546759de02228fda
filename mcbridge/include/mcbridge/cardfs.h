// The card's own file system: geometry, the header, the two directory and
// allocation map copies with their counters and checksums, and the 64-byte
// save entry. Pure functions over byte buffers; nothing here talks to an
// adapter, so the formatter, the tools and the tests share it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mcb {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kSectorsPerBlock = 16;
constexpr std::size_t kBlockSize = kSectorSize * kSectorsPerBlock; // 8,192
constexpr unsigned kSystemBlocks = 5;                              // header, 2 directories, 2 maps
constexpr unsigned kMapBlockLimit = 4096; // the map has entries for blocks below this
constexpr std::size_t kEntrySize = 64;
constexpr unsigned kSlotCount = 128;     // 64-byte places in a directory block
constexpr unsigned kSaveSlotCount = 127; // the last place is the directory's trailer
constexpr unsigned kLargestSaveBlocks =
    128 * 16 - kSystemBlocks; // the save area of a 128 Mbit card

// Block numbers of the system area.
constexpr unsigned kHeaderBlock = 0;
constexpr unsigned kDirectoryBlock[2] = {1, 2};
constexpr unsigned kMapBlock[2] = {3, 4};

// Directory trailer.
constexpr std::size_t kDirCounter = 0x1FFA;
constexpr std::size_t kDirChecksum = 0x1FFC;
constexpr std::size_t kDirInverse = 0x1FFE;

// Allocation map header; the entry of block b lies at 2 * b.
constexpr std::size_t kMapChecksum = 0;
constexpr std::size_t kMapInverse = 2;
constexpr std::size_t kMapCounter = 4;
constexpr std::size_t kMapFree = 6;
constexpr std::size_t kMapLastAllocated = 8;
constexpr uint16_t kMapFreeEntry = 0x0000;
constexpr uint16_t kMapLastEntry = 0xFFFF;

// Card header (sector 0).
constexpr std::size_t kHeaderSizeMbit = 0x22; // big-endian; readers look at 0x23 only
constexpr std::size_t kHeaderEncoding = 0x24;
constexpr std::size_t kHeaderChecksum = 0x1FC;
constexpr std::size_t kHeaderInverse = 0x1FE;

// Save entry fields.
constexpr std::size_t kEntryCode = 0;
constexpr std::size_t kEntryCodeSize = 6;
constexpr std::size_t kEntryBannerFormat = 7;
constexpr std::size_t kEntryName = 8;
constexpr std::size_t kEntryNameSize = 32;
constexpr std::size_t kEntryPictureOffset = 44;
constexpr std::size_t kEntryIconFormat = 0x30;
constexpr std::size_t kEntryIconSpeed = 0x32;
constexpr std::size_t kEntryFirstBlock = 54;
constexpr std::size_t kEntryBlockCount = 56;

using Block = std::array<uint8_t, kBlockSize>;

inline uint16_t getBe16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
inline uint32_t getBe32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline void putBe16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void putBe32(uint8_t* p, uint32_t v)
{
    putBe16(p, uint16_t(v >> 16));
    putBe16(p + 2, uint16_t(v));
}

// The console's checksum pair over big-endian 16-bit words: the sum, and the
// sum of the complements. A value that comes out as 0xFFFF is stored as 0.
struct Checksum {
    uint16_t sum;
    uint16_t inverse;
    bool operator==(const Checksum&) const = default;
};
Checksum checksumOf(std::span<const uint8_t> words);

// True when the pair stored at sumAt/inverseAt matches the words.
bool checksumHolds(std::span<const uint8_t> words, const uint8_t* sumAt, const uint8_t* inverseAt);

// Header: checksum over bytes 0x000..0x1FB of sector 0.
bool headerIntact(std::span<const uint8_t, kSectorSize> sector0);
void sealHeader(std::span<uint8_t, kSectorSize> sector0);

// Directory: checksum over 0x0000..0x1FFB.
uint16_t directoryCounter(const Block& dir);
bool directoryIntact(const Block& dir);
void sealDirectory(Block& dir); // recomputes the checksum pair only

// A copy of block `block` of a whole card image (the image holds it).
inline Block blockOf(std::span<const uint8_t> image, unsigned block)
{
    Block b;
    std::copy_n(image.begin() + std::size_t(block) * kBlockSize, kBlockSize, b.begin());
    return b;
}

// Allocation map: checksum over 0x0004..0x1FFF.
uint16_t mapCounter(const Block& map);
bool mapIntact(const Block& map);
void sealMap(Block& map); // recomputes the checksum pair only
inline uint16_t mapEntry(const Block& map, unsigned block) { return getBe16(&map[2 * block]); }
inline void setMapEntry(Block& map, unsigned block, uint16_t v) { putBe16(&map[2 * block], v); }

// Which copy (0 or 1) is current, from the update counters of copy 1 (a) and
// copy 2 (b). The wrap from 0xFFFF to 0 counts as one step forward; ties go
// to copy 2.
int currentCopy(uint16_t a, uint16_t b);

// Bringing a map's header up to date before it is written: counts the used
// entries of the save area [5, 5 + saveBlocks), stores the free count, the
// last allocated block and the next update counter, and seals it.
void refreshMapHeader(Block& map, uint16_t saveBlocks);

// The save area of a card whose save blocks number saveBlocks, clamped to
// what the map can describe: blocks [first, end).
struct SaveArea {
    unsigned first = kSystemBlocks;
    unsigned end = kSystemBlocks;
    bool contains(unsigned block) const { return block >= first && block < end; }
    // True when the run [start, start + count) lies wholly inside.
    bool holds(unsigned start, unsigned count) const
    {
        return count > 0 && start >= first && start < end && count <= end - start;
    }
};
SaveArea saveAreaFor(uint16_t saveBlocks);

// A 64-byte entry in a directory block or at the start of a save file.
struct EntryRef {
    const uint8_t* p;
    bool empty() const { return p[0] == 0xFF; }
    uint16_t firstBlock() const { return getBe16(p + kEntryFirstBlock); }
    uint16_t blockCount() const { return getBe16(p + kEntryBlockCount); }
    uint8_t bannerFormat() const { return p[kEntryBannerFormat]; }
    uint32_t pictureOffset() const { return getBe32(p + kEntryPictureOffset); }
    uint16_t iconFormat() const { return getBe16(p + kEntryIconFormat); }
    uint16_t iconSpeed() const { return getBe16(p + kEntryIconSpeed); }
    // Name and code compared as strings within their widths (up to a NUL).
    bool sameName(const char* name) const;
    bool sameCode(const char* code) const;
    bool sameSave(const uint8_t* other) const; // same name and code as another entry
    std::string name() const;                  // up to the first NUL, at most 32 bytes
    std::string code() const;                  // up to the first NUL, at most 6 bytes
};
inline EntryRef entryAt(const Block& dir, unsigned slot) { return {&dir[slot * kEntrySize]}; }

} // namespace mcb
