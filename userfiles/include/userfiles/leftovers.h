// Temporary files an earlier run could not remove (it was killed outright,
// or the power went): swept at start from our own temporary folders.
#pragma once

#include <string>

namespace userfiles {

struct SweepRule {
    // Only names this starts with (empty: any of our temporary names).
    std::string prefix;
    // A leftover whose maker still runs is kept unless it is this old.
    long maxAgeSeconds = 24 * 60 * 60;
};

// Removes from folder the regular files and empty folders that carry our
// temporary name pattern, belong to the effective user, and whose maker is
// gone (or that are older than the rule allows). Never follows a link.
// Returns how many were removed.
int sweepLeftovers(const std::string& folder, const SweepRule& rule = {});

// The folder for our own temporary files: $TMPDIR, else /tmp.
std::string tempFolder();

} // namespace userfiles
