#include "mcbridge/card_check.h"

#include "mcbridge/format.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace mcb {

namespace {

constexpr int32_t kDirectory = 1;
constexpr int32_t kMap = 2;

CheckItem item(int32_t kind, int32_t severity)
{
    CheckItem i;
    i.f.kind = kind;
    i.f.severity = severity;
    i.f.copy = -1;
    i.f.slot = -1;
    i.f.other_slot = -1;
    return i;
}

void nameSave(CheckItem& i, const EntryRef& e, unsigned slot)
{
    i.f.slot = int32_t(slot);
    const std::string name = e.name();
    const std::string code = e.code();
    std::memcpy(i.f.name, name.data(), name.size());
    std::memcpy(i.f.code, code.data(), code.size());
}

void add(Findings& out, CheckItem i)
{
    i.f.blocks = uint32_t(i.blocks.size());
    out.push_back(std::move(i));
}

SaveArea areaOf(const SystemCopies& s)
{
    return saveAreaFor(uint16_t(s.megabits * 16 - kSystemBlocks));
}

// Which copy of a structure a console uses. A copy is valid when its
// checksum holds and, for a map, its free count says what its entries do; a
// console counts any other copy as damaged. Of two valid copies the newer
// is used; with none valid, the tools still read a copy whose checksum holds
// (usable), to report and to repair from.
struct InUse {
    int copy = -1;   // valid and in use, -1 when neither copy is valid
    int usable = -1; // copy to read: in use, else the newer copy whose checksum holds
    bool checksum[2] = {false, false};
    bool valid[2] = {false, false};
    unsigned trueFree[2] = {0, 0}; // maps: the free entries of each copy
};

template <typename Counter> int newer(const Block copies[2], const bool ok[2], Counter counter)
{
    if (ok[0] && ok[1])
        return currentCopy(counter(copies[0]), counter(copies[1]));
    return ok[0] ? 0 : ok[1] ? 1 : -1;
}

unsigned freeEntries(const Block& map, const SaveArea& area)
{
    unsigned n = 0;
    for (unsigned b = area.first; b < area.end; ++b)
        n += mapEntry(map, b) == kMapFreeEntry;
    return n;
}

InUse directoryInUse(const SystemCopies& s)
{
    InUse u;
    for (int c = 0; c < 2; ++c)
        u.valid[c] = u.checksum[c] = directoryIntact(s.dir[c]);
    u.copy = u.usable = newer(s.dir, u.valid, directoryCounter);
    return u;
}

InUse mapInUse(const SystemCopies& s)
{
    InUse u;
    const SaveArea area = areaOf(s);
    for (int c = 0; c < 2; ++c) {
        u.checksum[c] = mapIntact(s.map[c]);
        u.trueFree[c] = freeEntries(s.map[c], area);
        u.valid[c] = u.checksum[c] && getBe16(&s.map[c][kMapFree]) == u.trueFree[c];
    }
    u.copy = newer(s.map, u.valid, mapCounter);
    u.usable = u.copy >= 0 ? u.copy : newer(s.map, u.checksum, mapCounter);
    return u;
}

unsigned badCopies(const InUse& d, const InUse& m)
{
    return unsigned(!d.valid[0]) + !d.valid[1] + !m.valid[0] + !m.valid[1];
}

// Damaged copies and the copy in use. One damaged copy of the four a console
// mends from its twin; two are a card it rejects.
void reportCopies(Findings& out, int32_t structure, const InUse& u, const Block copies[2],
                  uint16_t (*counter)(const Block&), unsigned bad)
{
    const int32_t severity = bad >= 2 || u.copy < 0 ? MCB_SEVERITY_FAULT : MCB_SEVERITY_WARNING;
    for (int c = 0; c < 2; ++c) {
        if (u.valid[c])
            continue;
        CheckItem i =
            item(u.checksum[c] ? MCB_FINDING_FREE_COUNT : MCB_FINDING_COPY_DAMAGED, severity);
        i.f.detail = structure;
        i.f.copy = c;
        if (u.checksum[c]) {
            i.f.count = getBe16(&copies[c][kMapFree]);
            i.f.expected = u.trueFree[c];
        }
        add(out, std::move(i));
    }
    if (u.copy < 0)
        return;
    CheckItem i = item(MCB_FINDING_COPY_IN_USE, MCB_SEVERITY_INFO);
    i.f.detail = structure;
    i.f.copy = u.copy;
    i.f.count = counter(copies[u.copy]);
    const bool both = u.valid[1 - u.copy];
    i.f.expected = both ? MCB_COPY_NEWER : MCB_COPY_ONLY_INTACT;
    i.f.other_slot = !both                                      ? 1
                     : counter(copies[0]) == counter(copies[1]) ? 2
                                                                : 0; // see mcb_finding_kind
    add(out, std::move(i));
}

// A chain that goes on past its entry's count: how long it really is, when
// it still ends properly inside the area without looping or running into
// blocks owned by another save; 0 otherwise. extra gets the blocks past the
// count.
unsigned trueLength(const Block& map, const Chain& c, const SaveArea& area,
                    const std::vector<int>& owner, unsigned slot, std::vector<uint16_t>& extra)
{
    std::vector<bool> seen(kMapBlockLimit, false);
    for (uint16_t b : c.blocks)
        seen[b] = true;
    unsigned block = mapEntry(map, c.blocks.back());
    while (true) {
        if (!area.contains(block) || seen[block] || mapEntry(map, block) == kMapFreeEntry)
            return 0;
        if (owner[block] != CardChains::kNoOwner && owner[block] != int(slot))
            return 0;
        seen[block] = true;
        extra.push_back(uint16_t(block));
        const uint16_t next = mapEntry(map, block);
        if (next == kMapLastEntry)
            return unsigned(c.blocks.size() + extra.size());
        block = next;
    }
}

struct Judged {
    CheckResult result;
    std::vector<bool> reached;       // by some chain, as far as it was followed
    std::vector<unsigned> leftAlone; // broken or shared saves
    std::vector<uint16_t> leaked;
    unsigned trueFree = 0;
    int directoryUsable = -1;
    int mapUsable = -1;
};

// dirCopy and mapCopy, when 0 or 1, name the copies whose saves are judged
// instead of the ones a console would read.
Judged judge(const SystemCopies& s, int dirCopy = -1, int mapCopy = -1)
{
    Judged j;
    Findings& out = j.result.items;

    const std::span<const uint8_t, kSectorSize> sector0(s.header.data(), kSectorSize);
    if (!headerIntact(sector0))
        add(out, item(MCB_FINDING_HEADER_DAMAGED, MCB_SEVERITY_FAULT));
    const unsigned claimed = getBe16(&s.header[kHeaderSizeMbit]);
    if (claimed != s.megabits) {
        CheckItem i = item(MCB_FINDING_HEADER_SIZE, MCB_SEVERITY_FAULT);
        i.f.count = claimed;
        i.f.expected = s.megabits;
        add(out, std::move(i));
    }

    const InUse d = directoryInUse(s);
    const InUse m = mapInUse(s);
    const unsigned bad = badCopies(d, m);
    reportCopies(out, kDirectory, d, s.dir, directoryCounter, bad);
    reportCopies(out, kMap, m, s.map, mapCounter, bad);
    j.result.directoryCopy = d.copy;
    j.result.mapCopy = m.copy;
    j.directoryUsable = dirCopy >= 0 ? dirCopy : d.usable;
    j.mapUsable = mapCopy >= 0 ? mapCopy : m.usable;
    if (j.directoryUsable < 0 || j.mapUsable < 0)
        return j;

    const Block& dir = s.dir[j.directoryUsable];
    const Block& map = s.map[j.mapUsable];
    const SaveArea area = areaOf(s);
    const CardChains chains = followChains(dir, map, area);
    j.reached.assign(kMapBlockLimit, false);

    // Which saves' chains reach each block, for the pairs that share.
    std::map<std::pair<unsigned, unsigned>, std::vector<uint16_t>> shared;
    std::vector<std::vector<unsigned>> owners(kMapBlockLimit);
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot)
        for (uint16_t b : chains.chains[slot].blocks)
            owners[b].push_back(slot);
    for (unsigned b = 0; b < kMapBlockLimit; ++b) {
        j.reached[b] = !owners[b].empty();
        for (std::size_t x = 0; x < owners[b].size(); ++x)
            for (std::size_t y = x + 1; y < owners[b].size(); ++y)
                shared[{owners[b][x], owners[b][y]}].push_back(uint16_t(b));
    }

    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty())
            continue;
        const Chain& c = chains.chains[slot];
        CheckItem save = item(MCB_FINDING_SAVE, MCB_SEVERITY_INFO);
        nameSave(save, e, slot);
        save.f.block = e.firstBlock();
        save.f.count = e.blockCount();
        save.blocks = c.blocks;
        add(out, std::move(save));
        if (c.sound())
            continue;
        j.leftAlone.push_back(slot);
        if (c.fault == ChainFault::Shared)
            continue; // told below, once for each pair
        CheckItem i = item(MCB_FINDING_BROKEN_CHAIN, MCB_SEVERITY_FAULT);
        nameSave(i, e, slot);
        i.f.detail = int32_t(c.fault);
        i.f.block = e.firstBlock();
        i.f.count = e.blockCount();
        i.blocks = c.blocks;
        if (c.fault == ChainFault::EndsEarly) {
            i.f.kind = MCB_FINDING_COUNT_DISAGREES;
            i.f.expected = uint32_t(c.blocks.size());
        } else if (c.fault == ChainFault::TooLong) {
            std::vector<uint16_t> extra;
            if (const unsigned n = trueLength(map, c, area, chains.owner, slot, extra)) {
                i.f.kind = MCB_FINDING_COUNT_DISAGREES;
                i.f.expected = n;
                i.blocks.insert(i.blocks.end(), extra.begin(), extra.end());
                for (uint16_t b : extra)
                    j.reached[b] = true;
            }
        }
        add(out, std::move(i));
    }
    for (auto& [pair, blocks] : shared) {
        CheckItem i = item(MCB_FINDING_SHARED_BLOCKS, MCB_SEVERITY_WARNING);
        nameSave(i, entryAt(dir, pair.first), pair.first);
        i.f.other_slot = int32_t(pair.second);
        i.f.block = blocks.front();
        i.f.count = uint32_t(blocks.size());
        i.f.detail = MCB_CHAIN_SHARED;
        i.blocks = blocks;
        add(out, std::move(i));
    }

    // Leaked and shared blocks are told as warnings: a console reads such a
    // card (it follows each save's chain and counts), though a save that
    // shares blocks holds another's data.
    for (unsigned b = area.first; b < area.end; ++b) {
        if (mapEntry(map, b) == kMapFreeEntry)
            ++j.trueFree;
        else if (!j.reached[b])
            j.leaked.push_back(uint16_t(b));
    }
    if (!j.leaked.empty()) {
        CheckItem i = item(MCB_FINDING_LEAKED_BLOCKS, MCB_SEVERITY_WARNING);
        i.f.block = j.leaked.front();
        i.f.count = uint32_t(j.leaked.size());
        i.blocks = j.leaked;
        add(out, std::move(i));
    }

    // A console's copy can leave two saves of one name and code; the card
    // still works, but a game sees only one of them.
    for (unsigned a = 0; a < kSaveSlotCount; ++a) {
        const EntryRef ea = entryAt(dir, a);
        if (ea.empty())
            continue;
        for (unsigned b = a + 1; b < kSaveSlotCount; ++b) {
            const EntryRef eb = entryAt(dir, b);
            if (eb.empty() || !ea.sameSave(eb.p))
                continue;
            CheckItem i = item(MCB_FINDING_TWIN_SAVES, MCB_SEVERITY_WARNING);
            nameSave(i, ea, a);
            i.f.other_slot = int32_t(b);
            add(out, std::move(i));
        }
    }
    return j;
}

} // namespace

bool systemCopiesOf(std::span<const uint8_t> image, SystemCopies& out)
{
    const auto size = megabitsForLength(image.size());
    if (!size)
        return false;
    auto blockAt = [&](unsigned b, Block& to) {
        std::memcpy(to.data(), image.data() + std::size_t(b) * kBlockSize, kBlockSize);
    };
    blockAt(kHeaderBlock, out.header);
    for (int c = 0; c < 2; ++c) {
        blockAt(kDirectoryBlock[c], out.dir[c]);
        blockAt(kMapBlock[c], out.map[c]);
    }
    out.megabits = *size;
    return true;
}

bool CheckResult::sound() const
{
    return std::none_of(items.begin(), items.end(),
                        [](const CheckItem& i) { return i.f.severity == MCB_SEVERITY_FAULT; });
}

CheckResult checkCard(const SystemCopies& s) { return judge(s).result; }

std::vector<unsigned> brokenSaves(const Block& dir, const Block& map, const SaveArea& area)
{
    const CardChains chains = followChains(dir, map, area);
    std::vector<unsigned> out;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot)
        if (!entryAt(dir, slot).empty() && !chains.chains[slot].sound())
            out.push_back(slot);
    return out;
}

bool RepairPlan::changes() const
{
    return std::any_of(items.begin(), items.end(), [](const CheckItem& i) {
        return i.f.kind == MCB_REPAIR_REBUILD_COPY || i.f.kind == MCB_REPAIR_FREE_BLOCKS ||
               i.f.kind == MCB_REPAIR_FREE_COUNT;
    });
}

namespace {

// The saves whose chains are sound in a directory and map, each as its entry
// and chain: what can be read through them.
using Reachable = std::vector<std::pair<std::array<uint8_t, kEntrySize>, std::vector<uint16_t>>>;

Reachable reachable(const Block& dir, const Block& map, const SaveArea& area)
{
    const CardChains chains = followChains(dir, map, area);
    Reachable out;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty() || !chains.chains[slot].sound())
            continue;
        out.emplace_back();
        std::memcpy(out.back().first.data(), e.p, kEntrySize);
        out.back().second = chains.chains[slot].blocks;
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The directory and map copies a repair keeps. The card is read today
// through the newest copies whose checksums hold (a map whose free count is
// wrong included): every save that pair reaches must stay reachable. Of
// the pairs that keep all of them, the one that reaches the most saves is
// kept (on a tie, the console's, then the newer copies); so a newest map whose only fault is its
// free count is corrected rather than given up for an older copy that lacks the newest save's
// chain.
std::pair<int, int> pairToKeep(const SystemCopies& s, const InUse& d, const InUse& m)
{
    const int readDir = d.usable;
    const int readMap = newer(s.map, m.checksum, mapCounter);
    if (readDir < 0 || readMap < 0)
        return {readDir, readMap};
    const SaveArea area = areaOf(s);
    const Reachable before = reachable(s.dir[readDir], s.map[readMap], area);
    // The pair a console reads comes first: where it reaches as much, its
    // copies are whole and the others are rebuilt from them.
    const std::pair<int, int> pairs[] = {{d.usable, m.usable},
                                         {readDir, readMap},
                                         {readDir, 1 - readMap},
                                         {1 - readDir, readMap},
                                         {1 - readDir, 1 - readMap}};
    std::pair<int, int> best{readDir, readMap};
    std::size_t most = 0;
    bool found = false;
    for (const auto& [dc, mc] : pairs) {
        if (dc < 0 || mc < 0 || !d.checksum[dc] || !m.checksum[mc])
            continue;
        const Reachable r = reachable(s.dir[dc], s.map[mc], area);
        if (!std::includes(r.begin(), r.end(), before.begin(), before.end()) ||
            (found && r.size() <= most))
            continue;
        best = {dc, mc};
        most = r.size();
        found = true;
    }
    return best;
}

} // namespace

RepairPlan planRepair(const SystemCopies& s)
{
    const InUse d = directoryInUse(s);
    const InUse m = mapInUse(s);
    const auto [keptDir, keptMap] = pairToKeep(s, d, m);
    const Judged j = judge(s, keptDir, keptMap);
    RepairPlan plan;
    plan.directoryCopy = keptDir;
    plan.mapCopy = keptMap;
    plan.possible = keptDir >= 0 && keptMap >= 0;
    for (const CheckItem& found : j.result.items) {
        const mcb_finding& f = found.f;
        const bool copyFault =
            f.kind == MCB_FINDING_COPY_DAMAGED || f.kind == MCB_FINDING_FREE_COUNT;
        const int usable = f.detail == kMap ? keptMap : keptDir;
        if (copyFault && plan.possible && f.copy == usable) {
            // No valid copy: the free count of the one read is corrected.
            CheckItem i = found;
            i.f.kind = MCB_REPAIR_FREE_COUNT;
            i.f.severity = MCB_SEVERITY_INFO;
            add(plan.items, std::move(i));
        } else if (copyFault && plan.possible) {
            CheckItem i = item(MCB_REPAIR_REBUILD_COPY, MCB_SEVERITY_INFO);
            i.f.detail = f.detail;
            i.f.copy = f.copy;
            add(plan.items, std::move(i));
        } else if (copyFault || f.kind == MCB_FINDING_HEADER_DAMAGED ||
                   f.kind == MCB_FINDING_HEADER_SIZE || f.kind == MCB_FINDING_TWIN_SAVES) {
            CheckItem i = found;
            i.f.kind = MCB_REPAIR_NOT_MENDED;
            i.f.detail = f.kind;
            i.f.other_slot = f.kind == MCB_FINDING_TWIN_SAVES ? f.other_slot : -1;
            add(plan.items, std::move(i));
        }
    }
    if (!plan.possible)
        return plan;

    const Block& dir = s.dir[keptDir];
    const Block& map = s.map[keptMap];
    const SaveArea area = areaOf(s);
    const CardChains chains = followChains(dir, map, area);
    plan.leftAlone = j.leftAlone;
    // A broken save's entry may be the truth and its map links the damage:
    // the run its entry claims is never taken for leaked.
    std::vector<bool> keep(kMapBlockLimit, false);
    for (unsigned slot : plan.leftAlone) {
        const EntryRef e = entryAt(dir, slot);
        for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < area.end; ++b, ++n)
            if (area.contains(b))
                keep[b] = true;
        CheckItem i = item(MCB_REPAIR_SAVE_LEFT, MCB_SEVERITY_WARNING);
        nameSave(i, e, slot);
        i.f.detail = int32_t(chains.chains[slot].fault);
        i.f.count = e.blockCount();
        i.f.block = e.firstBlock();
        add(plan.items, std::move(i));
    }
    for (uint16_t b : j.leaked)
        if (!keep[b])
            plan.freed.push_back(b);
    if (!plan.freed.empty()) {
        CheckItem i = item(MCB_REPAIR_FREE_BLOCKS, MCB_SEVERITY_INFO);
        i.f.block = plan.freed.front();
        i.f.count = uint32_t(plan.freed.size());
        i.f.expected = j.trueFree + uint32_t(plan.freed.size()); // free afterwards
        i.blocks = plan.freed;
        add(plan.items, std::move(i));
    }
    return plan;
}

std::vector<Recoverable> findRecoverable(const SystemCopies& s)
{
    std::vector<Recoverable> out;
    const InUse d = directoryInUse(s);
    const InUse m = mapInUse(s);
    if (d.copy < 0 || m.copy < 0 || !d.valid[1 - d.copy])
        return out;
    const Block& dir = s.dir[d.copy];
    const Block& map = s.map[m.copy];
    const Block& older = s.dir[1 - d.copy];
    const Block* olderMap = m.checksum[1 - m.copy] ? &s.map[1 - m.copy] : nullptr;
    const SaveArea area = areaOf(s);
    const CardChains chains = followChains(dir, map, area);

    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(older, slot);
        if (e.empty() || e.blockCount() == 0)
            continue;
        bool present = false;
        for (unsigned c = 0; c < kSaveSlotCount && !present; ++c)
            present = !entryAt(dir, c).empty() && entryAt(dir, c).sameSave(e.p);
        if (present)
            continue;
        Recoverable r;
        r.slot = slot;
        std::memcpy(r.entry.data(), e.p, kEntrySize);
        // The chain as the older map copy keeps it; or as the map in use
        // still holds it, its blocks owned by no save: a recovery cut
        // between its map and its directory leaves it so.
        const Chain kept = olderMap ? followChain(*olderMap, e.firstBlock(), e.blockCount(), area)
                                    : Chain{{}, ChainFault::NoBlocks};
        const Chain held = followChain(map, e.firstBlock(), e.blockCount(), area);
        const auto ownerless = [&](const std::vector<uint16_t>& blocks, bool freeInMap) {
            return std::all_of(blocks.begin(), blocks.end(), [&](uint16_t b) {
                return chains.owner[b] == CardChains::kNoOwner &&
                       (!freeInMap || mapEntry(map, b) == kMapFreeEntry);
            });
        };
        if (kept.sound() && ownerless(kept.blocks, true)) {
            r.blocks = kept.blocks;
        } else if (held.sound() && ownerless(held.blocks, false) &&
                   (!kept.sound() || kept.blocks == held.blocks)) {
            r.blocks = held.blocks;
        } else if (area.holds(e.firstBlock(), e.blockCount())) {
            for (unsigned n = 0; n < e.blockCount(); ++n)
                r.blocks.push_back(uint16_t(e.firstBlock() + n));
            r.source = e.blockCount() == 1 ? MCB_RECOVER_CHAIN : MCB_RECOVER_RUN;
            if (!ownerless(r.blocks, true))
                continue;
        } else {
            continue;
        }
        out.push_back(std::move(r));
    }
    return out;
}

Findings recoverableItems(const std::vector<Recoverable>& saves)
{
    Findings out;
    for (const Recoverable& r : saves) {
        CheckItem i = item(MCB_RECOVERABLE, MCB_SEVERITY_INFO);
        const EntryRef e{r.entry.data()};
        nameSave(i, e, r.slot);
        i.f.detail = r.source;
        i.f.block = r.blocks.front();
        i.f.count = uint32_t(r.blocks.size());
        i.blocks = r.blocks;
        add(out, std::move(i));
    }
    return out;
}

std::string blockRuns(const std::vector<uint16_t>& blocks)
{
    std::string out;
    for (std::size_t i = 0; i < blocks.size();) {
        std::size_t j = i;
        while (j + 1 < blocks.size() && blocks[j + 1] == blocks[j] + 1)
            ++j;
        if (!out.empty())
            out += ", ";
        out += std::to_string(blocks[i]);
        if (j > i)
            out += "-" + std::to_string(blocks[j]);
        i = j + 1;
    }
    return out;
}

namespace {

std::string structureName(int32_t s) { return s == kMap ? "allocation map" : "directory"; }

std::string saveName(const mcb_finding& f, const std::string& shown)
{
    return "slot " + std::to_string(f.slot) + " (" +
           (shown.empty() ? std::string(f.code) + " " + f.name : shown) + ")";
}

std::string n(uint32_t v) { return std::to_string(v); }

const char* chainText(int32_t fault)
{
    return chainFaultText(fault >= 0 && fault <= int32_t(ChainFault::Shared) ? ChainFault(fault)
                                                                             : ChainFault::None);
}

} // namespace

std::string findingText(const mcb_finding& f, const std::string& shown)
{
    const std::string copy = "copy " + std::to_string(f.copy + 1);
    switch (f.kind) {
    case MCB_FINDING_COPY_IN_USE: {
        std::string why = f.expected == MCB_COPY_ONLY_INTACT ? "the other copy is damaged"
                          : f.other_slot == 2                ? "both copies are intact and alike"
                                              : "it is the newer of two intact copies";
        return "The " + structureName(f.detail) + " in use is " + copy + " (update counter " +
               n(f.count) + "): " + why + ".";
    }
    case MCB_FINDING_COPY_DAMAGED:
        return "Copy " + std::to_string(f.copy + 1) + " of the " + structureName(f.detail) +
               " is damaged (its checksum does not hold)" +
               (f.severity == MCB_SEVERITY_FAULT ? "; neither copy is intact."
                                                 : "; the console uses the other one.");
    case MCB_FINDING_HEADER_DAMAGED:
        return "The card's header is damaged (its checksum does not hold).";
    case MCB_FINDING_HEADER_SIZE:
        return "The header says the card holds " + n(f.count) + " Mbit; it holds " + n(f.expected) +
               ".";
    case MCB_FINDING_SAVE:
        return "Save in " + saveName(f, shown) + ": " + n(f.count) + " blocks from block " +
               n(f.block) + ".";
    case MCB_FINDING_BROKEN_CHAIN:
        return "The save in " + saveName(f, shown) + " has a broken chain: it " +
               chainText(f.detail) + ".";
    case MCB_FINDING_COUNT_DISAGREES:
        return "The save in " + saveName(f, shown) + " claims " + n(f.count) +
               " blocks; its chain holds " + n(f.expected) + ".";
    case MCB_FINDING_SHARED_BLOCKS:
        return "The saves in " + saveName(f, shown) + " and slot " + std::to_string(f.other_slot) +
               " claim the same " + n(f.count) + " block(s).";
    case MCB_FINDING_LEAKED_BLOCKS:
        return n(f.count) + " block(s) are marked used but belong to no save (leaked).";
    case MCB_FINDING_FREE_COUNT:
        return "Copy " + std::to_string(f.copy + 1) + " of the allocation map says " + n(f.count) +
               " blocks are free; " + n(f.expected) + " are" +
               (f.severity == MCB_SEVERITY_FAULT ? "." : "; the console uses the other copy.");
    case MCB_FINDING_TWIN_SAVES:
        return "The saves in " + saveName(f, shown) + " and slot " + std::to_string(f.other_slot) +
               " have the same name and game code.";
    case MCB_REPAIR_REBUILD_COPY:
        return "Rebuild " + copy + " of the " + structureName(f.detail) + " from the intact copy.";
    case MCB_REPAIR_FREE_BLOCKS:
        return "Free " + n(f.count) + " leaked block(s); " + n(f.expected) +
               " blocks are free then.";
    case MCB_REPAIR_FREE_COUNT:
        return "Correct the free count of " + copy + " of the allocation map from " + n(f.count) +
               " to " + n(f.expected) + ".";
    case MCB_REPAIR_SAVE_LEFT:
        return "Leave the save in " + saveName(f, shown) + " as it is: its chain " +
               chainText(f.detail) + " (copy what it holds with 'download SLOT FILE --force').";
    case MCB_REPAIR_NOT_MENDED: {
        mcb_finding inner = f;
        inner.kind = f.detail;
        return "Not repaired: " + findingText(inner, shown);
    }
    case MCB_RECOVERABLE:
        return "Deleted save in " + saveName(f, shown) + ": " + n(f.count) +
               " blocks, all still free" +
               (f.detail == MCB_RECOVER_RUN
                    ? " (its chain is gone: taken as the blocks from its first on)."
                    : ".");
    default: return "Unknown finding " + std::to_string(f.kind) + ".";
    }
}

} // namespace mcb
