// A file written under a temporary name beside its target and renamed over
// it only when complete: a failure part-way leaves any older file of that name
// untouched and no half-written file behind. The writing itself is the
// project's one durable write (userfiles); the library's callers have chosen
// their paths already, so a link is written through and a protected file
// replaced, as a forced output is.
#pragma once

#include "userfiles/durable_file.h"

#include <cstddef>
#include <string>

namespace mcb {

class AtomicFile : public userfiles::DurableFile {
public:
    // When durable, commit() flushes the file to the disk before the rename
    // and its folder after.
    explicit AtomicFile(std::string target, bool durable = true)
        : DurableFile(std::move(target), {.force = true, .durable = durable})
    {
    }
};

using userfiles::syncFolderOf;

// For data already whole in memory: open, write and commit in one call, with
// the same guarantee that an older file survives a failure.
bool writeFileAtomically(const std::string& path, const void* data, std::size_t length,
                         bool durable = true);

// A file that must not exist yet (a new card image): written whole and
// flushed, then linked in under path, which fails when path exists however
// late another program made it, so nothing is ever written over.
enum class NewFile { Written, Exists, Failed };
NewFile writeNewFile(const std::string& path, const void* data, std::size_t length);

} // namespace mcb
