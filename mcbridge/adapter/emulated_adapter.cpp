#include "emulated_adapter.h"

#include "mcbridge/cardfs.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <thread>

namespace mcb {

bool Place::contains(unsigned b) const
{
    switch (kind) {
    case Kind::None: return false;
    case Kind::Header: return b == kHeaderBlock;
    case Kind::Directory: return b == kDirectoryBlock[0] || b == kDirectoryBlock[1];
    case Kind::Map: return b == kMapBlock[0] || b == kMapBlock[1];
    case Kind::System: return b < kSystemBlocks;
    case Kind::Data: return b >= kSystemBlocks;
    case Kind::Block: return b == block;
    }
    return false;
}

namespace {

bool number(std::string_view text, uint64_t& n)
{
    return !text.empty() && std::from_chars(text.data(), text.data() + text.size(), n).ptr ==
                                text.data() + text.size();
}

// "dir", "map:2", "block7:3" and the like.
std::optional<Place> parsePlace(std::string_view text)
{
    Place p;
    const auto colon = text.find(':');
    const std::string_view where = text.substr(0, colon);
    if (colon != std::string_view::npos && (!number(text.substr(colon + 1), p.nth) || p.nth == 0))
        return std::nullopt;
    uint64_t b = 0;
    if (where == "header")
        p.kind = Place::Kind::Header;
    else if (where == "dir")
        p.kind = Place::Kind::Directory;
    else if (where == "map")
        p.kind = Place::Kind::Map;
    else if (where == "system")
        p.kind = Place::Kind::System;
    else if (where == "data")
        p.kind = Place::Kind::Data;
    else if (where.starts_with("block") && number(where.substr(5), b) && b < 0x10000) {
        p.kind = Place::Kind::Block;
        p.block = unsigned(b);
    } else
        return std::nullopt;
    return p;
}

} // namespace

Faults parseFaults(std::string_view text)
{
    Faults f;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const auto eq = item.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = item.substr(0, eq);
        const std::string_view value = item.substr(eq + 1);
        if (const auto place = parsePlace(value)) {
            if (key == "read-fail")
                f.failReadAt = *place;
            else if (key == "read-short")
                f.shortReadAt = *place;
            else if (key == "write-fail")
                f.failWriteAt = *place;
            else if (key == "write-short")
                f.shortWriteAt = *place;
            else if (key == "cut-at")
                f.cutAt = *place;
            continue;
        }
        uint64_t n = 0;
        if (std::from_chars(value.data(), value.data() + value.size(), n).ec != std::errc())
            continue;
        if (key == "read-fail")
            f.failRead = n;
        else if (key == "read-short")
            f.shortRead = n;
        else if (key == "write-fail")
            f.failWrite = n;
        else if (key == "write-short")
            f.shortWrite = n;
        else if (key == "cut-after")
            f.cutAfterTransfers = n;
        else if (key == "cut-after-writes")
            f.cutAfterSectorWrites = n;
        else if (key == "read-delay")
            f.readDelay = std::chrono::milliseconds(n);
    }
    return f;
}

EmulatedAdapter::EmulatedAdapter(std::shared_ptr<CardMedium> card, std::shared_ptr<Traffic> traffic,
                                 Faults faults)
    : card_(std::move(card)), traffic_(traffic ? std::move(traffic) : std::make_shared<Traffic>()),
      faults_(faults)
{
}

bool EmulatedAdapter::transferAllowed()
{
    ++transfers_;
    ++traffic_->transfers;
    if (faults_.cutAfterTransfers && transfers_ > faults_.cutAfterTransfers)
        dropped_ = true;
    if (faults_.cutAfterSectorWrites && programmed_ >= faults_.cutAfterSectorWrites)
        dropped_ = true;
    return !dropped_;
}

bool EmulatedAdapter::hits(const Place& place, uint64_t& count, unsigned sector)
{
    return place && place.contains(sector / kSectorsPerBlock) && ++count == place.nth;
}

int32_t EmulatedAdapter::write(const uint8_t* data, uint16_t length)
{
    const bool sectorData = expect_ == Expect::SectorData;
    if (sectorData && hits(faults_.cutAt, cutAtCount_, sector_))
        dropped_ = true; // the card was pulled just as this sector went out
    if (!transferAllowed())
        return 0;
    ++writes_;
    ++traffic_->writeCalls;
    if (faults_.failWrite == writes_ ||
        (sectorData && hits(faults_.failWriteAt, failWriteAtCount_, sector_))) {
        expect_ = Expect::Packet;
        return 0;
    }
    const bool halve = faults_.shortWrite == writes_ ||
                       (sectorData && hits(faults_.shortWriteAt, shortWriteAtCount_, sector_));
    const uint16_t n = halve ? uint16_t(length / 2) : length;

    if (sectorData) {
        expect_ = Expect::Packet;
        // A sector the card does not have takes nothing.
        return program(sector_, data, n) ? n : 0;
    }
    // A read command left unanswered is forgotten when the next packet comes.
    expect_ = Expect::Packet;
    handlePacket(data, n);
    return n;
}

int32_t EmulatedAdapter::read(uint8_t* data, uint16_t length)
{
    if (!transferAllowed())
        return 0;
    ++reads_;
    ++traffic_->readCalls;
    if (expect_ != Expect::ReadData || faults_.failRead == reads_ ||
        hits(faults_.failReadAt, failReadAtCount_, sector_)) {
        expect_ = Expect::Packet;
        return 0;
    }
    expect_ = Expect::Packet;
    if (faults_.beforeRead)
        faults_.beforeRead(sector_);
    if (faults_.readDelay.count() > 0)
        std::this_thread::sleep_for(faults_.readDelay);
    uint8_t sector[kSectorSize];
    if (!card_->readAt(uint64_t(sector_) * kSectorSize, sector, kSectorSize))
        return 0; // no such sector on this card
    uint16_t n = std::min<uint16_t>(length, kSectorSize);
    if (faults_.shortRead == reads_ || hits(faults_.shortReadAt, shortReadAtCount_, sector_))
        n = uint16_t(n / 2);
    std::memcpy(data, sector, n);
    ++traffic_->sectorReads;
    return n;
}

void EmulatedAdapter::handlePacket(const uint8_t* p, uint16_t length)
{
    if (length != 16)
        return; // the adapter only understands whole packets
    ++traffic_->packets;
    if (traffic_->keepPackets) {
        std::array<uint8_t, 16> copy;
        std::memcpy(copy.data(), p, 16);
        traffic_->packetLog.push_back(copy);
    }
    const unsigned arg = unsigned(p[2]) | unsigned(p[3]) << 8;
    if (p[0] == 0xCA && p[1] == 0x59) {
        if (arg == 0x0100)
            ++traffic_->begins;
        else if (arg == 0x0200)
            ++traffic_->ends;
    } else if (p[0] == 0xA9 && p[1] == 0x85) {
        sector_ = arg;
        expect_ = Expect::ReadData;
    } else if (p[0] == 0xBC && p[1] == 0x35) {
        sector_ = arg;
        expect_ = Expect::SectorData;
    } else if (p[0] == 0x37 && p[1] == 0x81) {
        // The chip erases the whole block that holds the sector.
        const uint64_t start = uint64_t(arg / kSectorsPerBlock) * kBlockSize;
        static const std::array<uint8_t, kBlockSize> erased = [] {
            std::array<uint8_t, kBlockSize> a;
            a.fill(0xFF);
            return a;
        }();
        if (card_->writeAt(start, erased.data(), erased.size()))
            ++traffic_->erases;
    }
}

bool EmulatedAdapter::program(unsigned sector, const uint8_t* data, uint16_t length)
{
    // Flash can only clear bits: a sector written without its erase shows the
    // damage a real card would.
    uint8_t cell[kSectorSize];
    const uint64_t offset = uint64_t(sector) * kSectorSize;
    const uint16_t n = std::min<uint16_t>(length, kSectorSize);
    if (!card_->readAt(offset, cell, kSectorSize))
        return false;
    for (uint16_t i = 0; i < n; ++i)
        cell[i] &= data[i];
    if (!card_->writeAt(offset, cell, kSectorSize))
        return false;
    ++programmed_;
    ++traffic_->sectorWrites;
    if (traffic_->keepPackets)
        traffic_->writtenSectors.push_back(sector);
    return true;
}

bool EmulatedAdapter::close() { return true; }

} // namespace mcb
