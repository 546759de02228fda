#include "cards/second_card.h"

#include <QFileInfo>

namespace {

const char* const cDeviceVariable = "MCBRIDGE_DEVICE";

QString canonical(const QString& device)
{
    if (!device.startsWith(QStringLiteral("image:")))
        return device;
    const QFileInfo file(device.mid(6));
    // A missing image has no canonical path; its absolute one still tells
    // two spellings of it apart from another file.
    const QString path = file.canonicalFilePath();
    return QStringLiteral("image:") + (path.isEmpty() ? file.absoluteFilePath() : path);
}

} // namespace

QString SecondCard::imagePath() const
{
    return fDevice.startsWith(QStringLiteral("image:")) ? fDevice.mid(6) : QString();
}

bool SecondCard::sameCardAs(const QString& device) const
{
    return canonical(fDevice) == canonical(device);
}

QString mainDevice() { return qEnvironmentVariable(cDeviceVariable); }
