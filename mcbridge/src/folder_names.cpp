#include "mcbridge/folder_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string_view>

namespace mcb {

namespace {

constexpr std::string_view kRefused = "\"*/:<>?\\|";

bool mustEscape(uint8_t c)
{
    return c < 0x20 || c == 0x7F || kRefused.find(char(c)) != kRefused.npos;
}

void appendEscape(std::string& out, uint8_t c)
{
    constexpr char kHex[] = "0123456789abcdef";
    out += "__";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
    out += "__";
}

std::string escaped(std::string_view raw)
{
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = uint8_t(raw[i]);
        if (raw.substr(i, 2) == "__") {
            appendEscape(out, '_');
            appendEscape(out, '_');
            ++i;
        } else if (mustEscape(c)) {
            appendEscape(out, c);
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string folded(const std::string& name)
{
    std::string out = name;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

} // namespace

std::string folderNameFor(std::span<const uint8_t, kEntrySize> entry, SaveFormat format)
{
    const auto* p = reinterpret_cast<const char*>(entry.data());
    const std::string_view game(p + kEntryCode, 4);
    const std::string_view maker(p + kEntryCode + 4, 2);
    const std::string_view name(p + kEntryName, strnlen(p + kEntryName, kEntryNameSize));
    std::string joined;
    joined.append(maker).append("-").append(game).append("-").append(name);
    return escaped(joined) + formatExtension(format);
}

std::vector<std::string> folderNamesFor(const std::vector<std::array<uint8_t, kEntrySize>>& entries,
                                        SaveFormat format, const std::vector<std::string>& inFolder)
{
    const std::string extension = formatExtension(format);
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const std::string& n : inFolder)
        taken.insert(folded(n));
    for (const auto& entry : entries) {
        const std::string first = folderNameFor(entry, format);
        const std::string stem = first.substr(0, first.size() - extension.size());
        std::string name = first;
        for (unsigned n = 2; taken.count(folded(name)) != 0; ++n)
            name = stem + "-" + std::to_string(n) + extension;
        taken.insert(folded(name));
        names.push_back(name);
    }
    return names;
}

} // namespace mcb
