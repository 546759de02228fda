#pragma once

// The inserted card's size as the window shows it. The size state is
// process-wide and written only by applyCardSize, after a probe of the card.

#include "mcbridge.h"

#include <QString>

namespace GCLINK {

extern int Max_block; // save blocks on the inserted card
extern int nmem;      // the card's size in 512-byte sectors
extern QString Size;  // "(4M)", "(8M)", "(16M)", "(32M)", "(64M)", "(128M)"

// Fills the state from a size in megabits; 0 leaves it as it was. Any other
// size than 4, 8, 16, 32 or 128 counts as a 64 Mbit card.
bool applyCardSize(int megabits);

} // namespace GCLINK
