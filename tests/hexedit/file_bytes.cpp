#include "file_bytes.h"

#include <QFile>

#include <gtest/gtest.h>

Bytes ReadAll(const QString& aPath)
{
    QFile f(aPath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray a = f.readAll();
    return Bytes(a.begin(), a.end());
}

void WriteAll(const QString& aPath, const Bytes& aBytes)
{
    QFile f(aPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(reinterpret_cast<const char*>(aBytes.data()), qint64(aBytes.size())),
              qint64(aBytes.size()));
}

Bytes Counting(int aSize, int aFrom)
{
    Bytes b(static_cast<std::size_t>(aSize), 0);
    for (int i = 0; i < aSize; ++i)
        b[std::size_t(i)] = uint8_t(aFrom + i);
    return b;
}
