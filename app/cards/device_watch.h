#pragma once

// Noticing that an adapter or a card came or went: USB events from udev when
// it runs, a look every two seconds at what is attached (udev events never
// arrive in containers), and a watch on an emulated card's image file.
//
// An image changed by another program (cardtool, an emulator) is told once
// the change has finished: its system area (header, directories and maps)
// is compared with what the window last listed, and a change is reported
// only when the area has stayed the same for a short while, so the card is
// never read in the middle of another program's write.

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
    // own writes and are not reported; they are judged once it is over.
    void setBusy(std::function<bool()> busy) { fBusy = std::move(busy); }
    // What the image holds now is known.
    void acceptOwnChanges();
    // The window read the card when the image held contents (taken with
    // seeNow() before it read): a later change is one the list lacks.
    void setKnownContents(const QString& contents) { fLast.contents = contents; }
    // How long the system area must stay unchanged before a change is told.
    void setSettleTime(int ms) { fSettle.setInterval(ms); }
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

    void settled();

    QTimer fTimer;
    QTimer fSettle;
    QString fSettling; // the contents a change is waiting to settle at
    QFileSystemWatcher fFiles;
    Seen fLast;
    std::function<bool()> fBusy;
    udev* fUdev = nullptr;
    udev_monitor* fMonitor = nullptr;
    QSocketNotifier* fNotifier = nullptr;
};
