#pragma once

// Undoing changes to a card as its journal keeps them: the records named in
// the user's language, and the command that asks, puts the card back and
// says how it went. Widget-free: it talks to whatever shows it through
// CommandHost.

#include "commands/command_host.h"
#include "mcbridge.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

// One change the journal keeps for a card, as the program shows it.
struct JournalRecord {
    uint32_t number = 0;
    QDateTime time; // when the change began, in local time
    QString what;   // the kind of change, in the user's language
    QString saves;  // the saves it touched, "name (CODE), ...", as the card names them
    uint32_t blocks = 0;
    bool complete = true;
};

// The card's records, newest first. With error given, it gets MCB_OK or
// why the journal could not be read (a negative MCB_E_*).
std::vector<JournalRecord> journalRecords(mcb_card* card, int* error = nullptr);

// The library's word for a change ("upload", "undo to before #3", a
// group's own name) in the user's language.
QString changeText(const QString& libraryWord);
// "delete of ZELDA (GZLE)", "upload of ZELDA (GZLE) and 2 more", "repair".
QString changeSummary(const JournalRecord& record);
// One line for a question or a notice: the time in the user's locale, the
// change and the blocks it keeps.
QString recordLine(const JournalRecord& record);
// The entry that undoes the latest change ("Undo delete of ZELDA (GZLE)…"),
// or the bare "Undo" when there is none.
QString undoEntryText(const JournalRecord* latest);

class UndoCommand {
public:
    enum class Outcome { Nothing, Declined, Undone, ChangedElsewhere, Failed };

    // card: the open card to put back; its journal is where the library
    // keeps it for that card.
    UndoCommand(CommandHost& host, mcb_card* card) : fHost(host), fCard(card) {}

    // Puts the card back as it was before record number (0: the latest) and
    // every later one, after asking and naming everything that is put back;
    // then has the card list read again and tells the outcome.
    Outcome run(uint32_t number = 0);

private:
    CommandHost& fHost;
    mcb_card* fCard;
};
