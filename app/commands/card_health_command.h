#pragma once

// The card's health, from the card list's context menu: checking the card,
// repairing it, and bringing back deleted saves, each with its report in a
// window of its own. The card is let go while a report that asks nothing is
// shown, and opened again for what follows.

#include "commands/card_command.h"

class CheckCardCommand : public CardCommand {
public:
    using CardCommand::CardCommand;
    void run() override;
};

class RepairCardCommand : public CardCommand {
public:
    using CardCommand::CardCommand;
    void run() override;
};

class RecoverSavesCommand : public CardCommand {
public:
    using CardCommand::CardCommand;
    void run() override;
};
