#pragma once

// Mail: each chosen card save copied into a save file and handed to the
// user's mail program as the attachment of a new message.

#include "cards/card_save.h"
#include "commands/card_command.h"

class TSendMail;

class MailCommand : public CardCommand {
public:
    // mail: the program's way to the mail program.
    MailCommand(CommandHost& host, CardSession& session, QList<CardSave> saves, TSendMail& mail);
    void run() override;

private:
    QList<CardSave> fSaves;
    TSendMail& fMail;
};
