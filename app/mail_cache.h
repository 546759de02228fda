#pragma once

// Where mailed saves wait for the mail program: a folder of the user's cache,
// emptied when the program starts again.

#include <QString>

QString mailCacheDir();

// Moves the file at from into the cache under name, replacing an older one.
// Returns its new path, or nothing when it could not be moved.
QString placeInMailCache(const QString& from, const QString& name);

// Removes what earlier runs left there.
void clearMailCache();
