#pragma once

// The program's own pictures and colours: the main window's background, the
// USB picture beside the card size, the message box's background, and the
// colours that read on them.

#include <QColor>
#include <QImage>

namespace skin {

inline constexpr QSize cBackgroundSize{660, 480};
inline constexpr QSize cUsbPictureSize{33, 22};
inline constexpr QSize cMessageBoxSize{249, 89};

// Decoded from the JPEG built into the program; a null image only if that
// JPEG were damaged, and the window then simply shows no skin.
QImage backgroundPicture();

// An adapter plug with a lit lamp; transparent around it, so it sits on the
// status strip of the background.
QImage usbPicture();

// A light glass panel with a blue rim; the message text and the OK button
// stand on it.
QImage messageBoxPicture();

// Background of the region change dialog.
inline constexpr QRgb cSkyBlue = qRgb(0xA6, 0xCA, 0xF0);

// The status line on the background's status strip: the busy text stands out
// in the blue of a desktop, the idle free-block text is a quieter shadow grey.
inline constexpr QRgb cStatusBusy = qRgb(0x2A, 0x5E, 0x9E);
inline constexpr QRgb cStatusIdle = qRgb(0x55, 0x5E, 0x6B);

} // namespace skin
