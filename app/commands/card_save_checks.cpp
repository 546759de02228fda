#include "commands/card_save_checks.h"

#include "cards/card_link.h"
#include "commands/folder_files.h"
#include "commands/save_names.h"
#include "commands/user_file.h"

#include <QFileInfo>

#include <utility>

namespace {

bool gStale = false;

// A save file in a container may carry a header before its entry; none is
// larger than a block.
constexpr qint64 cLargestSaveFile = qint64(MCB_LARGEST_SAVE_FILE) + MCB_BLOCK_SIZE;

} // namespace

bool stillInSlot(mcb_card* card, const CardSave& save)
{
    if (mcb_load(card) < 0)
        return false;
    const std::optional<SlotEntry> e = entryAt(card, unsigned(save.slot));
    const bool there = e && e->name == save.rawName && e->code == save.rawCode;
    if (!there)
        gStale = true;
    return there;
}

void markListingStale() { gStale = true; }

bool takeStaleListing() { return std::exchange(gStale, false); }

QByteArray saveFileBytes(const QByteArray& localPath)
{
    return readLocalFile(localPath, cLargestSaveFile).value_or(QByteArray());
}

QString freeOldName(const QString& folder, const QString& name)
{
    const QString base = withoutRemovedCharacters(name) + QStringLiteral(".old");
    QString fileName = base + QStringLiteral(".GCI");
    for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + fileName); ++n)
        fileName = base + QString::number(n) + QStringLiteral(".GCI");
    return fileName;
}

bool keepOldSave(const QByteArray& bytes, const QString& path)
{
    return !bytes.isEmpty() && writeNewUserFile(path, bytes);
}

QString withOutcome(const QString& name, const QString& holds)
{
    return name + QStringLiteral(" (") + holds + QLatin1Char(')');
}
