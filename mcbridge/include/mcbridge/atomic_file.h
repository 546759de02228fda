// A file written under a temporary name beside its target and renamed over
// it only when complete: a failure part-way leaves any older file of that name
// untouched and no half-written file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mcb {

class AtomicFile {
public:
    explicit AtomicFile(std::string target);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(const void* data, std::size_t length);
    // Closes and renames into place; when durable, the file is flushed to
    // the disk first and its folder after. False when any write failed.
    bool commit(bool durable = true);

private:
    bool flush();

    std::string target_;
    // Sector-sized writes gather here: one system call per 64 KiB, not per sector.
    std::vector<uint8_t> pending_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
};

// Flushes the folder that holds path to the disk.
bool syncFolderOf(const std::string& path);

// For data already whole in memory: open, write and commit in one call, with
// the same guarantee that an older file survives a failure.
bool writeFileAtomically(const std::string& path, const void* data, std::size_t length,
                         bool durable = true);

} // namespace mcb
