// The five adapter commands and the card size query.
#include "journal.h"
#include "library.h"

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

namespace mcb {

namespace {

using Packet = std::array<uint8_t, 16>;

Packet packet(uint8_t c0, uint8_t c1, uint16_t arg, uint8_t filler)
{
    Packet p;
    p.fill(filler);
    p[0] = c0;
    p[1] = c1;
    p[2] = uint8_t(arg);
    p[3] = uint8_t(arg >> 8);
    return p;
}

// The adapter ignores a packet it did not get whole: an erase or a sector
// write would silently not happen. Only the whole packet counts as sent.
bool sendWhole(const Packet& p) { return whole(RawWrite(p.data(), p.size()), p.size()); }

} // namespace

bool whole(int32_t moved, std::size_t expected)
{
    if (moved >= 0 && std::size_t(moved) == expected)
        return true;
    fail(MCB_ERROR_IO);
    return false;
}

bool sendLinkBegin(uint8_t filler) { return sendWhole(packet(0xCA, 0x59, 0x0100, filler)); }

bool sendLinkEnd() { return sendWhole(packet(0xCA, 0x59, 0x0200, 0xFF)); }

int32_t ReadSector(uint16_t sector, void* buffer, uint32_t length)
{
    if (uint16_t(length) > kSectorSize || length > 0xFFFF)
        return -2;
    if (!sendWhole(packet(0xA9, 0x85, sector, 0xFF)))
        return 0;
    if (lib().device->pausesBeforeRead())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return RawRead(buffer, length);
}

int32_t WriteSector(uint16_t sector, const void* buffer, int32_t length)
{
    if (length > int32_t(kSectorSize))
        return -2;
    // The journal keeps what the write overwrites first (journal.h).
    if (!journalBeforeWrite(sector))
        return 0;
    const int32_t written =
        sendWhole(packet(0xBC, 0x35, sector, 0xFF)) ? RawWrite(buffer, uint32_t(length)) : 0;
    journalAfterWrite(sector, static_cast<const uint8_t*>(buffer), false,
                      written == int32_t(kSectorSize));
    return written;
}

int32_t EraseBlock(uint16_t sector)
{
    if (!journalBeforeWrite(sector))
        return 0;
    const bool erased = sendWhole(packet(0x37, 0x81, sector, 0xFF));
    journalAfterWrite(sector, nullptr, true, erased);
    return erased ? 1 : 0;
}

bool readWholeSector(unsigned sector, uint8_t* buffer)
{
    return sector <= 0xFFFF &&
           whole(ReadSector(uint16_t(sector), buffer, kSectorSize), kSectorSize);
}

bool writeWholeSector(unsigned sector, const uint8_t* buffer)
{
    return sector <= 0xFFFF &&
           whole(WriteSector(uint16_t(sector), buffer, kSectorSize), kSectorSize);
}

bool readBlock(unsigned block, Block& out)
{
    for (unsigned s = 0; s < kSectorsPerBlock; ++s)
        if (!readWholeSector(block * kSectorsPerBlock + s, &out[s * kSectorSize]))
            return false;
    return true;
}

int32_t sizeCard()
{
    Library& l = lib();
    uint8_t sector[kSectorSize] = {};
    // Only a whole header sector is trusted for the size.
    const int32_t size = readWholeSector(0, sector) ? sector[kHeaderSizeMbit + 1] : 0;
    l.userBlockCount = uint16_t(size * 16 - int32_t(kSystemBlocks));
    l.cardSized = size != 0;
    l.headerKnown = size != 0;
    std::memcpy(l.headerOnCard.data(), sector, kSectorSize);
    return size != 0 ? size : fail(MCB_ERROR_NOT_A_CARD);
}

} // namespace mcb

using namespace mcb;

extern "C" MCB_API int32_t GetCardMemory(void)
{
    return guarded(Access::Read, [&]() -> int32_t {
        Library& l = lib();
        if (!l.device) {
            if (!OpenDevice(l.progressWindow))
                return 0;
            if (!sendLinkBegin(0x00))
                return 0;
        }
        return sizeCard();
    });
}
