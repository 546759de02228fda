// An adapter whose driver offers a character device: plain blocking writes
// and reads of the bytes the adapter expects.
#include "adapter.h"

#include "mcbridge.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mcb {

namespace {

class NodeAdapter : public Adapter {
public:
    explicit NodeAdapter(int fd) : fd_(fd) {}
    ~NodeAdapter() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int32_t write(const uint8_t* data, uint16_t length) override
    {
        ssize_t n;
        do
            n = ::write(fd_, data, length);
        while (n < 0 && errno == EINTR);
        return n > 0 ? int32_t(n) : 0;
    }
    int32_t read(uint8_t* data, uint16_t length) override
    {
        ssize_t n;
        do
            n = ::read(fd_, data, length);
        while (n < 0 && errno == EINTR);
        return n > 0 ? int32_t(n) : 0;
    }
    bool close() override
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    int kind() const override { return MCB_KIND_NODE; }
    // The driver lets any number of programs open the node: they agree on
    // the same advisory lock as on a card image.
    int32_t lock(LockMode mode, std::chrono::milliseconds wait) override
    {
        return lockFile(fd_, mode, wait);
    }
    void unlock() override { unlockFile(fd_); }
    std::string lockHolder() const override { return lockHolderOf(fd_); }

private:
    int fd_;
};

} // namespace

OpenResult openNodeAdapter(const std::string& path)
{
    OpenResult r;
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        r.error = errno == ENOENT                       ? MCB_ERROR_NOT_FOUND
                  : (errno == EACCES || errno == EPERM) ? MCB_ERROR_ACCESS
                                                        : MCB_ERROR_IO;
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        // A regular file here would be written as if it were an adapter.
        ::close(fd);
        r.error = MCB_ERROR_BAD_DEVICE;
        return r;
    }
    r.adapter = std::make_unique<NodeAdapter>(fd);
    return r;
}

} // namespace mcb
