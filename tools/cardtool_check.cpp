#include "cardtool_check.h"

#include <cstring>

#include "cli_input.h"

#include "mcbridge.h"
#include "mcbridge/card_check.h"

#include <cstdio>
#include <vector>

namespace cardtool {

namespace {

int failWith(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\n", what.c_str());
    return 1;
}

struct Listed {
    mcb_finding f{};
    std::vector<uint16_t> blocks;
};

// The list the last check, repair or recovery call left with the handle.
std::vector<Listed> listed(mcb_card* card, uint32_t count)
{
    std::vector<Listed> out;
    for (uint32_t i = 0; i < count; ++i) {
        Listed l;
        if (mcb_card_finding(card, i, &l.f) != MCB_OK)
            break;
        l.blocks.resize(l.f.blocks);
        if (l.f.blocks)
            mcb_card_finding_blocks(card, i, l.blocks.data(), l.blocks.size());
        out.push_back(std::move(l));
    }
    return out;
}

std::string shown(const CheckContext& c, const mcb_finding& f)
{
    if (f.slot < 0)
        return {};
    return cli::escapeControls(f.code) + " " + c.showName(f.name, f.code);
}

const char* prefix(int32_t severity)
{
    switch (severity) {
    case MCB_SEVERITY_FAULT: return "FAULT: ";
    case MCB_SEVERITY_WARNING: return "Warning: ";
    default: return "";
    }
}

void print(const CheckContext& c, const Listed& l)
{
    std::string line = prefix(l.f.severity) + mcb::findingText(l.f, shown(c, l.f));
    if (l.f.kind == MCB_FINDING_SAVE && !l.blocks.empty())
        line += " Chain: " + mcb::blockRuns(l.blocks) + ".";
    else if ((l.f.kind == MCB_FINDING_LEAKED_BLOCKS || l.f.kind == MCB_FINDING_SHARED_BLOCKS ||
              l.f.kind == MCB_REPAIR_FREE_BLOCKS) &&
             !l.blocks.empty())
        line += " Blocks: " + mcb::blockRuns(l.blocks) + ".";
    std::printf("%s\n", line.c_str());
}

// The one verdict line, from a fresh check.
std::string verdict(int32_t sound, const std::vector<Listed>& items)
{
    unsigned faults = 0, warnings = 0;
    for (const Listed& l : items) {
        faults += l.f.severity == MCB_SEVERITY_FAULT;
        warnings += l.f.severity == MCB_SEVERITY_WARNING;
    }
    if (!sound)
        return "Verdict: the card is NOT sound (" + std::to_string(faults) +
               " fault(s)); a console would not read it as it is.";
    if (warnings)
        return "Verdict: the card is sound, with " + std::to_string(warnings) +
               " warning(s) ('cardtool repair' says what it would mend).";
    return "Verdict: the card is sound.";
}

// After a failed write: what a fresh check says of the card now.
std::string afterFailure(const CheckContext& c)
{
    std::string error;
    uint32_t count = 0;
    int32_t sound = 0;
    if (!c.reopen(error) || mcb_check(c.card(), &count, &sound) != MCB_OK)
        return "the card could not be read again, so what it holds is unknown";
    return "the card now reads as " + std::string(sound ? "sound" : "NOT sound") +
           " (see 'cardtool check')";
}

// Whether a finding names the save wanted (by its name and code bytes).
bool sameSave(const mcb_finding& a, const mcb_finding& b)
{
    return std::strncmp(a.name, b.name, sizeof a.name) == 0 &&
           std::strncmp(a.code, b.code, sizeof a.code) == 0;
}

// Where a save stands after a recovery that failed part-way: the library
// reads the card again and leaves one finding (back, or still recoverable);
// when even that read failed, the card is opened again and asked.
std::string afterRecoverFailure(const CheckContext& c, const mcb_finding& wanted)
{
    for (const Listed& l : listed(c.card(), 1)) {
        if (l.f.kind == MCB_FINDING_SAVE && l.f.slot >= 0)
            return "the save is back all the same, in slot " + std::to_string(l.f.slot);
        if (l.f.kind == MCB_RECOVERABLE)
            return "the save can still be put back (see 'cardtool recover')";
    }
    std::string error;
    uint32_t count = 0;
    if (c.reopen(error) && mcb_recover_find(c.card(), &count) == MCB_OK)
        for (const Listed& l : listed(c.card(), count))
            if (sameSave(l.f, wanted))
                return "the save can still be put back (see 'cardtool recover')";
    return afterFailure(c);
}

} // namespace

int check(const CheckContext& c)
{
    uint32_t count = 0;
    int32_t sound = 0;
    if (const int rc = mcb_check(c.card(), &count, &sound); rc != MCB_OK)
        return failWith("the card could not be checked: " + std::string(mcb_strerror(rc)));
    const std::vector<Listed> items = listed(c.card(), count);
    for (const Listed& l : items)
        print(c, l);
    std::printf("%s\n", verdict(sound, items).c_str());
    return sound ? 0 : 1;
}

int repair(const CheckContext& c, bool apply)
{
    uint32_t count = 0;
    const int error = mcb_repair(c.card(), apply ? 1 : 0, &count);
    const bool ok = error == MCB_OK;
    const std::vector<Listed> items = listed(c.card(), count);
    if (!ok && error == MCB_E_DAMAGED) {
        for (const Listed& l : items)
            print(c, l);
        return failWith("the card cannot be repaired: neither copy of its directory or of its "
                        "allocation map can be read");
    }
    unsigned changes = 0;
    for (const Listed& l : items)
        changes += l.f.kind == MCB_REPAIR_REBUILD_COPY || l.f.kind == MCB_REPAIR_FREE_BLOCKS ||
                   l.f.kind == MCB_REPAIR_FREE_COUNT;
    if (!ok && count == 0)
        return failWith("the card could not be read: " + std::string(mcb_strerror(error)));
    if (!ok)
        return failWith("repairing failed: " + std::string(mcb_strerror(error)) + "; " +
                        afterFailure(c));
    std::printf("%s\n", changes == 0 ? "Nothing to repair."
                        : apply      ? "Repaired:"
                                     : "Changes 'cardtool repair --apply' would make (none is "
                                       "made now):");
    for (const Listed& l : items)
        print(c, l);
    return 0;
}

int recover(const CheckContext& c, std::optional<unsigned> slot)
{
    if (!slot) {
        uint32_t count = 0;
        if (const int rc = mcb_recover_find(c.card(), &count); rc != MCB_OK)
            return failWith("the card could not be read: " + std::string(mcb_strerror(rc)));
        if (count == 0) {
            std::printf("No deleted save can be brought back: the directory copy not in use "
                        "holds none whose blocks are all still free.\n");
            return 0;
        }
        for (const Listed& l : listed(c.card(), count))
            print(c, l);
        std::printf("'cardtool recover SLOT' puts one back.\n");
        return 0;
    }
    // The save as listed before the attempt, to tell afterwards where it stands.
    mcb_finding wanted{};
    uint32_t count = 0;
    if (mcb_recover_find(c.card(), &count) == MCB_OK)
        for (const Listed& l : listed(c.card(), count))
            if (l.f.slot == int32_t(*slot))
                wanted = l.f;
    uint32_t placed = 0;
    if (const int error = mcb_recover(c.card(), *slot, &placed); error != MCB_OK) {
        if (error == MCB_E_NO_SAVE)
            return failWith("slot " + std::to_string(*slot) +
                            " lists no deleted save that can be brought back (see 'cardtool "
                            "recover')");
        return failWith("the save could not be put back: " + std::string(mcb_strerror(error)) +
                        "; " + afterRecoverFailure(c, wanted));
    }
    const std::vector<Listed> items = listed(c.card(), 1);
    std::string name = items.empty() ? std::string() : " (" + shown(c, items[0].f) + ")";
    std::printf("Put back the save%s in slot %u.\n", name.c_str(), placed);
    if (!items.empty() && items[0].f.detail == MCB_RECOVER_RUN)
        std::printf("Warning: its chain was gone, so its blocks were taken as the run from its "
                    "first block; check that the game reads it.\n");
    return 0;
}

int forcedDownload(const CheckContext& c, unsigned slot, const std::string& path)
{
    // A sound save is copied as always; only a broken one is rescued. The
    // buffer holds the largest save there is, so one read suffices.
    std::vector<uint8_t> save(MCB_LARGEST_SAVE_FILE);
    std::size_t length = 0;
    const auto copyFailed = [&](int rc) {
        return failWith("the save in slot " + std::to_string(slot) + " could not be copied to " +
                        path + ": " + mcb_strerror(rc));
    };
    int rc = mcb_read_save(c.card(), slot, MCB_SAVE_GCI, save.data(), save.size(), &length);
    if (rc >= 0) {
        save.resize(length);
        if (const std::string no = c.write(path, save); !no.empty())
            return failWith(no);
        std::printf("Copied slot %u to %s\n", slot, path.c_str());
        return 0;
    }
    if (rc != MCB_E_BROKEN_CHAIN)
        return copyFailed(rc);
    int32_t source = MCB_RECOVER_CHAIN;
    rc = mcb_rescue_save(c.card(), slot, save.data(), save.size(), &length, &source);
    if (rc < 0)
        return copyFailed(rc);
    save.resize(length);
    if (const std::string no = c.write(path, save); !no.empty())
        return failWith(no);
    std::printf("RESCUED, NOT A VERIFIED COPY: %s holds the blocks slot %u's %s; they may hold "
                "other saves' data.\n",
                path.c_str(), slot,
                source == MCB_RECOVER_RUN ? "entry claims from its first block on"
                                          : "chain reaches before it breaks");
    return 0;
}

} // namespace cardtool
