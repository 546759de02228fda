#include "card_medium.h"

#include "mcbridge.h"
#include "mcbridge/atomic_file.h"
#include "mcbridge/format.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mcb {

int CardMedium::kind() const { return MCB_KIND_IMAGE; }

bool MemoryMedium::readAt(uint64_t offset, uint8_t* data, std::size_t length)
{
    if (offset > bytes_.size() || length > bytes_.size() - offset)
        return false;
    std::memcpy(data, bytes_.data() + offset, length);
    return true;
}

bool MemoryMedium::writeAt(uint64_t offset, const uint8_t* data, std::size_t length)
{
    if (offset > bytes_.size() || length > bytes_.size() - offset)
        return false;
    std::memcpy(bytes_.data() + offset, data, length);
    return true;
}

namespace {
int32_t errorFor(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return MCB_ERROR_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return MCB_ERROR_ACCESS;
    case ENOMEM: return MCB_ERROR_NO_MEMORY;
    default: return MCB_ERROR_IO;
    }
}
} // namespace

std::unique_ptr<FileMedium> FileMedium::open(const std::string& path, int32_t& error)
{
    bool readOnly = false;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC); // a card one may only look at
        readOnly = fd >= 0;
    }
    if (fd < 0 && errno == ENOENT) {
        // A new card: formatted as a console would, then opened like any other.
        const auto card = formatCard(freshFormat(16, Encoding::Ansi));
        if (!writeFileAtomically(path, card.data(), card.size())) {
            error = errorFor(errno);
            return nullptr;
        }
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (fd < 0) {
        error = errorFor(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = MCB_ERROR_BAD_DEVICE;
        return nullptr;
    }
    if (!megabitsForLength(uint64_t(st.st_size))) {
        std::vector<uint8_t> head(kHeadedImageProbe);
        const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
        head.resize(got > 0 ? std::size_t(got) : 0);
        ::close(fd);
        error = extraHeaderLength(uint64_t(st.st_size), head) ? MCB_ERROR_IMAGE_HEADER
                                                              : MCB_ERROR_IMAGE_SIZE;
        return nullptr;
    }
    error = MCB_SUCCESS;
    return std::unique_ptr<FileMedium>(new FileMedium(path, fd, uint64_t(st.st_size), readOnly));
}

FileMedium::~FileMedium() { ::close(fd_); }

bool FileMedium::readAt(uint64_t offset, uint8_t* data, std::size_t length)
{
    if (offset > size_ || length > size_ - offset)
        return false;
    while (length > 0) {
        const ssize_t got = ::pread(fd_, data, length, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false; // the file was cut short under us: no such sector
        data += got;
        offset += uint64_t(got);
        length -= std::size_t(got);
    }
    return true;
}

bool FileMedium::writeAt(uint64_t offset, const uint8_t* data, std::size_t length)
{
    if (readOnly_ || offset > size_ || length > size_ - offset)
        return false;
    // The file did not take it all: neither did the card.
    return ::pwrite(fd_, data, length, off_t(offset)) == ssize_t(length);
}

bool FileMedium::sameMedium() const
{
    struct stat named {
    }, held{};
    return ::stat(path_.c_str(), &named) == 0 && ::fstat(fd_, &held) == 0 &&
           named.st_dev == held.st_dev && named.st_ino == held.st_ino &&
           uint64_t(held.st_size) == size_;
}

} // namespace mcb
