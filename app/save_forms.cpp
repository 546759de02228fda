#include "save_forms.h"

#include "card_save_checks.h"
#include "folder_files.h"
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
    const std::optional<QByteArray> plain = plainSaveFor(QFile::encodeName(path), scratch);
    if (!plain)
        return std::nullopt;
    return QFile::decodeName(*plain);
}

std::optional<QByteArray> plainSaveFor(const QByteArray& local, const CardScratch& scratch)
{
    if (!isContainer(mcb_save_format(local.constData())))
        return local; // the upload itself refuses what is no plain save file
    const QByteArray plain = QFile::encodeName(scratch.path(QStringLiteral("plain.gci")));
    if (!mcb_convert_save(local.constData(), plain.constData(), MCB_SAVE_GCI))
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

std::optional<QByteArray> listedSaveBytes(const FolderFile& file, const QString& plainCopy,
                                          qint64 limit)
{
    const int32_t form = mcb_save_format(file.path.constData());
    const bool named = file.path.toLower().endsWith(".gci");
    if (!named && !isContainer(form))
        return std::nullopt;
    QByteArray source = file.path;
    if (isContainer(form)) {
        // Listed without a banner rather than with its header taken for one.
        source = QFile::encodeName(plainCopy);
        if (!mcb_convert_save(file.path.constData(), source.constData(), MCB_SAVE_GCI))
            return QByteArray();
    }
    return readLocalFile(source, limit);
}
