// Reading the whole card into an image file and writing one back.
#include "atomic_file.h"
#include "inspect.h"
#include "library.h"

#include <cstdio>
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
    if (!path || n == 0 || !lib().device)
        return 0;
    AtomicFile out(path);
    if (!out.isOpen())
        return 0;
    progress(n);
    uint8_t sector[kSectorSize];
    for (unsigned s = 0; s < n; ++s) {
        if (!readWholeSector(s, sector))
            return 0;
        if (s % kSectorsPerBlock == 0)
            step();
        if (!out.write(sector, kSectorSize))
            return 0;
    }
    return out.commit() ? 1 : 0;
}

bool readWholeFile(const char* path, uint64_t expected, std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    struct stat st {};
    bool ok = fstat(fileno(f), &st) == 0 && uint64_t(st.st_size) == expected;
    if (ok) {
        bytes.resize(expected);
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    return ok;
}

int32_t writeCard(const char* path)
{
    Library& l = lib();
    const unsigned n = cardSectors();
    if (!path || n == 0 || !l.device)
        return 0;
    // Everything is checked before the first erase: an image of another
    // length would leave sectors the file does not supply or be cut short,
    // and one without an intact directory and map would leave a card the
    // console cannot read.
    std::vector<uint8_t> image;
    if (!readWholeFile(path, uint64_t(n) * kSectorSize, image))
        return 0;
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return 0;

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
    return 1;
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
