// Sharing a card image (or a folder of saves) with other programs: an
// advisory lock on the file, which every program built on this library
// takes before it writes. Writers hold it exclusively; readers share it for
// one read.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace mcb {

enum class LockMode { Shared, Exclusive };

// Takes the lock on fd, trying again until wait has passed: MCB_SUCCESS,
// MCB_ERROR_BUSY while another holds it, MCB_ERROR_IO when the file cannot
// be locked at all.
int32_t lockFile(int fd, LockMode mode, std::chrono::milliseconds wait);
void unlockFile(int fd);

// Who holds a lock on the file fd refers to, as "program (pid N)", from the
// system's table of locks; empty when that cannot be told.
std::string lockHolderOf(int fd);

} // namespace mcb
