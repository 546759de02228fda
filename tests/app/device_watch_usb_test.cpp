// The adapter plugged in and pulled out on a simulated USB bus: udev's
// events reach the device watch, and the window lists the card when the
// adapter comes and clears the list when it goes.
#include "app_fixture.h"
#include "cards/device_watch.h"
#include "simulated_adapter.h"

#include "mcbridge/format.h"

#include <QSignalSpy>
#include <QTest>

using namespace usbtest;

namespace {

UsbDevice otherProduct()
{
    UsbDevice device = adapterDevice();
    device.product = kProduct + 1;
    return device;
}

// Well inside the watch's two-second look at the bus: a signal this soon
// came from udev.
constexpr int kUdevWait = 1000;

} // namespace

TEST(DeviceWatchUsb, UdevEventsOfThePlugAndUnplugReachTheWatch)
{
    const std::string why = TestBed::unavailable();
    if (!why.empty())
        GTEST_SKIP() << why;
    TestBed bed;
    qputenv("MCBRIDGE_DEVICE", deviceString(kVendor, kProduct).c_str());
    DeviceWatcher watcher;
    QSignalSpy changed(&watcher, &DeviceWatcher::changed);
    watcher.start();
    EXPECT_TRUE(DeviceWatcher::seeNow().presence.isEmpty());

    // Any USB device coming is worth a fresh look; only udev can tell of one
    // that is not the adapter, since what the watch looks for is unchanged.
    bed.plug(otherProduct());
    ASSERT_TRUE(changed.wait(kUdevWait));
    EXPECT_TRUE(DeviceWatcher::seeNow().presence.isEmpty());

    SimulatedAdapter adapter(adapterDevice(), mcb::formatCard(mcb::FormatOptions{4}));
    const std::string path = bed.plug(adapterDevice(), &adapter);
    changed.clear();
    ASSERT_TRUE(changed.wait(kUdevWait));
    const QString present = DeviceWatcher::seeNow().presence;
    EXPECT_FALSE(present.isEmpty());

    bed.unplug(path, &adapter);
    changed.clear();
    ASSERT_TRUE(changed.wait(kUdevWait));
    EXPECT_TRUE(DeviceWatcher::seeNow().presence.isEmpty());
    qunsetenv("MCBRIDGE_DEVICE");
}

namespace {

class UsbAppTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        const std::string why = TestBed::unavailable();
        if (!why.empty())
            GTEST_SKIP() << why;
        bed = std::make_unique<TestBed>();
        qputenv("MCBRIDGE_DEVICE", deviceString(kVendor, kProduct).c_str());
    }
    void TearDown() override
    {
        AppTest::TearDown();
        bed.reset();
        adapter.reset();
    }
    // Waits for the window to show these names in its card list.
    ::testing::AssertionResult listsInTime(const QStringList& wanted)
    {
        if (QTest::qWaitFor([&] { return names(form->ListView1) == wanted; }, 10000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "listed " << names(form->ListView1).join(',').toStdString();
    }
    std::unique_ptr<TestBed> bed;
    std::unique_ptr<SimulatedAdapter> adapter;
};

} // namespace

TEST_F(UsbAppTest, TheWindowRelistsWhenTheAdapterIsPluggedAndPulled)
{
    auto card = mcb::formatCard(mcb::FormatOptions{4});
    mcbtest::placeSave(card, 0, mcbtest::makeSaveFile({.name = "alpha", .blocks = 2}), 5);
    mcbtest::placeSave(card, 1, mcbtest::makeSaveFile({.name = "beta", .blocks = 1}), 7);
    start();
    form->startDeviceWatch();
    listCard();
    ASSERT_TRUE(names(form->ListView1).isEmpty());

    adapter = std::make_unique<SimulatedAdapter>(adapterDevice(), card);
    const std::string path = bed->plug(adapterDevice(), adapter.get());
    EXPECT_TRUE(listsInTime({"alpha", "beta"}));
    EXPECT_TRUE(form->ReadCardBtn->isEnabled());
    EXPECT_GT(adapter->traffic().sectorReads, 0u);

    bed->unplug(path, adapter.get());
    EXPECT_TRUE(listsInTime({}));
    EXPECT_FALSE(form->ReadCardBtn->isEnabled());
}
