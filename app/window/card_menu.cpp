// The card list's context menu: the card's health, copying every save, the
// cards, how the lists show.
#include "window/cards_menu.h"
#include "window/commands_view.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/undo_menu.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QMenu>

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
