#include "cards/gclink.h"

namespace GCLINK {

int Max_block = 0;
int nmem = 0;
QString Size;

bool applyCardSize(int megabits)
{
    if (megabits == 0)
        return false;
    switch (megabits) {
    case 4:
    case 8:
    case 16:
    case 32:
    case 128: break;
    default: megabits = 64; break;
    }
    // The card's geometry comes from the library's header alone.
    Max_block = int(MCB_SAVE_BLOCKS(megabits));
    nmem = int(MCB_CARD_BYTES(megabits) / MCB_SECTOR_SIZE);
    Size = QStringLiteral("(%1M)").arg(megabits);
    return true;
}

} // namespace GCLINK
