#include "commands/card_command.h"

#include "cards/card_session.h"

mcb_card* CardCommand::card() const { return fSession.card(); }

QString closingNotice(const QList<std::pair<const QString*, QStringList>>& failures,
                      const QString& complete, bool done)
{
    QStringList lines;
    for (const auto& [text, names] : failures)
        if (!names.isEmpty())
            lines << *text + names.join(QStringLiteral(", "));
    if (!lines.isEmpty())
        return lines.join(QLatin1Char('\n'));
    return done ? complete : QString();
}
