// Conversions between bytes and hex text, and the number texts of the
// offset column.
#pragma once

#include <QString>

#include <cstdint>

// Reads hex digits from aFrom (aCount characters), skipping everything else,
// and writes one byte per digit pair to aTo; a last unpaired digit is dropped.
// aTo may be aFrom: the output never overtakes the input.
uint8_t* ConvertHexToBin(const char* aFrom, uint8_t* aTo, int aCount, bool SwapNibbles,
                         int& BytesTranslated);

// Two upper-case digits per byte, closed with a NUL; aTo holds 2 * aCount + 1.
char* ConvertBinToHex(const uint8_t* aFrom, char* aTo, int aCount, bool SwapNibbles);

// The octal digits of aValue preceded by "0".
QString IntToOctal(int64_t aValue);

// IntStr with FillChar in front until it is MaxLen long; never shortens.
QString FillLeft(QChar FillChar, const QString& IntStr, int MaxLen);
