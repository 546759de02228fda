#pragma once

// One record in the card's journal for everything a command changes,
// however many saves it writes or deletes: a batch or an edit written back
// is undone as the user did it, in one step. The library names the record
// by what the changes did (upload, replace, delete, ...) and the saves they
// touched.

#include "cards/card_link.h"

class JournalGroup {
public:
    explicit JournalGroup(const CardLink& link) : fLink(link), fCard(link.get())
    {
        if (fCard)
            mcb_journal_begin(fCard, nullptr);
    }
    ~JournalGroup()
    {
        // A command that closed its card meanwhile ended the record with it.
        if (fCard && fLink.get() == fCard)
            mcb_journal_end(fCard);
    }
    JournalGroup(const JournalGroup&) = delete;
    JournalGroup& operator=(const JournalGroup&) = delete;

private:
    const CardLink& fLink;
    mcb_card* fCard;
};
