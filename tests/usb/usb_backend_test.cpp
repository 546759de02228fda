// The library on a USB adapter: found by its ids, its endpoints taken from
// its descriptors, and every card call carried by libusb's bulk transfers.
#include "usb_fixture.h"

#include "emulated_card.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <set>

using namespace mcbtest;
using namespace usbtest;

namespace {

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& saveFile)
{
    return {saveFile.begin() + 64, saveFile.end()};
}

std::vector<uint8_t> saveData(const std::vector<uint8_t>& image, const std::string& name)
{
    for (const mcb::SaveInfo& s : mcb::inspectCard(image).saves)
        if (s.name == name)
            return blocksOf(image, s.firstBlock, s.blockCount);
    return {};
}

std::vector<uint8_t> cardWith(std::initializer_list<std::pair<SaveSpec, unsigned>> saves)
{
    auto image = mcb::formatCard(mcb::FormatOptions{4});
    unsigned slot = 0;
    for (const auto& [save, firstBlock] : saves)
        placeSave(image, slot++, makeSaveFile(save), firstBlock);
    return image;
}

} // namespace

TEST_F(UsbTest, FindsTheAdapterByVendorAndProductAmongOtherDevices)
{
    // Devices sharing one of the two ids come first on the bus. Opening one
    // of them would fail: they have no device node.
    UsbDevice sameVendor = adapterDevice();
    sameVendor.product = kProduct + 1;
    UsbDevice sameProduct = adapterDevice();
    sameProduct.vendor = kVendor - 1;
    bed->plug(sameVendor);
    bed->plug(sameProduct);
    SimulatedAdapter& adapter = plugAdapter(mcb::formatCard(mcb::FormatOptions{8}));

    mcb_receiver receiver{};
    ASSERT_EQ(OpenDevice(&receiver), 1);
    EXPECT_EQ(receiver.error, MCB_SUCCESS);
    EXPECT_EQ(GetCardMemory(), 8);
    EXPECT_EQ(CloseDevice(), 1);
    EXPECT_EQ(adapter.traffic().begins, 1u);
    EXPECT_EQ(adapter.traffic().ends, 1u);

    // Ids nobody on the bus has: nothing opens and nothing reaches the adapter.
    const uint64_t transfers = adapter.traffic().transfers;
    for (auto [vendor, product] :
         {std::pair{kVendor, uint16_t(kProduct + 2)}, std::pair{uint16_t(kVendor + 1), kProduct}}) {
        lookFor(vendor, product);
        receiver.error = -1;
        EXPECT_EQ(OpenDevice(&receiver), 0) << deviceString(vendor, product);
        EXPECT_EQ(receiver.error, MCB_ERROR_NOT_FOUND);
        EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_FOUND);
        EXPECT_EQ(IsConnected(), 0);
    }
    EXPECT_EQ(adapter.traffic().transfers, transfers);
}

namespace {

struct Layout {
    const char* name;
    std::vector<Interface> interfaces;
    uint8_t out;
    uint8_t in;
    unsigned interface;
    unsigned alternate;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

class Endpoints : public UsbTest, public ::testing::WithParamInterface<Layout> {};

constexpr uint8_t kInterrupt = 3;

} // namespace

// Whichever interface and setting holds the first pair of bulk endpoints is
// claimed and selected, and only those two endpoints carry the card's bytes.
TEST_P(Endpoints, TheBulkPairIsTakenFromTheDescriptors)
{
    const Layout& layout = GetParam();
    UsbDevice device = adapterDevice();
    device.interfaces = layout.interfaces;
    device.packetsOut = layout.out;
    device.answersIn = layout.in;
    SimulatedAdapter& adapter =
        plugAdapter(mcb::formatCard(mcb::FormatOptions{4}), {}, AfterDrop::StopsAnswering, device);
    const auto file = makeSaveFile({.name = "through", .blocks = 2, .seed = 5});
    writeFile(dir.file("s.gci"), file);

    ASSERT_EQ(OpenDevice(nullptr), 1);
    ASSERT_EQ(GetCardMemory(), 4);
    ASSERT_EQ(InitSaverInfo(), 1);
    ASSERT_EQ(UpLoadSaver(dir.file("s.gci").c_str()), 1);
    ASSERT_EQ(DownLoadSaver("through", "GTSE01", dir.file("back.gci").c_str()), 1);
    EXPECT_EQ(CloseDevice(), 1);

    EXPECT_EQ(saveData(adapter.image(), "through"), dataOf(file));
    EXPECT_EQ(dataOf(readFile(dir.file("back.gci"))), dataOf(file));
    EXPECT_EQ(adapter.claims(), std::vector<unsigned>{layout.interface});
    const auto alt = adapter.altSettings();
    EXPECT_EQ(alt.count(layout.interface) ? alt.at(layout.interface) : 0u, layout.alternate);
    std::set<uint8_t> used;
    for (const SimulatedAdapter::Urb& u : adapter.urbs())
        used.insert(u.endpoint);
    EXPECT_EQ(used, (std::set<uint8_t>{layout.out, layout.in}));
}

INSTANTIATE_TEST_SUITE_P(
    Usb, Endpoints,
    ::testing::Values(
        Layout{"OneInterface", {Interface{{AltSetting{{{0x01}, {0x81}}}}}}, 0x01, 0x81, 0, 0},
        Layout{"InBeforeOutBesideAnInterruptEndpoint",
               {Interface{{AltSetting{{{0x83, kInterrupt}, {0x82}, {0x02}}}}}},
               0x02,
               0x82,
               0,
               0},
        Layout{"SecondInterface",
               {Interface{{AltSetting{{{0x81}, {0x85, kInterrupt}}}}},
                Interface{{AltSetting{{{0x03}, {0x84}}}}}},
               0x03,
               0x84,
               1,
               0},
        Layout{"AlternateSetting",
               {Interface{{AltSetting{{}}, AltSetting{{{0x05}, {0x86}}}}}},
               0x05,
               0x86,
               0,
               1}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

// One connection that makes every call reaching the card, each carried by
// libusb: the results are those of the card, and every transfer the
// library made went out as one URB on the bus.
TEST_F(UsbTest, EveryCardCallRunsThroughLibusb)
{
    const auto original = cardWith({{{.name = "kept", .blocks = 2, .seed = 1}, 5},
                                    {{.name = "gone", .blocks = 1, .seed = 2}, 7}});
    SimulatedAdapter& adapter = plugAdapter(original);
    const auto fresh = makeSaveFile({.name = "fresh", .blocks = 3, .seed = 3});
    const auto newer = makeSaveFile({.name = "fresh", .blocks = 3, .seed = 4});
    writeFile(dir.file("fresh.gci"), fresh);
    writeFile(dir.file("newer.gci"), newer);
    writeFile(dir.file("original.raw"), original);
    ProgressLog log;

    ASSERT_EQ(IsConnected(), 0);
    ASSERT_EQ(OpenDevice(&log.receiver), 1);
    EXPECT_EQ(IsConnected(), 1);
    EXPECT_NE(DriverHandle(), nullptr);
    ASSERT_EQ(GetCardMemory(), 4);
    ASSERT_EQ(InitSaverInfo(), 1);
    char name[33] = {}, code[7] = {};
    uint16_t blocks = 0;
    ASSERT_EQ(GetSaverInfo(0, name, code, &blocks), 1);
    EXPECT_STREQ(name, "kept");
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(GetSaverInfo(2, name, code, &blocks), 0);
    EXPECT_EQ(GetSaverPIC(0, dir.file("kept.bmp").c_str()), 1);
    ASSERT_EQ(DownLoadSaver("kept", "GTSE01", dir.file("kept.gci").c_str()), 1);
    EXPECT_EQ(dataOf(readFile(dir.file("kept.gci"))), saveData(original, "kept"));

    ASSERT_EQ(UpLoadSaver(dir.file("fresh.gci").c_str()), 1);
    char found[33] = {};
    EXPECT_EQ(FindSaver(dir.file("fresh.gci").c_str(), found), 1);
    EXPECT_STREQ(found, "fresh");
    ASSERT_EQ(DeleteSaver("gone", "GTSE01"), 1);
    ASSERT_EQ(DownLoadSaver("fresh", "GTSE01", dir.file("fresh-back.gci").c_str()), 1);
    EXPECT_EQ(dataOf(readFile(dir.file("fresh-back.gci"))), dataOf(fresh));
    // The same name and code: in place of the save just written.
    ASSERT_EQ(UpLoadSaver(dir.file("newer.gci").c_str()), 1);
    ASSERT_EQ(ReadCardToFile(dir.file("card.raw").c_str()), 1);
    EXPECT_EQ(readFile(dir.file("card.raw")), adapter.image());

    const mcb::CardReport report = mcb::inspectCard(adapter.image());
    EXPECT_TRUE(report.sound());
    EXPECT_EQ(saveData(adapter.image(), "kept"), saveData(original, "kept"));
    EXPECT_EQ(saveData(adapter.image(), "fresh"), dataOf(newer));
    EXPECT_TRUE(saveData(adapter.image(), "gone").empty());

    ASSERT_EQ(DeleteSaver("kept", "GTSE01"), 1);
    ASSERT_EQ(WriteFileToCard(dir.file("original.raw").c_str()), 1);
    EXPECT_EQ(adapter.image(), original);
    EXPECT_EQ(CloseDevice(), 1);
    EXPECT_EQ(IsConnected(), 0);
    EXPECT_EQ(mcb_last_error(), MCB_SUCCESS);

    const mcb::Traffic traffic = adapter.traffic();
    EXPECT_EQ(traffic.begins, 1u);
    EXPECT_EQ(traffic.ends, 1u);
    EXPECT_GT(traffic.sectorWrites, 1024u); // the whole card at least once
    EXPECT_EQ(adapter.urbs().size(), traffic.transfers);
    EXPECT_GT(log.steps(), 0u);
}
