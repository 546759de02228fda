#include "window/undo_menu.h"

#include "cards/card_link.h"
#include "cards/second_card.h"
#include "window/history_window.h"
#include "window/main_form.h"
#include "window/window_host.h"

#include "i18n/texts.h"

#include <QFile>
#include <QMenu>

namespace {

// The window as the undo's host. An undo may be chosen before the card was
// listed: the card it puts back is listed whole, with its save buttons.
class UndoHost : public WindowHost {
public:
    UndoHost(TMainForm& form) : WindowHost(form), fForm(form) {}
    void changed(Changed what) override
    {
        WindowHost::changed(what);
        if (what == Changed::CardList)
            fForm.Enable_Btn(fForm.cardListed());
    }

private:
    TMainForm& fForm;
};

} // namespace

std::vector<JournalRecord> cardSideRecords()
{
    CardLink card;
    if (card.open(mainDevice(), nullptr) != MCB_OK)
        return {};
    return journalRecords(card.get());
}

void addUndoEntries(QMenu& menu, TMainForm& form)
{
    const std::vector<JournalRecord> records =
        form.card().state == CardState::Ready ? cardSideRecords() : std::vector<JournalRecord>();
    QAction* undo = menu.addAction(undoEntryText(records.empty() ? nullptr : &records.front()));
    undo->setObjectName(QStringLiteral("undoEntry"));
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(!records.empty());
    QObject::connect(undo, &QAction::triggered, &form, [&form] { undoOnCard(form); });
    QAction* history = menu.addAction(say_menu_history);
    history->setObjectName(QStringLiteral("historyEntry"));
    history->setEnabled(form.card().state == CardState::Ready);
    QObject::connect(history, &QAction::triggered, &form, [&form] { showHistory(form); });
}

UndoCommand::Outcome undoOnCard(TMainForm& form, uint32_t number)
{
    UndoCommand::Outcome outcome = UndoCommand::Outcome::Nothing;
    // The gate of the whole-card commands: an undo may write any part of it.
    form.runCommand(form.b2, [&] {
        UndoHost host(form);
        outcome = UndoCommand(host, form.link()).run(number);
    });
    return outcome;
}

void showHistory(TMainForm& form)
{
    THistoryWindow window(form, &form);
    window.exec();
}
