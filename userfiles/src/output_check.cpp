#include "userfiles/output_check.h"

#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace userfiles {

namespace {

bool inGroup(gid_t group)
{
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(std::size_t(count), 0);
    const int n = getgroups(count, groups.data());
    for (int i = 0; i < n; ++i)
        if (groups[std::size_t(i)] == group)
            return true;
    return false;
}

} // namespace

bool writableByMode(unsigned mode, Writer writer)
{
    // Root may write anything; a file with no write bit at all is one its
    // owner protected, and root honours that too.
    if (writer.root)
        return (mode & 0222) != 0;
    if (writer.owner)
        return (mode & S_IWUSR) != 0;
    if (writer.inGroup)
        return (mode & S_IWGRP) != 0;
    return (mode & S_IWOTH) != 0;
}

Refusal checkOutput(const std::string& path, bool force)
{
    struct stat link {};
    // Anything else the path's lookup trips on is for the write to report
    // with its own errno.
    if (::lstat(path.c_str(), &link) != 0)
        return Refusal::None;
    struct stat file = link;
    if (S_ISLNK(link.st_mode)) {
        if (!force)
            return Refusal::SymbolicLink;
        // A link that names nothing is replaced itself.
        if (::stat(path.c_str(), &file) != 0)
            return Refusal::None;
    }
    if (!S_ISREG(file.st_mode))
        return Refusal::NotAFile;
    const Writer me{geteuid() == 0, geteuid() == file.st_uid, inGroup(file.st_gid)};
    if (!force && !writableByMode(file.st_mode, me))
        return Refusal::Protected;
    return Refusal::None;
}

const char* refusalText(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None: return "written";
    case Refusal::Protected: return "the file is write-protected";
    case Refusal::SymbolicLink: return "the path is a symbolic link";
    case Refusal::NotAFile: return "the path is not a regular file";
    case Refusal::Exists: return "a file of that name exists";
    case Refusal::Failed: break;
    }
    return "the file could not be written";
}

} // namespace userfiles
