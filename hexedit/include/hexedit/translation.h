// The five ways the character field shows bytes and turns typed characters
// into bytes, and the tables behind the Mac and EBCDIC ones.
#pragma once

#include "hexedit/hextypes.h"

#include <QChar>

#include <array>
#include <cstdint>

// Mac Roman bytes 0x80..0xFF to ISO 8859-1 (a permutation of 0x80..0xFF),
// and its inverse.
extern const std::array<uint8_t, 128> ctMacToISO;
extern const std::array<uint8_t, 128> ctISOToMac;
// EBCDIC (cp38) to ISO 8859-1, 0 where no character exists, and its inverse.
extern const std::array<uint8_t, 256> ctEBCDICToISO;
extern const std::array<uint8_t, 256> ctISOToEBCDIC;

// The character shown for a byte. Masking replaces what cannot be shown.
QChar TranslateToDisplay(TTranslationType aType, uint8_t aByte, QChar aMaskChar,
                         bool aMaskWhiteSpaces);

// The byte a typed character enters, or -1 when it enters nothing. Results
// below 32 are refused by the caller.
int TranslateFromChar(TTranslationType aType, QChar aChar);

// Converts ANSI bytes to the translation's bytes (aBuffer and bBuffer may be
// the same block), so that a typed search text matches the content.
void TranslateBufferFromAnsi(TTranslationType TType, const uint8_t* aBuffer, uint8_t* bBuffer,
                             int aCount);

// Maps each byte to the byte of its lower-case character under the
// translation, or to itself; used for searches that ignore letter case.
std::array<uint8_t, 256> CaseFoldTable(TTranslationType aType);
