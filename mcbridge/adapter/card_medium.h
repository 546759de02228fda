// Where an emulated card keeps its bytes: an image file, or memory for tests
// that make thousands of cards.
#pragma once

#include "file_lock.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mcb {

class CardMedium {
public:
    virtual ~CardMedium() = default;
    virtual uint64_t size() const = 0;
    virtual bool readAt(uint64_t offset, uint8_t* data, std::size_t length) = 0;
    virtual bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) = 0;
    // As the adapter's (adapter.h).
    virtual int32_t lock(LockMode, std::chrono::milliseconds) { return 0; }
    virtual void unlock() {}
    virtual std::string lockHolder() const { return {}; }
    virtual bool readOnly() const { return false; }
    virtual bool sameMedium() const { return true; }
    virtual int kind() const;
    // As the adapter's (adapter.h): a medium that keeps the card in a form
    // of its own (a folder of save files) takes it up to date at a call's
    // start and writes the call's changes through at its end.
    virtual bool begin() { return false; }
    virtual int32_t settle(bool /*succeeded*/) { return 0; }
};

class MemoryMedium : public CardMedium {
public:
    explicit MemoryMedium(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    uint64_t size() const override { return bytes_.size(); }
    bool readAt(uint64_t offset, uint8_t* data, std::size_t length) override;
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override;
    std::vector<uint8_t>& bytes() { return bytes_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// An image file, read and written in place sector by sector, so that what a
// power cut would leave on a card is what the file holds, and what another
// program did to the file is what the card shows.
class FileMedium : public CardMedium {
public:
    ~FileMedium() override;
    // Opens PATH read-write (read-only when writing is not permitted). A
    // missing file is created as a formatted 16 Mbit card. Fails with an
    // mcb_error code, among them MCB_ERROR_IMAGE_SIZE when the length is not
    // that of a card and MCB_ERROR_IMAGE_HEADER when it is a card behind
    // another tool's header.
    static std::unique_ptr<FileMedium> open(const std::string& path, int32_t& error);
    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, uint8_t* data, std::size_t length) override;
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override;
    int32_t lock(LockMode mode, std::chrono::milliseconds wait) override
    {
        return lockFile(fd_, mode, wait);
    }
    void unlock() override { unlockFile(fd_); }
    std::string lockHolder() const override { return lockHolderOf(fd_); }
    bool readOnly() const override { return readOnly_; }
    // The path still names the file that was opened, at the length it had.
    bool sameMedium() const override;

private:
    FileMedium(std::string path, int fd, uint64_t size, bool readOnly)
        : path_(std::move(path)), fd_(fd), size_(size), readOnly_(readOnly)
    {
    }
    std::string path_;
    int fd_;
    uint64_t size_;
    bool readOnly_;
};

} // namespace mcb
