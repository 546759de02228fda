#pragma once

// Copy all to PC: every save of the card into the save folder at once, each
// under the name emulators give it. Every save is tried; one progress runs
// for the batch and one report at the end names each save that failed and
// why. A failed save leaves no file behind. Cancel stops it between two
// saves: the report then counts what was copied and says the rest were not
// tried.

#include "commands/card_command.h"

class CopyAllToFolderCommand : public CardCommand {
public:
    // folder: the save folder, made when it is not there.
    CopyAllToFolderCommand(CommandHost& host, CardSession& session, QString folder);
    void run() override;

private:
    QString fFolder;
};
