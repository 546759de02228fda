#include "commands/batch_to_card_command.h"

#include "cards/card_session.h"
#include "commands/batch_report.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/put_save.h"

#include "i18n/texts.h"

CopyAllToCardCommand::CopyAllToCardCommand(CommandHost& host, CardSession& session,
                                           QList<File> files)
    : CardCommand(host, session), fFiles(std::move(files))
{
}

void CopyAllToCardCommand::run()
{
    const int total = int(fFiles.size());
    fHost.holdLists(true);
    fHost.progressRange(0, total * cStepsPerSave);
    QStringList failed;
    int done = 0;
    int tried = 0;
    for (; tried < total && !fHost.cancelled(); ++tried) {
        const int i = tried;
        fHost.busy(i18n::busyText(say_saver_upload));
        const QString& name = fFiles[i].name;
        const QByteArray bytes = saveFileBytes(fFiles[i].path);
        // Replacing a save is a choice made for that save alone: the batch
        // only adds new ones.
        const PutResult r = bytes.isEmpty() ? PutResult{MCB_E_FILE, {}, {}, false}
                                            : putSave(card(), bytes, MCB_WRITE_NEW, -1);
        if (r.code == MCB_OK)
            ++done;
        else if (r.code == MCB_E_EXISTS)
            failed << name + QStringLiteral(" [") + say_batch_samename + QLatin1Char(']');
        else if (r.code == MCB_E_NO_ROOM)
            failed << name + QStringLiteral(" [") +
                          say_batch_noroom.arg(r.outcome.blocks_needed).arg(r.outcome.blocks_free) +
                          QLatin1Char(']');
        else if (r.outcome.result == MCB_FAILED)
            failed << withOutcome(withCodeReason(name, r.code, card()), holdsText(r.outcome.holds));
        else
            failed << withCodeReason(name, r.code, card());
        fHost.progressAt((i + 1) * cStepsPerSave);
    }
    fHost.changed(CommandHost::Changed::CardList);
    fSession.link.close();
    fHost.holdLists(false);
    reportBatch(fHost, say_menu_copyall_card, done, total, failed, 0, total - tried);
}
