#pragma once

// Copy to card: save files onto the card, each as a new save, or in place of
// the card save of its name and code when the user agrees; with no room
// beside the old save, the old one may be kept in the save folder and
// deleted from the card first.

#include "commands/card_command.h"

#include <QByteArray>

class CopyToCardCommand : public CardCommand {
public:
    // A save file to copy: its name, its path as the system spells it, and
    // what the question before replacing a save names.
    struct Source {
        QString name;
        QByteArray path;
        QString shown;
    };
    // folder: where an old save is kept before it is deleted.
    CopyToCardCommand(CommandHost& host, CardSession& session, QList<Source> files, QString folder);
    void run() override;

private:
    QList<Source> fFiles;
    QString fFolder;
};
