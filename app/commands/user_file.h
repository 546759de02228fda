#pragma once

// Files the program writes for the user: copies of saves, card images, the
// old save kept before it is deleted from a card. Each goes through the
// project's one durable write (userfiles): whole and flushed to the disk
// with its folder before the call returns, so that a card is never touched
// while the user's copy could still be lost to a power cut.

#include <QByteArray>
#include <QString>

namespace skin {
class Dialogs;
}

// Writes bytes into a new file at path, never over one that is there.
bool writeNewUserFile(const QString& path, const QByteArray& bytes);
bool writeNewUserFile(const QByteArray& localPath, const QByteArray& bytes);

// Writes bytes at path, replacing a file there only once the new one is
// whole; a protected file or a symbolic link there only when replace says
// the user agreed (a link is written through, to the file it names).
bool replaceUserFile(const QString& path, const QByteArray& bytes, bool force = false);

// What is at an output path the user chose.
enum class OutputKind { Missing, Plain, Protected, Link, NotAFile };
OutputKind outputKind(const QString& path);

// Asks, in the user's language, before an existing file at path is
// replaced: the plain question for a plain file, the warning for a file the
// user protected against writing or a symbolic link. True when it may be
// written; *force (may be null) then says the write must pass the
// protection or follow the link.
bool mayReplaceOutput(const QString& path, const QString& title, bool* force = nullptr);
// The same, asked through the dialogs given.
bool mayReplaceOutput(skin::Dialogs& dialogs, const QString& path, const QString& title,
                      bool* force = nullptr);

// At start: the handlers that remove our temporary files on SIGINT, SIGTERM
// and SIGHUP, and what earlier runs left in our temporary folders (only
// files and folders of ours, by name and owner, whose maker is gone).
void cleanUpAfterEarlierRuns(const QStringList& folders);

// The pattern for the program's private work folder, which the start-up
// clean-up knows as its own.
QString workFolderPattern();
