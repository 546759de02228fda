#pragma once

// Noticing that an adapter or a card came or went: USB events from udev when
// it runs, a look every two seconds at what is attached (udev events never
// arrive in containers), and a watch on an emulated card's image file.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    explicit DeviceWatcher(QObject* parent = nullptr);
    ~DeviceWatcher() override;

    void start();
    // While busy() is true, changes to an image's contents are the program's
    // own writes and are not reported.
    void setBusy(std::function<bool()> busy) { fBusy = std::move(busy); }
    // After a command: what the image holds now is known.
    void acceptOwnChanges();
    // Looks now instead of at the next tick.
    void look();

    // What the device string names, as seen now: whether it is there, and
    // (for an image) a stamp of its contents.
    struct Seen {
        QString presence;
        QString contents;
    };
    static Seen seeNow();

signals:
    void changed();

private:
    void udevEvent();
    void watchImage();

    QTimer fTimer;
    QFileSystemWatcher fFiles;
    Seen fLast;
    std::function<bool()> fBusy;
    udev* fUdev = nullptr;
    udev_monitor* fMonitor = nullptr;
    QSocketNotifier* fNotifier = nullptr;
};
