#pragma once

// Delete: the chosen card saves removed from the card, once the user
// agrees; each only while its listed slot still holds it.

#include "cards/card_save.h"
#include "commands/card_command.h"

class DeleteCommand : public CardCommand {
public:
    DeleteCommand(CommandHost& host, CardSession& session, QList<CardSave> saves);
    void run() override;

private:
    QList<CardSave> fSaves;
};
