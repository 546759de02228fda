#include "userfiles/durable_file.h"

#include "userfiles/leftovers.h"
#include "userfiles/temp_names.h"
#include "userfiles/temp_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace userfiles {

namespace {

void splitPath(const std::string& path, std::string& dir, std::string& base)
{
    const auto slash = path.rfind('/');
    dir = slash == std::string::npos ? std::string(".") : slash == 0 ? "/" : path.substr(0, slash);
    base = slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

DurableFile::DurableFile(std::string target, WriteOptions options)
    : target_(std::move(target)), options_(options)
{
    struct stat any {};
    refusal_ = !options_.replace && ::lstat(target_.c_str(), &any) == 0
                   ? Refusal::Exists
                   : checkOutput(target_, options_.force);
    if (refusal_ != Refusal::None)
        return;
    // Forced through a link, the file it names is the one replaced.
    struct stat old {};
    const bool replaces = ::stat(target_.c_str(), &old) == 0;
    if (char* real = replaces ? ::realpath(target_.c_str(), nullptr) : nullptr) {
        target_ = real;
        std::free(real);
    }
    // A run killed outright (SIGKILL, a power cut) left its temporary file
    // for this very target; its maker is gone, so it is ours to remove.
    std::string dir, base;
    splitPath(target_, dir, base);
    sweepLeftovers(dir, {"." + base + ".", 24 * 60 * 60});

    std::string pattern = tempPatternBeside(target_);
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        failWith(errno);
        return;
    }
    temp_ = pattern;
    entry_ = registerTemp(temp_.c_str());
    // mkstemp makes the file private; a file it replaces keeps its own
    // permissions (a private save stays private, a protected one protected),
    // a new one gets the mode a plain create would.
    if (replaces) {
        ::fchmod(fd_, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
}

DurableFile::~DurableFile()
{
    if (fd_ < 0)
        return;
    ::unlink(temp_.c_str());
    forgetTemp(entry_);
    ::close(fd_);
}

bool DurableFile::failWith(int error)
{
    if (refusal_ == Refusal::None) {
        refusal_ = Refusal::Failed;
        error_ = error;
    }
    return false;
}

bool DurableFile::write(const void* data, std::size_t length)
{
    if (fd_ < 0 || refusal_ != Refusal::None)
        return false;
    constexpr std::size_t kGather = 64 * 1024;
    const auto* bytes = static_cast<const uint8_t*>(data);
    pending_.insert(pending_.end(), bytes, bytes + length);
    return pending_.size() < kGather || flush();
}

bool writeAll(int fd, const void* data, std::size_t length)
{
    const auto* p = static_cast<const uint8_t*>(data);
    while (length > 0) {
        const ssize_t n = ::write(fd, p, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        length -= std::size_t(n);
    }
    return true;
}

bool DurableFile::flush()
{
    if (!writeAll(fd_, pending_.data(), pending_.size()))
        failWith(errno);
    pending_.clear();
    return refusal_ == Refusal::None;
}

bool DurableFile::commit()
{
    if (fd_ < 0 || refusal_ != Refusal::None || !flush())
        return false;
    const int fd = fd_;
    fd_ = -1;
    if (options_.durable && ::fsync(fd) != 0)
        failWith(errno);
    if (::close(fd) != 0)
        failWith(errno);
    if (refusal_ == Refusal::None && options_.replace &&
        std::rename(temp_.c_str(), target_.c_str()) != 0)
        failWith(errno);
    // A link fails when the name is taken, however late it was taken.
    if (refusal_ == Refusal::None && !options_.replace) {
        if (::link(temp_.c_str(), target_.c_str()) != 0) {
            if (errno == EEXIST)
                refusal_ = Refusal::Exists;
            else
                failWith(errno);
        }
        ::unlink(temp_.c_str());
    }
    if (refusal_ != Refusal::None)
        ::unlink(temp_.c_str());
    // Forgotten only now: a signal before the rename still removes it, one
    // after finds the name gone.
    forgetTemp(entry_);
    entry_ = -1;
    if (refusal_ != Refusal::None)
        return false;
    // The new name lives in the folder: until the folder is on the disk
    // too, a power cut can take the file with it, and the caller may be
    // about to remove the only other copy (a save from a card).
    if (options_.durable && !syncFolderOf(target_))
        return failWith(errno);
    return true;
}

bool syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool syncFolderOf(const std::string& path)
{
    std::string dir, base;
    splitPath(path, dir, base);
    return syncFolder(dir);
}

WriteResult writeFile(const std::string& path, const void* data, std::size_t length,
                      WriteOptions options)
{
    DurableFile f(path, options);
    f.write(data, length);
    f.commit();
    return {f.refusal(), f.error()};
}

} // namespace userfiles
