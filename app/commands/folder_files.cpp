#include "commands/folder_files.h"

#include "commands/save_names.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <fstream>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

QString shownFileName(const QByteArray& name)
{
    if (isUtf8(name))
        return QString::fromUtf8(name);
    // "MM-GGGR-name": the game code is the four letters after the maker's
    // two, then the maker again, as the card stores it.
    QByteArray code;
    if (name.size() > 8 && name[2] == '-' && name[7] == '-')
        code = name.mid(3, 4) + name.left(2);
    return decodeSaveName(name, code);
}

QString fileKey(const QByteArray& path)
{
    if (isUtf8(path))
        return QString::fromUtf8(path);
    // No valid UTF-8 string starts with a NUL: this key is no other's.
    return QLatin1Char('\0') + QString::fromLatin1(path.toHex());
}

namespace {

std::optional<FolderFile> described(const QByteArray& path, const QByteArray& name)
{
    struct stat st {};
    // A link counts as what it names; a dangling one is listed by its own
    // entry and then fails to open, as any unreadable file does.
    if (stat(path.constData(), &st) != 0 && lstat(path.constData(), &st) != 0)
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return std::nullopt;
    return FolderFile{path, shownFileName(name), qint64(st.st_size),
                      QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 +
                                                     st.st_mtim.tv_nsec / 1000000)};
}

} // namespace

std::optional<FolderFile> fileAt(const QByteArray& path)
{
    return described(path, path.mid(path.lastIndexOf('/') + 1));
}

QList<FolderFile> filesInFolder(const QString& folder)
{
    QList<FolderFile> files;
    const QByteArray dirPath = QFile::encodeName(folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(dirPath.constData()), closedir);
    if (!dir)
        return files;
    while (const dirent* e = readdir(dir.get())) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        if (std::optional<FolderFile> file = described(dirPath + '/' + name, name))
            files.append(*file);
    }
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.path < b.path;
    });
    return files;
}

std::optional<QByteArray> readLocalFile(const QByteArray& path, qint64 limit)
{
    std::ifstream in(path.constData(), std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    const qint64 size = qMin<qint64>(qint64(in.tellg()), limit);
    in.seekg(0);
    if (!in || size < 0)
        return std::nullopt;
    QByteArray bytes(size, '\0');
    in.read(bytes.data(), size);
    bytes.truncate(qsizetype(in.gcount()));
    return bytes;
}
