#pragma once

// A command the user runs on a card: handed its host, the card session and
// what the user chose (as data) when it is made, then run once. It asks,
// tells and shows progress only through the host, and reaches the card only
// through the session, so it never touches a widget and may run on the
// card's own thread.

#include "mcbridge.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class CardSession;
class CommandHost;

class CardCommand {
public:
    CardCommand(CommandHost& host, CardSession& session) : fHost(host), fSession(session) {}
    virtual ~CardCommand() = default;
    CardCommand(const CardCommand&) = delete;
    CardCommand& operator=(const CardCommand&) = delete;

    virtual void run() = 0;

protected:
    mcb_card* card() const;

    CommandHost& fHost;
    CardSession& fSession;
};

// The notice that ends a command: each text with the names it failed for;
// otherwise complete when something was done, else nothing.
QString closingNotice(const QList<std::pair<const QString*, QStringList>>& failures,
                      const QString& complete, bool done);
