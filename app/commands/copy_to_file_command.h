#pragma once

// Copy to file: each chosen card save into a save file the user names, in
// the form the file's name asks for.

#include "cards/card_save.h"
#include "commands/card_command.h"

class CopyToFileCommand : public CardCommand {
public:
    // folder: where the file dialog opens.
    CopyToFileCommand(CommandHost& host, CardSession& session, QList<CardSave> saves,
                      QString folder);
    void run() override;

private:
    QList<CardSave> fSaves;
    QString fFolder;
};
