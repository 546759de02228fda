#include "window/banner_cache.h"

#include <QImage>

std::optional<QPixmap> BannerCache::file(const QString& path, qint64 size,
                                         const QDateTime& modified) const
{
    const auto it = fFiles.constFind(path);
    if (it == fFiles.constEnd() || it->size != size || it->modified != modified)
        return std::nullopt;
    return it->picture;
}

void BannerCache::putFile(const QString& path, qint64 size, const QDateTime& modified,
                          const QPixmap& p)
{
    fFiles.insert(path, FileBanner{size, modified, p});
}

void BannerCache::keepFiles(const QSet<QString>& paths)
{
    for (auto it = fFiles.begin(); it != fFiles.end();)
        it = paths.contains(it.key()) ? std::next(it) : fFiles.erase(it);
}

std::optional<QPixmap> BannerCache::card(const QByteArray& entry) const
{
    const auto it = fCard.constFind(entry);
    if (it == fCard.constEnd())
        return std::nullopt;
    return *it;
}

void BannerCache::putCard(const QByteArray& entry, const QPixmap& p) { fCard.insert(entry, p); }

void BannerCache::keepCard(const QSet<QByteArray>& entries)
{
    for (auto it = fCard.begin(); it != fCard.end();)
        it = entries.contains(it.key()) ? std::next(it) : fCard.erase(it);
}

QPixmap pictureFromBitmap(const QByteArray& bitmap)
{
    QImage picture;
    if (bitmap.isEmpty() || !picture.loadFromData(bitmap, "BMP") || picture.isNull())
        return {};
    return QPixmap::fromImage(picture);
}
