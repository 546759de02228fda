// The window's side of the batches: every save at once, the whole card into
// the save folder or the whole save folder onto the card, and the copies
// between two cards. The files and the selection are taken from the lists
// here; the command runs on the card's thread with Cancel shown for the
// batch, every call of its host carried over to the window's thread.
#include "cards/second_card.h"
#include "cards/threaded_host.h"
#include "commands/batch_to_card_command.h"
#include "commands/batch_to_folder_command.h"
#include "commands/card_to_card_command.h"
#include "window/batch_scope.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/window_host.h"

#include <functional>

namespace {

// Runs a batch on the card's thread, Cancel shown for it when shown.
void onCardThreadAsBatch(TMainForm& form, bool& gate, TMainForm::Needs needs, bool shown,
                         const std::function<void(CommandHost&)>& run)
{
    form.runCommand(
        gate,
        [&form, shown, run] {
            const BatchShown batch(form, shown);
            ThreadedHost carried(&form, form.host());
            run(carried);
        },
        needs, TMainForm::Where::CardThread);
}

} // namespace

void TMainForm::CopyAllToPcClick()
{
    if (fSecond)
        return copyAllCardToCard(true);
    onCardThreadAsBatch(*this, b3, Needs::Adapter, true, [this](CommandHost& h) {
        CopyAllToFolderCommand(h, fSession, saverDir()).run();
    });
}

void TMainForm::CopyAllToCardClick()
{
    if (fSecond)
        return copyAllCardToCard(false);
    QList<CopyAllToCardCommand::File> files;
    for (int i = 0; i < ListView2->count(); ++i)
        files.append({TSaveListView::nameOf(ListView2->item(i)), filePathOf(ListView2->item(i))});
    onCardThreadAsBatch(*this, b4, Needs::Adapter, true, [this, files](CommandHost& h) {
        CopyAllToCardCommand(h, fSession, files).run();
    });
}

void TMainForm::CopyCardToCard(bool toSecond)
{
    const QList<CardSave> saves = (toSecond ? ListView1 : ListView2)->selectedCardSaves();
    // The command opens both cards itself: one that does not answer is
    // named for each save rather than in the adapter's notice.
    const CardToCardCommand::Devices devices{mainDevice(), fSecond->device(), window()};
    onCardThreadAsBatch(
        *this, toSecond ? b3 : b4, Needs::Nothing, saves.size() > 1,
        [this, saves, devices, toSecond](CommandHost& h) {
            CardToCardCommand(h, fSession, fSecondLink, devices, saves, toSecond).run();
        });
}
