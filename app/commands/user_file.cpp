#include "commands/user_file.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"
#include "userfiles/durable_file.h"
#include "userfiles/leftovers.h"
#include "userfiles/temp_names.h"
#include "userfiles/temp_registry.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

namespace {

bool exists(const QByteArray& local)
{
    struct stat st {};
    return ::lstat(local.constData(), &st) == 0;
}

} // namespace

bool writeNewUserFile(const QByteArray& local, const QByteArray& bytes)
{
    // The names the program picks for new files are free when picked; one
    // that another program took since is still not replaced.
    return bool(userfiles::writeFile(local.toStdString(), bytes.constData(), size_t(bytes.size()),
                                     {.replace = false}));
}

bool writeNewUserFile(const QString& path, const QByteArray& bytes)
{
    return writeNewUserFile(QFile::encodeName(path), bytes);
}

bool replaceUserFile(const QString& path, const QByteArray& bytes, bool force)
{
    userfiles::WriteOptions options;
    options.force = force;
    return bool(userfiles::writeFile(QFile::encodeName(path).toStdString(), bytes.constData(),
                                     size_t(bytes.size()), options));
}

OutputKind outputKind(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    switch (userfiles::checkOutput(local.toStdString(), false)) {
    case userfiles::Refusal::Protected: return OutputKind::Protected;
    case userfiles::Refusal::SymbolicLink: return OutputKind::Link;
    case userfiles::Refusal::NotAFile: return OutputKind::NotAFile;
    default: break;
    }
    return exists(local) ? OutputKind::Plain : OutputKind::Missing;
}

bool mayReplaceOutput(const QString& path, const QString& title, bool* force)
{
    return mayReplaceOutput(skin::dialogs(), path, title, force);
}

bool mayReplaceOutput(skin::Dialogs& dialogs, const QString& path, const QString& title,
                      bool* force)
{
    if (force)
        *force = false;
    bool asked = false;
    switch (outputKind(path)) {
    case OutputKind::Missing: return true;
    case OutputKind::NotAFile: return false;
    case OutputKind::Plain: return dialogs.askYesNo(i18n::overwriteQuestion(path), title);
    case OutputKind::Protected: asked = dialogs.askYesNo(say_ask_protected.arg(path), title); break;
    case OutputKind::Link:
        asked = dialogs.askYesNo(say_ask_symlink.arg(path, QFileInfo(path).symLinkTarget()), title);
        break;
    }
    if (force)
        *force = asked;
    return asked;
}

void cleanUpAfterEarlierRuns(const QStringList& folders)
{
    userfiles::removeTempsOnSignals();
    userfiles::sweepLeftovers(userfiles::tempFolder());
    for (const QString& folder : folders)
        userfiles::sweepLeftovers(QFile::encodeName(folder).toStdString());
}

QString workFolderPattern()
{
    return QFile::decodeName(
        QByteArray::fromStdString(userfiles::tempPatternIn(userfiles::tempFolder(), "work")));
}
