#pragma once

// What the commands check on the card around a write: that a listed save is
// still in its slot before it is acted on, and the old save kept in the
// save folder before it is deleted from the card.

#include "cards/card_save.h"
#include "mcbridge.h"

#include <QByteArray>
#include <QString>

// Reloads the directory: true when the save's slot still holds a save of its
// name and code (the card may have changed since it was listed).
bool stillInSlot(mcb_card* card, const CardSave& save);
// The listing shows a card that has changed since (a save gone from its
// slot, a card swapped under a write): the command lists it again.
void markListingStale();
// True once after markListingStale.
bool takeStaleListing();

// A save file's bytes (no more than the largest save file), or nothing.
QByteArray saveFileBytes(const QByteArray& localPath);

// A file name in folder for the old save of name that no file has yet.
QString freeOldName(const QString& folder, const QString& name);

// Writes an old save into a new file at path, never over one that is there,
// flushed to the disk with its folder; false when it could not be.
bool keepOldSave(const QByteArray& bytes, const QString& path);

// name + " (" + what the card holds + ")": a failed save in a notice.
QString withOutcome(const QString& name, const QString& holds);
