#include "cards/device_watch.h"

#include "mcbridge.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <libudev.h>

namespace {

QString deviceString() { return qEnvironmentVariable("MCBRIDGE_DEVICE"); }

// "usb:VVVV:PPPP": is such a device on the bus?
QString usbPresence(const QString& ids)
{
    const QStringList parts = ids.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return QString();
    QStringList found;
    const QDir bus(QStringLiteral("/sys/bus/usb/devices"));
    for (const QString& d : bus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        auto read = [&](const char* f) {
            QFile file(bus.filePath(d) + QLatin1Char('/') + QLatin1String(f));
            return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed()
                                                  : QString();
        };
        if (read("idVendor").compare(parts[0], Qt::CaseInsensitive) == 0 &&
            read("idProduct").compare(parts[1], Qt::CaseInsensitive) == 0)
            found << d;
    }
    return found.join(QLatin1Char(','));
}

// The card's system area: its header, directories and maps.
constexpr qint64 cSystemArea = qint64(MCB_SYSTEM_BLOCKS) * MCB_BLOCK_SIZE;

QString imageContents(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    // The size too: an image cut short or grown is a change of its own.
    return QString::number(f.size()) + QLatin1Char(' ') +
           QString::fromLatin1(f.read(cSystemArea).toBase64());
}

} // namespace

DeviceWatcher::DeviceWatcher(QObject* parent) : QObject(parent)
{
    fTimer.setInterval(2000);
    connect(&fTimer, &QTimer::timeout, this, &DeviceWatcher::look);
    // Long enough for a writer's directory and map commits, which follow
    // each other at once, to be one change.
    fSettle.setInterval(300);
    fSettle.setSingleShot(true);
    connect(&fSettle, &QTimer::timeout, this, &DeviceWatcher::settled);
    connect(&fFiles, &QFileSystemWatcher::fileChanged, this, &DeviceWatcher::look);
}

DeviceWatcher::~DeviceWatcher()
{
    if (fMonitor)
        udev_monitor_unref(fMonitor);
    if (fUdev)
        udev_unref(fUdev);
}

DeviceWatcher::Seen DeviceWatcher::seeNow()
{
    const QString device = deviceString();
    Seen s;
    if (device.startsWith(QLatin1String("image:"))) {
        const QFileInfo fi(device.mid(6));
        if (fi.exists()) {
            s.presence = QStringLiteral("image %1").arg(fi.size());
            s.contents = imageContents(fi.filePath());
        }
    } else if (device.startsWith(QLatin1String("usb:"))) {
        s.presence = usbPresence(device.mid(4));
    } else if (!device.isEmpty()) {
        s.presence = QFileInfo::exists(device) ? QStringLiteral("node") : QString();
    }
    return s;
}

void DeviceWatcher::start()
{
    fLast = seeNow();
    watchImage();
    fTimer.start();
    // udev is a bonus: where it does not run, the timer still notices.
    fUdev = udev_new();
    if (fUdev)
        fMonitor = udev_monitor_new_from_netlink(fUdev, "udev");
    if (fMonitor &&
        udev_monitor_filter_add_match_subsystem_devtype(fMonitor, "usb", nullptr) == 0 &&
        udev_monitor_enable_receiving(fMonitor) == 0) {
        fNotifier = new QSocketNotifier(udev_monitor_get_fd(fMonitor), QSocketNotifier::Read, this);
        connect(fNotifier, &QSocketNotifier::activated, this, &DeviceWatcher::udevEvent);
    }
}

void DeviceWatcher::watchImage()
{
    const QString device = deviceString();
    if (!device.startsWith(QLatin1String("image:")))
        return;
    const QString path = device.mid(6);
    // A file replaced by a rename drops out of the watch: watch it again.
    if (QFileInfo::exists(path) && !fFiles.files().contains(path))
        fFiles.addPath(path);
}

void DeviceWatcher::acceptOwnChanges() { fLast.contents = seeNow().contents; }

void DeviceWatcher::look()
{
    watchImage();
    const Seen now = seeNow();
    const bool busy = fBusy && fBusy();
    if (now.presence != fLast.presence) {
        // A card that came or went is told at once, even in mid-command: the
        // window handles it when the command ends.
        fLast = now;
        fSettle.stop();
        fSettling.clear();
        emit changed();
        return;
    }
    if (busy || now.contents == fLast.contents) {
        fSettle.stop();
        fSettling.clear();
        return;
    }
    // Changed by someone else: told once it has stopped changing.
    if (now.contents != fSettling) {
        fSettling = now.contents;
        fSettle.start();
    }
}

void DeviceWatcher::settled()
{
    const Seen now = seeNow();
    if (fBusy && fBusy())
        return; // judged again after the command
    if (now.contents != fSettling) {
        // Still being written: wait for it to rest.
        fSettling = now.contents;
        fSettle.start();
        return;
    }
    fSettling.clear();
    if (now.contents == fLast.contents)
        return;
    fLast.contents = now.contents;
    emit changed();
}

void DeviceWatcher::udevEvent()
{
    if (udev_device* d = udev_monitor_receive_device(fMonitor))
        udev_device_unref(d);
    emit changed();
}
