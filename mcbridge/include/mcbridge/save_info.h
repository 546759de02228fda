// What a save says about itself: its title and comment lines, when it was
// last written, its permission bits and copy counter, and its animated icon.
// Works on the entry and a byte source for the save's data, so a card save
// (blocks in chain order) and a save file are described alike.
#pragma once

#include "mcbridge/format.h"
#include "mcbridge/icon_decode.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace mcb {

// Permission bits of the entry.
constexpr uint8_t kPermissionPublic = 0x04;
constexpr uint8_t kPermissionNoCopy = 0x08;
constexpr uint8_t kPermissionNoMove = 0x10;

struct CalendarTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const CalendarTime&) const = default;
};

// The console counts seconds from 2000-01-01 00:00:00 in its own local time.
CalendarTime calendarFromConsoleSeconds(uint32_t seconds);

struct SaveInfo {
    std::string code; // the six-byte game code, up to its first NUL
    std::string name; // the file name, up to its first NUL, as stored
    bool hasComment = false;
    std::string title;   // UTF-8
    std::string comment; // UTF-8
    Encoding encoding = Encoding::Ansi;
    uint32_t modified = 0;
    CalendarTime when;
    uint8_t permissions = 0;
    uint8_t copyCounter = 0;
    uint16_t blocks = 0;
    IconAnimation icons;
};

SaveInfo describeSave(EntryRef entry, const SaveBytes& data, Encoding encoding);

// The save's data read a block at a time, on first use, from wherever the
// blocks are (a card through its chain, a file after its header). Only the
// blocks a description touches are read.
class BlockReader {
public:
    using ReadBlock = std::function<bool(unsigned index, Block& out)>;
    BlockReader(unsigned blockCount, ReadBlock read) : count_(blockCount), read_(std::move(read)) {}
    std::optional<uint8_t> operator()(uint64_t offset);
    bool failed() const { return failed_; } // a block that exists could not be read

private:
    unsigned count_;
    ReadBlock read_;
    std::map<unsigned, std::optional<Block>> blocks_;
    bool failed_ = false;
};

} // namespace mcb
