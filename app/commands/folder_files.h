#pragma once

// The files of the save folder as the system names them. A name is bytes:
// an emulator writes a Japanese save's name in Shift-JIS, which is no valid
// UTF-8, and Qt neither lists such a file nor opens it by a decoded name.
// The folder is therefore read here, and each file is reached by its bytes.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

struct FolderFile {
    QByteArray path; // the folder's path, '/', and the name's bytes
    QString name;    // the name as the user reads it
    qint64 size = 0;
    QDateTime modified;
};

// Every entry of folder that is not a folder itself, by name in any case.
QList<FolderFile> filesInFolder(const QString& folder);

// The file at path, as the folder lists it; nothing when it is not there.
std::optional<FolderFile> fileAt(const QByteArray& path);

// A file name's bytes as the user reads them: UTF-8 when they are; else in
// the encoding the emulator wrote them in, told by the game code the name
// starts with ("01-GXXJ-…": Shift-JIS for Japanese games, Windows-1252 else).
QString shownFileName(const QByteArray& name);

// A key for caches and watches that tells any two paths apart, even two
// whose names show the same.
QString fileKey(const QByteArray& path);

// Up to limit bytes of the file at path; nothing when it cannot be read.
std::optional<QByteArray> readLocalFile(const QByteArray& path, qint64 limit);
