// Whole-card images read from another card, and saves bound to the card they
// were made on: refused, forced or fitted to the card they land on. The
// re-signed bytes are compared with saves signed in the test from the games'
// published layouts.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "published_signing.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace mcb;
using namespace mcbtest;

namespace {

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& file)
{
    return {file.begin() + kEntrySize, file.end()};
}

// ---- A whole card from another card ----------------------------------------

// The image: read from card A, holding an F-Zero GX save chained out of
// order, a Phantasy Star Online save and a save of another game.
struct OtherCardImage {
    std::vector<uint8_t> image = cardFormattedBy(1);
    std::vector<unsigned> fzeroBlocks{12, 7, 20, 9};
    std::vector<uint8_t> fzero, pso, plain;

    OtherCardImage()
    {
        fzero = savedOn(kFzero, serialOf(image));
        pso = savedOn(kPso12, serialOf(image), 8);
        plain = makeSaveFile({.name = "plain", .blocks = 3, .seed = 4});
        placeChainedSave(image, 0, fzero, fzeroBlocks);
        placeSave(image, 1, pso, 30);
        placeSave(image, 2, plain, 40);
    }
};

struct RestoreRow {
    const char* name;
    int32_t how;
    bool viaWriteFileToCard;
};

class OtherCardRestore : public testing::TestWithParam<RestoreRow> {};

TEST_P(OtherCardRestore, IsRefusedForcedOrKeepsTheCardsIdentity)
{
    const RestoreRow& row = GetParam();
    const OtherCardImage source;
    const std::vector<uint8_t> cardB = cardFormattedBy(2);
    EmulatedCard card(cardB);
    TempDir dir;
    writeFile(dir.file("a.gcp"), source.image);
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_check_image(dir.file("a.gcp").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_OTHER_CARD);
    card.resetTraffic();
    const int32_t result = row.viaWriteFileToCard
                               ? WriteFileToCard(dir.file("a.gcp").c_str())
                               : mcb_restore_card(dir.file("a.gcp").c_str(), row.how);
    const std::vector<uint8_t>& now = card.image();

    if (row.how == MCB_RESTORE_SAME_CARD) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_OTHER_CARD);
        EXPECT_EQ(card.traffic().erases + card.traffic().sectorWrites, 0u);
        EXPECT_EQ(now, cardB);
        return;
    }
    ASSERT_EQ(result, 1) << mcb_error_text(mcb_last_error());
    if (row.how == MCB_RESTORE_FORCE) {
        EXPECT_EQ(now, source.image);
        return;
    }
    // The card's identity, the image's everything else, the header resealed.
    std::vector<uint8_t> want = source.image;
    std::memcpy(want.data(), cardB.data(), 32);
    const std::vector<uint8_t> header(now.begin(), now.begin() + kSectorSize);
    EXPECT_TRUE(inspectCard(now).headerIntact);
    // The serial-bound saves carry card B's serial, signed as the games do.
    std::vector<uint8_t> fzero = dataOf(source.fzero);
    signAs(kFzero, fzero, serialOf(cardB));
    std::vector<uint8_t> pso = dataOf(source.pso);
    signAs(kPso12, pso, serialOf(cardB));
    EXPECT_NE(fzero, dataOf(source.fzero));
    EXPECT_EQ(blocksOf(now, source.fzeroBlocks), fzero);
    EXPECT_EQ(blocksOf(now, 30, kPso12.blocks), pso);
    EXPECT_EQ(blocksOf(now, 40, 3), dataOf(source.plain));
    // Nothing else differs from the image: the system area and every other block.
    for (unsigned b : source.fzeroBlocks)
        std::copy_n(now.begin() + b * kBlockSize, kBlockSize, want.begin() + b * kBlockSize);
    std::copy_n(now.begin() + 30 * kBlockSize, 2 * kBlockSize, want.begin() + 30 * kBlockSize);
    std::copy_n(now.begin() + 0x1FC, 4, want.begin() + 0x1FC); // the header's checksum
    EXPECT_EQ(now, want);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OtherCardRestore,
    testing::Values(RestoreRow{"WriteFileToCardRefuses", MCB_RESTORE_SAME_CARD, true},
                    RestoreRow{"SameCardOnlyRefuses", MCB_RESTORE_SAME_CARD, false},
                    RestoreRow{"Forced", MCB_RESTORE_FORCE, false},
                    RestoreRow{"KeepingIdentity", MCB_RESTORE_KEEP_IDENTITY, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OtherCardRestore, AnImageOfTheSameCardGoesOnUnasked)
{
    std::vector<uint8_t> cardA = cardFormattedBy(3);
    EmulatedCard card(cardA);
    placeSave(cardA, 0, savedOn(kFzero, serialOf(cardA)), 10);
    TempDir dir;
    writeFile(dir.file("a.gcp"), cardA);
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_check_image(dir.file("a.gcp").c_str()), 1);
    EXPECT_EQ(card.traffic().erases + card.traffic().sectorWrites, 0u);
    ASSERT_EQ(WriteFileToCard(dir.file("a.gcp").c_str()), 1);
    EXPECT_EQ(card.image(), cardA);
}

struct CheckRow {
    const char* name;
    std::vector<uint8_t> (*image)(const std::vector<uint8_t>& card);
    int32_t error;
};

class ImageCheck : public testing::TestWithParam<CheckRow> {};

TEST_P(ImageCheck, SaysWhyAnImageCannotGoOnAndWritesNothing)
{
    const CheckRow& row = GetParam();
    const std::vector<uint8_t> cardA = cardFormattedBy(4);
    EmulatedCard card(cardA);
    TempDir dir;
    writeFile(dir.file("in.gcp"), row.image(cardA));
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_check_image(dir.file("in.gcp").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), row.error);
    // Not even forced: the image itself is unfit.
    if (row.error != MCB_ERROR_OTHER_CARD) {
        EXPECT_EQ(mcb_restore_card(dir.file("in.gcp").c_str(), MCB_RESTORE_FORCE), 0);
        EXPECT_EQ(mcb_last_error(), row.error);
    }
    EXPECT_EQ(card.traffic().erases + card.traffic().sectorWrites, 0u);
    EXPECT_EQ(card.image(), cardA);
}

INSTANTIATE_TEST_SUITE_P(Images, ImageCheck,
                         testing::Values(CheckRow{"OtherCard",
                                                  [](const std::vector<uint8_t>&) {
                                                      return cardFormattedBy(5);
                                                  },
                                                  MCB_ERROR_OTHER_CARD},
                                         CheckRow{"OneIdentityByteDiffers",
                                                  [](const std::vector<uint8_t>& c) {
                                                      auto i = c;
                                                      i[31] ^= 1;
                                                      return i;
                                                  },
                                                  MCB_ERROR_OTHER_CARD},
                                         CheckRow{"Shorter",
                                                  [](const std::vector<uint8_t>& c) {
                                                      auto i = c;
                                                      i.resize(i.size() - kSectorSize);
                                                      return i;
                                                  },
                                                  MCB_ERROR_IMAGE_LENGTH},
                                         CheckRow{"OfALargerCard",
                                                  [](const std::vector<uint8_t>&) {
                                                      return formatCard(FormatOptions{8});
                                                  },
                                                  MCB_ERROR_IMAGE_LENGTH},
                                         CheckRow{"NoIntactDirectory",
                                                  [](const std::vector<uint8_t>& c) {
                                                      auto i = c;
                                                      for (unsigned copy : kDirectoryBlock)
                                                          i[copy * kBlockSize + 5] ^= 0x40;
                                                      return i;
                                                  },
                                                  MCB_ERROR_DAMAGED}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OtherCardRestore, AnUnknownModeWritesNothing)
{
    EmulatedCard card(cardFormattedBy(6));
    const auto before = card.image();
    TempDir dir;
    writeFile(dir.file("a.gcp"), cardFormattedBy(7));
    ASSERT_TRUE(connect());
    EXPECT_EQ(mcb_restore_card(dir.file("a.gcp").c_str(), 3), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(mcb_check_image(nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(card.image(), before);
}

// ---- Saves uploaded onto another card ---------------------------------------

struct UploadRow {
    const char* name;
    Game game;
    bool replacing; // in place of the card's older save of the game, by its slot
};

class SerialBoundUpload : public testing::TestWithParam<UploadRow> {};

int32_t put(const UploadRow& row, const std::string& path)
{
    if (row.replacing)
        return mcb_replace_slot(0, path.c_str());
    return InitSaverInfo() ? UpLoadSaver(path.c_str()) : 0;
}

TEST_P(SerialBoundUpload, ASaveMadeOnAnotherCardIsSignedForThisOne)
{
    const UploadRow& row = GetParam();
    std::vector<uint8_t> cardB = cardFormattedBy(9);
    if (row.replacing)
        placeSave(cardB, 0, savedOn(row.game, serialOf(cardB), 1), 5);
    EmulatedCard card(cardB);
    const std::vector<uint8_t> file = savedOn(row.game, serialOf(cardFormattedBy(8)));
    std::vector<uint8_t> want = dataOf(file);
    signAs(row.game, want, serialOf(cardB));
    ASSERT_NE(want, dataOf(file));
    TempDir dir;
    writeFile(dir.file("save.gci"), file);
    ASSERT_TRUE(connect());
    ASSERT_EQ(put(row, dir.file("save.gci")), 1) << mcb_error_text(mcb_last_error());
    // The file on the computer is left as it was.
    EXPECT_EQ(readFile(dir.file("save.gci")), file);
    ASSERT_EQ(mcb_download_slot(0, dir.file("back.gci").c_str()), 1);
    const std::vector<uint8_t> back = readFile(dir.file("back.gci"));
    EXPECT_EQ(dataOf(back), want);
}

TEST_P(SerialBoundUpload, ASaveMadeOnThisCardGoesOnByteForByte)
{
    const UploadRow& row = GetParam();
    std::vector<uint8_t> cardB = cardFormattedBy(10);
    if (row.replacing)
        placeSave(cardB, 0, savedOn(row.game, serialOf(cardB), 1), 5);
    EmulatedCard card(cardB);
    std::vector<uint8_t> file = savedOn(row.game, serialOf(cardB));
    // A byte the game's checksum covers, changed after signing: a re-signing
    // would show as a new checksum.
    file[kEntrySize + 0x2100] ^= 0x5A;
    TempDir dir;
    writeFile(dir.file("save.gci"), file);
    ASSERT_TRUE(connect());
    ASSERT_EQ(put(row, dir.file("save.gci")), 1) << mcb_error_text(mcb_last_error());
    ASSERT_EQ(mcb_download_slot(0, dir.file("back.gci").c_str()), 1);
    EXPECT_EQ(dataOf(readFile(dir.file("back.gci"))), dataOf(file));
}

INSTANTIATE_TEST_SUITE_P(Games, SerialBoundUpload,
                         testing::Values(UploadRow{"FZeroGxNew", kFzero, false},
                                         UploadRow{"FZeroGxReplacing", kFzero, true},
                                         UploadRow{"PsoEpisode12New", kPso12, false},
                                         UploadRow{"PsoEpisode12Replacing", kPso12, true},
                                         UploadRow{"PsoEpisode3New", kPso3, false},
                                         UploadRow{"PsoEpisode3Replacing", kPso3, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The header the card was sized by gives the serial: signing costs no read
// beyond the ones every commit makes to tell that the card is still there
// (before it writes each sector of the system area).
TEST(SerialBoundUpload, SigningCostsNoReadOfTheHeader)
{
    EmulatedCard card(cardFormattedBy(11));
    TempDir dir;
    writeFile(dir.file("plain.gci"), makeSaveFile({.name = "f_zero.dat", .blocks = 4}));
    writeFile(dir.file("fzero.gci"), savedOn(kFzero, serialOf(cardFormattedBy(12))));
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    auto headerReads = [&] {
        unsigned n = 0;
        for (const auto& p : card.traffic().packetLog)
            n += p[0] == 0xA9 && (p[2] | p[3] << 8) == 0;
        return n;
    };
    card.resetTraffic();
    ASSERT_EQ(UpLoadSaver(dir.file("plain.gci").c_str()), 1);
    const unsigned plain = headerReads();
    EXPECT_GE(plain, 1u);
    card.resetTraffic();
    ASSERT_EQ(UpLoadSaver(dir.file("fzero.gci").c_str()), 1);
    EXPECT_EQ(headerReads(), plain);
}

} // namespace
