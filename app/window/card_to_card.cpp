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
