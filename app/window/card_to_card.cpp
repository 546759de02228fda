// A second card on the PC side of the window, and copying saves from one
// card to the other.
#include "cards/card_link.h"
#include "cards/card_worker.h"
#include "cards/journal_group.h"
#include "cards/second_card.h"
#include "commands/card_save_checks.h"
#include "commands/failure_reason.h"
#include "commands/put_save.h"
#include "commands/save_names.h"
#include "window/banner_cache.h"
#include "window/batch_scope.h"
#include "window/commands_view.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include <array>
#include <cstring>

void TMainForm::showPcMenu(const QPoint& at)
{
    QMenu menu(this);
    // The folder's saves, or the second card's, all onto the card.
    menu.addAction(say_menu_copyall_card, this, &TMainForm::CopyAllToCardClick);
    menu.addSeparator();
    menu.addAction(say_menu_showcard, this, &TMainForm::ShowCardHereClick);
    menu.addAction(say_menu_showadapter, this, &TMainForm::ShowAdapterHereClick);
    QAction* folder = menu.addAction(say_menu_showfolder, this, &TMainForm::ShowSaveFolderClick);
    folder->setEnabled(fSecond != nullptr);
    menu.addSeparator();
    addViewEntries(menu, ListView2, {ListView1, ListView2});
    fPcMenu = &menu;
    menu.exec(ListView2->viewport()->mapToGlobal(at));
    fPcMenu = nullptr;
}

void TMainForm::ShowCardHereClick()
{
    if (commandRunning())
        return;
    const std::optional<QString> path = skin::dialogs().openFileName(
        {QString(), saverDir(), QString(), say_cardimagefilter, QStringLiteral("gcp")});
    if (path)
        showSecondCard(QStringLiteral("image:") + *path);
}

void TMainForm::ShowAdapterHereClick()
{
    if (commandRunning())
        return;
    const std::optional<QString> device = skin::dialogs().text(
        say_menu_showadapter.left(say_menu_showadapter.size() - 1), say_adapterprompt, QString());
    if (device && !device->trimmed().isEmpty())
        showSecondCard(device->trimmed());
}

void TMainForm::ShowSaveFolderClick()
{
    if (commandRunning() || !fSecond)
        return;
    fSecond.reset();
    showPaneTitle();
    GetFilePIC();
}

void TMainForm::copyAllCardToCard(bool toSecond)
{
    // Every save of one card onto the other, through the copy buttons' own
    // path: the same questions for a save the other card holds already.
    TSaveListView* source = toSecond ? ListView1 : ListView2;
    source->selectAll();
    CopyCardToCard(toSecond);
}

void TMainForm::showPaneTitle()
{
    // The skin's heading says "PC"; a second card shown there says which
    // card it is and what room it has, over it.
    if (!fSecond) {
        PaneTitle->hide();
        return;
    }
    const QString image = fSecond->imagePath();
    const QString name = image.isEmpty() ? fSecond->device() : QFileInfo(image).fileName();
    PaneTitle->setText(say_secondcardhead.arg(name).arg(fSecondFree));
    PaneTitle->setToolTip(image.isEmpty() ? fSecond->device() : image);
    PaneTitle->show();
}
