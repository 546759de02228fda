#include "mcbridge/escape_text.h"

#include <cstdint>
#include <cstdio>

namespace mcb {

namespace {

// The length of the well-formed UTF-8 sequence at text[i] (overlong forms,
// surrogates and code points past U+10FFFF are not), 0 when there is none.
std::size_t sequenceAt(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    std::size_t length = 0;
    uint8_t low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::string escapeText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    char hex[8];
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<uint8_t>(utf8[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
            ++i;
            continue;
        }
        const std::size_t length = c < 0x80 ? 0 : sequenceAt(utf8, i);
        if (length == 0) {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
            ++i;
        } else if (c == 0xC2 && static_cast<uint8_t>(utf8[i + 1]) <= 0x9F) {
            // A C1 control is a character, not a stray byte: shown as one.
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<uint8_t>(utf8[i + 1]));
            out += hex;
            i += 2;
        } else {
            out.append(utf8.substr(i, length));
            i += length;
        }
    }
    return out;
}

} // namespace mcb
