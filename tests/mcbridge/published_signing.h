// Serial-bound saves signed the way the games' published layouts describe,
// with checksums written out here from their published definitions: the
// library's re-signing is checked against these, never against itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mcbridge/format.h"
#include "save_maker.h"

namespace mcbtest {

// A card's serial as the published definition folds the header's first 32
// bytes: the XOR of the big-endian words at 0, 8, 16, 24 and of those at 4,
// 12, 20, 28.
struct PublishedSerial {
    uint32_t first = 0;
    uint32_t second = 0;
};

inline PublishedSerial serialOfHeader(const uint8_t* header)
{
    auto word = [&](std::size_t at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 |
               uint32_t(header[at + 2]) << 8 | header[at + 3];
    };
    PublishedSerial s;
    for (std::size_t at = 0; at < 32; at += 8) {
        s.first ^= word(at);
        s.second ^= word(at + 4);
    }
    return s;
}

// Reflected CRC tables built from the polynomials.
template <typename T> std::array<T, 256> reflectedTable(T polynomial)
{
    std::array<T, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        T v = T(n);
        for (int k = 0; k < 8; ++k)
            v = (v & 1) ? T((v >> 1) ^ polynomial) : T(v >> 1);
        table[n] = v;
    }
    return table;
}

// CRC-16 as in X.25: reflected 0x8408, register from 0xFFFF, result complemented.
inline uint16_t crc16X25(const uint8_t* p, std::size_t n)
{
    static const auto table = reflectedTable<uint16_t>(0x8408);
    uint16_t r = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i)
        r = uint16_t((r >> 8) ^ table[(r ^ p[i]) & 0xFF]);
    return uint16_t(~r);
}

// CRC-32, reflected 0xEDB88320, register from start, result complemented.
inline uint32_t crc32From(uint32_t start, const uint8_t* p, std::size_t n)
{
    static const auto table = reflectedTable<uint32_t>(0xEDB88320u);
    uint32_t r = start;
    for (std::size_t i = 0; i < n; ++i)
        r = (r >> 8) ^ table[(r ^ p[i]) & 0xFF];
    return ~r;
}

inline void put16(std::vector<uint8_t>& d, std::size_t at, uint32_t v)
{
    d[at] = uint8_t(v >> 8);
    d[at + 1] = uint8_t(v);
}

inline void put32(std::vector<uint8_t>& d, std::size_t at, uint32_t v)
{
    put16(d, at, v >> 16);
    put16(d, at + 2, v & 0xFFFF);
}

// F-Zero GX "f_zero.dat" (d: the save's blocks): the serial's halves at
// 0x2066 (first, high), 0x2060 (first, low), 0x7580 (second, high), 0x2200
// (second, low), all big-endian; the X.25 CRC of bytes 0x0002..0x7FFF at
// 0x0000.
inline void signAsFzero(std::vector<uint8_t>& d, uint32_t first, uint32_t second)
{
    put16(d, 0x2066, first >> 16);
    put16(d, 0x2060, first & 0xFFFF);
    put16(d, 0x7580, second >> 16);
    put16(d, 0x2200, second & 0xFFFF);
    put16(d, 0x0000, crc16X25(&d[2], 0x8000 - 2));
}

// Phantasy Star Online "PSO_SYSTEM" / "PSO3_SYSTEM": both words big-endian at
// 0x2158, the CRC-32 started from 0xDEBB20E3 over 0x204C up to 0x2164 (0x2174
// for Episode III) stored big-endian at 0x2048.
inline void signAsPso(std::vector<uint8_t>& d, uint32_t first, uint32_t second, std::size_t end)
{
    put32(d, 0x2158, first);
    put32(d, 0x215C, second);
    put32(d, 0x2048, crc32From(0xDEBB20E3u, &d[0x204C], end - 0x204C));
}

// ---- Cards and saves made for these tests -------------------------------

// A 4 Mbit card formatted by a console whose identity bytes follow from seed.
inline std::vector<uint8_t> cardFormattedBy(uint8_t seed)
{
    mcb::FormatOptions o{4};
    for (std::size_t i = 0; i < o.serial.size(); ++i)
        o.serial[i] = uint8_t(seed * 31 + i * 7);
    o.formatTime = 0x0123456789ull * seed;
    return mcb::formatCard(o);
}

inline PublishedSerial serialOf(const std::vector<uint8_t>& card)
{
    return serialOfHeader(card.data());
}

struct Game {
    const char* code;
    const char* file;
    unsigned blocks;
    std::size_t psoEnd; // 0 for F-Zero GX
};

constexpr Game kFzero{"GFZE8P", "f_zero.dat", 4, 0};
constexpr Game kPso12{"GPOE8P", "PSO_SYSTEM", 2, 0x2164};
constexpr Game kPso3{"GPSJ8P", "PSO3_SYSTEM", 2, 0x2174};

inline void signAs(const Game& g, std::vector<uint8_t>& data, PublishedSerial s)
{
    if (g.psoEnd)
        signAsPso(data, s.first, s.second, g.psoEnd);
    else
        signAsFzero(data, s.first, s.second);
}

// A save file of the game as it was left on a card with serial s.
inline std::vector<uint8_t> savedOn(const Game& g, PublishedSerial s, uint8_t seed = 6)
{
    std::vector<uint8_t> file =
        makeSaveFile({.code = g.code, .name = g.file, .blocks = g.blocks, .seed = seed});
    std::vector<uint8_t> data(file.begin() + 64, file.end());
    signAs(g, data, s);
    std::copy(data.begin(), data.end(), file.begin() + 64);
    return file;
}

} // namespace mcbtest
