#include "hexedit/hexconvert.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

uint8_t Swapped(uint8_t b) { return uint8_t((b << 4) | (b >> 4)); }

constexpr char cHexDigits[] = "0123456789ABCDEF";

} // namespace

uint8_t* ConvertHexToBin(const char* aFrom, uint8_t* aTo, int aCount, bool SwapNibbles,
                         int& BytesTranslated)
{
    BytesTranslated = 0;
    bool high = true;
    uint8_t byte = 0;
    for (int i = 0; i < aCount; ++i) {
        const int v = HexValue(aFrom[i]);
        if (v < 0)
            continue;
        if (high) {
            byte = uint8_t(v << 4);
        } else {
            byte = uint8_t(byte + v);
            aTo[BytesTranslated++] = SwapNibbles ? Swapped(byte) : byte;
        }
        high = !high;
    }
    return aTo;
}

char* ConvertBinToHex(const uint8_t* aFrom, char* aTo, int aCount, bool SwapNibbles)
{
    for (int i = 0; i < aCount; ++i) {
        const uint8_t b = aFrom[i];
        const char hi = cHexDigits[b >> 4];
        const char lo = cHexDigits[b & 0x0F];
        aTo[2 * i] = SwapNibbles ? lo : hi;
        aTo[2 * i + 1] = SwapNibbles ? hi : lo;
    }
    aTo[2 * std::size_t(aCount > 0 ? aCount : 0)] = '\0';
    return aTo;
}

QString IntToOctal(int64_t aValue) { return QStringLiteral("0") + QString::number(aValue, 8); }

QString FillLeft(QChar FillChar, const QString& IntStr, int MaxLen)
{
    if (IntStr.size() >= MaxLen)
        return IntStr;
    return QString(MaxLen - IntStr.size(), FillChar) + IntStr;
}
