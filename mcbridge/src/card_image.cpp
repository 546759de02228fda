// Reading the whole card into an image file and writing one back.
#include "library.h"
#include "mcbridge/atomic_file.h"
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
    if (n == 0 || !lib().device)
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
        error = MCB_ERROR_OTHER_CARD;
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

int32_t writeCard(const char* path)
{
    Library& l = lib();
    const unsigned n = cardSectors();
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    if (n == 0 || !l.device)
        return fail(MCB_ERROR_NOT_LOADED);
    // Everything is checked before the first erase: an image of another
    // length would leave sectors the file does not supply or be cut short,
    // and one without an intact directory and map would leave a card the
    // console cannot read.
    std::vector<uint8_t> image;
    if (const int32_t error = readWholeFile(path, uint64_t(n) * kSectorSize, image))
        return fail(error);
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return fail(MCB_ERROR_DAMAGED);

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
    return guarded([&] { return writeCard(path); });
}

} // extern "C"
