#include "cardplaces/per_game.h"

#include "cardplaces/sd_cards.h"
#include "mcbridge.h"

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace cardplaces {

namespace {

namespace fs = std::filesystem;

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

Card openCard(const std::string& device, int& rc)
{
    mcb_card* c = nullptr;
    rc = mcb_open(device.c_str(), &c);
    return Card(c);
}

struct Save {
    std::vector<uint8_t> bytes; // a plain .gci
    std::string id() const { return {bytes.begin(), bytes.begin() + MCB_ENTRY_CODE_SIZE}; }
    std::string key() const
    {
        return {bytes.begin(), bytes.begin() + MCB_ENTRY_NAME + MCB_ENTRY_NAME_SIZE};
    }
    unsigned blocks() const { return unsigned(bytes.size() / MCB_BLOCK_SIZE); }
    std::string name() const
    {
        const auto* name = reinterpret_cast<const char*>(bytes.data() + MCB_ENTRY_NAME);
        return {name, strnlen(name, MCB_ENTRY_NAME_SIZE)};
    }
};

// Every save of a card, read whole; an mcb_error code when one could not be.
int readSaves(mcb_card* card, std::vector<Save>& out)
{
    const int loaded = mcb_load(card);
    if (loaded < 0)
        return loaded;
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        uint8_t entry[MCB_ENTRY_SIZE];
        if (mcb_entry(card, slot, entry, sizeof entry) != MCB_OK)
            continue;
        size_t length = 0;
        mcb_read_save(card, slot, MCB_SAVE_GCI, nullptr, 0, &length);
        Save s;
        s.bytes.resize(length);
        const int rc = mcb_read_save(card, slot, MCB_SAVE_GCI, s.bytes.data(), length, &length);
        if (rc < 0)
            return rc;
        out.push_back(std::move(s));
    }
    return MCB_OK;
}

int writeNew(mcb_card* card, const Save& s, mcb_write_outcome& outcome)
{
    const mcb_write_request request{sizeof(mcb_write_request), MCB_WRITE_NEW, 0, 0};
    outcome = {};
    outcome.size = sizeof outcome;
    return mcb_write_save(card, s.bytes.data(), s.bytes.size(), &request, &outcome);
}

} // namespace

SplitSummary splitCard(const std::string& source, const std::string& root,
                       const SdLayoutRow& layout, unsigned megabits)
{
    SplitSummary summary;
    int rc = 0;
    const Card from = openCard(source, rc);
    mcb_card_info info{};
    info.size = sizeof info;
    std::vector<Save> saves;
    if (rc == MCB_OK)
        rc = mcb_describe_card(from.get(), &info);
    if (rc == MCB_OK)
        rc = readSaves(from.get(), saves);
    if (rc != MCB_OK) {
        summary.problem = std::string("cannot read ") + source + ": " + mcb_strerror(rc);
        return summary;
    }
    std::map<std::string, std::vector<const Save*>> games;
    for (const Save& s : saves)
        games[s.id()].push_back(&s);
    for (const auto& [id, list] : games) {
        SplitCard out;
        out.id = id;
        out.saves = unsigned(list.size());
        out.japanese = japaneseRegion(id[3]);
        unsigned blocks = 0;
        for (const Save* s : list)
            blocks += s->blocks();
        out.megabits = megabits ? megabits : 16;
        while (!megabits && MCB_SAVE_BLOCKS(out.megabits) < blocks && out.megabits < 128)
            out.megabits *= 2;
        if (MCB_SAVE_BLOCKS(out.megabits) < blocks) {
            out.problem = "its saves take " + std::to_string(blocks) + " blocks, more than a " +
                          std::to_string(out.megabits) + " Mbit card holds";
            summary.cards.push_back(out);
            continue;
        }
        // The first channel with no card; a card made there meanwhile by
        // another program sends this one to the next.
        std::string path;
        for (unsigned n = 1; n <= kChannels && path.empty(); ++n) {
            const std::string candidate = perGamePath(root, layout, id, n);
            std::error_code ec;
            if (fs::exists(candidate, ec))
                continue;
            fs::create_directories(fs::path(candidate).parent_path(), ec);
            rc = mcb_create_image_as(candidate.c_str(), out.megabits, out.japanese ? 1 : 0,
                                     info.identity);
            if (rc == MCB_OK)
                path = candidate;
            else if (rc != MCB_E_EXISTS)
                break;
        }
        if (path.empty()) {
            out.problem = rc == MCB_OK || rc == MCB_E_EXISTS
                              ? "all " + std::to_string(kChannels) + " channels hold a card"
                              : std::string("cannot make the card: ") + mcb_strerror(rc);
            summary.cards.push_back(out);
            continue;
        }
        const Card to = openCard("image:" + path, rc);
        for (const Save* s : list) {
            mcb_write_outcome outcome;
            if (rc == MCB_OK)
                rc = writeNew(to.get(), *s, outcome);
        }
        out.path = path;
        if (rc != MCB_OK)
            out.problem = std::string("writing its saves failed: ") + mcb_strerror(rc);
        summary.cards.push_back(out);
    }
    return summary;
}

unsigned GatherSummary::written() const
{
    unsigned n = 0;
    for (const GatherSave& s : saves)
        n += s.problem.empty();
    return n;
}

GatherSummary gatherCards(const std::string& root, const std::string& target)
{
    GatherSummary summary;
    int rc = 0;
    const Card to = openCard(target, rc);
    std::vector<Save> there;
    if (rc == MCB_OK)
        rc = readSaves(to.get(), there);
    mcb_card_info info{};
    info.size = sizeof info;
    if (rc == MCB_OK)
        rc = mcb_describe_card(to.get(), &info);
    if (rc != MCB_OK) {
        summary.problem = std::string("cannot open ") + target + ": " + mcb_strerror(rc);
        return summary;
    }
    std::map<std::string, std::string> keys; // each save's card: empty for the target
    for (const Save& s : there)
        keys[s.key()];
    // Everything read before anything is written.
    std::vector<std::pair<Save, std::size_t>> batch; // the save, its line in the summary
    for (const PerGameCard& card : perGameCards(root)) {
        const Card from = openCard("image:" + card.path, rc);
        std::vector<Save> saves;
        if (rc == MCB_OK)
            rc = readSaves(from.get(), saves);
        if (rc != MCB_OK) {
            summary.saves.push_back(
                {card.path, "", "", std::string("cannot read: ") + mcb_strerror(rc), false});
            continue;
        }
        for (Save& s : saves) {
            GatherSave line{card.path, s.id(), s.name(), "", false};
            if (const auto twin = keys.find(s.key()); twin != keys.end()) {
                line.problem = twin->second.empty() ? "the card holds a save of that name"
                                                    : "a twin of the save from " + twin->second;
            } else {
                keys[s.key()] = card.path;
                batch.emplace_back(std::move(s), summary.saves.size());
            }
            summary.saves.push_back(line);
        }
    }
    for (const auto& [s, line] : batch)
        summary.blocksNeeded += s.blocks();
    summary.blocksFree = info.free_blocks;
    const unsigned freeSlots = MCB_SLOTS - info.saves;
    if (summary.blocksNeeded > summary.blocksFree || batch.size() > freeSlots) {
        summary.problem = "the saves need " + std::to_string(summary.blocksNeeded) +
                          " blocks and " + std::to_string(batch.size()) +
                          " directory places; the card has " + std::to_string(summary.blocksFree) +
                          " blocks and " + std::to_string(freeSlots) + " places free";
        for (const auto& [s, line] : batch)
            summary.saves[line].problem = "not written: no room for the whole batch";
        return summary;
    }
    for (const auto& [s, line] : batch) {
        mcb_write_outcome outcome;
        rc = writeNew(to.get(), s, outcome);
        summary.saves[line].resigned = outcome.resigned != 0;
        if (rc != MCB_OK)
            summary.saves[line].problem = mcb_strerror(rc);
    }
    return summary;
}

} // namespace cardplaces
