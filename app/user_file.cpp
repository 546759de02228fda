#include "user_file.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

bool syncFolder(const QByteArray& path)
{
    const int fd = ::open(folderOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The bytes in a hidden file beside path, flushed to the disk; its name, or
// empty when it could not be written whole (nothing is left behind then).
QByteArray writeBeside(const QByteArray& path, const QByteArray& bytes)
{
    const qsizetype slash = path.lastIndexOf('/');
    QByteArray temp = path.left(slash + 1) + '.' + path.mid(slash + 1) + ".cardsuite-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(temp.constData());
        return {};
    }
    return temp;
}

} // namespace

bool writeNewUserFile(const QByteArray& local, const QByteArray& bytes)
{
    const QByteArray temp = writeBeside(local, bytes);
    if (temp.isEmpty())
        return false;
    // A link gives the file its name only when no file has it: the user's
    // file is never replaced, and the copy appears whole or not at all.
    const bool linked = ::link(temp.constData(), local.constData()) == 0;
    ::unlink(temp.constData());
    return linked && syncFolder(local);
}

bool writeNewUserFile(const QString& path, const QByteArray& bytes)
{
    return writeNewUserFile(QFile::encodeName(path), bytes);
}

bool replaceUserFile(const QString& path, const QByteArray& bytes)
{
    QByteArray local = QFile::encodeName(path);
    // Through a link to the file it names: replacing the link itself would
    // leave the user's file as it was behind a plain file of the same name.
    const QString target =
        QFileInfo(path).isSymLink() ? QFileInfo(path).canonicalFilePath() : QString();
    if (!target.isEmpty())
        local = QFile::encodeName(target);
    const QByteArray temp = writeBeside(local, bytes);
    if (temp.isEmpty())
        return false;
    if (::rename(temp.constData(), local.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    return syncFolder(local);
}

OutputKind outputKind(const QString& path)
{
    struct stat st {};
    const QByteArray local = QFile::encodeName(path);
    if (::lstat(local.constData(), &st) != 0)
        return OutputKind::Missing;
    if (S_ISLNK(st.st_mode))
        return OutputKind::Link;
    // By the mode bits, not access(2): the program may run as root, whom
    // access lets write anything, yet the user still protected the file.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? OutputKind::Protected
                                                             : OutputKind::Plain;
}

bool mayReplaceOutput(const QString& path, const QString& title)
{
    switch (outputKind(path)) {
    case OutputKind::Missing: return true;
    case OutputKind::Plain: return skin::dialogs().askYesNo(i18n::overwriteQuestion(path), title);
    case OutputKind::Protected: return skin::dialogs().askYesNo(say_ask_protected.arg(path), title);
    case OutputKind::Link:
        return skin::dialogs().askYesNo(say_ask_symlink.arg(path, QFileInfo(path).symLinkTarget()),
                                        title);
    }
    return false;
}
