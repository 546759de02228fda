#pragma once

// Writing an edited save file back onto the card in place of the card save
// it was copied from, without ever leaving the card without that save.

#include "save_list_view.h"

#include <QString>

#include <functional>

class TMainForm;

enum class WriteBack {
    Written,
    Failed,    // the card keeps the old save
    WrongSize, // not whole blocks: the library would cut it short
    OldKept,   // the renamed save was written, but the old one could not be removed
    Declined,  // the new name belongs to another save, which the user keeps
};

// Needs the adapter open; reconnect opens it anew after a lost link.
WriteBack writeBack(TMainForm& form, const CardSave& save, const QString& path,
                    const std::function<bool()>& reconnect);
