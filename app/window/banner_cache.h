#pragma once

// Decoded banners kept between listings, so that relisting a folder of
// hundreds of save files or a full card decodes (and, for the card, reads)
// only the saves that changed. A save file is known by its path, size and
// modification time; a card save by its whole 64-byte directory entry, which
// changes with every write the console or this program makes to the save.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QString>

#include <optional>

class BannerCache {
public:
    std::optional<QPixmap> file(const QString& path, qint64 size, const QDateTime& modified) const;
    void putFile(const QString& path, qint64 size, const QDateTime& modified, const QPixmap& p);
    // Forgets the files no longer in the folder.
    void keepFiles(const QSet<QString>& paths);

    std::optional<QPixmap> card(const QByteArray& entry) const;
    void putCard(const QByteArray& entry, const QPixmap& p);
    // Forgets the card saves no longer listed.
    void keepCard(const QSet<QByteArray>& entries);

    // Counts of banners decoded (not found here), for tests and the
    // benchmark.
    int fileDecodes = 0;
    int cardDecodes = 0;

private:
    struct FileBanner {
        qint64 size;
        QDateTime modified;
        QPixmap picture;
    };
    QHash<QString, FileBanner> fFiles;
    QHash<QByteArray, QPixmap> fCard;
};

// The bitmap bytes the library made, as a picture; null when they are none.
QPixmap pictureFromBitmap(const QByteArray& bitmap);
