// cardtool's choice of a save file's form by its name, and the one summary a
// batch of copies ends with.
#pragma once

#include "mcbridge/save_container.h"

#include <optional>
#include <string>
#include <vector>

namespace cardtool {

// The form a written save file takes from its name: ".gcs" and ".sav" (in
// any letter case) are those containers, ".gci" or no extension at all the
// plain form. Any other extension is refused, with the reason in error, so
// that a mistyped name never silently gets a form the user did not ask for.
std::optional<mcb::SaveFormat> formatForName(const std::string& path, std::string& error);

// Prints "<done> of <total> saves <verb>" on standard output and, when any
// failed, each failure on standard error after it. The exit status: 0 when
// none failed, 1 otherwise.
int batchSummary(std::size_t total, const std::string& verb,
                 const std::vector<std::string>& failures);

} // namespace cardtool
