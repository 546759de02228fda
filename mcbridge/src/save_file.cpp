#include "save_file.h"

#include "library.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mcb {

namespace {

// Other tools wrap a save in a header of their own that starts with a magic
// text; taken as a plain save file, that header would become the entry.
constexpr uint8_t kContainerMagic1[] = {0x47, 0x43, 0x53, 0x41, 0x56, 0x45};
constexpr uint8_t kContainerMagic2[] = {0x44, 0x41, 0x54, 0x45, 0x4C, 0x47,
                                        0x43, 0x5F, 0x53, 0x41, 0x56, 0x45};

template <std::size_t N> bool startsWith(const uint8_t* p, const uint8_t (&magic)[N])
{
    return std::memcmp(p, magic, N) == 0;
}

// The block count comes from the length less 54, so that a last block short
// by up to ten bytes still counts.
constexpr uint64_t kCountBase = 54;
constexpr uint64_t kShortest = kCountBase + kBlockSize;
constexpr uint64_t kLongest = kCountBase + uint64_t(kLargestSaveBlocks + 1) * kBlockSize - 1;

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool readFully(int fd, uint8_t* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t got = ::read(fd, p, n);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= std::size_t(got);
    }
    return true;
}

std::optional<PlainSave> refuse(int32_t error)
{
    fail(error);
    return std::nullopt;
}

// Opens a regular file for reading; its length in length.
std::optional<int> openRegular(const char* path, uint64_t& length)
{
    if (!path) {
        fail(MCB_ERROR_BAD_ARGUMENT);
        return std::nullopt;
    }
    // Non-blocking, so that a pipe without a writer cannot hang the open.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        fail(fd < 0 ? MCB_ERROR_FILE : MCB_ERROR_NOT_A_SAVE);
        if (fd >= 0)
            ::close(fd);
        return std::nullopt;
    }
    length = uint64_t(st.st_size);
    return fd;
}

// Whether a plain save of this length with this entry is taken, and its
// block count.
std::optional<unsigned> plainBlocks(const uint8_t* entry, uint64_t length)
{
    if (length < kShortest || length > kLongest)
        return std::nullopt;
    const unsigned blocks = unsigned((length - kCountBase) / kBlockSize);
    const EntryRef e{entry};
    if (e.empty() || startsWith(entry, kContainerMagic1) || startsWith(entry, kContainerMagic2) ||
        e.blockCount() != blocks)
        return std::nullopt;
    return blocks;
}

} // namespace

bool readFileHead(const char* path, uint8_t* out, std::size_t n)
{
    uint64_t length = 0;
    const auto fd = openRegular(path, length);
    if (!fd)
        return false;
    const Fd f{*fd};
    if (length < n) {
        fail(MCB_ERROR_NOT_A_SAVE);
        return false;
    }
    if (!readFully(f.fd, out, n)) {
        fail(MCB_ERROR_FILE);
        return false;
    }
    return true;
}

std::optional<PlainSave> readSaveFile(const char* path)
{
    uint64_t length = 0;
    const auto fd = openRegular(path, length);
    if (!fd)
        return std::nullopt;
    const Fd f{*fd};
    if (length < kShortest || length > kLongest)
        return refuse(MCB_ERROR_NOT_A_SAVE);

    PlainSave save;
    if (!readFully(f.fd, save.entry.data(), kEntrySize))
        return refuse(MCB_ERROR_FILE);
    const auto blocks = plainBlocks(save.entry.data(), length);
    if (!blocks)
        return refuse(MCB_ERROR_NOT_A_SAVE);
    save.blocks = *blocks;
    save.data.assign(std::size_t(save.blocks) * kBlockSize, 0);
    const std::size_t held = std::size_t(length - kEntrySize);
    if (!readFully(f.fd, save.data.data(), std::min(held, save.data.size())))
        return refuse(MCB_ERROR_FILE);
    return save;
}

std::optional<PlainSave> saveFromBytes(std::span<const uint8_t> bytes, ContainerFault* fault)
{
    Container c;
    ContainerFault why =
        recognise(bytes.first(std::min(bytes.size(), kLongestHeader)), bytes.size(), c);
    PlainSave save;
    if (why == ContainerFault::PartialBlock && bytes.size() >= kEntrySize) {
        // A plain save a few bytes short of its last block.
        if (const auto blocks = plainBlocks(bytes.data(), bytes.size())) {
            std::copy_n(bytes.begin(), kEntrySize, save.entry.begin());
            save.blocks = *blocks;
            save.data.assign(std::size_t(save.blocks) * kBlockSize, 0);
            // The bytes past the entry may run a little past the last block
            // as well as short of it: no more than the blocks are taken.
            std::copy_n(bytes.begin() + kEntrySize,
                        std::min(bytes.size() - kEntrySize, save.data.size()), save.data.begin());
            why = ContainerFault::None;
        }
    } else if (why == ContainerFault::None) {
        save.entry = c.entry;
        save.blocks = c.blocks;
        save.format = c.format;
        const auto data = bytes.subspan(std::size_t(c.dataOffset));
        save.data.assign(data.begin(), data.end());
    }
    if (fault)
        *fault = why;
    if (why != ContainerFault::None)
        return refuse(MCB_ERROR_NOT_A_SAVE);
    return save;
}

std::optional<SaveFormat> formatFrom(int32_t format)
{
    switch (format) {
    case MCB_SAVE_GCI: return SaveFormat::Gci;
    case MCB_SAVE_GCS: return SaveFormat::Gcs;
    case MCB_SAVE_SAV: return SaveFormat::Sav;
    default: return std::nullopt;
    }
}

} // namespace mcb
