// The two fixed 8-bit code pages the control works with: ANSI is
// Windows-1252, OEM is code page 437. Characters are Unicode everywhere
// else, so these convert between a byte of either page and a character.
#pragma once

#include <QChar>

#include <cstdint>

// The character of an ANSI byte. The five codes 1252 leaves unassigned
// stand for the control characters of the same value.
QChar AnsiToChar(uint8_t aByte);
// The ANSI byte of a character, or -1 when 1252 has none.
int CharToAnsi(QChar aChar);

// The character of an OEM byte (OEM to ANSI).
QChar OEMChar(uint8_t aByte);
// The OEM byte of a character, or -1 when code page 437 has none (ANSI to OEM).
int CharOEM(QChar aChar);
