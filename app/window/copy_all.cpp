// Copying every save at once: the whole card into the save folder, or the
// whole save folder onto the card. Every save is tried; one progress runs
// for the batch and one report at the end names each save that failed and
// why. A failed save leaves no file behind, and the card as it was. Both run
// on the card's thread, and Cancel stops them between two saves: the report
// then counts what was copied and says the rest were not tried.
#include "cards/card_link.h"
#include "cards/card_worker.h"
#include "commands/card_save_checks.h"
#include "commands/failure_reason.h"
#include "commands/folder_files.h"
#include "commands/put_save.h"
#include "commands/save_names.h"
#include "commands/user_file.h"
#include "window/batch_scope.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

#include "i18n/texts.h"
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
// already, how many the user's Cancel left untried, then each failure on its
// own line.
void reportBatch(const QString& menuText, int done, int total, const QStringList& failed,
                 int same = 0, int untried = 0)
{
    QStringList lines{say_batch_count.arg(done).arg(total)};
    if (same > 0)
        lines << say_batch_same.arg(same);
    if (untried > 0)
        lines << say_batch_stopped.arg(untried);
    if (!failed.isEmpty()) {
        lines << QString() << say_batch_failed;
        for (const QString& f : failed)
            lines << QStringLiteral("  ") + f;
    }
    skin::dialogs().report({titleOf(menuText), lines.join(QLatin1Char('\n')), say_copy, say_close});
}

// The names in the folder as their bytes, those Qt cannot list included,
// each ended by a NUL: a new file must not take the name of one it would
// not see.
QByteArray namesIn(const QString& folder)
{
    QByteArray names;
    for (const QString& n :
         QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        names += QFile::encodeName(n) + '\0';
    for (const FolderFile& f : filesInFolder(folder))
        names += f.path.mid(f.path.lastIndexOf('/') + 1) + '\0';
    return names;
}

// Names as emulators give them for the saves of entries (64 bytes each), in
// a folder that holds taken; nothing when the library could not name them.
std::vector<QByteArray> folderNames(const QByteArray& entries, const QByteArray& taken)
{
    const size_t count = size_t(entries.size()) / MCB_ENTRY_SIZE;
    const auto* e = reinterpret_cast<const uint8_t*>(entries.constData());
    size_t length = 0;
    QByteArray out;
    int code = MCB_E_TOO_SMALL;
    while (code == MCB_E_TOO_SMALL) {
        out.resize(qsizetype(length));
        code = mcb_folder_names(e, count, MCB_SAVE_GCI, taken.constData(), size_t(taken.size()),
                                out.data(), size_t(out.size()), &length);
    }
    std::vector<QByteArray> names;
    if (code < 0)
        return names;
    for (const QByteArray& n : out.left(qsizetype(length)).split('\0'))
        if (names.size() < count)
            names.push_back(n);
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
    runCommand(
        b3,
        [this] {
            const BatchShown shown(*this);
            if (const int loaded = mcb_load(link()); loaded < 0) {
                OkBtnExe(withCodeReason(say_backupfailed, loaded, link()));
                return;
            }
            std::vector<CardEntry> saves;
            for (unsigned j = 0; j < MCB_SLOTS; ++j)
                if (const std::optional<SlotEntry> e = entryAt(link(), j))
                    saves.push_back({int(j), decodeSaveName(e->name, e->code)});
            enableLists(*this, false);
            Bar_Init(0, int(saves.size()) * cStepsPerSave);
            // Each save is read whole into memory first: its entry names its
            // file, and only a sound copy reaches the folder.
            QStringList failed;
            QByteArray entries;
            std::vector<const CardEntry*> read;
            std::vector<QByteArray> copies;
            std::size_t tried = 0;
            for (; tried < saves.size() && !batchCancelled(); ++tried) {
                const std::size_t i = tried;
                showBusy(i18n::busyText(say_saver_backup));
                const QByteArray bytes = readSave(link(), unsigned(saves[i].slot));
                Bar_pos(int(i + 1) * cStepsPerSave);
                if (bytes.size() < MCB_ENTRY_SIZE) {
                    failed << withCardReason(saves[i].shown, link());
                    continue;
                }
                entries += bytes.left(MCB_ENTRY_SIZE);
                read.push_back(&saves[i]);
                copies.push_back(bytes);
            }
            fLink.close();
            QDir().mkpath(saverDir());
            // Names as emulators give them; a file already in the folder is never
            // replaced, the new one takes a name of its own. A save whose file is
            // in the folder byte for byte is not copied again. Each copy is on
            // the disk, flushed, before the next is written.
            const std::vector<QByteArray> names = folderNames(entries, namesIn(saverDir()));
            const QList<FolderFile> inFolder = filesInFolder(saverDir());
            const QByteArray folder = QFile::encodeName(saverDir()) + '/';
            int done = 0, same = 0;
            // Stopped while reading, what was read is written all the same:
            // each of those saves is whole in memory.
            const bool readAll = tried == saves.size();
            std::size_t written = 0;
            for (; written < read.size() && !(readAll && batchCancelled()); ++written) {
                const std::size_t i = written;
                if (alreadyInFolder(copies[i], inFolder)) {
                    ++same;
                    continue;
                }
                if (i < names.size() && writeNewUserFile(folder + names[i], copies[i]))
                    ++done;
                else
                    failed << withReason(read[i]->shown, MCB_ERROR_FILE);
            }
            GetFilePIC();
            enableLists(*this, true);
            const int untried = int(saves.size() - tried + read.size() - written);
            reportBatch(say_menu_copyall_pc, done, int(saves.size()), failed, same, untried);
            showFreeBlocks();
        },
        Needs::Adapter, Where::CardThread);
}

void TMainForm::CopyAllToCardClick()
{
    if (fSecond)
        return copyAllCardToCard(false);
    runCommand(
        b4,
        [this] {
            const BatchShown shown(*this);
            QStringList files;
            QList<QByteArray> paths;
            onThreadOf(this, [&] {
                for (int i = 0; i < ListView2->count(); ++i) {
                    files << TSaveListView::nameOf(ListView2->item(i));
                    paths << filePathOf(ListView2->item(i));
                }
            });
            enableLists(*this, false);
            Bar_Init(0, int(files.size()) * cStepsPerSave);
            QStringList failed;
            int done = 0;
            int tried = 0;
            for (; tried < files.size() && !batchCancelled(); ++tried) {
                const int i = tried;
                showBusy(i18n::busyText(say_saver_upload));
                const QString& name = files[i];
                const QByteArray bytes = saveFileBytes(paths[i]);
                // Replacing a save is a choice made for that save alone: the
                // batch only adds new ones.
                const PutResult r = bytes.isEmpty() ? PutResult{MCB_E_FILE, {}, {}, false}
                                                    : putSave(link(), bytes, MCB_WRITE_NEW, -1);
                if (r.code == MCB_OK)
                    ++done;
                else if (r.code == MCB_E_EXISTS)
                    failed << name + QStringLiteral(" [") + say_batch_samename + QLatin1Char(']');
                else if (r.code == MCB_E_NO_ROOM)
                    failed << name + QStringLiteral(" [") +
                                  say_batch_noroom.arg(r.outcome.blocks_needed)
                                      .arg(r.outcome.blocks_free) +
                                  QLatin1Char(']');
                else if (r.outcome.result == MCB_FAILED)
                    failed << withOutcome(withCodeReason(name, r.code, link()),
                                          holdsText(r.outcome.holds));
                else
                    failed << withCodeReason(name, r.code, link());
                Bar_pos((i + 1) * cStepsPerSave);
            }
            ShowGC();
            fLink.close();
            enableLists(*this, true);
            reportBatch(say_menu_copyall_card, done, int(files.size()), failed, 0,
                        int(files.size()) - tried);
        },
        Needs::Adapter, Where::CardThread);
}
