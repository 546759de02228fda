// Reading the whole card into an image file and writing one back.
#include "card_identity.h"
#include "library.h"
#include "mcbridge/atomic_file.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace mcb {

namespace {

// Sectors on the card last sized, 0 when no size is known.
unsigned cardSectors()
{
    const Library& l = lib();
    return l.cardSized ? (unsigned(l.userBlockCount) + kSystemBlocks) * kSectorsPerBlock : 0;
}

int32_t readCard(const char* path)
{
    const unsigned n = cardSectors();
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    if (!lib().device)
        return fail(MCB_ERROR_NOT_OPEN);
    if (n == 0)
        return fail(MCB_ERROR_NOT_LOADED);
    AtomicFile out(path);
    if (!out.isOpen())
        return fail(MCB_ERROR_FILE);
    progress(n);
    uint8_t sector[kSectorSize];
    for (unsigned s = 0; s < n; ++s) {
        if (!readWholeSector(s, sector))
            return 0;
        if (s % kSectorsPerBlock == 0)
            step();
        if (!out.write(sector, kSectorSize))
            return fail(MCB_ERROR_FILE);
    }
    return out.commit() ? 1 : fail(MCB_ERROR_FILE);
}

// The image file, when it is exactly as long as the card; else why not.
int32_t readWholeFile(const char* path, uint64_t expected, std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return MCB_ERROR_FILE;
    struct stat st {};
    int32_t error = MCB_SUCCESS;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))
        error = MCB_ERROR_FILE;
    else if (uint64_t(st.st_size) != expected)
        error = MCB_ERROR_IMAGE_LENGTH;
    if (error == MCB_ERROR_IMAGE_LENGTH) {
        // A card image behind another tool's header is not a shorter or
        // longer card: the user is told what it is.
        std::vector<uint8_t> head(kHeadedImageProbe);
        head.resize(std::fread(head.data(), 1, head.size(), f));
        if (extraHeaderLength(uint64_t(st.st_size), head))
            error = MCB_ERROR_IMAGE_HEADER;
    }
    if (error == MCB_SUCCESS) {
        bytes.resize(expected);
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
            error = MCB_ERROR_FILE;
    }
    std::fclose(f);
    return error;
}

// A restore replaces every save on the card: the user is told it worked only
// when the card gives back, sector for sector, what was written. A second
// count, then one step a block, shows the reading on the progress bar.
int32_t readBack(const std::vector<uint8_t>& image, unsigned n)
{
    progress(n);
    uint8_t sector[kSectorSize];
    for (unsigned s = 0; s < n; ++s) {
        if (s % kSectorsPerBlock == 0)
            step();
        if (!readWholeSector(s, sector))
            return 0;
        if (std::memcmp(sector, &image[std::size_t(s) * kSectorSize], kSectorSize) != 0)
            return fail(MCB_ERROR_READ_BACK);
    }
    return 1;
}

// An image fit to be written over the card, or why not: checked whole before
// anything is written. An image of another length would leave sectors the
// file does not supply or be cut short, and one without an intact directory
// and map would leave a card the console cannot read. header gets the card's
// header sector, read now: the identity to compare with is the one the card
// has, not the one it had when it was listed.
int32_t loadImage(const char* path, std::vector<uint8_t>& image, uint8_t (&header)[kSectorSize])
{
    const unsigned n = cardSectors();
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    if (!lib().device)
        return fail(MCB_ERROR_NOT_OPEN);
    if (n == 0)
        return fail(MCB_ERROR_NOT_LOADED);
    if (const int32_t error = readWholeFile(path, uint64_t(n) * kSectorSize, image))
        return fail(error);
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return fail(MCB_ERROR_DAMAGED);
    if (!readWholeSector(0, header))
        return 0;
    return 1;
}

std::span<const uint8_t, kSectorSize> headerOf(const std::vector<uint8_t>& image)
{
    return std::span<const uint8_t, kSectorSize>(image.data(), kSectorSize);
}

int32_t checkImage(const char* path)
{
    std::vector<uint8_t> image;
    uint8_t header[kSectorSize];
    if (!loadImage(path, image, header))
        return 0;
    return sameIdentity(headerOf(image), header) ? 1 : fail(MCB_ERROR_OTHER_CARD);
}

int32_t writeCard(const char* path, int32_t how)
{
    Library& l = lib();
    if (how != MCB_RESTORE_SAME_CARD && how != MCB_RESTORE_FORCE &&
        how != MCB_RESTORE_KEEP_IDENTITY)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    std::vector<uint8_t> image;
    uint8_t header[kSectorSize];
    if (!loadImage(path, image, header))
        return 0;
    const unsigned n = cardSectors();
    if (how == MCB_RESTORE_KEEP_IDENTITY) {
        // The saves bound to a card were made for the image's card; on this
        // one they must carry this card's serial.
        takeIdentity(image, header);
        resignImageSaves(image, cardSerial(std::span<const uint8_t, kSectorSize>(header)));
    } else if (how == MCB_RESTORE_SAME_CARD && !sameIdentity(headerOf(image), header)) {
        return fail(MCB_ERROR_OTHER_CARD);
    }

    // The header names the card it is written to.
    image[kHeaderSizeMbit + 1] = uint8_t(n / 256);
    sealHeader(std::span<uint8_t, kSectorSize>(image.data(), kSectorSize));

    l.loaded = false; // the buffers no longer describe the card
    progress(n);
    for (unsigned s = 0; s < n; ++s) {
        if (s % kSectorsPerBlock == 0) {
            if (!EraseBlock(uint16_t(s)))
                return 0;
            step();
        }
        if (!writeWholeSector(s, &image[std::size_t(s) * kSectorSize]))
            return 0;
    }
    return readBack(image, n);
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t ReadCardToFile(const char* path)
{
    return guarded([&] { return readCard(path); });
}

MCB_API int32_t WriteFileToCard(const char* path)
{
    return guarded([&] { return writeCard(path, MCB_RESTORE_SAME_CARD); });
}

MCB_API int32_t mcb_check_image(const char* path)
{
    return guarded([&] { return checkImage(path); });
}

MCB_API int32_t mcb_restore_card(const char* path, int32_t how)
{
    return guarded([&] { return writeCard(path, how); });
}

} // extern "C"
