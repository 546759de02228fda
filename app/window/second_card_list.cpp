// The second card's listing on the PC side of the window, in place of the
// save folder's.
#include "cards/card_link.h"
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

// One save of a card as it is listed: caption and what finds it again.
struct ListedSave {
    QString caption;
    QByteArray rawName;
    QByteArray rawCode;
    int slot;
    bool picture;
};

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
    mapIndex = 0;
    ImageList2.clear();
    ListView2->clear();
    int32_t error = MCB_SUCCESS;
    int free = 0;
    {
        // Destroyed in reverse: the first card is named again and the gates
        // are as they were before what waited for the end is handled.
        CommandScope scope(*this);
        // While the second card is named, the progress pumps events: no
        // command may start then, or it would reach this card as the first.
        const std::array<bool*, 9> gates{&b0, &b1, &b2, &b3, &b4, &b5, &b6, &b7, &b8};
        std::array<bool, 9> before{};
        for (std::size_t i = 0; i < gates.size(); ++i) {
            before[i] = *gates[i];
            *gates[i] = false;
        }
        struct Reopen {
            const std::array<bool*, 9>& gates;
            const std::array<bool, 9>& before;
            ~Reopen()
            {
                for (std::size_t i = 0; i < gates.size(); ++i)
                    *gates[i] = before[i];
            }
        } reopen{gates, before};
        CardLink second;
        const int opened = second.open(fSecond->device(), window());
        mcb_card_info info{};
        info.size = sizeof info;
        if (opened != MCB_OK)
            error = errorOf(opened);
        else if (const int loaded = mcb_load(second.get()); loaded < 0)
            error = errorOf(loaded);
        else if (const int described = mcb_describe_card(second.get(), &info); described < 0)
            error = errorOf(described);
        QList<ListedSave> saves;
        free = int(info.save_blocks);
        for (unsigned j = 0; error == MCB_SUCCESS && j < MCB_SLOTS; ++j) {
            const std::optional<SlotEntry> e = entryAt(second.get(), j);
            if (!e)
                continue;
            ListedSave s{QString(), e->name, e->code, int(j), false};
            s.caption = decodeSaveName(s.rawName, s.rawCode) + QStringLiteral("\r\n(") +
                        QString::number(e->blocks) + QLatin1Char(')');
            QPixmap picture;
            if (const QByteArray bitmap = slotBitmap(second.get(), j); !bitmap.isEmpty())
                picture = pictureFromBitmap(bitmap);
            s.picture = !picture.isNull();
            saves.append(s);
            appendPicture(ImageList2, picture);
            free -= int(e->blocks);
        }
        if (error == MCB_SUCCESS) {
            for (const ListedSave& s : saves) {
                QListWidgetItem* item = ListView2->addSave(s.caption, mapIndex++);
                item->setData(TSaveListView::RawNameRole, s.rawName);
                item->setData(TSaveListView::RawCodeRole, s.rawCode);
                item->setData(TSaveListView::SlotRole, s.slot);
            }
            ListView2->refreshPictures();
            // Described while this card is open, as the card list is: the
            // tooltips, the keys the list sorts by and the moving icons.
            describeCardSaves(second.get(), ListView2, fSecondDescriptions);
        }
    }
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
