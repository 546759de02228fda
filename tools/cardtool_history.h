// cardtool's history and undo: the changes the journal keeps for the card in
// use, and putting the card back as it was before one of them.
#pragma once

#include <string>
#include <vector>

namespace cardtool {

// device: the --device value, "" for MCBRIDGE_DEVICE. Each returns the exit
// status (0 done, 1 failed, 2 a wrong command line).
int history(const std::string& device);
int undo(const std::string& device, const std::vector<std::string>& args);

} // namespace cardtool
