#include "tools/save_outcome.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace outcome {

namespace {

constexpr std::size_t kEntrySize = MCB_ENTRY_SIZE;
constexpr std::size_t kBlockSize = MCB_BLOCK_SIZE;
// The library counts blocks from the length less this.
constexpr std::size_t kCountBase = MCB_ENTRY_SIZE - 10;
constexpr std::size_t kFirstBlock = MCB_ENTRY_FIRST_BLOCK;
constexpr std::size_t kBlockCount = MCB_ENTRY_BLOCK_COUNT;
constexpr uint64_t kLargestSaveFile = MCB_LARGEST_SAVE_FILE;

std::string field(const char* p, std::size_t width) { return std::string(p, strnlen(p, width)); }

} // namespace

std::vector<uint8_t> normalised(const std::vector<uint8_t>& saveFile)
{
    if (saveFile.size() < kCountBase + kBlockSize)
        return {};
    const std::size_t blocks = (saveFile.size() - kCountBase) / kBlockSize;
    std::vector<uint8_t> out(
        saveFile.begin(),
        saveFile.begin() +
            std::ptrdiff_t(std::min(saveFile.size(), kEntrySize + blocks * kBlockSize)));
    out.resize(kEntrySize + blocks * kBlockSize, 0); // a short last block is padded
    out[kFirstBlock] = out[kFirstBlock + 1] = 0;
    out[kBlockCount] = uint8_t(blocks >> 8);
    out[kBlockCount + 1] = uint8_t(blocks);
    return out;
}

std::vector<uint8_t> readSmallFile(const std::string& path, uint64_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {};
    struct stat st {};
    std::vector<uint8_t> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) <= limit) {
        bytes.resize(std::size_t(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    return bytes;
}

Holds cardHoldsNow(mcb_receiver* receiver, const std::string& name, const std::string& code,
                   int slot, const std::vector<uint8_t>& written,
                   const std::vector<uint8_t>& before, const std::string& scratch)
{
    if (IsConnected())
        CloseDevice();
    if (!OpenDevice(receiver) || GetCardMemory() == 0 || !InitSaverInfo())
        return Holds::Unreadable;
    const std::vector<uint8_t> wanted = normalised(written);
    const std::vector<uint8_t> old = normalised(before);
    bool found = false, isNew = false, isOld = false, unreadable = false;
    for (unsigned s = 0; s < MCB_SLOTS; ++s) {
        if (slot >= 0 && s != unsigned(slot))
            continue;
        char n[33] = {}, c[7] = {};
        uint16_t blocks = 0;
        if (!GetSaverInfo(s, n, c, &blocks) || field(n, 32) != name || field(c, 6) != code)
            continue;
        found = true;
        ::unlink(scratch.c_str());
        if (!mcb_download_slot(s, scratch.c_str())) {
            unreadable = true;
            continue;
        }
        const std::vector<uint8_t> onCard = normalised(readSmallFile(scratch, kLargestSaveFile));
        ::unlink(scratch.c_str());
        isNew |= !onCard.empty() && onCard == wanted;
        isOld |= !onCard.empty() && onCard == old;
    }
    if (isNew)
        return Holds::NewSave;
    if (isOld)
        return Holds::OldSave;
    if (unreadable)
        return Holds::Unreadable;
    return found ? Holds::OtherSave : Holds::NoSave;
}

} // namespace outcome
