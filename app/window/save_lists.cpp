// The card list and the file list, the listing command, and the shortcuts
// on the lists.
#include "cards/card_link.h"
#include "cards/card_worker.h"
#include "cards/device_watch.h"
#include "cards/gclink.h"
#include "commands/folder_files.h"
#include "commands/save_forms.h"
#include "commands/save_names.h"
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/save_tooltip.h"

#include "i18n/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstring>
#include <utility>
#include <vector>

namespace {

// A save file in a container carries a header before its entry; none is
// larger than a block.
constexpr qint64 cLargestSaveFile = qint64(MCB_LARGEST_SAVE_FILE) + MCB_BLOCK_SIZE;

} // namespace

bool TMainForm::ShowGC()
{
    // Runs on whichever thread the command does: the card is read here, the
    // lists are filled on the window's thread.
    onThreadOf(this, [this] {
        ImageList1.clear();
        ListView1->clear();
        FreeBlock = GCLINK::Max_block;
        if (!strGameIDList)
            strGameIDList.emplace();
        else
            strGameIDList->clear();
    });

    // What the image holds as it is read: a change made after this is one
    // the list lacks, and the device watch tells of it.
    const QString seen = DeviceWatcher::seeNow().contents;
    const int loaded = link() ? mcb_load(link()) : MCB_E_NOT_OPEN;
    if (loaded < 0) {
        // Never a card with no free blocks: a card whose directory could not
        // be read.
        applyCard(unreadableCard(errorOf(loaded), fCard.readOnly));
        return false;
    }
    // The entries up to a broken one: it ends the listing, what came before
    // stays.
    std::vector<std::pair<unsigned, SlotEntry>> entries;
    int free = GCLINK::Max_block;
    unsigned lastBlocks = 0;
    for (unsigned j = 0; j < MCB_SLOTS; ++j) {
        std::optional<SlotEntry> e = entryAt(link(), j);
        if (!e)
            continue;
        lastBlocks = e->blocks;
        if (free < 0 || e->blocks == 0)
            break;
        free -= int(e->blocks);
        entries.emplace_back(j, std::move(*e));
    }
    // A save whose entry is as it was has the picture it had: only the
    // directory is read for it, none of its blocks.
    const std::vector<bool> known = onThreadOf(this, [&] {
        std::vector<bool> k;
        for (const auto& [slot, e] : entries)
            k.push_back(fBanners.card(e.raw).has_value());
        return k;
    });
    std::vector<QByteArray> bitmaps(entries.size());
    QList<CardSlot> shown;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [slot, e] = entries[i];
        if (!known[i])
            bitmaps[i] = slotBitmap(link(), slot);
        shown.append({int(slot), decodeSaveName(e.name, e.code)});
    }
    const CardSlotDescriptions described = readCardDescriptions(link(), shown, fDescriptions);

    onThreadOf(this, [&] {
        fListed = true;
        if (fWatcher)
            fWatcher->setKnownContents(seen);
        QSet<QByteArray> listed;
        int picture = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto& [slot, e] = entries[i];
            strGameIDList->append(QString::fromLatin1(e.code));
            const QString caption = shown[qsizetype(i)].shown + QStringLiteral("\r\n(") +
                                    QString::number(e.blocks) + QLatin1Char(')');
            QListWidgetItem* item = ListView1->addSave(caption, picture);
            item->setData(TSaveListView::RawNameRole, e.name);
            item->setData(TSaveListView::RawCodeRole, e.code);
            item->setData(TSaveListView::SlotRole, int(slot));
            appendPicture(ImageList1, cardPicture(e, bitmaps[i], listed));
            item->setIcon(QIcon(ImageList1.constLast()));
            FreeBlock -= int(e.blocks);
            ++picture;
        }
        WBlockCount = uint16_t(lastBlocks);
        showCardDescriptions(ListView1, described, fDescriptions);
        fBanners.keepCard(listed);
    });
    showFreeBlocks();
    return true;
}

QPixmap TMainForm::cardPicture(const SlotEntry& e, const QByteArray& bitmap,
                               QSet<QByteArray>& listed)
{
    const QByteArray& entry = e.raw;
    listed.insert(entry);
    if (const std::optional<QPixmap> known = fBanners.card(entry))
        return *known;
    ++fBanners.cardDecodes;
    if (bitmap.isEmpty())
        return {};
    const QPixmap picture = pictureFromBitmap(bitmap);
    // A picture the link failed to read is not kept: the next listing tries again.
    if (!picture.isNull())
        fBanners.putCard(entry, picture);
    return picture;
}

void TMainForm::GetFilePIC()
{
    if (offWindow())
        return onThreadOf(this, [this] { GetFilePIC(); });
    if (fSecond) {
        ShowSecondCard();
        return;
    }
    mapIndex = 0;
    ImageList2.clear();
    ListView2->clear();
    // Containers are known by their content; a file named as a plain save is
    // listed as it always was, even when it is not one. The folder is read
    // by the names' bytes: a name in Shift-JIS, as an emulator writes a
    // Japanese save's, is listed and reached like any other.
    const QList<FolderFile> files = filesInFolder(saverDir());
    QSet<QString> present;
    QStringList watched;
    auto add = [&](const FolderFile& f, const QString& caption) {
        QListWidgetItem* item = ListView2->addSave(caption, mapIndex++);
        item->setData(TSaveListView::FilePathRole, f.path);
    };
    for (const FolderFile& fi : files) {
        const QString caption = fi.name + QStringLiteral("\r\n(") +
                                QString::number(fi.size / MCB_BLOCK_SIZE) + QLatin1Char(')');
        const QString key = fileKey(fi.path);
        if (const std::optional<QPixmap> known = fBanners.file(key, fi.size, fi.modified)) {
            present.insert(key);
            watched << key;
            add(fi, caption);
            appendPicture(ImageList2, *known);
            continue;
        }
        // Read no more than a save can hold; the library takes the bytes
        // by their length and reads no further.
        const std::optional<QByteArray> listed = listedSaveBytes(fi, cLargestSaveFile);
        if (!listed)
            continue;
        present.insert(key);
        watched << key;
        add(fi, caption);
        ++fBanners.fileDecodes;
        QPixmap picture;
        if (const QByteArray bitmap = saveBitmap(*listed); !bitmap.isEmpty())
            picture = pictureFromBitmap(bitmap);
        fBanners.putFile(key, fi.size, fi.modified, picture);
        appendPicture(ImageList2, picture);
    }
    fBanners.keepFiles(present);
    ListView2->refreshPictures();
    describeFileSaves(ListView2, saverDir(), fFileDescriptions);
    watchSaverFolder(watched);
}

QByteArray TMainForm::filePathOf(const QListWidgetItem* item) const
{
    const QByteArray path = item->data(TSaveListView::FilePathRole).toByteArray();
    return path.isEmpty() ? QFile::encodeName(saverPath(TSaveListView::nameOf(item))) : path;
}

void TMainForm::UpDateBtnClick()
{
    runCommand(
        b0,
        [this] {
            // The adapter and card are probed again: one plugged in (or
            // mended) since the start is listed, and one that cannot be is
            // named with why.
            applyCard(probeCard(window()));
            if (fCard.state == CardState::Ready && connectAdapter()) {
                Bar_Init(0, 10);
                showBusy(i18n::busyText(say_saver_LOADING));
                const bool listed = ShowGC();
                Bar_pos(10);
                Enable_Btn(listed);
            }
            if (fCard.state != CardState::Ready)
                OkBtnExe(cardNoticeText(fCard));
        },
        Needs::Nothing, Where::CardThread);
}

void TMainForm::ListView1DblClick()
{
    if (MaybeOk())
        DownLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}

void TMainForm::ListView2DblClick()
{
    if (MaybeOk())
        UpLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}

void TMainForm::ListView1DragDrop(TSaveListView* source)
{
    if (source && MaybeOk())
        UpLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}

void TMainForm::ListView2DragDrop(TSaveListView* source)
{
    if (source && MaybeOk())
        DownLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}
