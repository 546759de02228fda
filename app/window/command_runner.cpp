// The opening and closing every command shares, so that none can leave the
// gates closed or the adapter open behind it.
#include "cards/card_status.h"
#include "cards/card_worker.h"
#include "cards/journal_group.h"
#include "cards/threaded_host.h"
#include "commands/card_save_checks.h"
#include "commands/failure_reason.h"
#include "window/main_form.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

namespace {

class CommandEnd {
public:
    CommandEnd(TMainForm& form, CardLink& first, CardLink& second)
        : fForm(form), fFirst(first), fSecond(second)
    {
    }
    ~CommandEnd()
    {
        fForm.ENBtn_click();
        // The cards are given back, and with them their write locks, as
        // soon as the command ends: another program may write them then.
        fFirst.close();
        fSecond.close();
        fForm.Bar_pos(0);
    }
    CommandEnd(const CommandEnd&) = delete;
    CommandEnd& operator=(const CommandEnd&) = delete;

private:
    TMainForm& fForm;
    CardLink& fFirst;
    CardLink& fSecond;
};

// While a body runs on the card's thread, the dialogs it opens are carried
// to the window's; the window's own questions (closing, say) still open at
// once.
class DialogsCarried {
public:
    explicit DialogsCarried(QObject* window) : fBefore(skin::dialogs()), fCarried(window, fBefore)
    {
        skin::installDialogs(&fCarried);
    }
    ~DialogsCarried() { skin::installDialogs(&fBefore); }
    DialogsCarried(const DialogsCarried&) = delete;
    DialogsCarried& operator=(const DialogsCarried&) = delete;

private:
    skin::Dialogs& fBefore;
    ThreadedDialogs fCarried;
};

} // namespace

void TMainForm::runCommand(bool& gate, const std::function<void()>& body, Needs needs, Where where)
{
    if (!enterGate(gate))
        return;
    // Its own gate too, while it runs: the window answers clicks meanwhile,
    // and the same command must not start under itself.
    gate = false;
    CommandScope scope(*this);
    const CommandEnd end(*this, fLink, fSecondLink);
    if (needs == Needs::Adapter && !connectAdapter() && fLinkOpened == MCB_E_BUSY) {
        // Another program writes the card: it is there, and probing it
        // again would only wait for the same lock.
        OkBtnExe(say_n_noanswer + reasonText(MCB_ERROR_BUSY));
        return;
    }
    if (needs == Needs::Adapter && !link()) {
        // Never silent: the adapter went away or stopped answering since the
        // card was probed.
        applyCard(probeCard(window()));
        OkBtnExe(cardNoticeText(fCard).isEmpty() ? say_n_noanswer + say_why_io
                                                 : cardNoticeText(fCard));
        return;
    }
    // One journal record for everything the command changes on the card.
    const JournalGroup record(fLink);
    if (where == Where::CardThread) {
        // The window answers meanwhile; the closed gates turn away what it
        // must not start, and what may not wait (a device change, the save
        // folder's) waits for the end all the same.
        const DialogsCarried carried(this);
        workOffWindow(*fWorker, body);
    } else {
        body();
    }
    // A save the list showed was gone from the card: another program
    // changed it. The list is read again, so the next try acts on the card
    // as it is instead of on the same ghost; on the card's thread, whichever
    // thread the command's body ran on.
    if (takeStaleListing() && fCard.state == CardState::Ready) {
        workOffWindow(*fWorker, [this] {
            if (connectAdapter() && ShowGC())
                Enable_Btn(true);
        });
    }
}
