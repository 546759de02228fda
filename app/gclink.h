#pragma once

// Probing the adapter and sizing the inserted card. The size state is
// process-wide and written only by InitConnectCard.

#include "mcbridge.h"

#include <QString>

namespace GCLINK {

// Save blocks a card of each size offers.
inline constexpr int Max_BlockonCard4 = 59;
inline constexpr int Max_BlockonCard8 = 123;
inline constexpr int Max_BlockonCard16 = 251;
inline constexpr int Max_BlockonCard32 = 507;
inline constexpr int Max_BlockonCard64 = 1019;
inline constexpr int Max_BlockonCard128 = 2043;

extern int Max_block; // save blocks on the inserted card
extern int nmem;      // the card's size in 512-byte sectors
extern QString Size;  // "(4M)", "(8M)", "(16M)", "(32M)", "(64M)", "(128M)"

// Fills the state from a size in megabits; 0 leaves it as it was. Any other
// size than 4, 8, 16, 32 or 128 counts as a 64 Mbit card.
bool applyCardSize(int megabits);

// Opens the adapter, asks the card's size, closes again. True when a card
// answered. window receives the library's progress while it works.
bool InitConnectCard(mcb_receiver* window);

} // namespace GCLINK
