#pragma once

// What the lists know of a save beyond its banner, from the card library's
// description of it: the tooltip text, the keys the lists sort by, and the
// icon's frames. Decoded once per listing, kept on the items.

#include "window/icon_animation.h"

#include "mcbridge.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

class TSaveListView;

struct SaveDescription {
    QString name; // as the list shows it
    QString code;
    bool described = false; // false: the library could not read the rest
    bool hasComment = false;
    QString title;
    QString comment;
    QString date; // the console's time, yyyy-MM-dd hh:mm:ss
    qint64 modified = -1;
    int blocks = 0;
    IconFrames icon;
};

SaveDescription describedSave(const mcb_save_info& info, const QString& shownName);

// The tooltip: the full name, then game code, title and comment, date and
// blocks under the interface language's labels. Rich text with every part
// escaped, so a save's own text is never read as markup.
QString saveTooltip(const SaveDescription& save);

// Puts a description on the item: tooltip, sort keys and icon.
void setDescription(QListWidgetItem* item, const SaveDescription& save);

// After a listing: describes each item's save (the card's through the open
// adapter by its slot, a file's by its path in folder), then puts the list
// in its chosen order and shows the icons.
// Card saves' descriptions kept between listings, by the whole 64-byte entry
// (as their banners are): relisting an unchanged card reads none of their
// blocks again.
struct CardDescriptions {
    QHash<QByteArray, SaveDescription> known;
    int reads = 0; // descriptions read from the card, for tests
};

void describeCardSaves(mcb_card* card, TSaveListView* list, CardDescriptions& cache);
// The same in two halves, for a listing read on the card's thread: the
// descriptions read (no widget touched), then put on the list's items on
// the window's.
struct CardSlot {
    int slot;
    QString shown; // the name as the list shows it
};
struct CardSlotDescriptions {
    QHash<int, SaveDescription> bySlot;
    QHash<QByteArray, SaveDescription> listed; // the cache after this listing
    int reads = 0;
};
CardSlotDescriptions readCardDescriptions(mcb_card* card, const QList<CardSlot>& saves,
                                          const CardDescriptions& cache);
void showCardDescriptions(TSaveListView* list, const CardSlotDescriptions& read,
                          CardDescriptions& cache);
// Save files' descriptions kept between listings, by path, size and
// modification time (as their banners are).
struct FileDescriptions {
    struct Known {
        qint64 size;
        QDateTime modified;
        SaveDescription save;
    };
    QHash<QString, Known> known;
    int reads = 0; // descriptions read from files, for tests
};

void describeFileSaves(TSaveListView* list, const QString& folder, FileDescriptions& cache);
