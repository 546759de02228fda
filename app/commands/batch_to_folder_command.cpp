#include "commands/batch_to_folder_command.h"

#include "cards/card_session.h"
#include "commands/batch_report.h"
#include "commands/command_host.h"
#include "commands/failure_reason.h"
#include "commands/folder_files.h"
#include "commands/save_names.h"
#include "commands/user_file.h"

#include "i18n/texts.h"

#include <QDir>
#include <QFile>

#include <vector>

namespace {

struct CardEntry {
    int slot;
    QString shown;
};

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
    // No save read, nothing to name: the library is not asked for nothing.
    if (entries.isEmpty())
        return {};
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

CopyAllToFolderCommand::CopyAllToFolderCommand(CommandHost& host, CardSession& session,
                                               QString folder)
    : CardCommand(host, session), fFolder(std::move(folder))
{
}

void CopyAllToFolderCommand::run()
{
    if (const int loaded = mcb_load(card()); loaded < 0) {
        fHost.tell(withCodeReason(say_backupfailed, loaded, card()));
        return;
    }
    std::vector<CardEntry> saves;
    for (unsigned j = 0; j < MCB_SLOTS; ++j)
        if (const std::optional<SlotEntry> e = entryAt(card(), j))
            saves.push_back({int(j), decodeSaveName(e->name, e->code)});
    fHost.holdLists(true);
    fHost.progressRange(0, int(saves.size()) * cStepsPerSave);
    // Each save is read whole into memory first: its entry names its file,
    // and only a sound copy reaches the folder.
    QStringList failed;
    QByteArray entries;
    std::vector<const CardEntry*> read;
    std::vector<QByteArray> copies;
    std::size_t tried = 0;
    for (; tried < saves.size() && !fHost.cancelled(); ++tried) {
        const std::size_t i = tried;
        fHost.busy(i18n::busyText(say_saver_backup));
        const QByteArray bytes = readSave(card(), unsigned(saves[i].slot));
        fHost.progressAt(int(i + 1) * cStepsPerSave);
        if (bytes.size() < MCB_ENTRY_SIZE) {
            failed << withCardReason(saves[i].shown, card());
            continue;
        }
        entries += bytes.left(MCB_ENTRY_SIZE);
        read.push_back(&saves[i]);
        copies.push_back(bytes);
    }
    // The card is let go while the files are written.
    fSession.link.close();
    QDir().mkpath(fFolder);
    // Names as emulators give them; a file already in the folder is never
    // replaced, the new one takes a name of its own. A save whose file is
    // in the folder byte for byte is not copied again. Each copy is on the
    // disk, flushed, before the next is written.
    const std::vector<QByteArray> names = folderNames(entries, namesIn(fFolder));
    const QList<FolderFile> inFolder = filesInFolder(fFolder);
    const QByteArray folder = QFile::encodeName(fFolder) + '/';
    int done = 0, same = 0;
    // Stopped while reading, what was read is written all the same: each of
    // those saves is whole in memory.
    const bool readAll = tried == saves.size();
    std::size_t written = 0;
    for (; written < read.size() && !(readAll && fHost.cancelled()); ++written) {
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
    fHost.changed(CommandHost::Changed::FileList);
    fHost.holdLists(false);
    const int untried = int(saves.size() - tried + read.size() - written);
    reportBatch(fHost, say_menu_copyall_pc, done, int(saves.size()), failed, same, untried);
    fHost.idle();
}
