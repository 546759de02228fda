#pragma once

// Files the program writes for the user: copies of saves, card images, the
// old save kept before it is deleted from a card. Each is written in one
// place, the same way: whole and flushed to the disk with its folder before
// the call returns, so that a card is never touched while the user's copy
// could still be lost to a power cut.

#include <QByteArray>
#include <QString>

// Writes bytes into a new file at path, never over one that is there.
bool writeNewUserFile(const QString& path, const QByteArray& bytes);
bool writeNewUserFile(const QByteArray& localPath, const QByteArray& bytes);

// Writes bytes at path, replacing a file there only once the new one is
// whole. A symbolic link there is written through, to the file it names.
bool replaceUserFile(const QString& path, const QByteArray& bytes);

// Before an output the user chose is written: whether the file there is
// one the user protected (no write permission by its mode) or a symbolic
// link. The program asks before writing over either.
enum class OutputKind { Missing, Plain, Protected, Link };
OutputKind outputKind(const QString& path);

// Asks, in the user's language, before an existing file at path is
// replaced: the plain question for a plain file, the warning for a
// protected file or a link. True when it may be written.
bool mayReplaceOutput(const QString& path, const QString& title);
