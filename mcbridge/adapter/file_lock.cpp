#include "file_lock.h"

#include "mcbridge.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace mcb {

int32_t lockFile(int fd, LockMode mode, std::chrono::milliseconds wait)
{
    const int how = (mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, how) == 0)
            return MCB_SUCCESS;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return MCB_ERROR_IO;
        if (std::chrono::steady_clock::now() >= deadline)
            return MCB_ERROR_BUSY;
        // Another program's write takes as long as a save does: looking
        // again every few tens of milliseconds costs nothing it would notice.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void unlockFile(int fd) { ::flock(fd, LOCK_UN); }

std::string lockHolderOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  WRITE 13973 fe:00:10955905 0 EOF"
        std::istringstream fields(line);
        std::string number, kind, advisory, access, file;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->")
            continue; // a waiter, not a holder
        if (!(fields >> advisory >> access >> pid >> file) || file != id || pid <= 0)
            continue;
        std::string name;
        std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
        std::getline(comm, name);
        return (name.empty() ? std::string("another program") : name) + " (pid " +
               std::to_string(pid) + ")";
    }
    return {};
}

} // namespace mcb
