#pragma once

// Edit: each chosen card save copied into a work file, opened in the save
// editor, and written back to the card when the user saved a change.

#include "cards/card_save.h"
#include "commands/card_command.h"

class SaveEditing;

class EditCommand : public CardCommand {
public:
    // workFile: the editor's copy, in a folder only this run may enter;
    // folder: where an old save is kept before it is deleted.
    EditCommand(CommandHost& host, CardSession& session, QList<CardSave> saves, SaveEditing& editor,
                QString workFile, QString folder);
    void run() override;

private:
    QList<CardSave> fSaves;
    SaveEditing& fEditor;
    QString fWorkFile;
    QString fFolder;
};
