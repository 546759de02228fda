#pragma once

// Copy between two cards: the chosen saves of one card onto the other
// through memory, both cards open at once, each by its own handle. The card
// read from is only read; a save the other card holds already is replaced
// only after the user agrees. The whole copy is one record in each card's
// journal, undone in one step. Cancel stops it between two saves.

#include "cards/card_save.h"
#include "commands/card_command.h"

#include <optional>

class CardLink;

class CardToCardCommand : public CardCommand {
public:
    // The devices the two cards are opened from, and where their progress
    // goes.
    struct Devices {
        QString session;
        QString other;
        mcb_receiver* receiver = nullptr;
    };
    // session: the card in the adapter; other: the second card's link.
    // toOther: the saves go from the session's card to the other card.
    CardToCardCommand(CommandHost& host, CardSession& session, CardLink& other, Devices devices,
                      QList<CardSave> saves, bool toOther);
    void run() override;

private:
    // Empty when the save went, nothing when the user kept the other card's
    // save of that name; else why not.
    std::optional<QString> copyOne(const CardSave& save, mcb_card* from, mcb_card* to);

    CardLink& fOther;
    Devices fDevices;
    QList<CardSave> fSaves;
    bool fToOther;
};
