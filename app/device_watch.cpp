#include "device_watch.h"

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

} // namespace

DeviceWatcher::DeviceWatcher(QObject* parent) : QObject(parent)
{
    fTimer.setInterval(2000);
    connect(&fTimer, &QTimer::timeout, this, &DeviceWatcher::look);
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
            s.contents = fi.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char(' ') +
                         QString::number(fi.size());
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
    const bool presence = now.presence != fLast.presence;
    const bool contents = !busy && now.contents != fLast.contents;
    if (!presence && !contents)
        return;
    fLast.presence = now.presence;
    if (!busy)
        fLast.contents = now.contents;
    emit changed();
}

void DeviceWatcher::udevEvent()
{
    if (udev_device* d = udev_monitor_receive_device(fMonitor))
        udev_device_unref(d);
    emit changed();
}
