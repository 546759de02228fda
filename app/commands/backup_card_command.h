#pragma once

// Backup card: every sector of the card into an image file the user names.

#include "commands/card_command.h"

class BackupCardCommand : public CardCommand {
public:
    // folder: where the file dialog opens.
    BackupCardCommand(CommandHost& host, CardSession& session, QString folder);
    void run() override;

private:
    QString fFolder;
};
