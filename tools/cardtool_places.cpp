#include "cardtool_places.h"

#include "cli_input.h"

#include "cardplaces/discover.h"
#include "cardplaces/per_game.h"

#include "mcbridge.h"
#include "mcbridge/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace cardtool {

namespace {

int usage(const std::string& why)
{
    std::fprintf(stderr, "cardtool: %s (see 'cardtool help')\n", why.c_str());
    return 2;
}

// A device string as given, or a path taken as the card it holds.
std::string deviceFor(const std::string& arg)
{
    if (arg.find(':') != std::string::npos || arg.starts_with("/dev/"))
        return arg;
    std::error_code ec;
    return (std::filesystem::is_directory(arg, ec) ? "folder:" : "image:") + arg;
}

std::string shown(const cardplaces::GatherSave& s)
{
    const auto bytes = [](const std::string& b) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    };
    return s.code + " " +
           cli::escapeControls(mcb::textToUtf8(bytes(s.name), mcb::encodingForCode(bytes(s.code))));
}

} // namespace

int listCards()
{
    const auto cards = cardplaces::findCards(cardplaces::Environment::fromProcess());
    if (cards.empty()) {
        std::printf("No cards found.\n");
        return 0;
    }
    std::printf("%-16s  %8s  %5s  %s\n", "Kind", "Size", "Saves", "Device");
    for (const auto& c : cards) {
        const std::string size = c.megabits ? std::to_string(c.megabits) + " Mbit" : "?";
        const std::string saves = c.saves >= 0 ? std::to_string(c.saves) : "?";
        std::printf("%-16s  %8s  %5s  %s\n", cardplaces::kindText(c.kind), size.c_str(),
                    saves.c_str(), c.device.c_str());
        std::printf("%-16s  %8s  %5s    %s%s%s\n", "", "", "",
                    cardplaces::whereText(c.where).c_str(), c.problem.empty() ? "" : ": ",
                    c.problem.c_str());
    }
    return 0;
}

int splitCard(const std::vector<std::string>& args)
{
    std::vector<std::string> plain;
    std::string layoutName;
    unsigned megabits = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--layout" && i + 1 < args.size())
            layoutName = args[++i];
        else if (args[i] == "--size" && i + 1 < args.size())
            megabits = unsigned(std::atoi(args[++i].c_str()));
        else
            plain.push_back(args[i]);
    }
    const cardplaces::SdLayoutRow* layout = cardplaces::sdLayout(layoutName);
    if (plain.size() != 2 || !layout)
        return usage("split takes CARD ROOT --layout region-folders|id-folders [--size MBIT]");
    if (megabits && MCB_SAVE_BLOCKS(megabits) == 0)
        return usage("--size takes 4, 8, 16, 32, 64 or 128");
    const auto summary = cardplaces::splitCard(deviceFor(plain[0]), plain[1], *layout, megabits);
    if (!summary.problem.empty()) {
        std::fprintf(stderr, "cardtool: %s\n", summary.problem.c_str());
        return 1;
    }
    int status = 0;
    unsigned made = 0;
    for (const auto& c : summary.cards) {
        if (c.problem.empty()) {
            ++made;
            std::printf("%s: %u save%s to %s (%u Mbit%s)\n", c.id.c_str(), c.saves,
                        c.saves == 1 ? "" : "s", c.path.c_str(), c.megabits,
                        c.japanese ? ", Japanese" : "");
        } else {
            status = 1;
            std::printf("%s: not split: %s\n", c.id.c_str(), c.problem.c_str());
        }
    }
    std::printf("Made %u per-game card%s of %zu game%s\n", made, made == 1 ? "" : "s",
                summary.cards.size(), summary.cards.size() == 1 ? "" : "s");
    return status;
}

int gatherCards(const std::vector<std::string>& args)
{
    if (args.size() != 3 || args[1] != "--to")
        return usage("gather takes ROOT --to DEVICE");
    const auto summary = cardplaces::gatherCards(args[0], deviceFor(args[2]));
    for (const auto& s : summary.saves)
        if (!s.problem.empty())
            std::printf("%s (%s): %s\n", shown(s).c_str(), s.from.c_str(), s.problem.c_str());
        else if (s.resigned)
            std::printf("%s (%s): re-signed for this card\n", shown(s).c_str(), s.from.c_str());
    if (!summary.problem.empty()) {
        std::fprintf(stderr, "cardtool: nothing written: %s\n", summary.problem.c_str());
        return 1;
    }
    std::printf("Gathered %u of %zu saves\n", summary.written(), summary.saves.size());
    return summary.written() == summary.saves.size() ? 0 : 1;
}

} // namespace cardtool
