#include "cardplaces/sd_cards.h"

#include <algorithm>
#include <filesystem>
#include <regex>

namespace cardplaces {

namespace {

namespace fs = std::filesystem;

std::string filled(std::string pattern, const std::string& id, unsigned channel)
{
    const std::pair<std::string, std::string> values[] = {
        {"{game}", id.substr(0, 4)},
        {"{region}", regionName(id.size() > 3 ? id[3] : '?')},
        {"{id}", id},
        {"{n}", std::to_string(channel)},
    };
    for (const auto& [key, value] : values)
        for (auto at = pattern.find(key); at != std::string::npos; at = pattern.find(key))
            pattern.replace(at, key.size(), value);
    return pattern;
}

// A pattern's text as a regular expression, its fields as groups, and
// which field each group is.
struct Matcher {
    std::regex re;
    std::vector<std::string> fields;
};

Matcher matcherFor(const std::string& pattern)
{
    static const std::pair<std::string, std::string> kFields[] = {
        {"{game}", "([A-Z0-9]{4})"},
        {"{region}", "([A-Z]{3})"},
        {"{id}", "([A-Z0-9]{6})"},
        {"{n}", "([1-8])"},
    };
    Matcher m;
    std::string re;
    for (std::size_t i = 0; i < pattern.size();) {
        bool field = false;
        for (const auto& [key, group] : kFields)
            if (pattern.compare(i, key.size(), key) == 0) {
                re += group;
                m.fields.push_back(key);
                i += key.size();
                field = true;
                break;
            }
        if (field)
            continue;
        const char c = pattern[i++];
        if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos)
            re += '\\';
        re += c;
    }
    m.re = std::regex(re);
    return m;
}

// Reads a name against a pattern into card's fields; false when it is not
// the pattern's, or its fields disagree with what was read before.
bool read(const std::string& pattern, const std::string& name, PerGameCard& card)
{
    const Matcher m = matcherFor(pattern);
    std::smatch got;
    if (!std::regex_match(name, got, m.re))
        return false;
    for (std::size_t i = 0; i < m.fields.size(); ++i) {
        const std::string v = got[i + 1];
        const std::string& f = m.fields[i];
        std::string game = card.game, maker = card.maker;
        if (f == "{game}")
            game = v;
        else if (f == "{id}")
            game = v.substr(0, 4), maker = v.substr(4);
        else if (f == "{n}")
            card.channel = unsigned(v[0] - '0');
        else if (f == "{region}" && !card.game.empty() && regionName(card.game[3]) != v)
            return false;
        if ((!card.game.empty() && game != card.game) ||
            (!card.maker.empty() && maker != card.maker))
            return false;
        card.game = game;
        card.maker = maker;
    }
    return true;
}

} // namespace

std::string perGamePath(const std::string& root, const SdLayoutRow& layout, const std::string& id,
                        unsigned channel)
{
    return root + "/" + filled(layout.folder, id, channel) + "/" + filled(layout.file, id, channel);
}

std::vector<PerGameCard> perGameCards(const std::string& root)
{
    std::vector<PerGameCard> cards;
    for (const SdLayoutRow& layout : sdLayoutRows())
        for (const std::string folder :
             {std::string(layout.folder), std::string(layout.alsoRead)}) {
            if (folder.empty())
                continue;
            // The folder pattern's last part names a game's folder; what
            // comes before it is a fixed path.
            const auto slash = folder.rfind('/');
            const fs::path parent = fs::path(root) / folder.substr(0, slash);
            std::error_code ec;
            for (const auto& dir : fs::directory_iterator(parent, ec)) {
                PerGameCard folderCard;
                folderCard.layout = &layout;
                if (!dir.is_directory(ec) ||
                    !read(folder.substr(slash + 1), dir.path().filename().string(), folderCard))
                    continue;
                for (const auto& file : fs::directory_iterator(dir.path(), ec)) {
                    PerGameCard card = folderCard;
                    if (!file.is_regular_file(ec) ||
                        !read(layout.file, file.path().filename().string(), card))
                        continue;
                    card.path = file.path().string();
                    cards.push_back(card);
                }
            }
        }
    std::sort(cards.begin(), cards.end(),
              [](const PerGameCard& a, const PerGameCard& b) { return a.path < b.path; });
    cards.erase(
        std::unique(cards.begin(), cards.end(),
                    [](const PerGameCard& a, const PerGameCard& b) { return a.path == b.path; }),
        cards.end());
    return cards;
}

} // namespace cardplaces
