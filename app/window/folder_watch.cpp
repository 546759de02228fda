// The file list follows the save folder: files copied in, changed or removed
// while the program runs show at once, without a restart or a LIST.
#include "window/main_form.h"

#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

void TMainForm::watchSaverFolder(const QStringList& files)
{
    if (!fFolderWatch) {
        fFolderWatch = new QFileSystemWatcher(this);
        // A copy arrives as several changes; the list is read once they
        // settle.
        fFolderSettle = new QTimer(this);
        fFolderSettle->setSingleShot(true);
        fFolderSettle->setInterval(150);
        connect(fFolderSettle, &QTimer::timeout, this, &TMainForm::saverFolderChanged);
        connect(fFolderWatch, &QFileSystemWatcher::directoryChanged, fFolderSettle,
                qOverload<>(&QTimer::start));
        connect(fFolderWatch, &QFileSystemWatcher::fileChanged, fFolderSettle,
                qOverload<>(&QTimer::start));
    }
    if (!fFolderWatch->directories().contains(saverDir()))
        fFolderWatch->addPath(saverDir());
    // The folder tells of files added and removed; a file rewritten in place
    // is told by the file itself. Only the difference is handed over: a
    // relisted folder of a thousand saves mostly watches what it watched.
    // A file whose name Qt cannot spell (fileKey's keys of a NUL and hex) is
    // not watched by itself; the folder still tells when it comes or goes.
    QSet<QString> wanted;
    wanted.reserve(files.size());
    for (const QString& path : files)
        if (!path.startsWith(QLatin1Char('\0')))
            wanted.insert(path);
    QStringList gone;
    for (const QString& path : fFolderWatch->files())
        if (!wanted.remove(path))
            gone << path;
    if (!gone.isEmpty())
        fFolderWatch->removePaths(gone);
    if (!wanted.isEmpty())
        fFolderWatch->addPaths(QStringList(wanted.cbegin(), wanted.cend()));
}

void TMainForm::saverFolderChanged()
{
    // A command may be walking the file list's items: it is read again once
    // the command has ended.
    if (commandRunning()) {
        fFolderChangePending = true;
        return;
    }
    // A card shown in the folder's place is not followed; the folder is read
    // again when it is shown.
    if (fSecond)
        return;
    GetFilePIC();
}
