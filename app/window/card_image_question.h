#pragma once

// The emulated adapter makes a blank card at an image path that holds no
// file. A mistyped --card must not become a new card unasked, so the program
// asks before it lets the adapter open such a path.

#include <QString>

#include <optional>

// The image path of an "image:PATH" device that names no existing file;
// nothing for any other device, or when the file is there.
std::optional<QString> missingCardImage(const QString& device);

// Asks whether to make the blank card when the device set for the library
// (MCBRIDGE_DEVICE) is a missing image. False only when the user said No,
// after telling the user that nothing was made.
bool confirmMissingCardImage(const QString& title);
