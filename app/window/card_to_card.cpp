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

// The save goes from one open card to the other through memory; the source
// card is only read. Empty when it went; else why not.
QString TMainForm::copyOneSave(const CardSave& save, mcb_card* from, mcb_card* to)
{
    const QByteArray bytes =
        stillInSlot(from, save) ? readSave(from, unsigned(save.slot)) : QByteArray();
    if (bytes.isEmpty())
        return withCardReason(save.name, from);
    PutResult r = putSave(to, bytes, MCB_WRITE_NEW, -1);
    if (r.code == MCB_E_EXISTS) {
        if (r.outcome.other_slot >= 0)
            return withReason(save.name, MCB_ERROR_AMBIGUOUS);
        const QString title = onThreadOf(this, [this] { return windowTitle(); });
        if (!skin::dialogs().askYesNo(i18n::overwriteQuestion(save.name), title))
            return QString();
        r = putSave(to, bytes, MCB_WRITE_REPLACE_SLOT, r.outcome.slot);
    }
    if (r.code == MCB_OK)
        return QString();
    const QString why = withCodeReason(save.name, r.code, to);
    return r.outcome.result == MCB_FAILED ? withOutcome(why, holdsText(r.outcome.holds)) : why;
}

void TMainForm::CopyCardToCard(bool toSecond)
{
    runCommand(
        toSecond ? b3 : b4, [this, toSecond] { copyCardToCard(toSecond); }, Needs::Nothing,
        Where::CardThread);
}

// On the card's thread: the lists are read and written on the window's.
void TMainForm::copyCardToCard(bool toSecond)
{
    TSaveListView* source = toSecond ? ListView1 : ListView2;
    const QList<CardSave> saves = onThreadOf(this, [&] { return source->selectedCardSaves(); });
    if (saves.isEmpty()) {
        OkBtnExe(toSecond ? Say_WARNING0 : Say_WARNING1);
        return;
    }
    const BatchShown shown(*this, saves.size() > 1);
    enableLists(*this, false);
    QStringList failed;
    int copied = 0;
    qsizetype tried = 0;
    // Both cards open at once, each by its own handle.
    const int here = connectAdapter() ? MCB_OK : MCB_E_NOT_OPEN;
    const int there = fSecondLink.open(fSecond->device(), window());
    // One journal record on each card for the whole copy, undone in one step.
    const JournalGroup hereRecord(fLink);
    const JournalGroup thereRecord(fSecondLink);
    for (; tried < saves.size() && !batchCancelled(); ++tried) {
        const CardSave& save = saves[tried];
        Bar_Init(0, 20);
        showBusy(i18n::busyText(say_saver_cardcopy));
        const int opened = here != MCB_OK ? here : there;
        const QString why = opened != MCB_OK
                                ? withCodeReason(save.name, opened)
                                : copyOneSave(save, toSecond ? link() : fSecondLink.get(),
                                              toSecond ? fSecondLink.get() : link());
        if (why.isEmpty()) {
            ++copied;
            Bar_pos(20);
        } else {
            failed << why;
        }
    }
    // Both lists show what the cards hold now; the second card's write lock
    // is given back first, as its listing opens it again.
    fSecondLink.close();
    if (connectAdapter())
        ShowGC();
    fLink.close();
    onThreadOf(this, [this] { ShowSecondCard(); });
    enableLists(*this, true);
    QStringList notice;
    if (!failed.isEmpty())
        notice << say_cardcopyfailed + failed.join(QStringLiteral(", "));
    else if (copied > 0 && tried == saves.size())
        notice << say_cardcopycomplete;
    if (tried < saves.size())
        notice << say_batch_count.arg(copied).arg(saves.size())
               << say_batch_stopped.arg(saves.size() - tried);
    if (!notice.isEmpty())
        OkBtnExe(notice.join(QLatin1Char('\n')));
    onThreadOf(this, [&] { source->clearSelection(); });
    showFreeBlocks();
}
