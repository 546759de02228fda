// Single-save files on the computer. Besides the plain form (the 64-byte
// entry, then the blocks), saves come in two containers other tools write:
// .gcs, a 0x150-byte header with the entry at 0x110, and .sav, a 0xC0-byte
// header with the entry at 0x80 and some of its 16-bit fields byte-swapped.
// A file is known by its content (magic and length), never by its name, and
// anything doubtful is refused with its reason before a card is touched.
#pragma once

#include "mcbridge/cardfs.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mcb {

// Entry fields only the save's description needs.
constexpr std::size_t kEntryModified = 0x28; // seconds since 2000-01-01, big-endian
constexpr std::size_t kEntryPermissions = 0x34;
constexpr std::size_t kEntryCopyCounter = 0x35;
constexpr std::size_t kEntryCommentOffset = 0x3C; // 0xFFFFFFFF: no comment
constexpr uint32_t kNoOffset = 0xFFFFFFFF;

enum class SaveFormat : uint8_t { Gci = 1, Gcs = 2, Sav = 3 };

// Why a file is not taken as a save; the values are those of mcb_save_fault.
enum class ContainerFault : uint8_t {
    None = 0,
    CannotOpen,      // missing, or not readable
    NotRegular,      // a folder, device or pipe
    ReadFailed,      // reading stopped before the length the system reported
    TruncatedHeader, // shorter than the header its magic (or the plain entry) needs
    NoContainer,     // a container's length without its magic
    WrongMagic,      // one container's magic with another container's length
    PartialBlock,    // the data after the header is not a whole number of blocks
    NoBlocks,        // no block of data at all
    TooLarge,        // more blocks than any card holds
    EmptyEntry,      // the entry is that of an empty directory slot
    CountMismatch,   // the entry's block count disagrees with the length
    CannotWrite,     // the converted file could not be written
};

const char* containerFaultText(ContainerFault fault); // English
const char* formatExtension(SaveFormat format);       // ".gci", ".gcs", ".sav"

constexpr std::size_t kGcsHeaderSize = 0x150;
constexpr std::size_t kGcsEntryAt = 0x110;
constexpr std::size_t kSavHeaderSize = 0xC0;
constexpr std::size_t kSavEntryAt = 0x80;
constexpr std::size_t kLongestHeader = kGcsHeaderSize;
// Where a container's header keeps the save's own title and comment lines.
constexpr std::size_t kGcsTitleAt = 0x10;
constexpr std::size_t kSavTitleAt = 0x10;
constexpr std::size_t kSavCommentAt = 0x48;
constexpr std::size_t kCommentLineSize = 32;

// Where the data starts in each form.
std::size_t dataOffsetOf(SaveFormat format);

struct Container {
    SaveFormat format = SaveFormat::Gci;
    uint64_t dataOffset = 0;
    uint16_t blocks = 0;
    std::array<uint8_t, kEntrySize> entry{}; // in the card's byte order, count = blocks
};

// Recognises a save from its first bytes (head: up to kLongestHeader of them,
// fewer only when the file is shorter) and its whole length.
ContainerFault recognise(std::span<const uint8_t> head, uint64_t length, Container& out);

// The .sav entry's byte-swapped pairs, swapped back (or there again).
void swapSavEntry(std::span<uint8_t, kEntrySize> entry);

// The header written before the data in a format: the entry (card order,
// true block count) and, for the containers, the magic and the save's title
// and comment lines (the 64 bytes at its comment offset; empty when it has
// none).
std::vector<uint8_t> headerFor(SaveFormat format, std::span<const uint8_t, kEntrySize> entry,
                               std::span<const uint8_t> commentLines);

// A whole save in a format: the header headerFor gives, then the data
// (blocks x 8,192 bytes), whose title and comment lines the containers'
// headers carry.
std::vector<uint8_t> saveInFormat(SaveFormat format, std::span<const uint8_t, kEntrySize> entry,
                                  std::span<const uint8_t> data);

// A regular file opened for reading and recognised.
class SaveFile {
public:
    explicit SaveFile(const std::string& path);
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    ContainerFault fault() const { return fault_; }
    const Container& container() const { return c_; }
    // Reads length bytes of the save's data (after the header) at offset;
    // false when they are not all there.
    bool readData(uint64_t offset, uint8_t* out, std::size_t length) const;

private:
    int fd_ = -1;
    ContainerFault fault_ = ContainerFault::CannotOpen;
    Container c_;
};

// Writes the save in the file at in to out in the given format, through a
// temporary file, one block at a time. None on success.
ContainerFault convertSave(const std::string& in, const std::string& out, SaveFormat format);

} // namespace mcb
