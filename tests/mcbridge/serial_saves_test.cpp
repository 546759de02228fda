// Saves bound to a card's serial: the serial read from header bytes made
// here, and each game's save re-signed and compared byte for byte with a save
// signed in this file from the games' published layouts, with checksums
// written out here from their published definitions.
#include "mcbridge/card_serial.h"
#include "mcbridge/serial_saves.h"
#include "published_signing.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace mcb;
using namespace mcbtest;

namespace {

// ---- The card's serial ---------------------------------------------------

struct SerialRow {
    const char* name;
    std::array<uint32_t, 8> words; // the identity bytes as eight big-endian words
    uint32_t first;
    uint32_t second;
};

class SerialOfHeader : public testing::TestWithParam<SerialRow> {};

TEST_P(SerialOfHeader, FoldsTheIdentityBytes)
{
    const SerialRow& row = GetParam();
    std::array<uint8_t, kSectorSize> sector{};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t b = 0; b < 4; ++b)
            sector[4 * i + b] = uint8_t(row.words[i] >> (24 - 8 * b));
    // What follows the identity (card size, encoding, checksums) has no part in it.
    for (std::size_t i = kCardIdentitySize; i < kSectorSize; ++i)
        sector[i] = uint8_t(i * 37);
    const CardSerial serial = cardSerial(std::span<const uint8_t, kSectorSize>(sector));
    EXPECT_EQ(serial.first, row.first);
    EXPECT_EQ(serial.second, row.second);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SerialOfHeader,
    testing::Values(SerialRow{"AllZero", {0, 0, 0, 0, 0, 0, 0, 0}, 0, 0},
                    SerialRow{"LastByteOnly", {0, 0, 0, 0, 0, 0, 0, 0x000000AB}, 0, 0x000000AB},
                    SerialRow{"FirstByteOnly", {0xCD000000, 0, 0, 0, 0, 0, 0, 0}, 0xCD000000, 0},
                    SerialRow{"EqualWordsCancel",
                              {0x89ABCDEF, 0x01234567, 0x89ABCDEF, 0x01234567, 0, 0, 0, 0},
                              0,
                              0},
                    SerialRow{"Mixed",
                              {0x11111111, 0x22222222, 0x0F0F0F0F, 0xF0F0F0F0, 0x00000000,
                               0x12345678, 0x01010101, 0x00FF00FF},
                              0x1F1F1F1F,
                              0xC0198455}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Checksums as published, independent of the library -------------------

// Anchors the published checksums to the published check values, so that a
// fault in them cannot hide a matching fault in the library.
TEST(PublishedChecksums, MatchTheirCheckValues)
{
    const std::string check = "123456789";
    const auto* p = reinterpret_cast<const uint8_t*>(check.data());
    EXPECT_EQ(crc16X25(p, check.size()), 0x906E);
    EXPECT_EQ(crc32From(0xFFFFFFFFu, p, check.size()), 0xCBF43926u);
}

void signAsFzero(std::vector<uint8_t>& d, CardSerial s)
{
    mcbtest::signAsFzero(d, s.first, s.second);
}

void signAsPso(std::vector<uint8_t>& d, CardSerial s, std::size_t end)
{
    mcbtest::signAsPso(d, s.first, s.second, end);
}

// ---- Re-signing ------------------------------------------------------------

using Signer = void (*)(std::vector<uint8_t>&, CardSerial);

struct ResignRow {
    const char* name;
    const char* code;
    const char* file;
    unsigned blocks;
    SerialBoundGame game;
    Signer sign;
};

struct MadeSave {
    std::vector<uint8_t> entry;
    std::vector<uint8_t> data;
};

MadeSave madeSave(const char* code, const char* file, unsigned blocks, uint8_t seed = 3)
{
    const std::vector<uint8_t> f = makeSaveFile(SaveSpec{code, file, blocks, seed});
    return {{f.begin(), f.begin() + kEntrySize}, {f.begin() + kEntrySize, f.end()}};
}

constexpr CardSerial kMadeOn{0x0BADF00D, 0x13572468};
constexpr CardSerial kLandsOn{0xC0198455, 0x1F1F1F1F};

class Resign : public testing::TestWithParam<ResignRow> {};

TEST_P(Resign, MatchesThePublishedLayoutAndSettles)
{
    const ResignRow& row = GetParam();
    MadeSave save = madeSave(row.code, row.file, row.blocks);
    const EntryRef entry{save.entry.data()};
    ASSERT_EQ(serialBoundGame(entry), row.game);

    // A save as the game left it on the card it was made on.
    row.sign(save.data, kMadeOn);
    EXPECT_EQ(serialInSave(entry, save.data), kMadeOn);
    std::vector<uint8_t> expected = save.data;
    row.sign(expected, kLandsOn);

    EXPECT_TRUE(resignSave(entry, save.data, kLandsOn));
    EXPECT_EQ(save.data, expected);
    EXPECT_EQ(serialInSave(entry, save.data), kLandsOn);

    // Signed once, it stays as it is.
    EXPECT_FALSE(resignSave(entry, save.data, kLandsOn));
    EXPECT_EQ(save.data, expected);
}

TEST_P(Resign, RepairsOnlyTheChecksumWhenTheSerialAlreadyAgrees)
{
    const ResignRow& row = GetParam();
    MadeSave save = madeSave(row.code, row.file, row.blocks, 9);
    const EntryRef entry{save.entry.data()};
    row.sign(save.data, kLandsOn);
    std::vector<uint8_t> expected = save.data;
    save.data[0x2100] ^= 0x5A; // inside every game's checked range, outside its fields
    expected[0x2100] ^= 0x5A;
    row.sign(expected, kLandsOn);
    ASSERT_NE(save.data, expected);

    EXPECT_TRUE(resignSave(entry, save.data, kLandsOn));
    EXPECT_EQ(save.data, expected);
}

void signFzero(std::vector<uint8_t>& d, CardSerial s) { signAsFzero(d, s); }
void signPso12(std::vector<uint8_t>& d, CardSerial s) { signAsPso(d, s, 0x2164); }
void signPso3(std::vector<uint8_t>& d, CardSerial s) { signAsPso(d, s, 0x2174); }

INSTANTIATE_TEST_SUITE_P(Games, Resign,
                         testing::Values(ResignRow{"FZeroGxUsa", "GFZE8P", "f_zero.dat", 4,
                                                   SerialBoundGame::FZeroGx, signFzero},
                                         ResignRow{"FZeroGxEuropeLonger", "GFZP01", "f_zero.dat", 6,
                                                   SerialBoundGame::FZeroGx, signFzero},
                                         ResignRow{"PsoEpisode12", "GPOE8P", "PSO_SYSTEM", 2,
                                                   SerialBoundGame::PsoEpisode12, signPso12},
                                         ResignRow{"PsoEpisode12Japan", "GPOJ8P", "PSO_SYSTEM", 3,
                                                   SerialBoundGame::PsoEpisode12, signPso12},
                                         ResignRow{"PsoEpisode3", "GPSE8P", "PSO3_SYSTEM", 2,
                                                   SerialBoundGame::PsoEpisode3, signPso3}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Saves left alone ------------------------------------------------------

struct AloneRow {
    const char* name;
    const char* code;
    const char* file;
    unsigned blocks;
};

class LeftAlone : public testing::TestWithParam<AloneRow> {};

TEST_P(LeftAlone, KeepsEveryByte)
{
    const AloneRow& row = GetParam();
    MadeSave save = madeSave(row.code, row.file, row.blocks);
    const std::vector<uint8_t> before = save.data;
    const EntryRef entry{save.entry.data()};
    EXPECT_FALSE(resignSave(entry, save.data, kLandsOn));
    EXPECT_EQ(save.data, before);
    EXPECT_FALSE(serialInSave(entry, save.data).has_value());
}

INSTANTIATE_TEST_SUITE_P(Saves, LeftAlone,
                         testing::Values(AloneRow{"OtherGame", "GTSE01", "save", 4},
                                         AloneRow{"FZeroNameOtherGame", "GTSE01", "f_zero.dat", 4},
                                         AloneRow{"PsoNameOtherGame", "GZLE01", "PSO_SYSTEM", 2},
                                         AloneRow{"FZeroOtherFile", "GFZE8P", "fzc.dat", 4},
                                         AloneRow{"PsoLongerName", "GPOE8P", "PSO_SYSTEM2", 2},
                                         AloneRow{"PsoCharacterFile", "GPOE8P", "PSO_CHARACTER", 2},
                                         AloneRow{"FZeroTooShort", "GFZE8P", "f_zero.dat", 3},
                                         AloneRow{"PsoTooShort", "GPOE8P", "PSO_SYSTEM", 1},
                                         AloneRow{"Pso3TooShort", "GPSE8P", "PSO3_SYSTEM", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
