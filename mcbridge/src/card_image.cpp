// Reading the whole card into an image file and writing one back.
#include "card_identity.h"
#include "journal.h"
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

// Every sector of the card into out, which holds the card's size.
bool readSectors(uint8_t* out, unsigned n)
{
    progress(n);
    for (unsigned s = 0; s < n; ++s) {
        if (!readWholeSector(s, out + std::size_t(s) * kSectorSize))
            return false;
        if (s % kSectorsPerBlock == 0)
            step();
    }
    return true;
}

bool cardReady()
{
    if (!lib().device)
        return fail(MCB_ERROR_NOT_OPEN);
    return cardSectors() != 0 || fail(MCB_ERROR_NOT_LOADED);
}

int32_t readCard(const char* path)
{
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    if (!cardReady())
        return 0;
    AtomicFile out(path);
    if (!out.isOpen())
        return fail(MCB_ERROR_FILE);
    std::vector<uint8_t> image(std::size_t(cardSectors()) * kSectorSize);
    if (!readSectors(image.data(), cardSectors()))
        return 0;
    return out.write(image.data(), image.size()) && out.commit() ? 1 : fail(MCB_ERROR_FILE);
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
int32_t checkLoaded(const std::vector<uint8_t>& image, uint8_t (&header)[kSectorSize])
{
    if (!cardReady())
        return 0;
    if (image.size() != std::size_t(cardSectors()) * kSectorSize) {
        const std::span<const uint8_t> head(image.data(),
                                            std::min<std::size_t>(image.size(), kHeadedImageProbe));
        return fail(extraHeaderLength(image.size(), head) ? MCB_ERROR_IMAGE_HEADER
                                                          : MCB_ERROR_IMAGE_LENGTH);
    }
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return fail(MCB_ERROR_DAMAGED);
    if (!readWholeSector(0, header))
        return 0;
    // Another card than the one this connection found is not written over
    // unasked: the caller lists the card again first.
    const Library& l = lib();
    if (l.headerKnown && std::memcmp(header, l.headerOnCard.data(), kSectorSize) != 0)
        return fail(MCB_ERROR_CHANGED);
    return 1;
}

// The same for an image file.
int32_t loadImage(const char* path, std::vector<uint8_t>& image, uint8_t (&header)[kSectorSize])
{
    if (!path)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    if (!cardReady())
        return 0;
    if (const int32_t error = readWholeFile(path, uint64_t(cardSectors()) * kSectorSize, image))
        return fail(error);
    return checkLoaded(image, header);
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

bool validRestore(int32_t how)
{
    return how == MCB_RESTORE_SAME_CARD || how == MCB_RESTORE_FORCE ||
           how == MCB_RESTORE_KEEP_IDENTITY;
}

// Erases and writes the blocks [first, end) of the image, each block (each
// sector, with everySector) only while the card's header is still header
// (see stillTheCard); once the header sector itself is written, the image's.
bool writeBlocks(const std::vector<uint8_t>& image, unsigned first, unsigned end,
                 const uint8_t* header, bool everySector)
{
    for (unsigned b = first; b < end; ++b) {
        const unsigned s0 = b * kSectorsPerBlock;
        if (!stillTheCard(header) || !EraseBlock(uint16_t(s0)))
            return false;
        step();
        for (unsigned s = s0; s < s0 + kSectorsPerBlock; ++s) {
            // The header sector goes right after its erase, which left the
            // card no header to compare with.
            if (s == 1) {
                // The card holds the image's header now: a failure from here
                // on is no swap.
                header = image.data();
                std::memcpy(lib().headerOnCard.data(), header, kSectorSize);
            }
            if ((everySector && s != 0 && !stillTheCard(header)) ||
                !writeWholeSector(s, &image[std::size_t(s) * kSectorSize]))
                return false;
        }
    }
    return true;
}

int32_t writeImage(std::vector<uint8_t>& image, const uint8_t (&header)[kSectorSize], int32_t how);

int32_t writeCard(const char* path, int32_t how)
{
    if (!validRestore(how))
        return fail(MCB_ERROR_BAD_ARGUMENT);
    std::vector<uint8_t> image;
    uint8_t header[kSectorSize];
    if (!loadImage(path, image, header))
        return 0;
    return writeImage(image, header, how);
}

// Writes a checked image over the card, whose header sector (read just now)
// is header.
int32_t writeImage(std::vector<uint8_t>& image, const uint8_t (&header)[kSectorSize], int32_t how)
{
    Library& l = lib();
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
    // The header was read just now, through the link that writes: an image
    // file replaced under the adapter since it was opened is not written.
    if (!l.device->sameMedium())
        return fail(MCB_ERROR_CHANGED);
    progress(n);
    if (!journalWholeCard())
        return fail(MCB_ERROR_JOURNAL_FILE);
    // The saves' blocks first, the system area last and the header block
    // last of all: a card swapped part-way has, at most, blocks written
    // where the image's saves go, never its directory, map or identity.
    if (!writeBlocks(image, kSystemBlocks, n / kSectorsPerBlock, header, false) ||
        !writeBlocks(image, 1, kSystemBlocks, header, true) ||
        !writeBlocks(image, 0, 1, header, true))
        return 0;
    // A card swapped while it was read back could pass for the image where
    // both are empty: the card is told again at the end.
    return readBack(image, n) && stillTheCard(image.data()) ? 1 : 0;
}

} // namespace

int32_t newImage(const char* path, const std::vector<uint8_t>& image)
{
    switch (writeNewFile(path, image.data(), image.size())) {
    case NewFile::Written: return 1;
    case NewFile::Exists: return fail(MCB_ERROR_EXISTS);
    case NewFile::Failed: break;
    }
    return fail(MCB_ERROR_FILE);
}

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t ReadCardToFile(const char* path)
{
    return guarded(Access::Read, [&] { return readCard(path); });
}

MCB_API int32_t WriteFileToCard(const char* path)
{
    return guarded(Access::Change, [&] { return writeCard(path, MCB_RESTORE_SAME_CARD); });
}

MCB_API int32_t mcb_check_image(const char* path)
{
    return guarded(Access::Read, [&] { return checkImage(path); });
}

MCB_API int32_t mcb_restore_card(const char* path, int32_t how)
{
    return guarded(Access::Change, [&] { return writeCard(path, how); });
}

MCB_API int mcb_read_image(mcb_card* card, void* out, size_t capacity, size_t* length)
{
    return onCard(card, Access::Read, [&](int&) -> int32_t {
        if (!cardReady())
            return 0;
        const std::size_t whole = std::size_t(cardSectors()) * kSectorSize;
        if (length)
            *length = whole;
        if (!out || capacity < whole)
            return fail(MCB_ERROR_TOO_SMALL);
        return readSectors(static_cast<uint8_t*>(out), cardSectors()) ? 1 : 0;
    });
}

MCB_API int mcb_write_image(mcb_card* card, const void* image, size_t length, int32_t how)
{
    return onCard(card, Access::Change, [&](int&) -> int32_t {
        if (!image || !validRestore(how))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        std::vector<uint8_t> bytes(static_cast<const uint8_t*>(image),
                                   static_cast<const uint8_t*>(image) + length);
        uint8_t header[kSectorSize];
        if (!checkLoaded(bytes, header))
            return 0;
        return writeImage(bytes, header, how);
    });
}

MCB_API int mcb_format(mcb_card* card, int32_t encoding)
{
    return onCard(card, Access::Change, [&](int&) -> int32_t {
        if (encoding != 0 && encoding != 1)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        if (!cardReady())
            return 0;
        const unsigned megabits = cardSectors() / (kSectorsPerBlock * 16);
        std::vector<uint8_t> blank =
            formatCard(freshFormat(megabits, encoding ? Encoding::ShiftJis : Encoding::Ansi));
        uint8_t header[kSectorSize];
        if (!checkLoaded(blank, header))
            return 0;
        return writeImage(blank, header, MCB_RESTORE_FORCE);
    });
}

MCB_API int mcb_create_image(const char* path, uint32_t megabits, int32_t encoding)
{
    return offCard([&](int&) -> int32_t {
        if (!path || !isCardSize(megabits) || (encoding != 0 && encoding != 1))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const std::vector<uint8_t> blank =
            formatCard(freshFormat(megabits, encoding ? Encoding::ShiftJis : Encoding::Ansi));
        return newImage(path, blank);
    });
}

} // extern "C"
