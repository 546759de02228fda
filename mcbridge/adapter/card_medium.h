// Where an emulated card keeps its bytes: an image file, or memory for tests
// that make thousands of cards.
#pragma once

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

// An image file, written in place sector by sector, so that what a power cut
// would leave on a card is what the file holds. Reads come from a copy taken
// when the adapter opens: nothing but this adapter writes the file meanwhile.
class FileMedium : public CardMedium {
public:
    ~FileMedium() override;
    // Opens PATH read-write (read-only when writing is not permitted). A
    // missing file is created as a formatted 16 Mbit card. Fails with an
    // mcb_error code, among them MCB_ERROR_IMAGE_SIZE when the length is not
    // that of a card and MCB_ERROR_IMAGE_HEADER when it is a card behind
    // another tool's header.
    static std::unique_ptr<FileMedium> open(const std::string& path, int32_t& error);
    uint64_t size() const override { return bytes_.size(); }
    bool readAt(uint64_t offset, uint8_t* data, std::size_t length) override;
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override;

private:
    FileMedium(int fd, std::vector<uint8_t> bytes) : fd_(fd), bytes_(std::move(bytes)) {}
    int fd_;
    std::vector<uint8_t> bytes_;
};

} // namespace mcb
