#pragma once

// Region change: one save file of the save folder marked for another
// console region by its game code's fourth letter, in a dialog of its own
// that asks which region; a copy of the file as it was is kept first.

#include "commands/card_command.h"

#include <functional>
#include <optional>

// The region dialog, a window of its own, as the command reaches it: shown
// for the save file at path until the user closes it.
using RegionDialog = std::function<void(const QString& path)>;

class RegionCommand : public CardCommand {
public:
    // files: the save files chosen (one is needed); secondCard: a card is
    // shown where the files would be, whose saves are no files to rewrite.
    RegionCommand(CommandHost& host, CardSession& session, QStringList files, bool secondCard,
                  QString folder, RegionDialog dialog);
    void run() override;

private:
    QStringList fFiles;
    bool fSecondCard;
    QString fFolder;
    RegionDialog fDialog;
};

// The region a file is marked for: its game code's fourth letter.
enum class Region : char { Pal = 'P', Usa = 'E', Jap = 'J' };

// Rewrites the save file at path (shown to the user as shown) for region
// (none: as it is), after its copy path + ".BAK" is written.
struct RegionOutcome {
    bool backedUp = false; // the copy was written, the file rewritten or tried
    QString notice;        // what was done, or why not; empty when nothing to say
};
RegionOutcome changeRegion(const QString& path, const QString& shown, std::optional<Region> region);
