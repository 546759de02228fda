#pragma once

// The card library keeps why its last call failed; the program's failure
// notices carry that reason in the user's language after what failed.

#include <QString>

#include <cstdint>

// The reason an mcb_error code stands for, in the user's language; empty for
// success.
QString reasonText(int32_t error);

// what + " [" + the reason + "]"; what alone when there is no reason.
QString withReason(const QString& what, int32_t error);
