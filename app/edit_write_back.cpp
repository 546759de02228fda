#include "edit_write_back.h"

#include "main_form.h"
#include "save_names.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace {

constexpr qint64 cEntrySize = 64;
constexpr qint64 cBlockSize = 8192;
constexpr int cEntryCode = 0;
constexpr int cEntryCodeSize = 6;
constexpr int cEntryName = 8;
constexpr int cEntryNameSize = 32;
constexpr int cEntryFirstBlock = 54;

// A field of a directory entry as the card compares it: up to a NUL.
QByteArray entryField(const QByteArray& entry, int at, int width)
{
    const QByteArray field = entry.mid(at, width);
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

// Whether the card holds the save file at path as its save (name, code).
// The card keeps a save where it found room, so the first block may differ.
bool cardHolds(const QByteArray& name, const QByteArray& code, const QString& path)
{
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/XXXXXX.gci"));
    if (!copy.open())
        return false;
    copy.close();
    const QByteArray copyPath = QFile::encodeName(copy.fileName());
    if (!DownLoadSaver(name.constData(), code.constData(), copyPath.constData()))
        return false;
    QFile edited(path), onCard(copy.fileName());
    if (!edited.open(QIODevice::ReadOnly) || !onCard.open(QIODevice::ReadOnly))
        return false;
    QByteArray expected = edited.readAll();
    const QByteArray found = onCard.readAll();
    if (expected.size() != found.size() || found.size() < cEntrySize)
        return false;
    expected.replace(cEntryFirstBlock, 2, found.mid(cEntryFirstBlock, 2));
    return expected == found;
}

// Whether the card's directory lists the save (name, code).
bool cardLists(const QByteArray& name, const QByteArray& code)
{
    char slotName[36] = {};
    char slotCode[6 + 1] = {};
    uint16_t blocks = 0;
    for (unsigned j = 0; j < 128; ++j)
        if (GetSaverInfo(j, slotName, slotCode, &blocks) &&
            entryField(QByteArray(slotName, cEntryNameSize), 0, cEntryNameSize) == name &&
            entryField(QByteArray(slotCode, cEntryCodeSize), 0, cEntryCodeSize) == code)
            return true;
    return false;
}

} // namespace

// The edited save always goes onto the card before the old one is given up,
// so a failure at any point leaves the card with at least the save it had.
WriteBack writeBack(TMainForm& form, const CardSave& save, const QString& path,
                    const std::function<bool()>& reconnect)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return WriteBack::Failed;
    const qint64 size = file.size();
    const QByteArray entry = file.read(cEntrySize);
    file.close();
    // The library counts blocks from the length and drops what a partial
    // block holds.
    if (size < cEntrySize + cBlockSize || (size - cEntrySize) % cBlockSize != 0)
        return WriteBack::WrongSize;
    const QByteArray newName = entryField(entry, cEntryName, cEntryNameSize);
    const QByteArray newCode = entryField(entry, cEntryCode, cEntryCodeSize);
    const bool renamed = newName != save.rawName || newCode != save.rawCode;
    const QByteArray localPath = QFile::encodeName(path);
    if (!InitSaverInfo())
        return WriteBack::Failed;
    form.Bar_inc();
    // With the same name and code the library replaces the save and keeps
    // the old one whole until its commit. A new name or code may be another
    // save's, which the upload would replace.
    char existing[36] = {};
    if (renamed && FindSaver(localPath.constData(), existing) &&
        !skin::dialogs().askYesNo(i18n::overwriteQuestion(decodeSaveName(newName, newCode)),
                                  form.windowTitle()))
        return WriteBack::Declined;
    // A link lost while the card's directory was being committed may leave
    // the card on the new directory all the same, so the card is asked again
    // before the user is told what it still holds.
    if (!UpLoadSaver(localPath.constData()) && !(reconnect() && cardHolds(newName, newCode, path)))
        return WriteBack::Failed;
    if (renamed && !DeleteSaver(save.rawName.constData(), save.rawCode.constData()) &&
        !(reconnect() && InitSaverInfo() && !cardLists(save.rawName, save.rawCode)))
        return WriteBack::OldKept;
    return WriteBack::Written;
}
