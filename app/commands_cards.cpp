// A second card on the PC side of the window, and copying saves from one
// card to the other.
#include "banner_cache.h"
#include "card_save_checks.h"
#include "commands_view.h"
#include "failure_reason.h"
#include "main_form.h"
#include "save_list_view.h"
#include "save_names.h"
#include "second_card.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include <array>
#include <cstring>

namespace {

QByteArray bounded(const char* p, std::size_t width)
{
    return QByteArray(p, qsizetype(strnlen(p, width)));
}

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
        DeviceSwitch to(fSecond->device());
        int megabits = 0;
        if (OpenDevice(window()) == 0)
            error = fReceiver.error;
        else if ((megabits = GetCardMemory()) == 0 || InitSaverInfo() == 0)
            error = mcb_last_error();
        QList<ListedSave> saves;
        // Every card keeps five of its 8 KB blocks, sixteen to a megabit,
        // for its system area; the rest hold saves.
        free = megabits * 16 - 5;
        for (unsigned j = 0; error == MCB_SUCCESS && j < 128; ++j) {
            char name[36] = {}, code[7] = {};
            uint16_t blocks = 0;
            if (!GetSaverInfo(j, name, code, &blocks))
                continue;
            ListedSave s{QString(), bounded(name, 32), bounded(code, 6), int(j), false};
            s.caption = decodeSaveName(s.rawName, s.rawCode) + QStringLiteral("\r\n(") +
                        QString::number(blocks) + QLatin1Char(')');
            QByteArray bitmap(MCB_BITMAP_MAX, '\0');
            uint32_t size = 0;
            QPixmap picture;
            if (mcb_saver_bitmap(j, reinterpret_cast<uint8_t*>(bitmap.data()),
                                 uint32_t(bitmap.size()), &size)) {
                bitmap.truncate(size);
                picture = pictureFromBitmap(bitmap);
            }
            s.picture = !picture.isNull();
            saves.append(s);
            appendPicture(ImageList2, picture);
            free -= blocks;
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
            describeCardSaves(ListView2, fSecondDescriptions);
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

// The save goes from the card named `from` into a file of scratch, and from
// there onto the card named `to`. The file never lands in the save folder,
// and the source card is only read. Empty when it went; else why not.
QString TMainForm::copyOneSave(const CardSave& save, const QString& from, const QString& to,
                               const QString& scratch)
{
    const QByteArray file = QFile::encodeName(scratch);
    QFile::remove(scratch);
    {
        DeviceSwitch source(from);
        if (!OpenDevice(window()))
            return withReason(save.name, fReceiver.error);
        if (!GetCardMemory() || !stillInSlot(save) ||
            !(save.slot >= 0 ? mcb_download_slot(uint32_t(save.slot), file.constData())
                             : DownLoadSaver(save.rawName.constData(), save.rawCode.constData(),
                                             file.constData())))
            return withLastReason(save.name);
    }
    DeviceSwitch target(to);
    if (!OpenDevice(window()))
        return withReason(save.name, fReceiver.error);
    if (!GetCardMemory() || !InitSaverInfo())
        return withLastReason(save.name);
    const int slot = mcb_find_slot(save.rawName.constData(), save.rawCode.constData());
    if (slot < 0 && mcb_last_error() != MCB_ERROR_NO_SAVE)
        return withLastReason(save.name);
    if (slot >= 0) {
        if (!skin::dialogs().askYesNo(i18n::overwriteQuestion(save.name), windowTitle()))
            return QString();
        if (!mcb_replace_slot(uint32_t(slot), file.constData()))
            return withLastReason(save.name);
    } else if (!UpLoadSaver(file.constData())) {
        return withLastReason(save.name);
    }
    return QString();
}

void TMainForm::CopyCardToCard(bool toSecond)
{
    runCommand(
        toSecond ? b3 : b4, [this, toSecond] { copyCardToCard(toSecond); }, Needs::Nothing);
}

void TMainForm::copyCardToCard(bool toSecond)
{
    TSaveListView* source = toSecond ? ListView1 : ListView2;
    if (!hasSelection(source, toSecond ? Say_WARNING0 : Say_WARNING1))
        return;
    const QString here = mainDevice();
    const QString there = fSecond->device();
    ListView1->setEnabled(false);
    ListView2->setEnabled(false);
    QStringList failed;
    bool copied = false;
    const CardScratch scratch;
    for (const CardSave& save : source->selectedCardSaves()) {
        Bar_Init(0, 20);
        showBusy(i18n::busyText(say_saver_cardcopy));
        repaint();
        const QString why =
            scratch.ok() ? copyOneSave(save, toSecond ? here : there, toSecond ? there : here,
                                       scratch.path(QStringLiteral("save.gci")))
                         : withReason(save.name, MCB_ERROR_FILE);
        if (why.isEmpty()) {
            copied = true;
            Bar_pos(20);
        } else {
            failed << why;
        }
    }
    // Both lists show what the cards hold now.
    if (connectAdapter())
        ShowGC();
    CloseDevice();
    ShowSecondCard();
    ListView1->setEnabled(true);
    ListView2->setEnabled(true);
    if (!failed.isEmpty())
        OkBtnExe(say_cardcopyfailed + failed.join(QStringLiteral(", ")));
    else if (copied)
        OkBtnExe(say_cardcopycomplete);
    source->clearSelection();
    showFreeBlocks();
}
