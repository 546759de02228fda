#include "save_forms.h"

#include "card_save_checks.h"
#include "mcbridge.h"

#include "i18n/texts.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isContainer(int32_t form) { return form == MCB_SAVE_GCS || form == MCB_SAVE_SAV; }

} // namespace

QString saveFileFilter()
{
    return QStringLiteral("GC saver format (*.GCI *.gci);;") + say_filter_gcs +
           QStringLiteral(" (*.gcs *.GCS);;") + say_filter_sav + QStringLiteral(" (*.sav *.SAV)");
}

int32_t formForPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gcs"))
        return MCB_SAVE_GCS;
    if (suffix == QLatin1String("sav"))
        return MCB_SAVE_SAV;
    return MCB_SAVE_GCI;
}

std::optional<QString> plainSaveFor(const QString& path, const CardScratch& scratch)
{
    const QByteArray local = QFile::encodeName(path);
    if (!isContainer(mcb_save_format(local.constData())))
        return path; // the upload itself refuses what is no plain save file
    const QString plain = scratch.path(QStringLiteral("plain.gci"));
    if (!mcb_convert_save(local.constData(), QFile::encodeName(plain).constData(), MCB_SAVE_GCI))
        return std::nullopt;
    return plain;
}

bool downloadInForm(int slot, const QString& path, const CardScratch& scratch)
{
    const int32_t form = formForPath(path);
    const QByteArray local = QFile::encodeName(path);
    if (form == MCB_SAVE_GCI)
        return mcb_download_slot(uint32_t(slot), local.constData()) != 0;
    const QByteArray plain = QFile::encodeName(scratch.path(QStringLiteral("download.gci")));
    return mcb_download_slot(uint32_t(slot), plain.constData()) &&
           mcb_convert_save(plain.constData(), local.constData(), form);
}

std::optional<QByteArray> listedSaveBytes(const QFileInfo& file, const QString& plainCopy,
                                          qint64 limit)
{
    const QByteArray local = QFile::encodeName(file.filePath());
    const int32_t form = mcb_save_format(local.constData());
    const bool named = file.suffix().compare(QLatin1String("gci"), Qt::CaseInsensitive) == 0;
    if (!named && !isContainer(form))
        return std::nullopt;
    QString source = file.filePath();
    if (isContainer(form)) {
        // Listed without a banner rather than with its header taken for one.
        if (!mcb_convert_save(local.constData(), QFile::encodeName(plainCopy).constData(),
                              MCB_SAVE_GCI))
            return QByteArray();
        source = plainCopy;
    }
    QFile f(source);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.read(limit);
}
