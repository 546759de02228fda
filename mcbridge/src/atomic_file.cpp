#include "mcbridge/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mcb {

AtomicFile::AtomicFile(std::string target) : target_(std::move(target))
{
    // The file a symlink names is the one replaced, not the link; and what
    // is no regular file (a directory, a device, a FIFO) is never renamed
    // over.
    struct stat old {};
    const bool replaces = ::stat(target_.c_str(), &old) == 0;
    if (replaces && !S_ISREG(old.st_mode))
        return;
    if (char* real = replaces ? ::realpath(target_.c_str(), nullptr) : nullptr) {
        target_ = real;
        std::free(real);
    }
    const auto slash = target_.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::vector<char> pattern;
    const std::string p = dir + "." + base + ".XXXXXX";
    pattern.assign(p.begin(), p.end());
    pattern.push_back('\0');
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        return;
    temp_ = pattern.data();
    // mkstemp makes the file private; a file it replaces keeps its own
    // permissions (a private save stays private), a new one gets the mode a
    // plain create would.
    if (replaces) {
        fchmod(fd_, old.st_mode & 0777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, 0666 & ~mask);
    }
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
    }
}

bool AtomicFile::write(const void* data, std::size_t length)
{
    if (fd_ < 0 || failed_)
        return false;
    constexpr std::size_t kGather = 64 * 1024;
    const auto* bytes = static_cast<const uint8_t*>(data);
    pending_.insert(pending_.end(), bytes, bytes + length);
    return pending_.size() < kGather || flush();
}

bool AtomicFile::flush()
{
    const uint8_t* p = pending_.data();
    std::size_t length = pending_.size();
    while (length > 0) {
        const ssize_t n = ::write(fd_, p, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed_ = true;
            break;
        }
        p += n;
        length -= std::size_t(n);
    }
    pending_.clear();
    return !failed_;
}

bool AtomicFile::commit(bool durable)
{
    if (fd_ < 0 || failed_ || !flush())
        return false;
    const bool synced = !durable || ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || std::rename(temp_.c_str(), target_.c_str()) != 0) {
        ::unlink(temp_.c_str());
        return false;
    }
    // The new name lives in the folder: until the folder is on the disk too,
    // a power cut can take the file with it, and the caller may be about to
    // remove the only other copy (a save from a card).
    return !durable || syncFolderOf(target_);
}

bool syncFolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".")
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool writeFileAtomically(const std::string& path, const void* data, std::size_t length,
                         bool durable)
{
    AtomicFile f(path);
    return f.write(data, length) && f.commit(durable);
}

} // namespace mcb
