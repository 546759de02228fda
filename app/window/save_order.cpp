#include "window/save_order.h"

#include "window/save_list_view.h"

#include <QCollator>
#include <QSettings>

#include <algorithm>

namespace {

QString settingKey(const TSaveListView* list)
{
    return QStringLiteral("lists/") + list->objectName() + QStringLiteral("/order");
}

int listedAt(const QListWidgetItem* item) { return item->data(TSaveListView::ListedRole).toInt(); }

} // namespace

bool savePrecedes(const QListWidgetItem* a, const QListWidgetItem* b, SaveOrder order)
{
    static const QCollator names = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    auto byName = [&]() -> int {
        return names.compare(TSaveListView::nameOf(a), TSaveListView::nameOf(b));
    };
    int c = 0;
    switch (order) {
    case SaveOrder::Listed: break;
    case SaveOrder::Name: c = byName(); break;
    case SaveOrder::Game:
        c = QString::compare(a->data(TSaveListView::GameRole).toString(),
                             b->data(TSaveListView::GameRole).toString());
        if (c == 0)
            c = byName();
        break;
    case SaveOrder::Date: {
        // Newest first; a save whose date is unknown goes last.
        const qint64 da = a->data(TSaveListView::ModifiedRole).toLongLong();
        const qint64 db = b->data(TSaveListView::ModifiedRole).toLongLong();
        c = da == db ? byName() : (da > db ? -1 : 1);
        break;
    }
    case SaveOrder::Size: {
        // Largest first.
        const int sa = a->data(TSaveListView::BlocksRole).toInt();
        const int sb = b->data(TSaveListView::BlocksRole).toInt();
        c = sa == sb ? byName() : (sa > sb ? -1 : 1);
        break;
    }
    }
    return c != 0 ? c < 0 : listedAt(a) < listedAt(b);
}

SaveOrder saveOrderOf(const TSaveListView* list)
{
    const int stored = QSettings().value(settingKey(list), 0).toInt();
    return stored >= int(SaveOrder::Listed) && stored <= int(SaveOrder::Size) ? SaveOrder(stored)
                                                                              : SaveOrder::Listed;
}

void setSaveOrder(TSaveListView* list, SaveOrder order)
{
    QSettings().setValue(settingKey(list), int(order));
    sortSaves(list);
}

void sortSaves(TSaveListView* list)
{
    const SaveOrder order = saveOrderOf(list);
    QListWidgetItem* current = list->currentItem();
    QList<QListWidgetItem*> items;
    QList<QListWidgetItem*> selected = list->selectedItems();
    while (list->count() > 0)
        items.append(list->takeItem(0));
    std::stable_sort(items.begin(), items.end(),
                     [order](auto* a, auto* b) { return savePrecedes(a, b, order); });
    for (QListWidgetItem* item : items)
        list->addItem(item);
    if (current)
        list->setCurrentItem(current, QItemSelectionModel::NoUpdate);
    for (QListWidgetItem* item : selected)
        item->setSelected(true);
}
