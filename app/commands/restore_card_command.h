#pragma once

// Restore card: an image file the user picks written over the whole card,
// after the card as it was is kept in a new file in the save folder.

#include "commands/card_command.h"

class RestoreCardCommand : public CardCommand {
public:
    // folder: where the file dialog opens and the card as it was is kept.
    RestoreCardCommand(CommandHost& host, CardSession& session, QString folder);
    void run() override;

private:
    QString fFolder;
};
