#include "commands/mail_cache.h"

#include "commands/user_file.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString mailCacheDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/mail");
}

QString placeInMailCache(const QByteArray& bytes, const QString& name)
{
    const QString dir = mailCacheDir();
    if (!QDir().mkpath(dir))
        return QString();
    const QString to = dir + QLatin1Char('/') + name;
    return replaceUserFile(to, bytes, true) ? to : QString();
}

void clearMailCache()
{
    QDir dir(mailCacheDir());
    if (dir.exists())
        dir.removeRecursively();
}
