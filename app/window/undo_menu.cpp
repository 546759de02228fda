#include "window/undo_menu.h"

#include "cards/card_link.h"
#include "cards/second_card.h"
#include "window/history_window.h"
#include "window/main_form.h"

#include "i18n/texts.h"

#include <QFile>
#include <QMenu>

namespace {

// The window as the host of a command: its dialogs, message box, status
// line and bar.
class FormHost : public CommandHost {
public:
    explicit FormHost(TMainForm& form) : fForm(form) {}
    skin::Dialogs& dialogs() override { return skin::dialogs(); }
    void tell(const QString& notice) override { fForm.OkBtnExe(notice); }
    void busy(const QString& text) override { fForm.showBusy(text); }
    void progressRange(int min, int max) override { fForm.Bar_Init(min, max); }
    void progressStep() override { fForm.Bar_inc(); }
    void progressAt(int pos) override { fForm.Bar_pos(pos); }
    void changed(Changed what) override
    {
        if (what == Changed::CardList)
            fForm.Enable_Btn(fForm.ShowGC());
    }
    bool cancelled() const override { return false; }

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
        FormHost host(form);
        outcome = UndoCommand(host, form.link()).run(number);
    });
    return outcome;
}

void showHistory(TMainForm& form)
{
    THistoryWindow window(form, &form);
    window.exec();
}
