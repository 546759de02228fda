// cardtool on folder cards (device folder:PATH): a folder that is not there
// is refused rather than made, and the files the card leaves alone are
// listed after its saves.
#pragma once

#include <string>

namespace cardtool {

// Why the folder card a device names cannot be opened; empty when it can, or
// when the device is no folder.
std::string folderProblem(const std::string& device);

// Prints the folder's files that are not among the card's saves, and why.
void printSetAside(const std::string& device);

} // namespace cardtool
