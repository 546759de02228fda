// The names of our temporary files. Each carries the id of the process that
// made it, so that a later run can tell a leftover of a dead process from a
// file another run is writing right now.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace userfiles {

// The mkstemp pattern for a temporary file beside target: hidden, named
// after it, ".NAME.cardsuite-PID-XXXXXX".
std::string tempPatternBeside(const std::string& target);

// The mkstemp/mkdtemp pattern for an item in a temporary folder:
// "PURPOSE.cardsuite-PID-XXXXXX".
std::string tempPatternIn(const std::string& folder, const std::string& purpose);

// When name (no folder) is one of ours, the id of the process that made it.
bool isTempName(std::string_view name, pid_t* maker = nullptr);

} // namespace userfiles
