// The second card's listing on the PC side of the window, in place of the
// save folder's.
#include "cards/card_link.h"
#include "cards/card_worker.h"
#include "cards/gates_closed.h"
#include "cards/second_card.h"
#include "commands/failure_reason.h"
#include "commands/save_names.h"
#include "window/banner_cache.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/save_tooltip.h"

#include "i18n/texts.h"

#include <array>
#include <utility>

namespace {

// One save of a card as it is listed: caption, what finds it again, and
// its banner's bitmap (made a picture on the window's thread).
struct ListedSave {
    QString caption;
    QByteArray rawName;
    QByteArray rawCode;
    int slot;
    QByteArray bitmap;
};

// All the listing needs of the card, read on the second card's thread with
// no widget touched: the list is filled from it on the window's.
struct SecondListing {
    int32_t error = MCB_SUCCESS;
    int free = 0;
    QList<ListedSave> saves;
    CardSlotDescriptions described;
};

SecondListing readSecondCard(const QString& device, mcb_receiver* receiver,
                             const CardDescriptions& known)
{
    SecondListing out;
    CardLink second;
    const int opened = second.open(device, receiver);
    mcb_card_info info{};
    info.size = sizeof info;
    if (opened != MCB_OK)
        out.error = errorOf(opened);
    else if (const int loaded = mcb_load(second.get()); loaded < 0)
        out.error = errorOf(loaded);
    else if (const int described = mcb_describe_card(second.get(), &info); described < 0)
        out.error = errorOf(described);
    if (out.error != MCB_SUCCESS)
        return out;
    out.free = int(info.save_blocks);
    QList<CardSlot> shown;
    for (unsigned j = 0; j < MCB_SLOTS; ++j) {
        const std::optional<SlotEntry> e = entryAt(second.get(), j);
        if (!e)
            continue;
        const QString name = decodeSaveName(e->name, e->code);
        out.saves.append(
            {name + QStringLiteral("\r\n(") + QString::number(e->blocks) + QLatin1Char(')'),
             e->name, e->code, int(j), slotBitmap(second.get(), j)});
        shown.append({int(j), name});
        out.free -= int(e->blocks);
    }
    // Described while this card is open, as the card list is: the
    // tooltips, the keys the list sorts by and the moving icons.
    out.described = readCardDescriptions(second.get(), shown, known);
    return out;
}

} // namespace

void TMainForm::showSecondCard(const QString& device)
{
    auto card = std::make_unique<SecondCard>(device);
    if (card->sameCardAs(mainDevice())) {
        OkBtnExe(say_secondcardsame);
        return;
    }
    // A card that cannot be listed is not shown: the folder stays.
    std::swap(fSecond, card);
    if (!ShowSecondCard()) {
        std::swap(fSecond, card);
        showPaneTitle();
        GetFilePIC();
    }
}

bool TMainForm::ShowSecondCard()
{
    if (offWindow())
        return onThreadOf(this, [this] { return ShowSecondCard(); });
    mapIndex = 0;
    ImageList2.clear();
    ListView2->clear();
    SecondListing listing;
    {
        // Destroyed in reverse: the gates are as they were before what
        // waited for the end is handled.
        CommandScope scope(*this);
        // While the second card is read the window handles events: no
        // command may start then, the copies that would reach this card
        // included.
        const GatesClosed closed(fSession);
        // Read on the card's own thread, so a slow adapter leaves the window
        // painting; what it read is copied, not shared, with the window's.
        const QString device = fSecond->device();
        const CardDescriptions known = fSecondDescriptions;
        workOffWindow(*fSecondWorker, [&] { listing = readSecondCard(device, window(), known); });
        if (listing.error == MCB_SUCCESS) {
            for (const ListedSave& s : listing.saves) {
                appendPicture(ImageList2,
                              s.bitmap.isEmpty() ? QPixmap() : pictureFromBitmap(s.bitmap));
                QListWidgetItem* item = ListView2->addSave(s.caption, mapIndex++);
                item->setData(TSaveListView::RawNameRole, s.rawName);
                item->setData(TSaveListView::RawCodeRole, s.rawCode);
                item->setData(TSaveListView::SlotRole, s.slot);
            }
            ListView2->refreshPictures();
            showCardDescriptions(ListView2, listing.described, fSecondDescriptions);
        }
    }
    const int32_t error = listing.error;
    const int free = listing.free;
    if (error != MCB_SUCCESS) {
        ImageList2.clear();
        ListView2->clear();
        showPaneTitle();
        OkBtnExe(withReason(say_secondcardfailed + fSecond->device(), error));
        return false;
    }
    fSecondFree = free;
    showPaneTitle();
    return true;
}
