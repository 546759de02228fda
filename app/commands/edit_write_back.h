#pragma once

// Writing an edited save file back onto the card in place of the card save
// it was copied from, without ever leaving the card without that save.

#include "cards/card_save.h"
#include "mcbridge.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class CommandHost;

enum class WriteBack {
    Written,
    Failed,    // the card keeps the old save, read back to be sure
    Unsure,    // the write failed and the card holds what WriteBackResult::holds says
    WrongSize, // not whole blocks: the library would cut it short
    OldKept,   // the renamed save was written, but the old one could not be removed
    Declined,  // the new name belongs to another save, which the user keeps, or
               // no room and the user would not have the old save deleted first
};

struct WriteBackResult {
    WriteBack result;
    QString holds;     // what the card holds, worded, when the result is Unsure
    QString keptAs;    // the file in the save folder the old save was kept in, if any
    int32_t error = 0; // why the library refused, when it did (an mcb_error)
};

// The edited save's bytes onto card in place of save; questions go through
// host, an old save kept before it is deleted goes into folder.
WriteBackResult writeBack(CommandHost& host, mcb_card* card, const QString& folder,
                          const CardSave& save, const QByteArray& bytes);
