#include "card_save_checks.h"

#include "main_form.h"
#include "save_names.h"

#include "i18n/texts.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <utility>

namespace {

constexpr uint64_t cLargestSaveFile = 64 + 2043ull * 8192; // the save area of a 128 Mbit card

QByteArray bounded(const char* p, std::size_t width)
{
    return QByteArray(p, qsizetype(strnlen(p, width)));
}

QString holdsText(outcome::Holds holds)
{
    switch (holds) {
    case outcome::Holds::NewSave: return say_cardholdsnew;
    case outcome::Holds::OldSave: return say_cardholdsold;
    case outcome::Holds::NoSave: return say_cardholdsnone;
    case outcome::Holds::OtherSave: return say_cardholdsother;
    case outcome::Holds::Unreadable: break;
    }
    return say_cardunreadable;
}

} // namespace

namespace {

bool gStale = false;

} // namespace

bool stillInSlot(const CardSave& save)
{
    if (!InitSaverInfo())
        return false;
    if (save.slot < 0)
        return true;
    char name[36] = {};
    char code[6 + 1] = {};
    uint16_t blocks = 0;
    const bool there = GetSaverInfo(uint32_t(save.slot), name, code, &blocks) &&
                       bounded(name, 32) == save.rawName && bounded(code, 6) == save.rawCode;
    if (!there)
        gStale = true;
    return there;
}

bool takeStaleListing() { return std::exchange(gStale, false); }

std::vector<uint8_t> saveInSlot(int slot, const QString& scratch)
{
    const QByteArray path = QFile::encodeName(scratch);
    QFile::remove(scratch);
    if (slot < 0 || !mcb_download_slot(uint32_t(slot), path.constData()))
        return {};
    return outcome::readSmallFile(path.toStdString(), cLargestSaveFile);
}

std::vector<uint8_t> saveFileBytes(const QString& path)
{
    return saveFileBytes(QFile::encodeName(path));
}

std::vector<uint8_t> saveFileBytes(const QByteArray& localPath)
{
    return outcome::readSmallFile(localPath.toStdString(), cLargestSaveFile);
}

QString cardHoldsText(TMainForm& form, const QByteArray& name, const QByteArray& code, int slot,
                      const std::vector<uint8_t>& written, const std::vector<uint8_t>& before,
                      const CardScratch& scratch)
{
    if (!scratch.ok())
        return say_cardunreadable;
    return holdsText(outcome::cardHoldsNow(
        form.window(), name.toStdString(), code.toStdString(), slot, written, before,
        QFile::encodeName(scratch.path(QStringLiteral("check.gci"))).toStdString()));
}

QString freeOldName(const QString& folder, const QString& name)
{
    const QString base = withoutRemovedCharacters(name) + QStringLiteral(".old");
    QString fileName = base + QStringLiteral(".GCI");
    for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + fileName); ++n)
        fileName = base + QString::number(n) + QStringLiteral(".GCI");
    return fileName;
}

bool keepOldSave(const std::vector<uint8_t>& bytes, const QString& path)
{
    QFile file(path);
    if (bytes.empty() || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const qint64 size = qint64(bytes.size());
    const bool written =
        file.write(reinterpret_cast<const char*>(bytes.data()), size) == size && file.flush();
    file.close();
    if (written && file.error() == QFileDevice::NoError)
        return true;
    file.remove();
    return false;
}

QString withOutcome(const QString& name, const QString& holds)
{
    return name + QStringLiteral(" (") + holds + QLatin1Char(')');
}
