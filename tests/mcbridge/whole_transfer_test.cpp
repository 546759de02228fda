// Transfers the adapter takes or gives only in part: a packet or a sector
// that does not cross whole is a failed transfer, and no call that met one
// reports success. A restore reads the card back before it says it worked.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace mcb;
using namespace mcbtest;

namespace {

struct PartialCase {
    const char* name;
    Faults faults;                  // counted from the open
    std::function<bool()> transfer; // run after OpenDevice; true when it reports success
    uint64_t writeCallsAfter;       // link writes the adapter saw, the open's begin included
};

std::vector<uint8_t> pattern(uint8_t seed)
{
    std::vector<uint8_t> v(kSectorSize);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = uint8_t(seed + i * 7);
    return v;
}

class PartialTransfer : public testing::TestWithParam<PartialCase> {};

} // namespace

TEST_P(PartialTransfer, FailsWithAnIoErrorAndChangesNothingMore)
{
    const PartialCase& c = GetParam();
    EmulatedCard card(4);
    const auto before = card.image();
    card.faults = c.faults;
    ASSERT_EQ(OpenDevice(nullptr), 1);
    lib().lastError = MCB_SUCCESS;
    EXPECT_FALSE(c.transfer());
    EXPECT_EQ(lib().lastError, MCB_ERROR_IO);
    EXPECT_EQ(card.traffic().writeCalls, c.writeCallsAfter);
    EXPECT_EQ(card.traffic().erases, 0u);
    // A data write cut in half programs what reached the card; nothing else
    // may have changed.
    const bool halfSector = std::string(c.name) == "SectorData";
    EXPECT_EQ(card.traffic().sectorWrites, halfSector ? 1u : 0u);
    if (!halfSector) {
        EXPECT_EQ(card.image(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, PartialTransfer,
    testing::Values(
        PartialCase{"ErasePacket", Faults{.shortWrite = 2},
                    [] { return EraseBlock(uint16_t(5 * kSectorsPerBlock)) != 0; }, 2},
        PartialCase{"ErasePacketLost", Faults{.failWrite = 2},
                    [] { return EraseBlock(uint16_t(5 * kSectorsPerBlock)) != 0; }, 2},
        PartialCase{"WritePacket", Faults{.shortWrite = 2},
                    [] { return writeWholeSector(80, pattern(1).data()); }, 2},
        PartialCase{"SectorData", Faults{.shortWrite = 3},
                    [] { return writeWholeSector(80, pattern(2).data()); }, 3},
        PartialCase{"ReadPacket", Faults{.shortWrite = 2},
                    [] {
                        uint8_t s[kSectorSize];
                        return readWholeSector(80, s);
                    },
                    2},
        PartialCase{"ReadData", Faults{.shortRead = 1},
                    [] {
                        uint8_t s[kSectorSize];
                        return readWholeSector(80, s);
                    },
                    2},
        PartialCase{"EndPacket", Faults{.shortWrite = 2}, [] { return sendLinkEnd(); }, 2},
        PartialCase{"SizeQueryBegin", Faults{.shortWrite = 2},
                    [] {
                        CloseDevice(); // the size query opens it again: begin, begin, read
                        lib().lastError = MCB_SUCCESS;
                        return GetCardMemory() != 0;
                    },
                    4}),
    [](const testing::TestParamInfo<PartialCase>& info) { return std::string(info.param.name); });

TEST(PartialTransfer, AnOpenWhoseBeginPacketIsCutShortFails)
{
    EmulatedCard card(4);
    card.faults.shortWrite = 1;
    EXPECT_EQ(OpenDevice(nullptr), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_IO);
}

namespace {

// A card whose flash no longer takes writes in one sector: the adapter says
// the sector went through, the card keeps what it had.
class StuckSectorMedium : public MemoryMedium {
public:
    StuckSectorMedium(std::vector<uint8_t> bytes, unsigned sector)
        : MemoryMedium(std::move(bytes)), sector_(sector)
    {
    }
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override
    {
        const uint64_t stuck = uint64_t(sector_) * kSectorSize;
        if (offset <= stuck && stuck < offset + length) {
            // Everything around the sector is written; the sector stays.
            std::vector<uint8_t> keep(kSectorSize);
            readAt(stuck, keep.data(), keep.size());
            MemoryMedium::writeAt(offset, data, length);
            return MemoryMedium::writeAt(stuck, keep.data(), keep.size());
        }
        return MemoryMedium::writeAt(offset, data, length);
    }

private:
    unsigned sector_;
};

} // namespace

TEST(RestoreReadBack, ACardThatDoesNotHoldTheImageFailsTheRestore)
{
    // Sector 300 is in the save area, where the image holds a save.
    std::vector<uint8_t> source = formatCard(FormatOptions{4});
    placeSave(source, 0, makeSaveFile({.name = "kept", .blocks = 20, .seed = 4}), 5);
    auto medium = std::make_shared<StuckSectorMedium>(formatCard(FormatOptions{4}), 300);
    auto traffic = std::make_shared<Traffic>();
    setAdapterFinder([&] {
        OpenResult r;
        r.adapter = std::make_unique<EmulatedAdapter>(medium, traffic);
        return r;
    });
    TempDir dir;
    writeFile(dir.file("in.gcp"), source);
    ASSERT_TRUE(connect());
    EXPECT_EQ(WriteFileToCard(dir.file("in.gcp").c_str()), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_READ_BACK);
    // The size query and the identity's header read; the header looked at
    // again before each save block (59) and each system sector written (68
    // and 16, see CardImage); the read-back stops at the first difference.
    EXPECT_EQ(traffic->sectorReads, 2u + 59u + 68u + 16u + 301u);
    CloseDevice();
    setAdapterFinder({});
}

namespace {

// One export, run after a fresh connection, as the program runs it.
struct Export {
    const char* name;
    std::function<int32_t(const TempDir&)> call;
    const char* output;     // the file it writes, or nullptr
    bool keepsCardReadable; // a failure leaves a card that loads, its saves old or new
};

// Saves as the sweeps find them: "name@first:blocks" plus their data.
std::vector<std::pair<std::string, std::vector<uint8_t>>> savesOn(const std::vector<uint8_t>& image)
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    for (const SaveInfo& s : inspectCard(image).saves)
        out.emplace_back(s.name + "@" + std::to_string(s.blockCount),
                         blocksOf(image, s.firstBlock, s.blockCount));
    return out;
}

std::vector<uint8_t> baseCard()
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "L", .blocks = 2, .seed = 1}), 5);
    placeSave(image, 1, makeSaveFile({.name = "M", .blocks = 3, .seed = 2}), 7);
    return image;
}

const std::vector<uint8_t> kMarker = {'o', 'l', 'd'};

struct SweepCount {
    unsigned tried = 0;
    unsigned passed = 0;
};

class Sweep : public testing::TestWithParam<Export> {};

// A whole-card transfer makes thousands of transfers, and a sweep over all
// of them replays the card thousands of times: by default they are walked
// one by one at both ends (where the header, directory, map and the
// read-back's start lie) and in steps between. MCBRIDGE_FULL_SWEEP=1 walks
// every one.
uint64_t strideAt(uint64_t n, uint64_t limit)
{
    static const bool full = [] {
        const char* v = std::getenv("MCBRIDGE_FULL_SWEEP");
        return v && std::string(v) == "1";
    }();
    constexpr uint64_t kEnds = 100;
    if (full || limit <= 4 * kEnds || n < kEnds || n + kEnds > limit)
        return 1;
    return 7;
}

} // namespace

// For each kind of fault, every transfer the export makes (from the open on)
// is the one that fails or comes up short, in turn. The call either fails,
// or succeeds with exactly the card and file a clean run gives.
TEST_P(Sweep, NeverReportsSuccessWithAWrongCardOrFile)
{
    const Export& e = GetParam();
    const auto base = baseCard();
    TempDir dir;
    writeFile(dir.file("new.gci"), makeSaveFile({.name = "N", .blocks = 2, .seed = 9}));
    writeFile(dir.file("same.gci"), makeSaveFile({.name = "M", .blocks = 3, .seed = 10}));
    writeFile(dir.file("image.gcp"), [&] {
        auto other = formatCard(FormatOptions{4});
        placeSave(other, 0, makeSaveFile({.name = "R", .blocks = 4, .seed = 5}), 9);
        return other;
    }());

    std::vector<uint8_t> wantCard, wantFile;
    uint64_t reads = 0, writes = 0;
    {
        EmulatedCard card(base);
        if (e.output)
            writeFile(dir.file(e.output), kMarker);
        ASSERT_TRUE(connect());
        ASSERT_EQ(e.call(dir), 1) << e.name;
        wantCard = card.image();
        if (e.output)
            wantFile = readFile(dir.file(e.output));
        reads = card.traffic().readCalls;
        writes = card.traffic().writeCalls;
    }
    const auto savesBefore = savesOn(base);
    EmulatedCard card(base); // reused: its image is put back before each run
    const auto savesAfter = savesOn(wantCard);

    for (const char* kind : {"read-short", "read-fail", "write-short", "write-fail"}) {
        const bool isRead = kind[0] == 'r';
        const uint64_t limit = isRead ? reads : writes;
        SweepCount count;
        for (uint64_t n = 1; n <= limit; n += strideAt(n, limit)) {
            card.image() = base;
            card.resetTraffic(false); // thousands of runs: no packet log
            card.faults = parseFaults(std::string(kind) + "=" + std::to_string(n));
            if (e.output)
                writeFile(dir.file(e.output), kMarker);
            const int32_t result = connect() ? e.call(dir) : 0;
            const int32_t error = mcb_last_error();
            ++count.tried;
            bool ok;
            if (result == 1) {
                ok = card.image() == wantCard &&
                     (!e.output || readFile(dir.file(e.output)) == wantFile);
            } else {
                ok = error != MCB_SUCCESS && (!e.output || readFile(dir.file(e.output)) == kMarker);
                if (ok && e.keepsCardReadable) {
                    const auto now = savesOn(card.image());
                    Block d, m;
                    ok = currentStructures(card.image(), d, m) &&
                         (now == savesBefore || now == savesAfter);
                }
            }
            EXPECT_TRUE(ok) << e.name << ", " << kind << "=" << n << ": result " << result;
            count.passed += ok;
        }
        std::printf("sweep %-14s %-11s %5u tried, %5u passed\n", e.name, kind, count.tried,
                    count.passed);
        EXPECT_EQ(count.passed, count.tried);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exports, Sweep,
    testing::Values(
        Export{"GetCardMemory", [](const TempDir&) { return GetCardMemory() ? 1 : 0; }, nullptr,
               true},
        Export{"InitSaverInfo", [](const TempDir&) { return InitSaverInfo(); }, nullptr, true},
        Export{"FindSaver",
               [](const TempDir& d) {
                   char name[33] = {};
                   return FindSaver(d.file("same.gci").c_str(), name);
               },
               nullptr, true},
        Export{"DownLoadSaver",
               [](const TempDir& d) {
                   return DownLoadSaver("M", "GTSE01", d.file("out.gci").c_str());
               },
               "out.gci", true},
        Export{"UpLoadSaverNew",
               [](const TempDir& d) {
                   return InitSaverInfo() ? UpLoadSaver(d.file("new.gci").c_str()) : 0;
               },
               nullptr, true},
        Export{"UpLoadSaverSame",
               [](const TempDir& d) {
                   return InitSaverInfo() ? UpLoadSaver(d.file("same.gci").c_str()) : 0;
               },
               nullptr, true},
        Export{"DeleteSaver", [](const TempDir&) { return DeleteSaver("L", "GTSE01"); }, nullptr,
               true},
        Export{"GetSaverPIC",
               [](const TempDir& d) {
                   return InitSaverInfo() ? GetSaverPIC(1, d.file("pic.bmp").c_str()) : 0;
               },
               "pic.bmp", true},
        Export{"DownloadSlot",
               [](const TempDir& d) { return mcb_download_slot(1, d.file("out.gci").c_str()); },
               "out.gci", true},
        Export{"DeleteSlot", [](const TempDir&) { return mcb_delete_slot(0); }, nullptr, true},
        Export{"ReplaceSlot",
               [](const TempDir& d) {
                   return InitSaverInfo() ? mcb_replace_slot(1, d.file("same.gci").c_str()) : 0;
               },
               nullptr, true},
        Export{"ReadCardToFile",
               [](const TempDir& d) { return ReadCardToFile(d.file("backup.gcp").c_str()); },
               "backup.gcp", true},
        Export{"WriteFileToCard",
               [](const TempDir& d) { return WriteFileToCard(d.file("image.gcp").c_str()); },
               nullptr, false}),
    [](const testing::TestParamInfo<Export>& info) { return std::string(info.param.name); });
