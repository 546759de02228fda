#pragma once

// Save names as the card stores them (bytes in the game's encoding) and as
// the user sees them, and the file names made from them.

#include <QByteArray>
#include <QString>

// Japanese games (the fourth letter of the code is J) name their saves in
// Shift-JIS, the others in Windows-1252. Bytes that are no character come
// out as U+FFFD; the raw bytes stay with the item for the library.
// Control characters come out escaped (see shownText): a name is shown.
QString decodeSaveName(const QByteArray& raw, const QByteArray& code);

// A card's text (UTF-8) as a window may show it: control characters and
// bytes that are no UTF-8 written out as the library's escapes ("\x1B"),
// so that no byte from a card acts on the window instead of being read.
QString shownText(const QByteArray& utf8);
// A game or maker code's bytes, shown the same way.
inline QString shownCode(const QByteArray& raw) { return shownText(raw); }

// The bytes a file name may not keep: NUL " ' * , . / : < > ? \ | and 0x99.
bool isRemovedFromFileNames(unsigned char byte);

// A save's name with those bytes removed. The name is taken up to its first
// NUL (stopAtNul) or over all its bytes with NULs skipped.
QByteArray fileNameBytes(const QByteArray& name, bool stopAtNul);

// A name fit to be a file name: the characters those bytes stand for are
// removed (the NUL, the ASCII ones, and U+2122, byte 0x99 of Windows-1252).
QString withoutRemovedCharacters(const QString& name);
