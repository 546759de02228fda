// Cuts at every sector write, and damaged cards and save files by the
// thousand: the card must stay readable and no save may be hurt but the one
// being written.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/banner_encode.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

using namespace mcb;
using namespace mcbtest;

namespace {

// L at 5-6, M at 7-9, R at 10-11.
std::vector<uint8_t> threeSaves()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "L", .blocks = 2, .seed = 1}), 5);
    placeSave(image, 1, makeSaveFile({.name = "M", .blocks = 3, .seed = 2}), 7);
    placeSave(image, 2, makeSaveFile({.name = "R", .blocks = 2, .seed = 3}), 10);
    return image;
}

struct Found {
    bool present = false;
    unsigned blocks = 0;
    std::vector<uint8_t> data;
};

Found find(const std::vector<uint8_t>& image, const std::string& name)
{
    Found f;
    for (const SaveInfo& s : inspectCard(image).saves) {
        if (s.name != name)
            continue;
        f.present = true;
        f.blocks = s.blockCount;
        f.data = blocksOf(image, s.firstBlock, s.blockCount);
    }
    return f;
}

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& file)
{
    return {file.begin() + 64, file.end()};
}

struct Operation {
    const char* label;
    std::function<int32_t(const std::string& dir)> run;
    const char* inFlight;
    std::vector<uint8_t> newData; // empty: the save goes away
};

} // namespace

TEST(Reliability, EveryCutLeavesTheWholeOldSaveOrTheWholeNewOne)
{
    TempDir dir;
    const auto newSave = makeSaveFile({.name = "N", .blocks = 2, .seed = 9});
    const auto sameCount = makeSaveFile({.name = "M", .blocks = 3, .seed = 10});
    const auto moreBlocks = makeSaveFile({.name = "M", .blocks = 5, .seed = 11});
    const auto fewerBlocks = makeSaveFile({.name = "M", .blocks = 1, .seed = 12});
    writeFile(dir.file("n.gci"), newSave);
    writeFile(dir.file("same.gci"), sameCount);
    writeFile(dir.file("more.gci"), moreBlocks);
    writeFile(dir.file("fewer.gci"), fewerBlocks);
    auto uploadOf = [](const char* f) {
        return [f](const std::string& d) {
            return InitSaverInfo() ? UpLoadSaver((d + "/" + f).c_str()) : 0;
        };
    };
    const Operation ops[] = {
        {"upload new", uploadOf("n.gci"), "N", dataOf(newSave)},
        {"replace, same count", uploadOf("same.gci"), "M", dataOf(sameCount)},
        {"replace, more blocks", uploadOf("more.gci"), "M", dataOf(moreBlocks)},
        {"replace, fewer blocks", uploadOf("fewer.gci"), "M", dataOf(fewerBlocks)},
        {"delete", [](const std::string&) { return DeleteSaver("M", "GTSE01"); }, "M", {}},
    };
    const auto base = threeSaves();
    const Found oldM = find(base, "M");
    for (const Operation& op : ops) {
        uint64_t total = 0;
        {
            EmulatedCard card(base);
            ASSERT_TRUE(connect());
            ASSERT_EQ(op.run(dir.path()), 1) << op.label;
            total = card.traffic().sectorWrites;
        }
        for (uint64_t n = 1; n <= total; ++n) {
            EmulatedCard card(base);
            card.faults.cutAfterSectorWrites = n;
            ASSERT_TRUE(connect());
            const int32_t result = op.run(dir.path());
            EXPECT_EQ(result, n == total ? 1 : 0) << op.label << ", cut after " << n;

            const CardReport r = inspectCard(card.image());
            ASSERT_TRUE(r.sound()) << op.label << ", cut after " << n << ": " << r.problems[0];
            for (const char* other : {"L", "R"})
                EXPECT_EQ(find(card.image(), other).data, find(base, other).data)
                    << op.label << " " << n;
            const Found now = find(card.image(), op.inFlight);
            const bool isOld = std::string(op.inFlight) == "N"
                                   ? !now.present
                                   : now.present && now.data == oldM.data;
            const bool isNew =
                op.newData.empty() ? !now.present : now.present && now.data == op.newData;
            EXPECT_TRUE(isOld || isNew) << op.label << ", cut after " << n;
            if (result == 1) {
                EXPECT_TRUE(isNew) << op.label;
            }
        }
    }
}

namespace {

// A card with saves of every picture kind, for mutating.
std::vector<uint8_t> pictureCard()
{
    auto image = formatCard(FormatOptions{4});
    Banner art;
    for (std::size_t i = 0; i < art.size(); ++i)
        art[i] = uint16_t(i * 7);
    unsigned block = 5;
    unsigned slot = 0;
    for (uint8_t format : {uint8_t(1), uint8_t(2), uint8_t(93), uint8_t(0)}) {
        SaveSpec spec{.name = "pic" + std::to_string(format),
                      .blocks = 2,
                      .seed = format,
                      .bannerFormat = format,
                      .pictureOffset = 0x40};
        auto f = makeSaveFile(spec);
        std::vector<uint8_t> pic;
        if (format == 0) {
            uint16_t fmt = 0, speed = 0;
            pic = encodeIcons({{kIconIndexedShared, {}}, {kIconDirect, {}}}, fmt, speed);
            putBe16(&f[kEntryIconFormat], fmt);
            putBe16(&f[kEntryIconSpeed], speed);
        } else {
            pic = encodeBanner(art, format);
        }
        std::copy(pic.begin(), pic.end(), f.begin() + 64 + 0x40);
        placeSave(image, slot++, f, block);
        block += 2;
    }
    return image;
}

void resealBoth(std::vector<uint8_t>& image)
{
    for (int c = 0; c < 2; ++c) {
        Block b;
        std::memcpy(b.data(), &image[kDirectoryBlock[c] * kBlockSize], kBlockSize);
        sealDirectory(b);
        std::memcpy(&image[kDirectoryBlock[c] * kBlockSize], b.data(), kBlockSize);
        std::memcpy(b.data(), &image[kMapBlock[c] * kBlockSize], kBlockSize);
        sealMap(b);
        std::memcpy(&image[kMapBlock[c] * kBlockSize], b.data(), kBlockSize);
    }
}

std::vector<bool> usedBlocks(const std::vector<uint8_t>& image)
{
    std::vector<bool> used(kMapBlockLimit, false);
    Block dir, map;
    if (!currentStructures(image, dir, map))
        return std::vector<bool>(kMapBlockLimit, true);
    for (unsigned b = 0; b < kMapBlockLimit; ++b)
        used[b] = b < kSystemBlocks || mapEntry(map, b) != 0;
    for (unsigned s = 0; s < kSaveSlotCount; ++s) {
        const EntryRef e = entryAt(dir, s);
        for (unsigned b = e.firstBlock(), n = 0;
             !e.empty() && n < e.blockCount() && b < kMapBlockLimit; ++b, ++n)
            used[b] = true;
    }
    return used;
}

} // namespace

TEST(Reliability, DamagedCardsNeverSpreadTheDamage)
{
    const auto base = pictureCard();
    TempDir dir;
    writeFile(dir.file("new.gci"), makeSaveFile({.name = "fuzz-new", .blocks = 2, .seed = 77}));
    std::mt19937 rng(20261208);
    int listed = 0, uploaded = 0;
    for (int round = 0; round < 1500; ++round) {
        auto image = base;
        const int edits = 1 + int(rng() % 8);
        for (int i = 0; i < edits; ++i) {
            // Mostly the fields that matter: entries' blocks, counts, picture
            // offsets and formats, and map entries; sometimes any byte.
            const unsigned slot = rng() % 5;
            const std::size_t fieldOffsets[] = {
                kEntryFirstBlock, kEntryBlockCount, kEntryPictureOffset, kEntryBannerFormat,
                kEntryIconFormat, kEntryIconSpeed,  kEntryName + 31};
            std::size_t at;
            switch (rng() % 3) {
            case 0:
                at = kDirectoryBlock[rng() % 2] * kBlockSize + slot * 64 + fieldOffsets[rng() % 7];
                break;
            case 1: at = kMapBlock[rng() % 2] * kBlockSize + 2 * (5 + rng() % 70); break;
            default: at = kBlockSize + rng() % (4 * kBlockSize); break;
            }
            image[at] = uint8_t(rng());
        }
        if (rng() % 4 != 0)
            resealBoth(image);
        const auto usedBefore = usedBlocks(image);

        EmulatedCard card(image);
        ASSERT_TRUE(connect());
        if (InitSaverInfo()) {
            char name[33] = {}, code[7] = {};
            uint16_t count = 0;
            for (unsigned s = 0; s < 128; ++s) {
                if (!GetSaverInfo(s, name, code, &count))
                    continue;
                ++listed;
                GetSaverPIC(s, dir.file("icon.bmp").c_str());
                DownLoadSaver(name, code, dir.file("out.gci").c_str());
            }
        }
        card.resetTraffic();
        if (InitSaverInfo() && UpLoadSaver(dir.file("new.gci").c_str()))
            ++uploaded;
        // Only free blocks and the system area may have been written.
        for (unsigned sector : card.traffic().writtenSectors) {
            const unsigned block = sector / 16;
            ASSERT_TRUE(block < kSystemBlocks || !usedBefore[block])
                << "round " << round << " wrote block " << block;
        }
        const CardReport after = inspectCard(card.image());
        const CardReport before = inspectCard(image);
        if (before.directoryCopy >= 0 && before.mapCopy >= 0) {
            EXPECT_GE(after.directoryCopy, 0) << round;
            EXPECT_GE(after.mapCopy, 0) << round;
        }
        DeleteSaver("pic2", "GTSE01");
    }
    // The mutations must leave enough sound cards for the run to mean something.
    EXPECT_GT(listed, 1500);
    EXPECT_GT(uploaded, 300);
}

TEST(Reliability, DamagedSaveFilesAreReadOnlyWithinThemselves)
{
    std::mt19937 rng(7);
    TempDir dir;
    int accepted = 0;
    for (int round = 0; round < 1500; ++round) {
        auto f = makeSaveFile({.name = "file",
                               .blocks = unsigned(1 + rng() % 3),
                               .seed = uint8_t(round),
                               .bannerFormat = uint8_t(rng() % 8),
                               .pictureOffset = uint32_t(rng() % 20000)});
        for (int i = 0, n = 1 + int(rng() % 6); i < n; ++i)
            f[rng() % 64] = uint8_t(rng());
        if (rng() % 3 == 0)
            f.resize(rng() % f.size());
        else if (rng() % 3 == 0)
            f.resize(f.size() + rng() % 9000, 0xEE);

        // The program's buffer: the file, zero-padded to what the entry claims.
        if (f.size() >= 64) {
            const unsigned claimed =
                std::min<unsigned>(getBe16(&f[kEntryBlockCount]), kLargestSaveBlocks);
            std::vector<uint8_t> buffer(
                std::max<std::size_t>(f.size(), 64 + std::size_t(claimed) * 8192), 0);
            std::copy(f.begin(), f.end(), buffer.begin());
            buffer.resize(64 + std::size_t(claimed) * 8192); // exactly as long as promised
            ASSERT_EQ(GetBitmap(buffer.data(), dir.file("p.bmp").c_str()), 1) << round;
        }

        EmulatedCard card(4);
        writeFile(dir.file("f.gci"), f);
        ASSERT_TRUE(connect());
        ASSERT_EQ(InitSaverInfo(), 1);
        if (UpLoadSaver(dir.file("f.gci").c_str()))
            ++accepted;
        const CardReport r = inspectCard(card.image());
        ASSERT_TRUE(r.sound()) << round << ": " << r.problems[0];
    }
    EXPECT_GT(accepted, 300);
}
