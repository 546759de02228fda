#pragma once

// One card side as the program knows it, apart from any window: what the
// last probe found, what the last listing counted, the card held open while
// a command works on it, and the gates by which commands take turns.
// Commands are handed a session and never look at a widget, so they run
// the same under the window and under a test.

#include "cards/card_link.h"
#include "cards/card_save.h"
#include "cards/card_status.h"

#include <QString>

class CardSession {
public:
    // The command gates, one per command: list (and the card's health),
    // back up card, restore card, copy to file, copy to card, delete, edit,
    // mail, region change. Open while no command runs.
    bool b0 = false, b1 = false, b2 = false, b3 = false, b4 = false, b5 = false, b6 = false,
         b7 = false, b8 = false;

    enum class Command { None, List, Backup, Restore, ToFile, ToCard, Delete, Edit, Mail, Region };
    // The command the gates were last closed for; None once they open.
    Command running() const { return fRunning; }
    // False when gate is closed; otherwise closes the other eight and marks
    // gate's command as running.
    bool enterGate(bool& gate);
    // Every gate open, no command running.
    void openGates();

    CardProbe probe;     // what the last probe found
    bool listed = false; // freeBlocks was read from the card's directory
    int freeBlocks = 0;  // free save blocks as last counted

    // Opens the card at device for a command (closing the one held), its
    // progress going to receiver; both are kept for reopen. MCB_OK, or why.
    int open(const QString& device, mcb_receiver* receiver);
    // The same card again on a fresh handle: after a failure that may have
    // ended the old one, or once a command let the card go to show a report.
    bool reopen();
    // The card, open while a command works (null outside one).
    mcb_card* card() const { return link.get(); }
    CardLink link;

private:
    Command fRunning = Command::None;
    QString fDevice;
    mcb_receiver* fReceiver = nullptr;
};
