#pragma once

// What the backup and restore commands share: the image file dialog.

#include "skin/dialogs.h"

#include <QString>

// A .raw image holds the same bytes as a .gcp; the filter chosen in the
// backup dialog decides which name a new file gets.
skin::FileDialogSpec imageDialog(const QString& folder, const QString& suffix,
                                 const QString& fileName = QString());
