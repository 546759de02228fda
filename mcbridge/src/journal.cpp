// The journal's records: made at a change's first write, added to as the
// change overwrites or frees blocks of saves, closed with the system area it
// left. Each addition is synced before the write it guards, so that the card
// never holds what its record does not know of.
#include "journal.h"

#include "library.h"
#include "mcbridge/card_serial.h"
#include "mcbridge/text_encoding.h"
#include "userfiles/durable_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace mcb {

namespace {

// A record file: the magic bytes, a version, the head, the system area
// before; then chunks, each a tag byte: 'B' a kept block (number, bytes),
// 'E' the end (what, saves, the system area after).
constexpr uint8_t kMagic[4] = {0x4D, 0x43, 0x4A, 0x31};
constexpr uint32_t kVersion = 1;
constexpr std::size_t kHeadSize = 4 + 4 + 8 + 4 + 4 + kCardIdentitySize;

struct Active {
    int fd = -1;
    std::string path;
    uint32_t sectors = 0;
    std::vector<uint8_t> before;
    // The system area as the writes leave it; unsure after a failed write.
    std::vector<uint8_t> shadow;
    bool shadowSure = true;
    std::vector<bool> usedBefore;
    std::vector<bool> kept;
    bool whole = false;       // the header is rewritten: every block is kept
    bool dataWritten = false; // a block of the save area was written
};

} // namespace

struct JournalState {
    bool configured = false;
    bool off = false;
    std::string folder;
    uint32_t maxRecords = kJournalRecords;
    uint64_t maxBytes = kJournalBytes;
    int depth = 0;
    std::string groupWhat;
    uint32_t undoTarget = 0;
    std::string resumePath;
    bool failed = false; // a call of the change under way failed
    std::optional<Active> active;
};

namespace {

JournalState& stateOf(Library& card)
{
    if (!card.journal)
        card.journal = std::make_shared<JournalState>();
    return *card.journal;
}

void put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}
void put64(std::vector<uint8_t>& v, uint64_t x)
{
    for (int i = 0; i < 8; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}
uint64_t get(const uint8_t* p, int bytes)
{
    uint64_t x = 0;
    for (int i = bytes - 1; i >= 0; --i)
        x = (x << 8) | p[i];
    return x;
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes)
{
    return userfiles::writeAll(fd, bytes.data(), bytes.size());
}

using userfiles::syncFolder;

bool makeFolders(const std::string& folder)
{
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<uint32_t> numberOf(const char* name)
{
    const std::size_t n = std::strlen(name);
    if (n != 12 || std::strcmp(name + 8, ".mcj") != 0)
        return std::nullopt;
    uint32_t number = 0;
    for (int i = 0; i < 8; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return std::nullopt;
        number = number * 10 + uint32_t(name[i] - '0');
    }
    return number;
}

std::string nameOf(uint32_t number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%08u.mcj", number);
    return name;
}

struct FileNumber {
    uint32_t number;
    uint64_t bytes;
};

std::vector<FileNumber> recordFiles(const std::string& folder)
{
    std::vector<FileNumber> out;
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return out;
    while (const dirent* e = ::readdir(d)) {
        const auto n = numberOf(e->d_name);
        struct stat st {};
        if (n && ::stat((folder + "/" + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            out.push_back({*n, uint64_t(st.st_size)});
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(),
              [](const FileNumber& a, const FileNumber& b) { return a.number < b.number; });
    return out;
}

Block blockAt(const std::vector<uint8_t>& area, unsigned block)
{
    Block b;
    std::memcpy(b.data(), &area[std::size_t(block) * kBlockSize], kBlockSize);
    return b;
}

// Every block a save may own in a system area: marked used in either map
// copy, or claimed by an entry of either directory copy. More than the
// saves own at worst (a damaged card is judged generously).
std::vector<bool> usedIn(const std::vector<uint8_t>& area, const SaveArea& save)
{
    std::vector<bool> used(save.end, false);
    for (unsigned m : kMapBlock) {
        const Block map = blockAt(area, m);
        for (unsigned b = save.first; b < save.end && b < kMapBlockLimit; ++b)
            used[b] = used[b] || mapEntry(map, b) != kMapFreeEntry;
    }
    for (unsigned d : kDirectoryBlock) {
        const Block dir = blockAt(area, d);
        for (unsigned s = 0; s < kSaveSlotCount; ++s) {
            const EntryRef e = entryAt(dir, s);
            if (e.empty())
                continue;
            for (unsigned b = e.firstBlock(), n = 0; n < e.blockCount() && b < save.end; ++b, ++n)
                if (save.contains(b))
                    used[b] = true;
        }
    }
    return used;
}

bool readSystemArea(std::vector<uint8_t>& area)
{
    area.resize(kSystemBytes);
    Block b;
    for (unsigned i = 0; i < kSystemBlocks; ++i) {
        if (!readBlock(i, b))
            return false;
        std::memcpy(&area[std::size_t(i) * kBlockSize], b.data(), kBlockSize);
    }
    return true;
}

int32_t journalFailure(Active& a)
{
    if (a.fd >= 0)
        ::close(a.fd);
    a.fd = -1;
    return fail(MCB_ERROR_JOURNAL_FILE);
}

bool openNew(JournalState& j, const std::string& folder, Active& a)
{
    if (!makeFolders(folder))
        return false;
    const auto files = recordFiles(folder);
    uint32_t number = files.empty() ? 1 : files.back().number + 1;
    for (int tries = 0; tries < 100 && a.fd < 0; ++tries, ++number) {
        a.path = folder + "/" + nameOf(number);
        a.fd = ::open(a.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (a.fd < 0 && errno != EEXIST)
            return false;
    }
    if (a.fd < 0)
        return false;
    const Library& l = lib();
    std::vector<uint8_t> head(std::begin(kMagic), std::end(kMagic));
    put32(head, kVersion);
    put64(head, uint64_t(int64_t(std::time(nullptr))));
    put32(head, j.undoTarget);
    put32(head, a.sectors);
    head.insert(head.end(), l.headerOnCard.begin(), l.headerOnCard.begin() + kCardIdentitySize);
    head.insert(head.end(), a.before.begin(), a.before.end());
    if (!writeAll(a.fd, head) || ::fsync(a.fd) != 0 || !syncFolder(folder)) {
        ::close(a.fd);
        a.fd = -1;
        ::unlink(a.path.c_str());
        return false;
    }
    return true;
}

// An unfinished undo goes on in its own record: what it kept already
// stays kept.
bool reopen(const std::string& path, Active& a)
{
    JournalRecord r;
    if (!readRecord(path, false, r) || r.complete)
        return false;
    a.fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (a.fd < 0)
        return false;
    a.path = path;
    a.before = r.before;
    for (uint16_t b : r.keptBlocks)
        if (b < a.kept.size())
            a.kept[b] = true;
    return true;
}

// The record of the change under way, made now if this is its first write.
// A card whose journal is off has none, and needs none.
Active* ensureRecord()
{
    Library& l = lib();
    JournalState& j = stateOf(l);
    if (j.active)
        return &*j.active;
    const std::string folder = journalFolder(l);
    Active a;
    a.sectors = (unsigned(l.userBlockCount) + kSystemBlocks) * kSectorsPerBlock;
    const SaveArea area = saveArea();
    a.kept.assign(area.end, false);
    // The card as it is now; an undo taken up again keeps the state it
    // started from as its before.
    std::vector<uint8_t> now;
    if (!readSystemArea(now))
        return nullptr;
    a.before = now;
    const bool made = j.resumePath.empty() ? openNew(j, folder, a) : reopen(j.resumePath, a);
    if (!made) {
        journalFailure(a);
        return nullptr;
    }
    a.shadow = now;
    a.usedBefore = usedIn(a.before, area);
    j.active = std::move(a);
    return &*j.active;
}

// Adds the blocks to the record, read from the card as they are now, and
// syncs it: only then may they be overwritten.
bool keep(Active& a, const std::vector<unsigned>& blocks)
{
    if (blocks.empty())
        return true;
    std::vector<uint8_t> chunk;
    Block b;
    for (unsigned block : blocks) {
        if (!readBlock(block, b))
            return false;
        chunk.push_back('B');
        chunk.push_back(uint8_t(block));
        chunk.push_back(uint8_t(block >> 8));
        chunk.insert(chunk.end(), b.begin(), b.end());
    }
    if (!writeAll(a.fd, chunk) || ::fdatasync(a.fd) != 0)
        return journalFailure(a);
    for (unsigned block : blocks)
        a.kept[block] = true;
    return true;
}

bool journalOn(Library& l) { return !journalFolder(l).empty(); }

// The directory a system area uses, when one copy is intact.
std::optional<Block> currentDirectory(const std::vector<uint8_t>& area)
{
    const Block d0 = blockAt(area, kDirectoryBlock[0]), d1 = blockAt(area, kDirectoryBlock[1]);
    const bool ok0 = directoryIntact(d0), ok1 = directoryIntact(d1);
    if (ok0 && ok1)
        return currentCopy(directoryCounter(d0), directoryCounter(d1)) == 0 ? d0 : d1;
    if (ok0 || ok1)
        return ok0 ? d0 : d1;
    return std::nullopt;
}

// What the change did, in a word, and the saves it touched.
void describe(const JournalState& j, const std::vector<uint8_t>& before,
              const std::vector<uint8_t>& after, const Active& a, std::string& what,
              std::string& saves)
{
    const auto was = currentDirectory(before), now = currentDirectory(after);
    std::set<std::string> removed, added, changed;
    if (was && now) {
        // Names in UTF-8: a Japanese card's are Shift-JIS, and so are a
        // Japanese game's on any other card, as the save list shows them.
        const bool japaneseCard = getBe16(&before[kHeaderEncoding]) == 1;
        const auto label = [&](const EntryRef& e) {
            const Encoding encoding =
                japaneseCard ? Encoding::ShiftJis : encodingForCode(std::span(e.p, 4));
            return textToUtf8(std::span(e.p + kEntryName, kEntryNameSize), encoding) + " (" +
                   e.code() + ")";
        };
        for (unsigned s = 0; s < kSaveSlotCount; ++s) {
            const EntryRef a = entryAt(*was, s);
            if (a.empty())
                continue;
            bool found = false;
            for (unsigned t = 0; t < kSaveSlotCount && !found; ++t) {
                const EntryRef b = entryAt(*now, t);
                if (b.empty() || !b.sameSave(a.p))
                    continue;
                found = true;
                if (std::memcmp(a.p, b.p, kEntrySize) != 0)
                    changed.insert(label(a));
            }
            if (!found)
                removed.insert(label(a));
        }
        for (unsigned t = 0; t < kSaveSlotCount; ++t) {
            const EntryRef b = entryAt(*now, t);
            bool found = b.empty();
            for (unsigned s = 0; s < kSaveSlotCount && !found; ++s)
                found = !entryAt(*was, s).empty() && entryAt(*was, s).sameSave(b.p);
            if (!found)
                added.insert(label(b));
        }
    }
    const bool header = std::memcmp(before.data(), after.data(), kSectorSize) != 0;
    if (!j.groupWhat.empty())
        what = j.groupWhat;
    else if (j.undoTarget)
        what = "undo to before #" + std::to_string(j.undoTarget);
    else if (header || a.whole)
        what = "write card";
    else if (!changed.empty() || (!removed.empty() && !added.empty()))
        what = "replace";
    else if (!removed.empty())
        what = "delete";
    else if (!added.empty())
        what = a.dataWritten ? "upload" : "recover"; // a save back on blocks it had
    else
        what = "repair";
    for (const auto* set : {&removed, &changed, &added})
        for (const std::string& s : *set)
            if (saves.find(s) == std::string::npos)
                saves += (saves.empty() ? "" : ", ") + s;
}

void prune(const JournalState& j, const std::string& folder)
{
    auto files = recordFiles(folder);
    uint64_t total = 0;
    for (const FileNumber& f : files)
        total += f.bytes;
    // The newest record stays whatever the bounds say: it is the change
    // just made.
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
        if (files.size() - i <= j.maxRecords && total <= j.maxBytes)
            break;
        if (::unlink((folder + "/" + nameOf(files[i].number)).c_str()) == 0)
            total -= files[i].bytes;
    }
    syncFolder(folder);
}

} // namespace

std::string journalFolder(const Library& card)
{
    const JournalState* j = card.journal.get();
    if (j && j->configured)
        return j->off ? std::string() : j->folder;
    // Unset: the user's data folder, unless the environment says otherwise
    // (a test run points it away or turns it off).
    if (const char* env = std::getenv("MCBRIDGE_JOURNAL"); env && *env)
        return std::strcmp(env, "off") == 0 ? std::string() : std::string(env);
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        return {};
    return base + "/cardsuite/journal";
}

bool readRecord(const std::string& path, bool withBlocks, JournalRecord& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out = JournalRecord{};
    out.path = path;
    const std::size_t slash = path.find_last_of('/');
    const auto number = numberOf(path.c_str() + (slash == std::string::npos ? 0 : slash + 1));
    out.number = number.value_or(0);
    uint8_t head[kHeadSize];
    bool ok = std::fread(head, 1, sizeof head, f) == sizeof head &&
              std::memcmp(head, kMagic, 4) == 0 && get(head + 4, 4) == kVersion;
    if (ok) {
        out.time = int64_t(get(head + 8, 8));
        out.undoes = uint32_t(get(head + 16, 4));
        out.sectors = uint32_t(get(head + 20, 4));
        std::memcpy(out.identity.data(), head + 24, kCardIdentitySize);
        out.before.resize(kSystemBytes);
        ok = std::fread(out.before.data(), 1, kSystemBytes, f) == kSystemBytes;
    }
    while (ok) {
        const int tag = std::fgetc(f);
        if (tag == 'B') {
            uint8_t n[2];
            std::vector<uint8_t> data(kBlockSize);
            if (std::fread(n, 1, 2, f) != 2)
                break;
            const auto block = uint16_t(n[0] | n[1] << 8);
            if (withBlocks) {
                if (std::fread(data.data(), 1, kBlockSize, f) != kBlockSize)
                    break;
                out.kept.emplace(block, std::move(data));
            } else {
                // The record's length says whether the block is all there.
                if (std::fseek(f, long(kBlockSize) - 1, SEEK_CUR) != 0 || std::fgetc(f) == EOF)
                    break;
            }
            out.keptBlocks.push_back(block);
        } else if (tag == 'E') {
            const int succeeded = std::fgetc(f);
            uint8_t n[4];
            std::string text[2];
            bool whole = true;
            for (std::string& t : text) {
                whole = whole && std::fread(n, 1, 4, f) == 4 && get(n, 4) < 4096;
                if (whole) {
                    t.resize(get(n, 4));
                    whole = std::fread(t.data(), 1, t.size(), f) == t.size();
                }
            }
            std::vector<uint8_t> after(kSystemBytes);
            if (whole && std::fread(after.data(), 1, kSystemBytes, f) == kSystemBytes) {
                out.what = text[0];
                out.saves = text[1];
                out.after = std::move(after);
                out.complete = true;
                out.succeeded = succeeded == 1;
            }
            break;
        } else {
            break;
        }
    }
    std::fseek(f, 0, SEEK_END);
    out.fileBytes = uint64_t(std::ftell(f));
    std::fclose(f);
    return ok;
}

std::vector<JournalRecord> listRecords(const std::string& folder)
{
    std::vector<JournalRecord> out;
    for (const FileNumber& f : recordFiles(folder)) {
        JournalRecord r;
        if (readRecord(folder + "/" + nameOf(f.number), false, r))
            out.push_back(std::move(r));
    }
    return out;
}

bool recordIsFor(const JournalRecord& r, const uint8_t* header, uint32_t sectors)
{
    if (r.sectors != sectors)
        return false;
    if (std::memcmp(r.identity.data(), header, kCardIdentitySize) == 0)
        return true;
    return r.complete && std::memcmp(r.after.data(), header, kCardIdentitySize) == 0;
}

std::vector<JournalRecord> recordsFor(const std::string& folder, const uint8_t* header,
                                      uint32_t sectors)
{
    std::vector<JournalRecord> all = listRecords(folder);
    // An undo of a whole card writes the header last; cut while it did,
    // the card has the header it was going back to, while the undo's record
    // names the card it started from. That record, and those of the card it
    // started from, are still this card's: the next undo finishes the job.
    std::vector<std::array<uint8_t, kCardIdentitySize>> ids(1);
    std::memcpy(ids[0].data(), header, kCardIdentitySize);
    for (const JournalRecord& u : all) {
        if (!u.undoes || (u.complete && u.succeeded) || u.sectors != sectors)
            continue;
        for (const JournalRecord& t : all)
            if (t.number == u.undoes && t.sectors == sectors &&
                std::memcmp(t.before.data(), header, kCardIdentitySize) == 0 &&
                std::memcmp(u.identity.data(), header, kCardIdentitySize) != 0)
                ids.push_back(u.identity);
    }
    std::vector<JournalRecord> out;
    for (JournalRecord& r : all)
        if (std::any_of(ids.begin(), ids.end(),
                        [&](const auto& id) { return recordIsFor(r, id.data(), sectors); }))
            out.push_back(std::move(r));
    return out;
}

namespace {

// A write of the header is a whole card written (a restore, a format):
// every block is kept, used or not.
bool keepWholeCard(Active& a, const SaveArea& area)
{
    a.whole = true;
    std::vector<unsigned> all;
    for (unsigned b = area.first; b < area.end; ++b)
        if (!a.kept[b])
            all.push_back(b);
    return keep(a, all);
}

// The record a write goes into, begun at the change's first write: none
// while the journal is off (or the card not yet sized), failed when the
// record could not be written.
struct RecordForWrite {
    Active* active = nullptr;
    bool failed = false;
};

RecordForWrite recordForWrite()
{
    Library& l = lib();
    if (!journalOn(l) || !l.cardSized)
        return {};
    Active* a = ensureRecord();
    return {a, a == nullptr};
}

} // namespace

bool journalWholeCard()
{
    const RecordForWrite r = recordForWrite();
    if (!r.active)
        return !r.failed;
    return r.active->whole || keepWholeCard(*r.active, saveArea());
}

bool journalBeforeWrite(unsigned sector)
{
    const RecordForWrite r = recordForWrite();
    if (!r.active)
        return !r.failed;
    Active* a = r.active;
    const unsigned block = sector / kSectorsPerBlock;
    const SaveArea area = saveArea();
    if (block == 0 && !a->whole)
        return keepWholeCard(*a, area);
    a->dataWritten = a->dataWritten || area.contains(block);
    if (area.contains(block) && !a->kept[block] && (a->whole || a->usedBefore[block]))
        return keep(*a, {block});
    return true;
}

void journalAfterWrite(unsigned sector, const uint8_t* data, bool erase, bool ok)
{
    Library& l = lib();
    if (!l.journal || !l.journal->active)
        return;
    Active& a = *l.journal->active;
    if (!ok)
        a.shadowSure = false;
    const unsigned block = sector / kSectorsPerBlock;
    if (!ok || block >= kSystemBlocks)
        return;
    if (erase)
        std::fill_n(&a.shadow[std::size_t(block) * kBlockSize], kBlockSize, uint8_t(0xFF));
    else
        std::memcpy(&a.shadow[std::size_t(sector) * kSectorSize], data, kSectorSize);
}

bool journalBeforeCommit(const Block& newMap)
{
    Library& l = lib();
    if (!journalOn(l) || !l.cardSized)
        return true;
    Active* a = ensureRecord();
    if (!a)
        return false;
    // The blocks of saves this commit frees or relinks: after it, nothing
    // on the card says whose they were.
    const SaveArea area = saveArea();
    std::vector<unsigned> freed;
    for (unsigned b = area.first; b < area.end && b < kMapBlockLimit; ++b)
        if (a->usedBefore[b] && !a->kept[b] && mapEntry(l.mapOnCard, b) != mapEntry(newMap, b))
            freed.push_back(b);
    return keep(*a, freed);
}

void journalFinish(Library& card)
{
    JournalState& j = stateOf(card);
    if (j.active) {
        Active& a = *j.active;
        const int32_t reason = card.lastError;
        std::vector<uint8_t> after;
        if (a.fd >= 0 && a.shadowSure)
            after = a.shadow;
        else if (a.fd >= 0 && card.device && !readSystemArea(after))
            after.clear();
        if (a.fd >= 0 && after.size() == kSystemBytes) {
            std::string what, saves;
            describe(j, a.before, after, a, what, saves);
            std::vector<uint8_t> end{'E', uint8_t(j.failed ? 0 : 1)};
            put32(end, uint32_t(what.size()));
            end.insert(end.end(), what.begin(), what.end());
            put32(end, uint32_t(saves.size()));
            end.insert(end.end(), saves.begin(), saves.end());
            end.insert(end.end(), after.begin(), after.end());
            if (writeAll(a.fd, end))
                ::fdatasync(a.fd);
        }
        if (a.fd >= 0)
            ::close(a.fd);
        card.lastError = reason;
        j.active.reset();
        const std::string folder = journalFolder(card);
        if (!folder.empty())
            prune(j, folder);
    }
    j.groupWhat.clear();
    j.failed = false;
    j.undoTarget = 0;
    j.resumePath.clear();
}

void journalCallEnded(Library& card, bool succeeded)
{
    JournalState& j = stateOf(card);
    j.failed = j.failed || !succeeded;
    if (j.depth == 0)
        journalFinish(card);
}

void journalSet(Library& card, bool off, const std::string& folder)
{
    JournalState& j = stateOf(card);
    journalFinish(card);
    j.configured = off || !folder.empty();
    j.off = off;
    j.folder = folder;
}

void journalLimits(Library& card, uint32_t records, uint64_t bytes)
{
    JournalState& j = stateOf(card);
    j.maxRecords = records ? records : kJournalRecords;
    j.maxBytes = bytes ? bytes : kJournalBytes;
}

void journalBegin(Library& card, const std::string& what)
{
    JournalState& j = stateOf(card);
    if (j.depth++ == 0)
        j.groupWhat = what;
}

bool journalEnd(Library& card)
{
    JournalState& j = stateOf(card);
    if (j.depth == 0)
        return false;
    if (--j.depth == 0)
        journalFinish(card);
    return true;
}

void journalMarkUndo(Library& card, uint32_t number, const std::string& resumePath)
{
    JournalState& j = stateOf(card);
    j.undoTarget = number;
    j.resumePath = resumePath;
}

} // namespace mcb
