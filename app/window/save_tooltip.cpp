#include "window/save_tooltip.h"

#include "commands/folder_files.h"
#include "commands/save_names.h"
#include "window/save_list_view.h"
#include "window/save_order.h"

#include "i18n/texts.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

QString line(const QString& label, const QString& value)
{
    return label.toHtmlEscaped() + QStringLiteral(": ") + value.toHtmlEscaped();
}

// The list's order and icons, after a listing.
void finishListing(TSaveListView* list)
{
    sortSaves(list);
    IconAnimator::of(list)->refresh();
}

// The items as listed. The library's progress lets the window handle events
// while it reads, a sort from a list's menu among them: the items are taken
// first, so each is described once whatever order the list is in meanwhile.
// Each keeps its position as listed, for going back to that order.
QList<QListWidgetItem*> itemsOf(const TSaveListView* list)
{
    QList<QListWidgetItem*> items;
    for (int i = 0; i < list->count(); ++i) {
        list->item(i)->setData(TSaveListView::ListedRole, i);
        items.append(list->item(i));
    }
    return items;
}

SaveDescription undescribed(const QListWidgetItem* item)
{
    SaveDescription d;
    d.name = TSaveListView::nameOf(item);
    d.code = shownCode(item->data(TSaveListView::RawCodeRole).toByteArray());
    // The caption's second line, "(blocks)", is all the listing knew.
    const QString caption = item->data(TSaveListView::CaptionRole).toString();
    const qsizetype open = caption.lastIndexOf(QStringLiteral("\r\n("));
    if (open >= 0 && caption.endsWith(QLatin1Char(')')))
        d.blocks = caption.mid(open + 3, caption.size() - open - 4).toInt();
    return d;
}

} // namespace

SaveDescription describedSave(const mcb_save_info& info, const QString& shownName)
{
    SaveDescription d;
    d.name = shownName;
    d.code = shownCode(QByteArray(info.code));
    d.described = true;
    d.hasComment = info.has_comment != 0;
    d.title = shownText(QByteArray(info.title));
    d.comment = shownText(QByteArray(info.comment));
    d.date = QStringLiteral("%1-%2-%3 %4:%5:%6")
                 .arg(info.year, 4, 10, QLatin1Char('0'))
                 .arg(info.month, 2, 10, QLatin1Char('0'))
                 .arg(info.day, 2, 10, QLatin1Char('0'))
                 .arg(info.hour, 2, 10, QLatin1Char('0'))
                 .arg(info.minute, 2, 10, QLatin1Char('0'))
                 .arg(info.second, 2, 10, QLatin1Char('0'));
    d.modified = info.modified;
    d.blocks = int(info.blocks);
    d.icon.bounce = info.animation == MCB_ANIMATION_BOUNCE;
    for (uint32_t i = 0; i < info.frame_count && i < MCB_ICON_FRAMES; ++i) {
        // The library's buffer goes away: the image keeps its own copy.
        d.icon.frames.append(QImage(info.frames[i].rgba, MCB_ICON_SIZE, MCB_ICON_SIZE,
                                    MCB_ICON_SIZE * 4, QImage::Format_RGBA8888)
                                 .copy());
        d.icon.delays.append(int(info.frames[i].delay));
    }
    return d;
}

QString saveTooltip(const SaveDescription& save)
{
    QStringList lines;
    lines << QStringLiteral("<b>") + save.name.toHtmlEscaped() + QStringLiteral("</b>");
    if (!save.code.isEmpty())
        lines << line(say_tip_game, save.code);
    if (save.hasComment) {
        lines << line(say_tip_title, save.title);
        lines << line(say_tip_comment, save.comment);
    }
    if (save.described)
        lines << line(say_tip_date, save.date);
    lines << line(say_tip_blocks, QString::number(save.blocks));
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

void setDescription(QListWidgetItem* item, const SaveDescription& save)
{
    item->setToolTip(saveTooltip(save));
    item->setData(TSaveListView::GameRole, save.code);
    item->setData(TSaveListView::ModifiedRole, save.modified);
    item->setData(TSaveListView::BlocksRole, save.blocks);
    item->setData(TSaveListView::IconFramesRole, QVariant::fromValue(save.icon));
}

CardSlotDescriptions readCardDescriptions(mcb_card* card, const QList<CardSlot>& saves,
                                          const CardDescriptions& cache)
{
    auto info = std::make_unique<mcb_save_info>();
    CardSlotDescriptions read;
    for (const CardSlot& s : saves) {
        QByteArray entry(MCB_ENTRY_SIZE, '\0');
        const bool hasEntry =
            mcb_entry(card, uint32_t(s.slot), reinterpret_cast<uint8_t*>(entry.data()),
                      size_t(entry.size())) == MCB_OK;
        if (hasEntry && cache.known.contains(entry)) {
            read.listed.insert(entry, cache.known.value(entry));
            read.bySlot.insert(s.slot, cache.known.value(entry));
            continue;
        }
        ++read.reads;
        if (mcb_describe_slot(card, uint32_t(s.slot), info.get()) == MCB_OK) {
            const SaveDescription save = describedSave(*info, s.shown);
            // One that could not be read is tried again at the next listing.
            if (hasEntry)
                read.listed.insert(entry, save);
            read.bySlot.insert(s.slot, save);
        }
    }
    return read;
}

void showCardDescriptions(TSaveListView* list, const CardSlotDescriptions& read,
                          CardDescriptions& cache)
{
    for (QListWidgetItem* item : itemsOf(list)) {
        const QVariant slot = item->data(TSaveListView::SlotRole);
        const auto found =
            slot.isValid() ? read.bySlot.constFind(slot.toInt()) : read.bySlot.constEnd();
        setDescription(item, found != read.bySlot.constEnd() ? *found : undescribed(item));
    }
    cache.reads += read.reads;
    cache.known = read.listed;
    finishListing(list);
}

void describeCardSaves(mcb_card* card, TSaveListView* list, CardDescriptions& cache)
{
    QList<CardSlot> saves;
    for (const QListWidgetItem* item : itemsOf(list))
        if (const QVariant slot = item->data(TSaveListView::SlotRole); slot.isValid())
            saves.append({slot.toInt(), TSaveListView::nameOf(item)});
    showCardDescriptions(list, readCardDescriptions(card, saves, cache), cache);
}

void describeFileSaves(TSaveListView* list, const QString& folder, FileDescriptions& cache)
{
    auto info = std::make_unique<mcb_save_info>();
    QHash<QString, FileDescriptions::Known> listed;
    for (QListWidgetItem* item : itemsOf(list)) {
        // By the path's bytes: a name that is no UTF-8 is described too.
        QByteArray local = item->data(TSaveListView::FilePathRole).toByteArray();
        if (local.isEmpty())
            local = QFile::encodeName(folder + QLatin1Char('/') + TSaveListView::nameOf(item));
        const QString path = fileKey(local);
        const std::optional<FolderFile> file = fileAt(local);
        const qint64 size = file ? file->size : -1;
        const QDateTime modified = file ? file->modified : QDateTime();
        const auto known = cache.known.constFind(path);
        if (known != cache.known.cend() && known->size == size && known->modified == modified) {
            listed.insert(path, *known);
            setDescription(item, known->save);
            continue;
        }
        ++cache.reads;
        if (mcb_save_info_file(local.constData(), info.get())) {
            const SaveDescription save = describedSave(*info, TSaveListView::nameOf(item));
            listed.insert(path, {size, modified, save});
            setDescription(item, save);
        } else {
            setDescription(item, undescribed(item));
        }
    }
    cache.known = std::move(listed);
    finishListing(list);
}
