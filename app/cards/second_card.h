#pragma once

// A second card shown on the PC side of the window in place of the save
// folder: a card image, or a card in another adapter. It is opened by a
// handle of its own beside the first card's, so the two are open at once
// and a copy between them reads one and writes the other directly.

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

// The device string of the card every command reaches: the card in the
// adapter, as chosen at start.
QString mainDevice();
