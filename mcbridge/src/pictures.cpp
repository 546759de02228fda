// The banner bitmaps of card saves and of save files.
#include "library.h"
#include "mcbridge/atomic_file.h"
#include "mcbridge/banner.h"
#include "save_blocks.h"
#include "save_file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace mcb {

namespace {

bool writeBitmap(const char* path, const Banner& banner)
{
    const std::vector<uint8_t> file = bitmapFile(banner);
    // A picture is remade whenever it is needed: no reason to wait for the disk.
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    return writeFileAtomically(path, file.data(), file.size(), false) || fail(MCB_ERROR_FILE);
}

// The banner fills out (capacity bytes) as a bitmap file's bytes; *size gets
// how many it takes, also when they do not fit.
bool copyBitmap(const Banner& banner, uint8_t* out, uint32_t capacity, uint32_t* size)
{
    if (!size)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    const std::vector<uint8_t> file = bitmapFile(banner);
    *size = uint32_t(file.size());
    if (!out || capacity < file.size())
        return fail(MCB_ERROR_BAD_ARGUMENT);
    std::memcpy(out, file.data(), file.size());
    return true;
}

std::optional<Banner> cardBanner(uint32_t index)
{
    const Library& l = lib();
    const uint32_t slot = index; // 65,536 is no slot, not slot 0
    if (!l.loaded || !l.cardSized) {
        fail(MCB_ERROR_NOT_LOADED);
        return std::nullopt;
    }
    if (slot >= kSaveSlotCount || entryAt(*l.directory, slot).empty()) {
        fail(MCB_ERROR_NO_SAVE);
        return std::nullopt;
    }
    uint8_t entry[kEntrySize];
    std::memcpy(entry, &(*l.directory)[slot * kEntrySize], kEntrySize);
    const EntryRef e{entry};
    const auto blocks = soundBlocksOf(*l.directory, *l.map, slot);
    if (!blocks)
        return std::nullopt;

    // Only the sectors that hold the picture are read: a read is 5 ms on a
    // real adapter. The save's bytes run through its blocks in chain order.
    const uint64_t held = uint64_t(blocks->size()) * kBlockSize;
    // The sectors read, by their index within the save; those not read leave
    // their pixels white. A sector that could not be read fails the call: a
    // picture with holes the link made would pass for the save's own.
    std::vector<std::optional<std::array<uint8_t, kSectorSize>>> sectors(held / kSectorSize);
    for (const ByteRange& r : pictureRanges(e)) {
        const uint64_t end = std::min(r.end, held);
        for (uint64_t s = r.begin / kSectorSize; s * kSectorSize < end; ++s) {
            if (sectors[s])
                continue;
            const unsigned block = (*blocks)[s / kSectorsPerBlock];
            std::array<uint8_t, kSectorSize> buf;
            if (!readWholeSector(unsigned(block * kSectorsPerBlock + s % kSectorsPerBlock),
                                 buf.data())) {
                fail(MCB_ERROR_IO);
                return std::nullopt;
            }
            sectors[s] = buf;
        }
    }
    return decodeBanner(e, [&](uint64_t offset) -> std::optional<uint8_t> {
        if (offset >= held || !sectors[offset / kSectorSize])
            return std::nullopt;
        return (*sectors[offset / kSectorSize])[offset % kSectorSize];
    });
}

std::optional<Banner> fileBanner(const void* image)
{
    if (!image) {
        fail(MCB_ERROR_BAD_ARGUMENT);
        return std::nullopt;
    }
    const auto* bytes = static_cast<const uint8_t*>(image);
    const EntryRef e{bytes};
    // The caller vouches for the entry and the blocks it counts, no more; and
    // no save is larger than the largest card's save area, whatever the
    // entry claims.
    const uint64_t held =
        uint64_t(std::min<unsigned>(e.blockCount(), kLargestSaveBlocks)) * kBlockSize;
    const uint8_t* data = bytes + kEntrySize;
    return decodeBanner(e, [&](uint64_t offset) -> std::optional<uint8_t> {
        if (offset >= held)
            return std::nullopt;
        return data[offset];
    });
}

int32_t cardPicture(uint32_t index, const char* path)
{
    const std::optional<Banner> banner = cardBanner(index);
    return banner && writeBitmap(path, *banner) ? 1 : 0;
}

int32_t filePicture(const void* image, const char* path)
{
    const std::optional<Banner> banner = fileBanner(image);
    return banner && writeBitmap(path, *banner) ? 1 : 0;
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t GetSaverPIC(uint32_t index, const char* path)
{
    return guarded(Access::Read, [&] { return cardPicture(index, path); });
}

MCB_API int32_t GetBitmap(const void* image, const char* path)
{
    return guarded([&] { return filePicture(image, path); });
}

MCB_API int32_t mcb_saver_bitmap(uint32_t index, uint8_t* out, uint32_t capacity, uint32_t* size)
{
    return guarded(Access::Read, [&]() -> int32_t {
        const std::optional<Banner> banner = cardBanner(index);
        return banner && copyBitmap(*banner, out, capacity, size) ? 1 : 0;
    });
}

MCB_API int32_t mcb_file_bitmap(const void* image, uint8_t* out, uint32_t capacity, uint32_t* size)
{
    return guarded([&]() -> int32_t {
        const std::optional<Banner> banner = fileBanner(image);
        return banner && copyBitmap(*banner, out, capacity, size) ? 1 : 0;
    });
}

MCB_API int32_t mcb_saver_entry(uint32_t index, uint8_t* entry)
{
    return guarded([&]() -> int32_t {
        const Library& l = lib();
        if (!entry)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        if (!l.loaded)
            return fail(MCB_ERROR_NOT_LOADED);
        if (index >= kSaveSlotCount || entryAt(*l.directory, index).empty())
            return fail(MCB_ERROR_NO_SAVE);
        std::memcpy(entry, &(*l.directory)[index * kEntrySize], kEntrySize);
        return 1;
    });
}

MCB_API int mcb_slot_bitmap(mcb_card* card, uint32_t slot, uint8_t* out, size_t capacity,
                            size_t* size)
{
    return onCard(card, Access::Read, [&](int& length) -> int32_t {
        Library& l = lib();
        if (!l.loaded && !loadSystemArea())
            return 0;
        const std::optional<Banner> banner = cardBanner(slot);
        if (!banner)
            return 0;
        const std::vector<uint8_t> file = bitmapFile(*banner);
        if (!giveBytes(file, out, capacity, size))
            return 0;
        length = int(file.size());
        return 1;
    });
}

MCB_API int mcb_save_bitmap(const void* bytes, size_t length, uint8_t* out, size_t capacity,
                            size_t* size)
{
    return offCard([&](int& written) -> int32_t {
        if (!bytes)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const auto save =
            saveFromBytes(std::span(static_cast<const uint8_t*>(bytes), length), nullptr);
        if (!save)
            return 0;
        const EntryRef e{save->entry.data()};
        const std::vector<uint8_t>& data = save->data;
        const Banner banner = decodeBanner(e, [&](uint64_t offset) -> std::optional<uint8_t> {
            if (offset >= data.size())
                return std::nullopt;
            return data[offset];
        });
        const std::vector<uint8_t> file = bitmapFile(banner);
        if (!giveBytes(file, out, capacity, size))
            return 0;
        written = int(file.size());
        return 1;
    });
}

} // extern "C"
