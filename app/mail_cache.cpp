#include "mail_cache.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString mailCacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/mail");
}

QString placeInMailCache(const QString& from, const QString& name)
{
    const QString dir = mailCacheDir();
    if (!QDir().mkpath(dir))
        return QString();
    const QString to = dir + QLatin1Char('/') + name;
    if (QFile::exists(to))
        QFile::remove(to);
    // A rename when both are on one disk; otherwise a copy, then the
    // temporary file goes.
    if (QFile::rename(from, to))
        return to;
    if (!QFile::copy(from, to))
        return QString();
    QFile::remove(from);
    return to;
}

void clearMailCache()
{
    QDir dir(mailCacheDir());
    if (dir.exists())
        dir.removeRecursively();
}
