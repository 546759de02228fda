// Bytes in and out of files for the hex tests; Qt's core only, so the byte
// store's test program shares them with the control's.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const QString& aPath);
void WriteAll(const QString& aPath, const Bytes& aBytes);
// aSize bytes counting up from aFrom and wrapping.
Bytes Counting(int aSize, int aFrom = 0);
