#pragma once

// A save as a listing showed it: what a command is handed when the user
// picks saves, so that it acts on the save in that slot and no other.

#include <QByteArray>
#include <QString>

struct CardSave {
    QString name;       // as shown
    QByteArray rawName; // as the card holds it, for the library
    QByteArray rawCode;
    int slot = -1; // its directory slot: two saves may share name and code
};
