#pragma once

// JPEG through libjpeg, for the window pictures the program carries.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace skin {

// A null image for anything that is not a complete, undamaged JPEG: a cut-off
// or corrupted picture is refused rather than shown half grey.
QImage decodeJpeg(QByteArrayView data);
QImage decodeJpegFile(const QString& path);

// Baseline JPEG of the image's colours (alpha dropped); empty on failure.
QByteArray encodeJpeg(const QImage& image, int quality);

} // namespace skin
