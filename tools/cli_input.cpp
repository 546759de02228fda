#include "cli_input.h"

#include "mcbridge.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::size_t kEntrySize = MCB_ENTRY_SIZE;
constexpr std::size_t kBlockSize = MCB_BLOCK_SIZE;
// The library counts a file's blocks from its length less this, so that a
// last block short by up to ten bytes still counts.
constexpr std::size_t kCountBase = MCB_ENTRY_SIZE - 10;

Kind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::Regular;
    if (S_ISDIR(mode))
        return Kind::Directory;
    if (S_ISFIFO(mode))
        return Kind::Fifo;
    if (S_ISSOCK(mode))
        return Kind::Socket;
    return Kind::Device;
}

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::optional<unsigned> parseSlot(const std::string& text)
{
    // strtoul would take a sign, spaces, and wrap a huge number round to a
    // small slot: only up to three plain digits are a slot.
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    unsigned slot = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        slot = slot * 10 + unsigned(c - '0');
    }
    if (slot > 126)
        return std::nullopt;
    return slot;
}

Kind kindOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return kindOfMode(st.st_mode);
    return errno == ENOENT || errno == ENOTDIR ? Kind::Missing : Kind::Unreadable;
}

std::string describe(Kind kind)
{
    switch (kind) {
    case Kind::Missing: return "does not exist";
    case Kind::Regular: return "is a regular file";
    case Kind::Directory: return "is a directory";
    case Kind::Fifo: return "is a FIFO";
    case Kind::Device: return "is a device";
    case Kind::Socket: return "is a socket";
    case Kind::Unreadable: return "cannot be looked at";
    }
    return "is of an unknown kind";
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::optional<std::vector<uint8_t>> readBounded(const std::string& path, uint64_t limit,
                                                std::string& error)
{
    const Kind kind = kindOf(path);
    if (kind != Kind::Regular) {
        error = path + " " + describe(kind) +
                (kind == Kind::Missing || kind == Kind::Unreadable ? "" : ", not a regular file");
        return std::nullopt;
    }
    // Non-blocking, so that a FIFO swapped in after the look above cannot
    // hold the open; the descriptor is looked at again before reading.
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    struct stat st {};
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        error = path + " " + describe(kindOfMode(st.st_mode)) + ", not a regular file";
        return std::nullopt;
    }
    if (uint64_t(st.st_size) > limit) {
        error = path + " is " + std::to_string(st.st_size) + " bytes, more than the " +
                std::to_string(limit) + " it could hold";
        return std::nullopt;
    }
    // A file that grows while it is read stops at limit + 1 bytes.
    std::vector<uint8_t> bytes(std::size_t(limit) + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(f.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = "cannot read " + path;
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    if (got > limit) {
        error = path + " grew past " + std::to_string(limit) + " bytes while it was read";
        return std::nullopt;
    }
    bytes.resize(got);
    return bytes;
}

std::string notASaveFile(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < kCountBase + kBlockSize)
        return "it holds no whole block of save data";
    const std::size_t blocks = (bytes.size() - kCountBase) / kBlockSize;
    // Whatever follows the last block the library counts would be dropped
    // silently: a file with a container header in front lands here.
    if (bytes.size() > kEntrySize + blocks * kBlockSize)
        return "its length is no directory entry and whole blocks";
    bool empty = true;
    for (std::size_t i = 0; i < MCB_ENTRY_CODE_SIZE; ++i)
        empty &= bytes[i] == 0xFF;
    if (empty)
        return "its directory entry is empty";
    const unsigned counted =
        unsigned(bytes[MCB_ENTRY_BLOCK_COUNT]) << 8 | bytes[MCB_ENTRY_BLOCK_COUNT + 1];
    if (counted != blocks)
        return "its directory entry counts " + std::to_string(counted) +
               " blocks, the file holds " + std::to_string(blocks);
    return {};
}

std::string escapeControls(const std::string& text)
{
    std::string out(MCB_ESCAPED_CAPACITY(text.size()), '\0');
    const int n = mcb_escape_text(text.data(), text.size(), out.data(), out.size());
    out.resize(n > 0 ? std::size_t(n) : 0);
    return out;
}

} // namespace cli
