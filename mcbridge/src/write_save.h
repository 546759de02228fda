// The one way a save goes onto the card, and the one way one is removed,
// whichever export asks: the twins and the room are judged, the old save
// stays whole until the new one is written and read back, and after a
// failure part-way the card is read again to say what it holds now.
#pragma once

#include "mcbridge.h"
#include "save_file.h"

#include <cstdint>

namespace mcb {

struct WriteRequest {
    int32_t policy = MCB_WRITE_REPLACE_NAME; // an mcb_write_policy
    int slot = -1;                           // for MCB_WRITE_REPLACE_SLOT
    bool noResign = false;
    bool deleteFirst = false;
    // Read the card again after a failure part-way to tell what it holds.
    // The original exports leave that to their caller, as they always did.
    bool judge = true;
};

// What mcb_write_outcome carries.
struct WriteOutcome {
    int32_t result = MCB_REFUSED;
    int32_t error = MCB_SUCCESS; // an mcb_error
    int slot = -1;
    int otherSlot = -1;
    unsigned needed = 0;
    unsigned free = 0;
    unsigned replaced = 0;
    int32_t holds = MCB_HOLDS_UNKNOWN;
    bool resigned = false;
    bool deletedFirst = false;
};

// Needs the card's directory and map loaded. 1 when written, else 0 with
// the reason recorded; out says the rest either way.
int32_t writeSave(const PlainSave& save, const WriteRequest& request, WriteOutcome& out);

// Removes the save in slot of the loaded directory. After a failure
// part-way, out (when given) says whether the save is still there.
int32_t deleteSave(unsigned slot, WriteOutcome* out);

} // namespace mcb
