#pragma once

// Copy all to card: every save file of the folder onto the card at once,
// each as a new save. Every file is tried; one progress runs for the batch
// and one report at the end names each file that failed and why, the card
// as it was for each. Cancel stops it between two saves: the report then
// counts what was copied and says the rest were not tried.

#include "commands/card_command.h"

#include <QByteArray>

class CopyAllToCardCommand : public CardCommand {
public:
    // A save file of the folder: its name as listed, its path as the system
    // spells it.
    struct File {
        QString name;
        QByteArray path;
    };
    CopyAllToCardCommand(CommandHost& host, CardSession& session, QList<File> files);
    void run() override;

private:
    QList<File> fFiles;
};
