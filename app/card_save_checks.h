#pragma once

// What the commands check on the card around a write: that a listed save is
// still in its slot before it is acted on, what the save was before, and
// what the card holds for it after a failure, in the user's language.

#include "save_list_view.h"
#include "tools/save_outcome.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

class TMainForm;

// Scratch files for one command, removed with it.
class CardScratch {
public:
    bool ok() const { return fDir.isValid(); }
    QString path(const QString& name) const { return fDir.filePath(name); }

private:
    QTemporaryDir fDir;
};

// Reloads the directory: true when the save's slot still holds a save of its
// name and code (the card may have changed since it was listed). A save
// listed without a slot is looked up by name and code as before.
bool stillInSlot(const CardSave& save);
// True once since a stillInSlot found the save gone from its slot: the list
// shows a card that has changed since, and is to be read again.
bool takeStaleListing();

// The save in slot read whole into scratch, or nothing when it cannot be.
std::vector<uint8_t> saveInSlot(int slot, const QString& scratch);

// A save file's bytes (no more than the largest save), or nothing.
std::vector<uint8_t> saveFileBytes(const QString& path);
std::vector<uint8_t> saveFileBytes(const QByteArray& localPath);

// Asks the card again and words what it holds for the save (name, code) in
// the user's language; slot narrows it to one directory slot.
QString cardHoldsText(TMainForm& form, const QByteArray& name, const QByteArray& code, int slot,
                      const std::vector<uint8_t>& written, const std::vector<uint8_t>& before,
                      const CardScratch& scratch);

// A file name in folder for the old save of name that no file has yet.
QString freeOldName(const QString& folder, const QString& name);

// Writes an old save into a new file at path, never over one that is there;
// false when it could not be written whole.
bool keepOldSave(const std::vector<uint8_t>& bytes, const QString& path);

// name + " (" + what the card holds + ")": a failed save in a notice.
QString withOutcome(const QString& name, const QString& holds);
