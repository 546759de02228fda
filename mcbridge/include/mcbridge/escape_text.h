// Card texts made safe to show: a name or comment is the card's data, and a
// terminal or a window must not take any of it as a command.
#pragma once

#include <string>
#include <string_view>

namespace mcb {

// utf8 with every C0 control, DEL and byte that is no part of valid UTF-8
// written as \xNN, every C1 control (U+0080..U+009F) as \u00NN; all else,
// the backslash included, unchanged.
std::string escapeText(std::string_view utf8);

} // namespace mcb
