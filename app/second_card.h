#pragma once

// A second card shown on the PC side of the window in place of the save
// folder: a card image, or a card in another adapter.
//
// The library keeps one adapter per process and finds it, at every
// OpenDevice, through the device string in MCBRIDGE_DEVICE. The two cards
// therefore take turns: each connection names its card in the environment
// for the time it is open, then gives back the device that was there, so
// the card in the adapter stays the one every other command reaches.

#include <QByteArray>
#include <QString>

class SecondCard {
public:
    explicit SecondCard(QString device) : fDevice(std::move(device)) {}
    // "image:PATH", "usb:VVVV:PPPP" or a device node.
    const QString& device() const { return fDevice; }
    // The card image's path, empty for an adapter.
    QString imagePath() const;
    // True when device names the same card as this one: the same image file
    // (however it is spelt) or the same device string.
    bool sameCardAs(const QString& device) const;

private:
    QString fDevice;
};

// The device string every command reaches: the card in the adapter.
QString mainDevice();

// For its life, OpenDevice reaches device; afterwards the connection it
// may have opened is closed and the device that was named before is named
// again.
class DeviceSwitch {
public:
    explicit DeviceSwitch(const QString& device);
    ~DeviceSwitch();
    DeviceSwitch(const DeviceSwitch&) = delete;
    DeviceSwitch& operator=(const DeviceSwitch&) = delete;

private:
    QByteArray fBefore;
    bool fHadBefore;
};
