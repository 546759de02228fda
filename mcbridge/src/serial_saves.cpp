#include "mcbridge/serial_saves.h"

#include <algorithm>
#include <array>
#include <vector>

namespace mcb {
namespace {

// Where F-Zero GX keeps the serial: each word split into 16-bit halves
// scattered over its save, and a checksum at the start over the rest of the
// first four blocks.
constexpr std::size_t kFzHighFirst = 0x2066;
constexpr std::size_t kFzLowFirst = 0x2060;
constexpr std::size_t kFzHighSecond = 0x7580;
constexpr std::size_t kFzLowSecond = 0x2200;
constexpr std::size_t kFzChecksum = 0x0000;
constexpr std::size_t kFzCoveredFrom = 0x0002;
constexpr std::size_t kFzCoveredEnd = 0x8000;

// Phantasy Star Online keeps both words whole in its second block, inside
// the range its checksum covers; Episode III's covered range is 16 bytes
// longer.
constexpr std::size_t kPsoSerial = 0x2158;
constexpr std::size_t kPsoChecksum = 0x2048;
constexpr std::size_t kPsoCoveredFrom = 0x204C;
constexpr std::size_t kPsoCoveredEnd = 0x2164;
constexpr std::size_t kPso3Extra = 0x10;
constexpr uint32_t kPsoChecksumStart = 0xDEBB20E3;

struct KnownSave {
    SerialBoundGame game;
    const char* name;
    std::array<const char*, 2> codePrefixes; // first three letters of the game code
};

// The game codes cover every region of each game. Either Phantasy Star
// Online name is taken under either episode's code, since the tools that
// re-sign these saves go by the name alone.
constexpr KnownSave kKnownSaves[] = {
    {SerialBoundGame::FZeroGx, "f_zero.dat", {"GFZ", "GFZ"}},
    {SerialBoundGame::PsoEpisode12, "PSO_SYSTEM", {"GPO", "GPS"}},
    {SerialBoundGame::PsoEpisode3, "PSO3_SYSTEM", {"GPO", "GPS"}},
};

std::size_t layoutEnd(SerialBoundGame game)
{
    switch (game) {
    case SerialBoundGame::FZeroGx: return kFzCoveredEnd;
    case SerialBoundGame::PsoEpisode12: return kPsoCoveredEnd;
    case SerialBoundGame::PsoEpisode3: return kPsoCoveredEnd + kPso3Extra;
    case SerialBoundGame::None: break;
    }
    return 0;
}

// Reflected CRC-16 (polynomial 0x8408) from 0xFFFF; F-Zero GX stores its complement.
uint16_t fzeroChecksum(std::span<const uint8_t> bytes)
{
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0x8408) : uint16_t(crc >> 1);
    }
    return uint16_t(~crc);
}

// Reflected CRC-32 (polynomial 0xEDB88320) from the game's own starting
// value rather than the usual all-ones; stored complemented.
uint32_t psoChecksum(std::span<const uint8_t> bytes)
{
    uint32_t crc = kPsoChecksumStart;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void signFzero(std::span<uint8_t> data, CardSerial serial)
{
    putBe16(&data[kFzHighFirst], uint16_t(serial.first >> 16));
    putBe16(&data[kFzLowFirst], uint16_t(serial.first));
    putBe16(&data[kFzHighSecond], uint16_t(serial.second >> 16));
    putBe16(&data[kFzLowSecond], uint16_t(serial.second));
    putBe16(&data[kFzChecksum],
            fzeroChecksum(data.subspan(kFzCoveredFrom, kFzCoveredEnd - kFzCoveredFrom)));
}

void signPso(std::span<uint8_t> data, CardSerial serial, std::size_t coveredEnd)
{
    putBe32(&data[kPsoSerial], serial.first);
    putBe32(&data[kPsoSerial + 4], serial.second);
    putBe32(&data[kPsoChecksum],
            psoChecksum(data.subspan(kPsoCoveredFrom, coveredEnd - kPsoCoveredFrom)));
}

} // namespace

SerialBoundGame serialBoundGame(EntryRef entry)
{
    const std::string code = entry.code();
    for (const KnownSave& known : kKnownSaves) {
        if (!entry.sameName(known.name))
            continue;
        for (const char* prefix : known.codePrefixes)
            if (code.size() >= 3 && code.compare(0, 3, prefix) == 0)
                return known.game;
    }
    return SerialBoundGame::None;
}

std::optional<CardSerial> serialInSave(EntryRef entry, std::span<const uint8_t> data)
{
    const SerialBoundGame game = serialBoundGame(entry);
    if (game == SerialBoundGame::None || data.size() < layoutEnd(game))
        return std::nullopt;
    if (game == SerialBoundGame::FZeroGx)
        return CardSerial{
            uint32_t(getBe16(&data[kFzHighFirst])) << 16 | getBe16(&data[kFzLowFirst]),
            uint32_t(getBe16(&data[kFzHighSecond])) << 16 | getBe16(&data[kFzLowSecond])};
    return CardSerial{getBe32(&data[kPsoSerial]), getBe32(&data[kPsoSerial + 4])};
}

bool resignSave(EntryRef entry, std::span<uint8_t> data, CardSerial serial)
{
    const SerialBoundGame game = serialBoundGame(entry);
    const std::size_t end = layoutEnd(game);
    if (game == SerialBoundGame::None || data.size() < end)
        return false;
    // Only bytes before the layout's end are ever written.
    const std::vector<uint8_t> before(data.begin(), data.begin() + std::ptrdiff_t(end));
    if (game == SerialBoundGame::FZeroGx)
        signFzero(data, serial);
    else
        signPso(data, serial, end);
    return !std::equal(before.begin(), before.end(), data.begin());
}

} // namespace mcb
