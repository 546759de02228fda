// Noticing a card image come, go or change under the program.
#include "cards/device_watch.h"
#include "save_maker.h"

#include "mcbridge/format.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>

#include <utime.h>

namespace {

struct ImageDevice {
    mcbtest::TempDir dir;
    std::string path = dir.file("card.raw");
    ImageDevice()
    {
        mcbtest::writeFile(path, mcb::formatCard(mcb::FormatOptions{4}));
        qputenv("MCBRIDGE_DEVICE", QByteArray("image:") + path.c_str());
    }
    ~ImageDevice() { qunsetenv("MCBRIDGE_DEVICE"); }
    // A change to the card's system area (a byte of its first directory
    // block), as any write that adds or removes a save makes. The
    // modification time is set apart from every earlier one rather than
    // left to the file system's clock, which may not have moved since the
    // last write.
    void touch(uint8_t value, std::size_t at = 8192 + 100)
    {
        auto bytes = mcbtest::readFile(path);
        bytes[at] = value;
        mcbtest::writeFile(path, bytes);
        const struct utimbuf times {
            1000000000 + 60 * value, 1000000000 + 60 * value
        };
        ASSERT_EQ(::utime(path.c_str(), &times), 0);
    }
};

} // namespace

TEST(DeviceWatch, ChangesToTheImageAreNoticedButNotTheProgramsOwn)
{
    ImageDevice device;
    DeviceWatcher watcher;
    watcher.setSettleTime(0);
    bool busy = false;
    watcher.setBusy([&] { return busy; });
    QSignalSpy changed(&watcher, &DeviceWatcher::changed);
    watcher.start();

    watcher.look();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 0);

    // Written by someone else while the program is idle: a change, told
    // once it has settled.
    device.touch(1);
    watcher.look();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(changed.count(), 1);

    // A save's data blocks alone are no change to the list: the system
    // area tells what it shows.
    device.touch(7, 10 * 8192);
    watcher.look();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 1);

    // Written by the program's own command: accepted at its end, no change.
    busy = true;
    device.touch(2);
    watcher.look();
    busy = false;
    watcher.acceptOwnChanges();
    watcher.look();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 1);

    // The card going away is noticed even in mid-command; the window
    // handles it when the command ends.
    busy = true;
    QFile::remove(QString::fromStdString(device.path));
    watcher.look();
    EXPECT_EQ(changed.count(), 2);
    busy = false;
    mcbtest::writeFile(device.path, mcb::formatCard(mcb::FormatOptions{8}));
    watcher.look();
    EXPECT_EQ(changed.count(), 3);
}

// A change still being written is not told until it rests: the window
// would read half of it.
TEST(DeviceWatch, AChangeIsToldOnceItHasStoppedChanging)
{
    ImageDevice device;
    DeviceWatcher watcher;
    watcher.setSettleTime(0);
    QSignalSpy changed(&watcher, &DeviceWatcher::changed);
    watcher.start();
    // Each look finds the area changed again since the last: still moving.
    for (uint8_t write = 1; write <= 3; ++write) {
        device.touch(write);
        watcher.look();
        EXPECT_EQ(changed.count(), 0);
    }
    // Resting now: told once, for all three.
    ASSERT_TRUE(changed.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 1);
}

TEST(DeviceWatch, NothingConfiguredIsNothingToNotice)
{
    qunsetenv("MCBRIDGE_DEVICE");
    const DeviceWatcher::Seen seen = DeviceWatcher::seeNow();
    EXPECT_TRUE(seen.presence.isEmpty());
    qputenv("MCBRIDGE_DEVICE", "/nonexistent/adapter");
    EXPECT_TRUE(DeviceWatcher::seeNow().presence.isEmpty());
    qputenv("MCBRIDGE_DEVICE", "/dev/null");
    EXPECT_FALSE(DeviceWatcher::seeNow().presence.isEmpty());
    qunsetenv("MCBRIDGE_DEVICE");
}
