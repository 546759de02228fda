#include "commands/card_health_command.h"

#include "cards/card_session.h"
#include "commands/card_report.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"

#include "i18n/texts.h"

#include <algorithm>
#include <cstring>

namespace {

// The window's title: the menu entry without its ellipsis.
QString titleOf(const QString& menuText)
{
    QString t = menuText;
    if (t.endsWith(QChar(0x2026)))
        t.chop(1);
    return t;
}

void showReport(CommandHost& host, const QString& menuText, const QStringList& lines)
{
    host.dialogs().report({titleOf(menuText), lines.join(QLatin1Char('\n')), say_copy, say_close});
}

bool isChange(const Finding& f)
{
    return f.f.kind == MCB_REPAIR_REBUILD_COPY || f.f.kind == MCB_REPAIR_FREE_BLOCKS ||
           f.f.kind == MCB_REPAIR_FREE_COUNT;
}

bool sameSave(const mcb_finding& a, const mcb_finding& b)
{
    return std::strncmp(a.name, b.name, sizeof a.name) == 0 &&
           std::strncmp(a.code, b.code, sizeof a.code) == 0;
}

// The slot of the card's directory that holds the save a finding names, or -1.
int slotHolding(mcb_card* card, const mcb_finding& save)
{
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        uint8_t entry[MCB_ENTRY_SIZE];
        if (mcb_entry(card, slot, entry, sizeof entry) != MCB_OK)
            continue;
        mcb_finding listed{};
        std::memcpy(listed.name, entry + MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE);
        std::memcpy(listed.code, entry + MCB_ENTRY_GAME, MCB_ENTRY_CODE_SIZE);
        if (listed.code[0] != 0 && sameSave(listed, save))
            return int(slot);
    }
    return -1;
}

// Where a save stands after its recovery failed part-way. The library reads
// the card again and leaves one finding: back, or still to be put back. When
// that read failed too, the card is opened again and asked. A save that is
// back must never be reported as lost, nor one that is lost as back.
QString afterRecoverFailure(CardSession& session, const mcb_finding& save, const QString& name)
{
    for (const Finding& x : takeFindings(session.card(), 1)) {
        if (x.f.kind == MCB_FINDING_SAVE && x.f.slot >= 0)
            return say_rec_back_anyway.arg(name, QString::number(x.f.slot));
        if (x.f.kind == MCB_RECOVERABLE)
            return say_rec_still.arg(name);
    }
    if (!session.reopen())
        return say_rec_failed.arg(name);
    if (const int slot = slotHolding(session.card(), save); slot >= 0)
        return say_rec_back_anyway.arg(name, QString::number(slot));
    uint32_t count = 0;
    if (mcb_recover_find(session.card(), &count) == MCB_OK)
        for (const Finding& x : takeFindings(session.card(), count))
            if (sameSave(x.f, save))
                return say_rec_still.arg(name);
    return say_rec_failed.arg(name);
}

} // namespace

void CheckCardCommand::run()
{
    uint32_t count = 0;
    int32_t sound = 0;
    if (mcb_check(card(), &count, &sound) < 0) {
        fHost.tell(say_check_failed);
        return;
    }
    const std::vector<Finding> found = takeFindings(card(), count);
    fSession.link.close();
    showReport(fHost, say_menu_check, findingLines(found) << verdictLine(sound != 0, found));
}

void RepairCardCommand::run()
{
    uint32_t count = 0;
    const bool planned = mcb_repair(card(), 0, &count) == MCB_OK;
    const std::vector<Finding> plan = takeFindings(card(), count);
    const bool changes = std::any_of(plan.begin(), plan.end(), isChange);
    if (!planned || !changes) {
        fSession.link.close();
        QStringList lines = findingLines(plan);
        lines.prepend(planned ? say_r_nothing : say_r_failed);
        showReport(fHost, say_menu_repair, lines);
        return;
    }
    QStringList lines = findingLines(plan);
    lines.prepend(say_r_plan);
    showReport(fHost, say_menu_repair, lines);
    if (!fHost.dialogs().askYesNo(say_ask_repair, titleOf(say_menu_repair)))
        return;
    fHost.busy(i18n::busyText(titleOf(say_menu_repair)));
    const int code = mcb_repair(card(), 1, &count);
    if (code == MCB_E_CHANGED)
        markListingStale();
    const bool repaired = code == MCB_OK;
    const std::vector<Finding> done = takeFindings(card(), count);
    // What the card reads as now, repaired or not.
    uint32_t after = 0;
    int32_t sound = 0;
    QStringList report = findingLines(done);
    report.prepend(repaired ? say_r_done : say_r_failed);
    if (fSession.reopen() && mcb_check(card(), &after, &sound) == MCB_OK)
        report << verdictLine(sound != 0, takeFindings(card(), after));
    else
        report << say_check_failed;
    showReport(fHost, say_menu_repair, report);
    fHost.changed(CommandHost::Changed::CardList);
}

void RecoverSavesCommand::run()
{
    uint32_t count = 0;
    if (mcb_recover_find(card(), &count) < 0) {
        fHost.tell(say_check_failed);
        return;
    }
    const std::vector<Finding> saves = takeFindings(card(), count);
    if (saves.empty()) {
        fSession.link.close();
        showReport(fHost, say_menu_recover, {say_rec_none});
        return;
    }
    // Each save is asked about inside the report, below what was found, so
    // the question never comes after the window that explains it.
    const QStringList found = findingLines(saves);
    QStringList report;
    bool changed = false;
    for (const Finding& s : saves) {
        const QString name = savePlace(s.f);
        QStringList lines = found;
        lines << QString() << say_ask_recover.arg(name, QString::number(s.f.count));
        if (!fHost.dialogs().report({titleOf(say_menu_recover), lines.join(QLatin1Char('\n')),
                                     say_copy, say_close, say_putback}))
            continue;
        uint32_t placed = 0;
        const int code = mcb_recover(card(), uint32_t(s.f.slot), &placed);
        if (code == MCB_E_CHANGED)
            markListingStale();
        if (code == MCB_OK) {
            report << say_rec_done.arg(name, QString::number(placed));
            changed = true;
        } else {
            report << afterRecoverFailure(fSession, s.f, name);
            changed = true; // what the card holds is read again below
            if (!fSession.reopen())
                break;
        }
    }
    if (!report.isEmpty())
        showReport(fHost, say_menu_recover, report);
    if (changed && fSession.reopen())
        fHost.changed(CommandHost::Changed::CardList);
}
