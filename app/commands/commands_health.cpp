// The card list's context menu: checking the card, repairing it and
// bringing back deleted saves, each with its report in a window of its own.
#include "commands/card_report.h"
#include "commands/card_save_checks.h"
#include "window/cards_menu.h"
#include "window/commands_view.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/undo_menu.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QMenu>

#include <algorithm>

namespace {

// The window's title: the menu entry without its ellipsis.
QString titleOf(const QString& menuText)
{
    QString t = menuText;
    if (t.endsWith(QChar(0x2026)))
        t.chop(1);
    return t;
}

void showReport(const QString& menuText, const QStringList& lines)
{
    skin::dialogs().report({titleOf(menuText), lines.join(QLatin1Char('\n')), say_copy, say_close});
}

bool isChange(const Finding& f)
{
    return f.f.kind == MCB_REPAIR_REBUILD_COPY || f.f.kind == MCB_REPAIR_FREE_BLOCKS ||
           f.f.kind == MCB_REPAIR_FREE_COUNT;
}

} // namespace

void TMainForm::showCardMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.addAction(say_menu_check, this, &TMainForm::CheckCardClick);
    menu.addAction(say_menu_repair, this, &TMainForm::RepairCardClick);
    menu.addAction(say_menu_recover, this, &TMainForm::RecoverCardClick);
    menu.addSeparator();
    // With a second card on the other side, every save goes onto that card.
    menu.addAction(fSecond ? say_menu_copyall_card : say_menu_copyall_pc, this,
                   &TMainForm::CopyAllToPcClick);
    menu.addSeparator();
    addCardsMenu(menu, *this);
    menu.addSeparator();
    addUndoEntries(menu, *this);
    menu.addSeparator();
    addViewEntries(menu, ListView1, {ListView1, ListView2});
    fCardMenu = &menu;
    menu.exec(ListView1->viewport()->mapToGlobal(at));
    fCardMenu = nullptr;
}

bool TMainForm::openCardForHealth() { return connectAdapter(); }

void TMainForm::CheckCardClick()
{
    runCommand(b0, [this] {
        uint32_t count = 0;
        int32_t sound = 0;
        if (mcb_check(link(), &count, &sound) < 0) {
            OkBtnExe(say_check_failed);
            return;
        }
        const std::vector<Finding> found = takeFindings(link(), count);
        fLink.close();
        showReport(say_menu_check, findingLines(found) << verdictLine(sound != 0, found));
    });
}

void TMainForm::RepairCardClick()
{
    runCommand(b0, [this] {
        uint32_t count = 0;
        const bool planned = mcb_repair(link(), 0, &count) == MCB_OK;
        const std::vector<Finding> plan = takeFindings(link(), count);
        const bool changes = std::any_of(plan.begin(), plan.end(), isChange);
        if (!planned || !changes) {
            fLink.close();
            QStringList lines = findingLines(plan);
            lines.prepend(planned ? say_r_nothing : say_r_failed);
            showReport(say_menu_repair, lines);
            return;
        }
        QStringList lines = findingLines(plan);
        lines.prepend(say_r_plan);
        showReport(say_menu_repair, lines);
        if (!skin::dialogs().askYesNo(say_ask_repair, titleOf(say_menu_repair)))
            return;
        showBusy(i18n::busyText(titleOf(say_menu_repair)));
        const int code = mcb_repair(link(), 1, &count);
        if (code == MCB_E_CHANGED)
            markListingStale();
        const bool repaired = code == MCB_OK;
        const std::vector<Finding> done = takeFindings(link(), count);
        // What the card reads as now, repaired or not.
        uint32_t after = 0;
        int32_t sound = 0;
        QStringList report = findingLines(done);
        report.prepend(repaired ? say_r_done : say_r_failed);
        if (openCardForHealth() && mcb_check(link(), &after, &sound) == MCB_OK)
            report << verdictLine(sound != 0, takeFindings(link(), after));
        else
            report << say_check_failed;
        showReport(say_menu_repair, report);
        ShowGC();
    });
}

void TMainForm::RecoverCardClick()
{
    runCommand(b0, [this] {
        uint32_t count = 0;
        if (mcb_recover_find(link(), &count) < 0) {
            OkBtnExe(say_check_failed);
            return;
        }
        const std::vector<Finding> saves = takeFindings(link(), count);
        if (saves.empty()) {
            fLink.close();
            showReport(say_menu_recover, {say_rec_none});
            return;
        }
        // Each save is asked about inside the report, below what was found,
        // so the question never comes after the window that explains it.
        const QStringList found = findingLines(saves);
        QStringList report;
        bool changed = false;
        for (const Finding& s : saves) {
            const QString name = savePlace(s.f);
            QStringList lines = found;
            lines << QString() << say_ask_recover.arg(name, QString::number(s.f.count));
            if (!skin::dialogs().report({titleOf(say_menu_recover), lines.join(QLatin1Char('\n')),
                                         say_copy, say_close, say_putback}))
                continue;
            uint32_t placed = 0;
            const int code = mcb_recover(link(), uint32_t(s.f.slot), &placed);
            if (code == MCB_E_CHANGED)
                markListingStale();
            if (code == MCB_OK) {
                report << say_rec_done.arg(name, QString::number(placed));
                changed = true;
            } else {
                report << say_rec_failed.arg(name);
                changed = true; // what the card holds is read again below
                if (!openCardForHealth())
                    break;
            }
        }
        if (!report.isEmpty())
            showReport(say_menu_recover, report);
        if (changed && openCardForHealth())
            ShowGC();
    });
}
