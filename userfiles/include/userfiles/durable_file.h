// The one way the project writes a user's file: the bytes go to a temporary
// file beside the target, which is flushed to the disk, renamed over the
// target, and its folder flushed after. A power cut or a failure part-way
// leaves the older file whole; a signal leaves no temporary file (see
// temp_registry.h).
#pragma once

#include "userfiles/output_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace userfiles {

struct WriteOptions {
    // Replace a protected file, and write through a symbolic link to the
    // file it names (or replace a link that names nothing).
    bool force = false;
    // Flush file and folder to the disk; off only for files nobody loses
    // anything by (pictures that can be made again).
    bool durable = true;
    // Off: the file is linked in under its name only when nothing has that
    // name, however late another program made it (Refusal::Exists).
    bool replace = true;
};

class DurableFile {
public:
    DurableFile(std::string target, WriteOptions options = {});
    ~DurableFile(); // removes the temporary file unless committed
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the file was not opened or not committed (None while all is well).
    Refusal refusal() const { return refusal_; }
    // The errno of the failing system call, with Refusal::Failed.
    int error() const { return error_; }

    bool write(const void* data, std::size_t length);
    // Closes and renames into place. False when any write failed.
    bool commit();

private:
    bool flush();
    bool failWith(int error);

    std::string target_;
    WriteOptions options_;
    // Small writes gather here: one system call per 64 KiB.
    std::vector<uint8_t> pending_;
    std::string temp_;
    int fd_ = -1;
    int entry_ = -1; // in the signal clean-up's table
    Refusal refusal_ = Refusal::None;
    int error_ = 0;
};

struct WriteResult {
    Refusal refusal = Refusal::None;
    int error = 0;
    explicit operator bool() const { return refusal == Refusal::None; }
};

// For data already whole in memory: open, write and commit in one call.
WriteResult writeFile(const std::string& path, const void* data, std::size_t length,
                      WriteOptions options = {});

// Flushes the folder that holds path to the disk.
bool syncFolderOf(const std::string& path);
// Flushes the folder itself to the disk (the names it holds).
bool syncFolder(const std::string& folder);

// Writes all length bytes to fd, going on after a signal; false when any
// write fails or writes nothing.
bool writeAll(int fd, const void* data, std::size_t length);

} // namespace userfiles
