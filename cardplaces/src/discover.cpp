#include "cardplaces/discover.h"

#include "cardplaces/place_table.h"
#include "cardplaces/sd_cards.h"
#include "mcbridge.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace cardplaces {

namespace {

namespace fs = std::filesystem;

std::string envOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

std::string baseOf(const Environment& env, Base base)
{
    switch (base) {
    case Base::XdgData: return env.xdgData;
    case Base::XdgConfig: return env.xdgConfig;
    case Base::Home: break;
    }
    return env.home;
}

// The [Core] keys of the emulator's configuration file.
std::map<std::string, std::string> coreSettings(const std::string& file)
{
    std::map<std::string, std::string> out;
    std::ifstream in(file);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("[")) {
            section = line;
            continue;
        }
        const auto eq = line.find('=');
        if (section != "[Core]" || eq == std::string::npos)
            continue;
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(" \t"));
            s.erase(s.find_last_not_of(" \t") + 1);
            return s;
        };
        out[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
    return out;
}

void describe(FoundCard& card)
{
    mcb_card* handle = nullptr;
    int rc = mcb_open(card.device.c_str(), &handle);
    mcb_card_info info{};
    info.size = sizeof info;
    if (rc == MCB_OK)
        rc = mcb_describe_card(handle, &info);
    if (rc == MCB_OK) {
        card.megabits = info.megabits;
        card.saves = int(info.saves);
    } else {
        card.problem = mcb_strerror(rc);
    }
    mcb_close(handle);
}

struct Collector {
    std::vector<FoundCard> cards;
    std::set<std::string> seen; // by the file or folder's own path

    void add(CardKind kind, const std::string& scheme, const fs::path& path, Where where)
    {
        std::error_code ec;
        const fs::path real = fs::canonical(path, ec);
        if (ec || !seen.insert(real.string()).second)
            return;
        where.path = path.string();
        cards.push_back({kind, scheme + path.string(), std::move(where)});
    }
};

void emulatorCards(const Environment& env, Collector& c)
{
    for (const EmulatorRow& row : emulatorRows()) {
        const fs::path gc = fs::path(baseOf(env, row.dataBase)) / row.gcFolder;
        const auto settings = coreSettings(baseOf(env, row.configBase) + "/" + row.configFile);
        for (const char slot : {'A', 'B'}) {
            const auto at = [&](const std::string& region, bool configured) {
                Where w{.kind = Where::Kind::Emulator, .install = row.install, .slot = slot};
                w.region = region;
                w.configured = configured;
                return w;
            };
            std::error_code ec;
            // Paths the configuration sets come first: they are the ones in use.
            const auto image = settings.find(std::string("Memcard") + slot + "Path");
            if (image != settings.end() && !image->second.empty()) {
                const fs::path p = image->second;
                if (fs::is_regular_file(p, ec))
                    c.add(CardKind::EmulatorImage, "image:", p, at("", true));
                for (const char* region : emulatorRegions()) {
                    fs::path r = p;
                    r.replace_extension(std::string(".") + region + p.extension().string());
                    if (fs::is_regular_file(r, ec))
                        c.add(CardKind::EmulatorImage, "image:", r, at(region, true));
                }
            }
            const auto folder = settings.find(std::string("GCIFolder") + slot + "Path");
            if (folder != settings.end() && fs::is_directory(folder->second, ec))
                c.add(CardKind::EmulatorFolder, "folder:", folder->second, at("", true));
            for (const char* region : emulatorRegions()) {
                const fs::path file =
                    gc / (std::string("MemoryCard") + slot + "." + region + ".raw");
                if (fs::is_regular_file(file, ec))
                    c.add(CardKind::EmulatorImage, "image:", file, at(region, false));
                const fs::path dir = gc / region / (std::string("Card ") + slot);
                if (fs::is_directory(dir, ec))
                    c.add(CardKind::EmulatorFolder, "folder:", dir, at(region, false));
            }
        }
    }
}

fs::path recentFile(const Environment& env)
{
    return fs::path(env.xdgState) / "cardsuite" / "recent-cards";
}

} // namespace

Environment Environment::fromProcess()
{
    Environment env;
    env.home = envOr("HOME", "/");
    env.xdgData = envOr("XDG_DATA_HOME", env.home + "/.local/share");
    env.xdgConfig = envOr("XDG_CONFIG_HOME", env.home + "/.config");
    env.xdgState = envOr("XDG_STATE_HOME", env.home + "/.local/state");
    const std::string user = envOr("USER", envOr("LOGNAME", ""));
    if (!user.empty())
        env.mediaRoots = {"/media/" + user, "/run/media/" + user};
    env.adapter = envOr("MCBRIDGE_DEVICE", "");
    return env;
}

const char* kindText(CardKind kind)
{
    switch (kind) {
    case CardKind::Adapter: return "adapter";
    case CardKind::EmulatorImage: return "emulator image";
    case CardKind::EmulatorFolder: return "emulator folder";
    case CardKind::PerGame: return "per-game card";
    case CardKind::Recent: return "recent";
    }
    return "";
}

std::string whereText(const Where& w)
{
    switch (w.kind) {
    case Where::Kind::Variable: return "MCBRIDGE_DEVICE";
    case Where::Kind::Node: return "device node";
    case Where::Kind::Emulator: {
        const char* install = w.install == Install::Native    ? "native"
                              : w.install == Install::Flatpak ? "Flatpak"
                                                              : "older";
        std::string text = std::string(install) + ", slot " + w.slot;
        if (!w.region.empty())
            text += ", " + w.region;
        return w.configured ? text + " (configured)" : text;
    }
    case Where::Kind::SdCard:
        return w.sdCard + ": " + w.game + " channel " + std::to_string(w.channel);
    case Where::Kind::Recent: break;
    }
    return "opened lately";
}

std::vector<std::string> sdCardRoots(const Environment& env)
{
    std::vector<std::string> roots;
    std::error_code ec;
    for (const std::string& media : env.mediaRoots)
        for (const auto& mount : fs::directory_iterator(media, ec))
            if (mount.is_directory(ec) && fs::is_directory(mount.path() / "MemoryCards", ec))
                roots.push_back(mount.path().string());
    std::sort(roots.begin(), roots.end());
    return roots;
}

std::vector<std::string> adapterDevices(const std::string& named)
{
    if (named.empty() || named.starts_with("image:") || named.starts_with("folder:"))
        return {};
    std::vector<std::string> out{named};
    if (!named.starts_with("/"))
        return out;
    const fs::path node(named);
    const std::string name = node.filename().string();
    const std::size_t digits = name.find_last_not_of("0123456789") + 1;
    if (digits == name.size() || digits == 0)
        return out;
    const std::string stem = name.substr(0, digits);
    std::vector<std::pair<unsigned long, std::string>> others;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(node.parent_path(), ec)) {
        const std::string other = e.path().filename().string();
        if (other == name || !other.starts_with(stem) || other.size() == stem.size() ||
            other.size() - stem.size() > 6 ||
            other.find_first_not_of("0123456789", stem.size()) != std::string::npos ||
            e.is_directory(ec))
            continue;
        others.emplace_back(std::stoul(other.substr(stem.size())), e.path().string());
    }
    std::sort(others.begin(), others.end());
    for (const auto& [number, path] : others)
        out.push_back(path);
    return out;
}

std::vector<FoundCard> findCards(const Environment& env)
{
    Collector c;
    // The adapters the library can reach, each listed when it answers.
    for (const std::string& device : adapterDevices(env.adapter)) {
        FoundCard adapter{
            CardKind::Adapter, device,
            Where{.kind = device == env.adapter ? Where::Kind::Variable : Where::Kind::Node,
                  .path = device}};
        describe(adapter);
        if (adapter.problem.empty())
            c.cards.push_back(adapter);
    }
    emulatorCards(env, c);
    for (const std::string& root : sdCardRoots(env))
        for (const PerGameCard& card : perGameCards(root))
            c.add(CardKind::PerGame, "image:", card.path,
                  Where{.kind = Where::Kind::SdCard,
                        .sdCard = fs::path(root).filename().string(),
                        .game = card.game + card.maker,
                        .channel = card.channel});
    for (const std::string& device : recentCards(env)) {
        const auto colon = device.find(':');
        std::error_code ec;
        if (colon != std::string::npos && fs::exists(device.substr(colon + 1), ec))
            c.add(CardKind::Recent, device.substr(0, colon + 1), device.substr(colon + 1),
                  Where{.kind = Where::Kind::Recent});
    }
    for (FoundCard& card : c.cards)
        if (card.kind != CardKind::Adapter)
            describe(card);
    return c.cards;
}

std::vector<std::string> recentCards(const Environment& env)
{
    std::vector<std::string> out;
    std::ifstream in(recentFile(env));
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            out.push_back(line);
    return out;
}

void rememberCard(const Environment& env, const std::string& device)
{
    if (!device.starts_with("image:") && !device.starts_with("folder:"))
        return;
    std::vector<std::string> list = recentCards(env);
    std::erase(list, device);
    list.insert(list.begin(), device);
    list.resize(std::min<std::size_t>(list.size(), 10));
    const fs::path file = recentFile(env);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    // A list of conveniences: written beside and renamed, never half.
    const fs::path temp = file.string() + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const std::string& d : list)
            out << d << '\n';
        if (!out.flush())
            return;
    }
    fs::rename(temp, file, ec);
}

} // namespace cardplaces
