#include "commands/batch_report.h"

#include "commands/command_host.h"

#include "i18n/texts.h"

void reportBatch(CommandHost& host, const QString& menuText, int done, int total,
                 const QStringList& failed, int same, int untried)
{
    QStringList lines{say_batch_count.arg(done).arg(total)};
    if (same > 0)
        lines << say_batch_same.arg(same);
    if (untried > 0)
        lines << say_batch_stopped.arg(untried);
    if (!failed.isEmpty()) {
        lines << QString() << say_batch_failed;
        for (const QString& f : failed)
            lines << QStringLiteral("  ") + f;
    }
    QString title = menuText;
    if (title.endsWith(QChar(0x2026)))
        title.chop(1);
    host.dialogs().report({title, lines.join(QLatin1Char('\n')), say_copy, say_close});
}
