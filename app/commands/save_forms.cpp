#include "commands/save_forms.h"

#include "cards/card_link.h"
#include "commands/folder_files.h"
#include "mcbridge.h"

#include "i18n/texts.h"

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

std::optional<QByteArray> inFormFor(const QString& path, const QByteArray& plain)
{
    const int32_t form = formForPath(path);
    return form == MCB_SAVE_GCI ? std::optional<QByteArray>(plain) : convertSave(plain, form);
}

std::optional<QByteArray> listedSaveBytes(const FolderFile& file, qint64 limit)
{
    std::optional<QByteArray> bytes = readLocalFile(file.path, limit);
    mcb_save_view view{};
    view.size = sizeof view;
    const bool taken =
        bytes && mcb_parse_save(bytes->constData(), size_t(bytes->size()), &view) == MCB_OK;
    const bool named = file.path.toLower().endsWith(".gci");
    if (!named && !(taken && isContainer(view.format)))
        return std::nullopt;
    return bytes ? bytes : QByteArray();
}
