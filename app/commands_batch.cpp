// Copying every save at once: the whole card into the save folder, or the
// whole save folder onto the card. Every save is tried; one progress runs
// for the batch and one report at the end names each save that failed and
// why. A failed save leaves no file behind, and the card as it was.
#include "card_save_checks.h"
#include "failure_reason.h"
#include "folder_files.h"
#include "gclink.h"
#include "main_form.h"
#include "save_forms.h"
#include "save_list_view.h"
#include "save_names.h"

#include "i18n/texts.h"
#include "mcbridge/folder_names.h"
#include "skin/dialogs.h"

#include <QDir>
#include <QFile>

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// The bar's share of one save; the library's own steps within a save move
// it a little between.
constexpr int cStepsPerSave = 1000;

struct CardEntry {
    int slot;
    QString shown;
};

QString titleOf(const QString& menuText)
{
    QString t = menuText;
    if (t.endsWith(QChar(0x2026)))
        t.chop(1);
    return t;
}

// The batch's report: how many were copied, how many were in the folder
// already, then each failure on its own line.
void reportBatch(const QString& menuText, int done, int total, const QStringList& failed,
                 int same = 0)
{
    QStringList lines{say_batch_count.arg(done).arg(total)};
    if (same > 0)
        lines << say_batch_same.arg(same);
    if (!failed.isEmpty()) {
        lines << QString() << say_batch_failed;
        for (const QString& f : failed)
            lines << QStringLiteral("  ") + f;
    }
    skin::dialogs().report({titleOf(menuText), lines.join(QLatin1Char('\n')), say_copy, say_close});
}

// The names in the folder as their bytes, those Qt cannot list included:
// a new file must not take the name of one it would not see.
std::vector<std::string> namesIn(const QString& folder)
{
    std::vector<std::string> names;
    for (const QString& n :
         QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        names.push_back(QFile::encodeName(n).toStdString());
    for (const FolderFile& f : filesInFolder(folder))
        names.push_back(f.path.mid(f.path.lastIndexOf('/') + 1).toStdString());
    return names;
}

// Whether a file in the folder holds exactly these bytes: the save is there
// already, under whatever name, and another copy would only add a "-2".
bool alreadyInFolder(const QByteArray& bytes, const QList<FolderFile>& folder)
{
    for (const FolderFile& f : folder)
        if (f.size == bytes.size() && readLocalFile(f.path, f.size + 1) == bytes)
            return true;
    return false;
}

} // namespace

void TMainForm::CopyAllToPcClick()
{
    if (fSecond)
        return copyAllCardToCard(true);
    runCommand(b3, [this] {
        const CardScratch scratch;
        if (GetCardMemory() == 0 || !InitSaverInfo() || !scratch.ok()) {
            OkBtnExe(withLastReason(say_backupfailed));
            return;
        }
        std::vector<CardEntry> saves;
        for (unsigned j = 0; j < 128; ++j) {
            char name[36] = {}, code[7] = {};
            uint16_t count = 0;
            if (GetSaverInfo(j, name, code, &count))
                saves.push_back(
                    {int(j), decodeSaveName(QByteArray(name, qsizetype(strnlen(name, 32))),
                                            QByteArray(code, qsizetype(strnlen(code, 6))))});
        }
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        Bar_Init(0, int(saves.size()) * cStepsPerSave);
        // Each save is read whole first: its entry names its file, and only a
        // sound copy reaches the folder.
        QStringList failed;
        std::vector<std::array<uint8_t, 64>> entries;
        std::vector<const CardEntry*> read;
        std::vector<QString> copies;
        for (std::size_t i = 0; i < saves.size(); ++i) {
            showBusy(i18n::busyText(say_saver_backup));
            const QString copy =
                scratch.path(QString::number(saves[i].slot) + QStringLiteral(".gci"));
            const std::vector<uint8_t> bytes = saveInSlot(saves[i].slot, copy);
            Bar_pos(int(i + 1) * cStepsPerSave);
            if (bytes.size() < 64) {
                failed << withLastReason(saves[i].shown);
                continue;
            }
            std::array<uint8_t, 64> entry{};
            std::memcpy(entry.data(), bytes.data(), entry.size());
            entries.push_back(entry);
            read.push_back(&saves[i]);
            copies.push_back(copy);
        }
        CloseDevice();
        QDir().mkpath(saverDir());
        // Names as emulators give them; a file already in the folder is never
        // replaced, the new one takes a name of its own. A save whose file is
        // in the folder byte for byte is not copied again.
        const auto names = mcb::folderNamesFor(entries, mcb::SaveFormat::Gci, namesIn(saverDir()));
        const QList<FolderFile> inFolder = filesInFolder(saverDir());
        const QByteArray folder = QFile::encodeName(saverDir()) + '/';
        int done = 0, same = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const QByteArray plain = QFile::encodeName(scratch.path(QStringLiteral("plain.gci")));
            QFile::remove(scratch.path(QStringLiteral("plain.gci")));
            const std::optional<QByteArray> bytes =
                mcb_convert_save(QFile::encodeName(copies[i]).constData(), plain.constData(),
                                 MCB_SAVE_GCI)
                    ? readLocalFile(plain, std::numeric_limits<qint64>::max())
                    : std::nullopt;
            if (!bytes) {
                failed << withLastReason(read[i]->shown);
                continue;
            }
            if (alreadyInFolder(*bytes, inFolder)) {
                ++same;
                continue;
            }
            const QByteArray out = folder + QByteArray::fromStdString(names[i]);
            if (mcb_convert_save(plain.constData(), out.constData(), MCB_SAVE_GCI))
                ++done;
            else
                failed << withLastReason(read[i]->shown);
        }
        GetFilePIC();
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
        reportBatch(say_menu_copyall_pc, done, int(saves.size()), failed, same);
        showFreeBlocks();
    });
}

void TMainForm::CopyAllToCardClick()
{
    if (fSecond)
        return copyAllCardToCard(false);
    runCommand(b4, [this] {
        const CardScratch scratch;
        if (GetCardMemory() == 0 || !scratch.ok()) {
            OkBtnExe(withLastReason(say_uploadfailed));
            return;
        }
        QStringList files;
        QList<QByteArray> paths;
        for (int i = 0; i < ListView2->count(); ++i) {
            files << TSaveListView::nameOf(ListView2->item(i));
            paths << filePathOf(ListView2->item(i));
        }
        ListView1->setEnabled(false);
        ListView2->setEnabled(false);
        Bar_Init(0, int(files.size()) * cStepsPerSave);
        QStringList failed;
        int done = 0;
        for (int i = 0; i < files.size(); ++i) {
            showBusy(i18n::busyText(say_saver_upload));
            const QString& name = files[i];
            const std::optional<QByteArray> plain = plainSaveFor(paths[i], scratch);
            const QByteArray local = plain ? *plain : QByteArray();
            if (!plain || !InitSaverInfo()) {
                failed << withLastReason(name);
            } else if (FindSaver(local.constData(), StrGameName)) {
                // Replacing a save is a choice made for that save alone.
                failed << name + QStringLiteral(" [") + say_batch_samename + QLatin1Char(']');
            } else if (UpLoadSaver(local.constData())) {
                ++done;
            } else {
                uint32_t needed = 0, free = 0;
                if (mcb_space(&needed, &free))
                    failed << name + QStringLiteral(" [") + say_batch_noroom.arg(needed).arg(free) +
                                  QLatin1Char(']');
                else
                    failed << withLastReason(name);
            }
            Bar_pos((i + 1) * cStepsPerSave);
        }
        ShowGC();
        CloseDevice();
        ListView1->setEnabled(true);
        ListView2->setEnabled(true);
        reportBatch(say_menu_copyall_card, done, int(files.size()), failed);
    });
}
