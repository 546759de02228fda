#pragma once

// Where mailed saves wait for the mail program: a folder of the user's cache,
// emptied when the program starts again.

#include <QByteArray>
#include <QString>

QString mailCacheDir();

// Writes a save into the cache under name, replacing an older one: the mail
// program needs a file. Returns its path, or nothing when it could not be
// written.
QString placeInMailCache(const QByteArray& bytes, const QString& name);

// Removes what earlier runs left there.
void clearMailCache();
