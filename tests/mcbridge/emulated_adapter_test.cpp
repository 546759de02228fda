// The emulated adapter itself: protocol, faults and image files.
#include "emulated_adapter.h"
#include "mcbridge/format.h"
#include "save_maker.h"

#include "mcbridge.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>

using namespace mcb;
using namespace mcbtest;

namespace {

std::array<uint8_t, 16> cmd(uint8_t a, uint8_t b, unsigned arg)
{
    std::array<uint8_t, 16> p;
    p.fill(0xFF);
    p[0] = a;
    p[1] = b;
    p[2] = uint8_t(arg);
    p[3] = uint8_t(arg >> 8);
    return p;
}

struct Rig {
    explicit Rig(Faults f = {})
        : medium(std::make_shared<MemoryMedium>(formatCard(FormatOptions{4}))),
          traffic(std::make_shared<Traffic>()), adapter(medium, traffic, f)
    {
    }
    int32_t readSector(unsigned s, uint8_t* buf)
    {
        const auto p = cmd(0xA9, 0x85, s);
        if (adapter.write(p.data(), 16) != 16)
            return 0;
        return adapter.read(buf, 512);
    }
    int32_t writeSector(unsigned s, const uint8_t* buf)
    {
        const auto p = cmd(0xBC, 0x35, s);
        if (adapter.write(p.data(), 16) != 16)
            return 0;
        return adapter.write(buf, 512);
    }
    std::shared_ptr<MemoryMedium> medium;
    std::shared_ptr<Traffic> traffic;
    EmulatedAdapter adapter;
};

} // namespace

TEST(EmulatedAdapter, AReadWithoutACommandGetsNothing)
{
    Rig rig;
    uint8_t buf[512];
    EXPECT_EQ(rig.adapter.read(buf, 512), 0);
    EXPECT_EQ(rig.readSector(0, buf), 512);
    EXPECT_EQ(rig.adapter.read(buf, 512), 0); // one answer per command
}

TEST(EmulatedAdapter, SectorsOffTheCardFail)
{
    Rig rig;
    uint8_t buf[512] = {};
    EXPECT_EQ(rig.readSector(1024, buf), 0); // a 4 Mbit card has 1,024 sectors
    EXPECT_EQ(rig.writeSector(1024, buf), 0);
    EXPECT_EQ(rig.readSector(1023, buf), 512);
}

TEST(EmulatedAdapter, FaultsHitTheTransferTheyName)
{
    uint8_t buf[512] = {};
    {
        Faults f;
        f.failRead = 2;
        Rig rig(f);
        EXPECT_EQ(rig.readSector(0, buf), 512);
        EXPECT_EQ(rig.readSector(0, buf), 0);
        EXPECT_EQ(rig.readSector(0, buf), 512);
    }
    {
        Faults f;
        f.shortRead = 1;
        Rig rig(f);
        EXPECT_EQ(rig.readSector(0, buf), 256);
    }
    {
        Faults f;
        f.shortWrite = 2; // the data of the first sector write
        Rig rig(f);
        std::vector<uint8_t> zeros(512, 0);
        EXPECT_EQ(rig.writeSector(100, zeros.data()), 256);
        EXPECT_EQ(rig.medium->bytes()[100 * 512 + 255], 0);
        EXPECT_EQ(rig.medium->bytes()[100 * 512 + 256], 0xFF); // the rest never arrived
    }
    {
        Faults f;
        f.cutAfterTransfers = 3;
        Rig rig(f);
        EXPECT_EQ(rig.readSector(0, buf), 512); // transfers 1 and 2
        EXPECT_EQ(rig.readSector(0, buf), 0);   // 3 goes, 4 does not
        EXPECT_TRUE(rig.adapter.linkDropped());
        EXPECT_EQ(rig.readSector(0, buf), 0);
    }
    {
        Faults f;
        f.cutAfterSectorWrites = 1;
        Rig rig(f);
        std::vector<uint8_t> zeros(512, 0);
        EXPECT_EQ(rig.writeSector(100, zeros.data()), 512);
        EXPECT_EQ(rig.writeSector(101, zeros.data()), 0);
        EXPECT_EQ(rig.traffic->sectorWrites, 1u);
    }
}

TEST(EmulatedAdapter, FaultTextIsParsed)
{
    const Faults f =
        parseFaults("read-fail=3,write-short=9,cut-after-writes=70,bogus=1,cut-after=x");
    EXPECT_EQ(f.failRead, 3u);
    EXPECT_EQ(f.shortWrite, 9u);
    EXPECT_EQ(f.cutAfterSectorWrites, 70u);
    EXPECT_EQ(f.cutAfterTransfers, 0u);
    EXPECT_FALSE(parseFaults("").any());
}

TEST(EmulatedAdapter, ReadDelayAndTheReadHookPaceEachSectorRead)
{
    EXPECT_EQ(parseFaults("read-delay=5").readDelay, std::chrono::milliseconds(5));
    EXPECT_EQ(parseFaults("read-fail=2,read-delay=12").readDelay, std::chrono::milliseconds(12));
    EXPECT_FALSE(parseFaults("read-delay=5").any()) << "a slow adapter is no failing one";

    Faults f;
    f.readDelay = std::chrono::milliseconds(3);
    std::vector<unsigned> seen;
    f.beforeRead = [&](unsigned sector) { seen.push_back(sector); };
    Rig rig(f);
    uint8_t buf[512];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.readSector(7, buf), 512);
    EXPECT_EQ(rig.readSector(40, buf), 512);
    // A pause is at least as long as asked; how much longer is the machine's.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(6));
    EXPECT_EQ(seen, (std::vector<unsigned>{7, 40}));
    // A write is not a read: neither paused nor seen by the hook.
    EXPECT_EQ(rig.writeSector(100, buf), 512);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(EmulatedAdapter, AnImageFileIsWrittenInPlace)
{
    TempDir dir;
    const std::string path = dir.file("card.raw");
    writeFile(path, formatCard(FormatOptions{8}));
    int32_t error = -1;
    std::shared_ptr<CardMedium> medium = FileMedium::open(path, error);
    ASSERT_TRUE(medium);
    EXPECT_EQ(error, MCB_SUCCESS);
    EmulatedAdapter adapter(medium);
    const auto erase = cmd(0x37, 0x81, 160);
    ASSERT_EQ(adapter.write(erase.data(), 16), 16);
    const auto write = cmd(0xBC, 0x35, 161);
    std::vector<uint8_t> data(512, 0x42);
    ASSERT_EQ(adapter.write(write.data(), 16), 16);
    ASSERT_EQ(adapter.write(data.data(), 512), 512);
    // Nothing waits for a close: a power cut now leaves what the file holds.
    const auto bytes = readFile(path);
    EXPECT_EQ(bytes[161 * 512], 0x42);
    EXPECT_EQ(bytes[160 * 512], 0xFF);
}

// A fault named by place hits the sector transfer it names, however many
// transfers elsewhere come first: sectors 0 (header), 20 (directory copy 1),
// 40 (directory copy 2), 80 (the first save block) and 81 are each read and
// then written, in that order.
struct PlacedFault {
    const char* name;
    const char* text;
    std::vector<unsigned> readsFailing;  // sectors whose read gets nothing
    std::vector<unsigned> writesFailing; // sectors whose write does not land whole
};

class FaultByPlace : public ::testing::TestWithParam<PlacedFault> {};

TEST_P(FaultByPlace, HitsTheSectorItNames)
{
    const PlacedFault& c = GetParam();
    Rig rig(parseFaults(c.text));
    const std::vector<unsigned> sectors{0, 20, 40, 80, 81};
    std::vector<unsigned> readsFailing, writesFailing;
    std::vector<uint8_t> data(512, 0x00);
    for (unsigned s : sectors) {
        uint8_t buf[512];
        if (rig.readSector(s, buf) != 512)
            readsFailing.push_back(s);
    }
    for (unsigned s : sectors) {
        const int32_t put = rig.writeSector(s, data.data());
        if (put != 512)
            writesFailing.push_back(s);
    }
    EXPECT_EQ(readsFailing, c.readsFailing);
    EXPECT_EQ(writesFailing, c.writesFailing);
}

INSTANTIATE_TEST_SUITE_P(
    Places, FaultByPlace,
    ::testing::Values(PlacedFault{"FirstReadOfABlock", "read-fail=block5", {80}, {}},
                      PlacedFault{"SecondReadOfABlock", "read-fail=block5:2", {81}, {}},
                      PlacedFault{"SecondReadOfADirectory", "read-fail=dir:2", {40}, {}},
                      PlacedFault{"ShortReadOfTheHeader", "read-short=header", {0}, {}},
                      PlacedFault{"SecondWriteOfADirectory", "write-fail=dir:2", {}, {40}},
                      PlacedFault{"FirstWriteOfTheSaveArea", "write-short=data", {}, {80}},
                      // Once cut, the link stays down: every later write fails.
                      PlacedFault{
                          "CutBeforeTheSecondSystemWrite", "cut-at=system:2", {}, {20, 40, 80, 81}},
                      PlacedFault{"APlaceNeverReached", "write-fail=map", {}, {}},
                      PlacedFault{"AnUnknownPlaceIsIgnored", "read-fail=elsewhere", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });
