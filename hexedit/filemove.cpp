#include "filemove.h"

#include <QSaveFile>

#include <algorithm>
#include <vector>

bool MoveFileBytes(QIODevice& aFile, int64_t aFrom, int64_t aTo, int64_t aCount)
{
    if (aCount <= 0 || aFrom == aTo)
        return true;
    std::vector<char> chunk(std::size_t(std::min(aCount, cMoveChunk)));
    // Moving up, the last chunk goes first so that no byte is overwritten
    // before it has been read; moving down, the first.
    const bool up = aTo > aFrom;
    int64_t done = 0;
    while (done < aCount) {
        const int64_t n = std::min(cMoveChunk, aCount - done);
        const int64_t offset = up ? aCount - done - n : done;
        if (!aFile.seek(aFrom + offset) || aFile.read(chunk.data(), n) != n)
            return false;
        if (!aFile.seek(aTo + offset) || aFile.write(chunk.data(), n) != n)
            return false;
        done += n;
    }
    return true;
}

bool CopyDeviceBytes(QIODevice& aSource, QIODevice& aTarget)
{
    std::vector<char> chunk(static_cast<std::size_t>(cMoveChunk));
    for (;;) {
        const int64_t n = aSource.read(chunk.data(), cMoveChunk);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (aTarget.write(chunk.data(), n) != n)
            return false;
    }
}

bool ReplaceFileWith(QIODevice& aSource, const QString& aTarget)
{
    QSaveFile out(aTarget);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!CopyDeviceBytes(aSource, out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}
