// An upload over USB that goes wrong on the bus: the adapter answers short,
// stops answering, or is unplugged in the middle. The call that meets the
// trouble must fail and nothing after it may succeed; the card must stay
// sound with every other save as it was, and the save being written must be
// either absent or whole.
#include "usb_fixture.h"

#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <chrono>
#include <functional>

using namespace mcbtest;
using namespace usbtest;
using Urbs = std::vector<SimulatedAdapter::Urb>;

namespace {

constexpr auto kShortTimeout = std::chrono::milliseconds(200);

std::vector<uint8_t> twoSaves()
{
    auto image = mcb::formatCard(mcb::FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "first", .blocks = 2, .seed = 1}), 5);
    placeSave(image, 1, makeSaveFile({.name = "second", .blocks = 3, .seed = 2}), 7);
    return image;
}

std::vector<uint8_t> saveData(const std::vector<uint8_t>& image, const std::string& name)
{
    for (const mcb::SaveInfo& s : mcb::inspectCard(image).saves)
        if (s.name == name)
            return blocksOf(image, s.firstBlock, s.blockCount);
    return {};
}

bool isOut(const SimulatedAdapter::Urb& u) { return (u.endpoint & 0x80) == 0; }

// The Nth write or read (counted from 1, as faults are) of URB number index.
uint64_t numberAmongItsKind(const Urbs& urbs, std::size_t index)
{
    uint64_t n = 0;
    for (std::size_t i = 0; i <= index; ++i)
        n += isOut(urbs[i]) == isOut(urbs[index]);
    return n;
}

// The first URB from `from` on that matches, or the end.
std::size_t firstFrom(const Urbs& urbs, std::size_t from,
                      const std::function<bool(const SimulatedAdapter::Urb&)>& match)
{
    while (from < urbs.size() && !match(urbs[from]))
        ++from;
    return from;
}

// Where the upload's URBs start in a clean run, and the run's log.
struct CleanRun {
    Urbs urbs;
    std::size_t uploadStart = 0;
    uint64_t uploadSectorWrites = 0;
};

struct Trouble {
    const char* name;
    std::function<mcb::Faults(const CleanRun&)> fault;
    AfterDrop afterDrop = AfterDrop::StopsAnswering;
    bool duringUpload = true; // else already while loading the directory
};

void PrintTo(const Trouble& t, std::ostream* os) { *os << t.name; }

class UploadTrouble : public UsbTest, public ::testing::WithParamInterface<Trouble> {};

} // namespace

TEST_P(UploadTrouble, FailsTheCallAndLeavesTheCardSound)
{
    const auto image = twoSaves();
    const auto file = makeSaveFile({.name = "new", .blocks = 4, .seed = 3});
    writeFile(dir.file("new.gci"), file);
    mcb::setUsbTimeout(kShortTimeout);

    CleanRun clean;
    {
        SimulatedAdapter& adapter = plugAdapter(image);
        ASSERT_EQ(OpenDevice(nullptr), 1);
        ASSERT_EQ(GetCardMemory(), 4);
        ASSERT_EQ(InitSaverInfo(), 1);
        clean.uploadStart = adapter.urbs().size();
        const uint64_t written = adapter.traffic().sectorWrites;
        ASSERT_EQ(UpLoadSaver(dir.file("new.gci").c_str()), 1);
        clean.urbs = adapter.urbs();
        clean.uploadSectorWrites = adapter.traffic().sectorWrites - written;
        CloseDevice();
        bed->unplug(sysPaths.back(), &adapter);
    }

    const Trouble& trouble = GetParam();
    const mcb::Faults faults = trouble.fault(clean);
    SimulatedAdapter& adapter = plugAdapter(image, faults, trouble.afterDrop);
    // What the program does: open, size, load the directory, upload.
    ASSERT_EQ(OpenDevice(nullptr), 1);
    ASSERT_EQ(GetCardMemory(), 4);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(InitSaverInfo(), trouble.duringUpload ? 1 : 0);
    EXPECT_EQ(UpLoadSaver(dir.file("new.gci").c_str()), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_NE(mcb_last_error(), MCB_SUCCESS);

    const auto after = adapter.image();
    const mcb::CardReport report = mcb::inspectCard(after);
    ASSERT_TRUE(report.sound()) << report.problems[0];
    for (const char* other : {"first", "second"})
        EXPECT_EQ(saveData(after, other), saveData(image, other)) << other;
    const auto now = saveData(after, "new");
    EXPECT_TRUE(now.empty() || now == std::vector<uint8_t>(file.begin() + 64, file.end()));

    if (trouble.afterDrop == AfterDrop::StopsAnswering && faults.cutAfterTransfers) {
        // Ended by a time-out (that the time-out set is the one waited for
        // is shown by StalledTransfer below).
        EXPECT_EQ(adapter.discarded(), 1u);
        EXPECT_GE(took, kShortTimeout);
    }
    if (trouble.afterDrop == AfterDrop::Unplugged) {
        EXPECT_TRUE(adapter.unplugged());
        bed->unplug(sysPaths.back(), &adapter);
        CloseDevice();
        mcb_receiver receiver{};
        EXPECT_EQ(OpenDevice(&receiver), 0);
        EXPECT_EQ(receiver.error, MCB_ERROR_NOT_FOUND);
    }
}

namespace {

mcb::Faults shortWriteAt(const CleanRun& run, std::size_t index)
{
    mcb::Faults f;
    f.shortWrite = numberAmongItsKind(run.urbs, index);
    return f;
}

std::size_t firstSectorData(const CleanRun& run)
{
    return firstFrom(run.urbs, run.uploadStart,
                     [](const auto& u) { return isOut(u) && u.length == 512; });
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Usb, UploadTrouble,
    ::testing::Values(
        // Half of a sector write's command packet: the data after it would
        // be taken for a packet and the sector left unwritten.
        Trouble{"ShortCommandPacket",
                [](const CleanRun& run) {
                    const std::size_t data = firstSectorData(run);
                    return shortWriteAt(run, firstFrom(run.urbs, data, [](const auto& u) {
                                            return isOut(u) && u.length == 16;
                                        }));
                }},
        Trouble{"ShortSectorData",
                [](const CleanRun& run) { return shortWriteAt(run, firstSectorData(run)); }},
        // A sector in the middle of the directory: the upload never starts.
        Trouble{"ShortSectorRead",
                [](const CleanRun& run) {
                    uint64_t reads = 0;
                    for (std::size_t i = 0; i < run.uploadStart; ++i)
                        reads += !isOut(run.urbs[i]);
                    mcb::Faults f;
                    f.shortRead = reads / 2 + 1;
                    return f;
                },
                AfterDrop::StopsAnswering, false},
        Trouble{"StopsAnsweringMidUpload",
                [](const CleanRun& run) {
                    mcb::Faults f;
                    f.cutAfterTransfers = (run.uploadStart + run.urbs.size()) / 2;
                    return f;
                }},
        Trouble{"UnpluggedMidUpload",
                [](const CleanRun& run) {
                    mcb::Faults f;
                    f.cutAfterSectorWrites = run.uploadSectorWrites / 2;
                    return f;
                },
                AfterDrop::Unplugged}),
    [](const ::testing::TestParamInfo<Trouble>& info) { return std::string(info.param.name); });

namespace {

class StalledTransfer : public UsbTest {};

} // namespace

// A transfer the adapter never answers waits as long as the library was told
// and then fails. The time set is longer than the default: ignored, the
// default would end the wait before it, and a lower bound, which a loaded
// machine cannot break, tells the two apart.
TEST_F(StalledTransfer, WaitsTheTimeOutSetNotTheDefault)
{
    constexpr auto kDefault = std::chrono::milliseconds(5000);
    constexpr auto kLonger = kDefault + std::chrono::milliseconds(1500);
    ASSERT_EQ(mcb::usbTimeout(), kDefault);
    const auto image = twoSaves();
    std::size_t opening = 0;
    {
        SimulatedAdapter& adapter = plugAdapter(image);
        ASSERT_EQ(OpenDevice(nullptr), 1);
        ASSERT_EQ(GetCardMemory(), 4);
        opening = adapter.urbs().size();
        CloseDevice();
        bed->unplug(sysPaths.back(), &adapter);
    }

    // The adapter stops answering right after the card's size: the
    // directory's first transfer is the one that stalls.
    mcb::Faults faults;
    faults.cutAfterTransfers = opening;
    SimulatedAdapter& adapter = plugAdapter(image, faults, AfterDrop::StopsAnswering);
    ASSERT_EQ(OpenDevice(nullptr), 1);
    ASSERT_EQ(GetCardMemory(), 4);
    mcb::setUsbTimeout(kLonger);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(InitSaverInfo(), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(adapter.discarded(), 1u);
    EXPECT_GE(took, kLonger);
}
