#include "userfiles/leftovers.h"

#include "userfiles/temp_names.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace userfiles {

namespace {

bool makerGone(pid_t maker) { return maker != getpid() && ::kill(maker, 0) != 0 && errno == ESRCH; }

std::vector<std::string> namesIn(int folder)
{
    std::vector<std::string> names;
    const int copy = ::dup(folder);
    if (copy < 0)
        return names;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    while (const dirent* e = ::readdir(dir))
        names.emplace_back(e->d_name);
    ::closedir(dir);
    return names;
}

// A temporary folder of ours holds only the files we put there.
bool removeFolder(int parent, const std::string& name)
{
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    for (const std::string& inner : namesIn(fd)) {
        struct stat st {};
        if (inner == "." || inner == "..")
            continue;
        if (::fstatat(fd, inner.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
            ::unlinkat(fd, inner.c_str(), 0);
    }
    ::close(fd);
    return ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

} // namespace

int sweepLeftovers(const std::string& folder, const SweepRule& rule)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    for (const std::string& name : namesIn(fd)) {
        pid_t maker = 0;
        if (name.compare(0, rule.prefix.size(), rule.prefix) != 0 || !isTempName(name, &maker))
            continue;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != geteuid())
            continue;
        const bool old = now - st.st_mtime > rule.maxAgeSeconds;
        if (!old && !makerGone(maker))
            continue;
        if (S_ISREG(st.st_mode))
            removed += ::unlinkat(fd, name.c_str(), 0) == 0;
        else if (S_ISDIR(st.st_mode))
            removed += removeFolder(fd, name);
    }
    ::close(fd);
    return removed;
}

std::string tempFolder()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

} // namespace userfiles
