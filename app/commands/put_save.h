#pragma once

// The program's one way to put a save on a card: the library's write call
// by a stated policy, and the one choice the library leaves to the program.
// When the card has no room for the new save beside the old one but would
// have without it, the user may keep the old save in the save folder and
// have it deleted first; the library says how many blocks that takes.

#include "mcbridge.h"

#include <QByteArray>
#include <QString>

#include <functional>

struct PutResult {
    int code = MCB_OK; // what the last write call returned
    mcb_write_outcome outcome{};
    QString keptAs;            // the file the old save was kept in, if it was
    bool keepDeclined = false; // no room, and the old save was not kept
};

// Asked, with the refusal and the old save's bytes, whether the old save
// may be kept and deleted first: the name of the file it was kept in, or
// empty when the user declined or it could not be kept.
using KeepOld = std::function<QString(const mcb_write_outcome&, const QByteArray& oldSave)>;

// Writes the save (any form) by policy (slot for MCB_WRITE_REPLACE_SLOT).
// keepOld is asked only for a replacement refused for want of room that
// deleting the old save first would make; null never asks. A change of card
// under the write marks the listing stale, so the command lists it again.
PutResult putSave(mcb_card* card, const QByteArray& bytes, int32_t policy, int slot,
                  const KeepOld& keepOld = {});

// Removes the save in slot; the outcome says what the card holds after a
// failure part-way.
int removeSave(mcb_card* card, unsigned slot, mcb_write_outcome& outcome);

// What the card holds after a failed write (an mcb_holds), worded.
QString holdsText(int32_t holds);
