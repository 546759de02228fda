// The adapter's side of the link, played byte for byte over a card medium:
// it parses each 16-byte packet, answers sector reads with 512 bytes, takes
// 512 bytes after a sector write and erases 8 KB blocks, under the rules of
// flash memory. It counts its traffic and can be told to fail.
#pragma once

#include "adapter.h"
#include "card_medium.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace mcb {

// Everything that crossed the link, for tests and benchmarks.
struct Traffic {
    uint64_t transfers = 0;  // every write and read call
    uint64_t writeCalls = 0; // of which writes, as the write faults count them
    uint64_t readCalls = 0;  // and reads, as the read faults count them
    uint64_t packets = 0;    // 16-byte command packets
    uint64_t begins = 0;
    uint64_t ends = 0;
    uint64_t sectorReads = 0;  // sectors answered
    uint64_t sectorWrites = 0; // sectors programmed
    uint64_t erases = 0;
    bool keepPackets = false; // record each packet below
    std::vector<std::array<uint8_t, 16>> packetLog;
    std::vector<unsigned> writtenSectors; // in order, when keepPackets
};

// A sector transfer named by where it goes rather than by its place in the
// library's sequence of transfers: the nth sector read from (or written to)
// the place, counted from 1 since the adapter was opened. A test that names
// "the second write of a directory block" keeps failing that write when the
// library learns to read or write something else first.
struct Place {
    enum class Kind : uint8_t { None, Header, Directory, Map, System, Data, Block };
    Kind kind = Kind::None;
    unsigned block = 0; // for Block
    uint64_t nth = 1;
    bool contains(unsigned b) const;
    explicit operator bool() const { return kind != Kind::None; }
};

// Faults to inject, counted from 1 since the adapter was opened; 0 = never.
struct Faults {
    uint64_t failRead = 0;             // the Nth read returns nothing
    uint64_t shortRead = 0;            // the Nth read returns half of what was asked
    uint64_t failWrite = 0;            // the Nth write transfers nothing
    uint64_t shortWrite = 0;           // the Nth write transfers half of its bytes
    uint64_t cutAfterTransfers = 0;    // the link drops after N transfers
    uint64_t cutAfterSectorWrites = 0; // the link drops after N sectors were programmed
    // The same by place: the sector read or written there fails, comes
    // half, or (cutAt) the link drops just before the sector is written.
    Place failReadAt, shortReadAt, failWriteAt, shortWriteAt, cutAt;
    // Not faults but the pace of a real adapter, which pauses a few
    // milliseconds before answering each sector read: what a program must
    // stay usable through.
    std::chrono::milliseconds readDelay{0};
    // Called on the reading thread before each sector read is answered, with
    // the sector: a test holds the library in a read here for as long as it
    // needs, without waiting on a clock.
    std::function<void(unsigned sector)> beforeRead;
    bool any() const
    {
        return failRead || shortRead || failWrite || shortWrite || cutAfterTransfers ||
               cutAfterSectorWrites || failReadAt || shortReadAt || failWriteAt || shortWriteAt ||
               cutAt;
    }
};

// Reads "read-fail=N,read-short=N,write-fail=N,write-short=N,cut-after=N,
// cut-after-writes=N" (the Nth transfer of the kind), and the same faults by
// place, "read-fail=PLACE[:N]" ... "cut-at=PLACE[:N]", where PLACE is header,
// dir, map, system (blocks 0-4), data (the save blocks) or blockB, and N
// the how-manyth sector transfer there (1 when left out); "read-delay=MS"
// pauses each sector read MS milliseconds. Unknown or malformed items are
// ignored.
Faults parseFaults(std::string_view text);

class EmulatedAdapter : public Adapter {
public:
    EmulatedAdapter(std::shared_ptr<CardMedium> card, std::shared_ptr<Traffic> traffic = {},
                    Faults faults = {});
    int32_t write(const uint8_t* data, uint16_t length) override;
    int32_t read(uint8_t* data, uint16_t length) override;
    bool close() override;
    bool pausesBeforeRead() const override { return false; }
    int32_t lock(LockMode mode, std::chrono::milliseconds wait) override
    {
        return card_->lock(mode, wait);
    }
    void unlock() override { card_->unlock(); }
    std::string lockHolder() const override { return card_->lockHolder(); }
    bool readOnly() const override { return card_->readOnly(); }
    bool sameMedium() const override { return card_->sameMedium(); }
    int kind() const override { return card_->kind(); }
    bool begin() override { return card_->begin(); }
    int32_t settle(bool succeeded) override { return card_->settle(succeeded); }
    CardMedium& medium() { return *card_; }

    bool linkDropped() const { return dropped_; }

private:
    enum class Expect { Packet, SectorData, ReadData };
    bool transferAllowed();
    void handlePacket(const uint8_t* p, uint16_t length);
    bool program(unsigned sector, const uint8_t* data, uint16_t length);
    // Counts a sector transfer at place's block: true when it is the one
    // the place names.
    bool hits(const Place& place, uint64_t& count, unsigned sector);

    std::shared_ptr<CardMedium> card_;
    std::shared_ptr<Traffic> traffic_;
    Faults faults_;
    uint64_t transfers_ = 0;
    uint64_t reads_ = 0;
    uint64_t writes_ = 0;
    uint64_t programmed_ = 0;
    uint64_t failReadAtCount_ = 0, shortReadAtCount_ = 0, failWriteAtCount_ = 0,
             shortWriteAtCount_ = 0, cutAtCount_ = 0;
    bool dropped_ = false;
    Expect expect_ = Expect::Packet;
    unsigned sector_ = 0;
};

} // namespace mcb
