// Texts a save carries (its title and comment) in the card's own encoding,
// turned into UTF-8 with tables of our own, so that nothing depends on the
// converters the machine happens to have.
#pragma once

#include "mcbridge/format.h"

#include <cstdint>
#include <span>
#include <string>

namespace mcb {

// Decodes bytes up to the first NUL (or the end). A Japanese card's texts are
// Shift-JIS; every other card's are Windows-1252. A byte or pair with no
// character becomes U+FFFD, so a damaged comment still shows what it can.
std::string textToUtf8(std::span<const uint8_t> bytes, Encoding encoding);

// A save file carries no card header: its texts are taken as Shift-JIS when
// its game code names the Japanese market (the fourth letter 'J'), else as
// Windows-1252.
Encoding encodingForCode(std::span<const uint8_t> code);

} // namespace mcb
