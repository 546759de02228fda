// The journal: every kind of change undone gives the card back as it was,
// changes undone in order, refusals when the card changed elsewhere or the
// journal cannot be written, the bounds, groups, cards followed by identity,
// and an undo cut at every write.
#include "emulated_card.h"
#include "mcbridge.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dirent.h>
#include <functional>
#include <memory>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

// A card whose records go to folder ("" for none).
Card open(const char* device, const std::string& folder)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(device, &c), MCB_OK) << device;
    EXPECT_EQ(mcb_set_journal(c, folder.empty() ? nullptr : folder.c_str(),
                              folder.empty() ? MCB_JOURNAL_OFF : 0),
              MCB_OK);
    return Card(c);
}

const SaveSpec kA{.name = "a", .blocks = 2, .seed = 3};
const SaveSpec kB{.name = "b", .blocks = 3, .seed = 5};

// Saves a, b, then a filler of fill blocks, on a 4 Mbit card (59 blocks).
std::vector<uint8_t> twoSaves(unsigned fill = 0)
{
    auto image = formatCard(FormatOptions{4});
    placeSave(image, 0, makeSaveFile(kA), 5);
    placeSave(image, 1, makeSaveFile(kB), 7);
    if (fill)
        placeSave(image, 2, makeSaveFile({.name = "fill", .blocks = fill, .seed = 9}), 10);
    return image;
}

int writeSave(mcb_card* c, const std::vector<uint8_t>& file, int32_t policy, uint32_t flags = 0)
{
    const mcb_write_request r{sizeof(mcb_write_request), policy, 0, flags};
    return mcb_write_save(c, file.data(), file.size(), &r, nullptr);
}

std::vector<uint8_t> systemArea(const std::vector<uint8_t>& image)
{
    return {image.begin(), image.begin() + kSystemBlocks * kBlockSize};
}

// The card as a console sees it: the system area byte for byte and every
// block that either map copy of expected marks used. Blocks that were free
// and held nothing need not come back.
void expectSameCard(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                    const std::string& where)
{
    ASSERT_EQ(expected.size(), actual.size());
    ASSERT_TRUE(systemArea(expected) == systemArea(actual)) << where;
    for (unsigned m : kMapBlock)
        for (unsigned b = kSystemBlocks; b < expected.size() / kBlockSize; ++b) {
            const std::size_t entry = m * kBlockSize + 2 * b;
            if (expected[entry] == 0 && expected[entry + 1] == 0)
                continue;
            ASSERT_TRUE(std::equal(expected.begin() + b * kBlockSize,
                                   expected.begin() + (b + 1) * kBlockSize,
                                   actual.begin() + b * kBlockSize))
                << where << ": block " << b;
        }
}

std::vector<mcb_journal_entry> history(mcb_card* c)
{
    const int n = mcb_journal_list(c, nullptr, 0);
    EXPECT_GE(n, 0);
    std::vector<mcb_journal_entry> out(std::size_t(std::max(n, 0)));
    for (auto& e : out)
        e.size = sizeof e;
    EXPECT_EQ(mcb_journal_list(c, out.data(), out.size()), n);
    return out;
}

std::vector<std::string> recordFiles(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::strstr(e->d_name, ".mcj"))
                names.emplace_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// ---- Each kind of change undone ---------------------------------------

struct ChangeCase {
    const char* name;
    unsigned fill;                        // the filler save's blocks (room on the card)
    std::function<int(mcb_card*)> change; // makes the change through the journal
    bool whole;                           // the whole card comes back byte for byte
    const char* what;                     // as the history says
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

std::vector<uint8_t> otherCardImage()
{
    auto image = twoSaves();
    placeSave(image, 2, makeSaveFile({.name = "c", .blocks = 4, .seed = 7}), 20);
    return image;
}

// Another card's image, with saves where the card has its own: restored
// with its own identity, the header changes as a format's does.
std::vector<uint8_t> otherIdentityImage()
{
    FormatOptions o{4};
    o.serial = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    auto image = formatCard(o);
    placeSave(image, 0, makeSaveFile({.name = "o", .blocks = 9, .seed = 11}), 5);
    return image;
}

const ChangeCase kChanges[] = {
    {"UploadNew", 0,
     [](mcb_card* c) {
         return writeSave(c, makeSaveFile({.name = "n", .blocks = 7, .seed = 2}), MCB_WRITE_NEW);
     },
     false, "upload"},
    {"ReplaceByName", 0,
     [](mcb_card* c) {
         return writeSave(c, makeSaveFile({.name = "b", .blocks = 4, .seed = 8}),
                          MCB_WRITE_REPLACE_NAME);
     },
     false, "replace"},
    // Too little room: the old save goes first and the new one lands on
    // its blocks, which the record must have kept.
    {"ReplaceDeletingFirst", 50,
     [](mcb_card* c) {
         return writeSave(c, makeSaveFile({.name = "b", .blocks = 5, .seed = 8}),
                          MCB_WRITE_REPLACE_NAME, MCB_WRITE_DELETE_FIRST);
     },
     false, "replace"},
    {"Delete", 0, [](mcb_card* c) { return mcb_delete_save(c, 1, nullptr); }, false, "delete"},
    {"RestoreImage", 0,
     [](mcb_card* c) {
         const auto image = otherCardImage();
         return mcb_write_image(c, image.data(), image.size(), MCB_RESTORE_SAME_CARD);
     },
     true, "write card"},
    {"Format", 0, [](mcb_card* c) { return mcb_format(c, 1); }, true, "write card"},
    {"RestoreOtherCard", 0,
     [](mcb_card* c) {
         const auto image = otherIdentityImage();
         return mcb_write_image(c, image.data(), image.size(), MCB_RESTORE_FORCE);
     },
     true, "write card"},
    {"Repair", 0,
     [](mcb_card* c) {
         uint32_t n = 0;
         return mcb_repair(c, 1, &n);
     },
     false, "repair"},
    // The card's last change (made without the journal) deleted b.
    {"Recover", 0,
     [](mcb_card* c) {
         uint32_t n = 0;
         const int found = mcb_recover_find(c, &n);
         return found == MCB_OK ? mcb_recover(c, 1, &n) : found;
     },
     false, "recover"},
};

class Undo : public testing::TestWithParam<ChangeCase> {};

TEST_P(Undo, GivesTheCardBack)
{
    const ChangeCase& k = GetParam();
    TempDir dir;
    NamedCards cards;
    auto image = twoSaves(k.fill);
    if (std::string(k.name) == "Repair")
        setMapEntryOnCard(image, 40, 0xFFFF); // a leaked block the repair frees
    auto& card = cards.add("mem:A", image);
    if (std::string(k.name) == "Recover") {
        ASSERT_EQ(mcb_delete_save(open("mem:A", "").get(), 1, nullptr), MCB_OK);
        image = card.image();
    }
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(k.change(c.get()), MCB_OK) << mcb_strerror(mcb_card_error(c.get()));
    ASSERT_NE(card.image(), image) << "the change changed nothing";
    const auto records = history(c.get());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0].what, k.what);
    EXPECT_TRUE(records[0].complete);

    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK) << mcb_strerror(mcb_card_error(c.get()));
    if (k.whole)
        EXPECT_TRUE(card.image() == image);
    else
        expectSameCard(image, card.image(), k.name);
    EXPECT_EQ(history(c.get()).size(), 2u); // the undo is a record too
}

INSTANTIATE_TEST_SUITE_P(Journal, Undo, testing::ValuesIn(kChanges),
                         [](const testing::TestParamInfo<ChangeCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- Undo in order, undo of an undo, another device string ------------

struct JournalTest : testing::Test {
    TempDir dir;
    NamedCards cards;
    std::vector<uint8_t> image = twoSaves();
    NamedCards::Card& card = cards.add("mem:A", image);
};

TEST_F(JournalTest, TwoChangesUndoneStepByStep)
{
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(writeSave(c.get(), makeSaveFile({.name = "n", .blocks = 7}), MCB_WRITE_NEW), MCB_OK);
    const auto afterUpload = card.image();
    ASSERT_EQ(mcb_delete_save(c.get(), 0, nullptr), MCB_OK);
    // Each undo steps one change further back, as an editor's does.
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK);
    expectSameCard(afterUpload, card.image(), "first undo");
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK);
    expectSameCard(image, card.image(), "second undo");
    EXPECT_EQ(mcb_undo(c.get(), 0), MCB_E_BAD_ARGUMENT); // nothing left to undo
}

TEST_F(JournalTest, UndoToARecordTakesBackEveryLaterOne)
{
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(writeSave(c.get(), makeSaveFile({.name = "n", .blocks = 7}), MCB_WRITE_NEW), MCB_OK);
    ASSERT_EQ(mcb_delete_save(c.get(), 1, nullptr), MCB_OK);
    ASSERT_EQ(writeSave(c.get(), makeSaveFile({.name = "a", .blocks = 3, .seed = 4}),
                        MCB_WRITE_REPLACE_NAME),
              MCB_OK);
    const auto records = history(c.get());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_STREQ(records[1].what, "delete");
    EXPECT_STREQ(records[1].saves, "b (GTSE01)");
    EXPECT_EQ(records[1].blocks, 3u);
    EXPECT_EQ(records[2].blocks, 0u); // a new save on free blocks keeps only the system area
    ASSERT_EQ(mcb_undo(c.get(), records[2].number), MCB_OK);
    expectSameCard(image, card.image(), "undo to the first");
}

// A delete keeps the save's blocks: the change after it may take them.
TEST_F(JournalTest, ADeletedSaveComesBackAfterItsBlocksWereReused)
{
    const auto full = twoSaves(50);
    card.image() = full;
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(mcb_delete_save(c.get(), 1, nullptr), MCB_OK);
    // Two changes later no map copy remembers whose the blocks were.
    ASSERT_EQ(writeSave(c.get(), makeSaveFile({.name = "m"}), MCB_WRITE_NEW), MCB_OK);
    ASSERT_EQ(
        writeSave(c.get(), makeSaveFile({.name = "n", .blocks = 6, .seed = 4}), MCB_WRITE_NEW),
        MCB_OK);
    ASSERT_NE(blocksOf(card.image(), 7, 3), blocksOf(full, 7, 3)) << "the blocks were not reused";
    ASSERT_EQ(mcb_undo(c.get(), history(c.get()).back().number), MCB_OK);
    expectSameCard(full, card.image(), "deleted and reused");
}

TEST_F(JournalTest, AnUndoCanBeUndone)
{
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(mcb_delete_save(c.get(), 1, nullptr), MCB_OK);
    const auto deleted = card.image();
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK);
    const auto undo = history(c.get()).front();
    EXPECT_EQ(undo.undoes, history(c.get()).back().number);
    ASSERT_EQ(mcb_undo(c.get(), undo.number), MCB_OK);
    expectSameCard(deleted, card.image(), "undo of the undo");
}

// An undo of a whole card written is itself a whole card written: undone,
// the card is again what the restore or the format made, block for block.
class UndoOfWholeCard : public testing::TestWithParam<ChangeCase> {};

TEST_P(UndoOfWholeCard, IsUndoneByteForByte)
{
    TempDir dir;
    NamedCards cards;
    auto& card = cards.add("mem:A", twoSaves());
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(GetParam().change(c.get()), MCB_OK);
    const auto written = card.image();
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK);
    ASSERT_EQ(mcb_undo(c.get(), history(c.get()).front().number), MCB_OK)
        << mcb_strerror(mcb_card_error(c.get()));
    EXPECT_TRUE(card.image() == written);
}

INSTANTIATE_TEST_SUITE_P(Journal, UndoOfWholeCard,
                         testing::Values(kChanges[4], kChanges[5], kChanges[6]),
                         [](const testing::TestParamInfo<ChangeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(JournalTest, RecordsFollowTheCardNotItsDeviceString)
{
    {
        const Card c = open("mem:A", dir.path());
        ASSERT_EQ(mcb_delete_save(c.get(), 1, nullptr), MCB_OK);
    }
    cards.add("mem:copy", card.image());
    auto stranger = formatCard(FormatOptions{4});
    stranger[0] ^= 1; // another card's identity
    cards.add("mem:other", stranger);
    const Card other = open("mem:other", dir.path());
    EXPECT_TRUE(history(other.get()).empty());
    EXPECT_EQ(mcb_undo(other.get(), 0), MCB_E_BAD_ARGUMENT);
    const Card copy = open("mem:copy", dir.path());
    ASSERT_EQ(history(copy.get()).size(), 1u);
    ASSERT_EQ(mcb_undo(copy.get(), 0), MCB_OK);
    expectSameCard(image, cards["mem:copy"].image(), "undone on the image");
}

TEST_F(JournalTest, RefusedWhenTheCardChangedElsewhere)
{
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(mcb_delete_save(c.get(), 1, nullptr), MCB_OK);
    {
        // Another program, keeping no journal, changes the card.
        const Card elsewhere = open("mem:A", "");
        ASSERT_EQ(mcb_delete_save(elsewhere.get(), 0, nullptr), MCB_OK);
    }
    const auto changed = card.image();
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_E_JOURNAL);
    EXPECT_STREQ(mcb_strerror(MCB_E_JOURNAL), "the card was changed elsewhere since");
    EXPECT_TRUE(card.image() == changed);
    EXPECT_EQ(history(c.get()).size(), 1u);
}

TEST_F(JournalTest, AGroupIsOneRecord)
{
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(mcb_journal_begin(c.get(), "batch upload"), MCB_OK);
    ASSERT_EQ(writeSave(c.get(), makeSaveFile({.name = "n", .blocks = 2}), MCB_WRITE_NEW), MCB_OK);
    ASSERT_EQ(writeSave(c.get(), makeSaveFile({.name = "m", .blocks = 2}), MCB_WRITE_NEW), MCB_OK);
    ASSERT_EQ(mcb_journal_end(c.get()), MCB_OK);
    EXPECT_EQ(mcb_journal_end(c.get()), MCB_E_BAD_ARGUMENT);
    const auto records = history(c.get());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0].what, "batch upload");
    EXPECT_STREQ(records[0].saves, "m (GTSE01), n (GTSE01)");
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK);
    expectSameCard(image, card.image(), "group undone");
}

TEST_F(JournalTest, TheDefaultFolderIsTheUsersDataFolder)
{
    // The test programs run with MCBRIDGE_JOURNAL=off; unset, the records go
    // under XDG_DATA_HOME.
    const std::string saved =
        std::getenv("MCBRIDGE_JOURNAL") ? std::getenv("MCBRIDGE_JOURNAL") : "";
    unsetenv("MCBRIDGE_JOURNAL");
    setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    {
        mcb_card* c = nullptr;
        ASSERT_EQ(mcb_open("mem:A", &c), MCB_OK);
        EXPECT_EQ(mcb_delete_save(c, 1, nullptr), MCB_OK);
        mcb_close(c);
    }
    unsetenv("XDG_DATA_HOME");
    setenv("MCBRIDGE_JOURNAL", saved.c_str(), 1);
    EXPECT_EQ(recordFiles(dir.path() + "/cardsuite/journal").size(), 1u);
}

// ---- A journal that cannot be written: nothing happens -----------------

struct RefusalCase {
    const char* name;
    std::function<int(mcb_card*)> change;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class NoJournal : public testing::TestWithParam<RefusalCase> {};

TEST_P(NoJournal, LeavesTheCardUntouched)
{
    TempDir dir;
    writeFile(dir.file("file"), {1, 2, 3});
    NamedCards cards;
    const auto image = twoSaves();
    auto& card = cards.add("mem:A", image);
    // A folder under a plain file can never be made, whoever runs the test.
    const Card c = open("mem:A", dir.file("file") + "/journal");
    card.traffic->sectorWrites = 0;
    EXPECT_EQ(GetParam().change(c.get()), MCB_E_JOURNAL_FILE);
    EXPECT_EQ(card.traffic->sectorWrites, 0u);
    EXPECT_TRUE(card.image() == image);
}

const RefusalCase kRefusals[] = {
    {"Upload",
     [](mcb_card* c) { return writeSave(c, makeSaveFile({.name = "n"}), MCB_WRITE_NEW); }},
    {"Delete", [](mcb_card* c) { return mcb_delete_save(c, 0, nullptr); }},
    {"Format", [](mcb_card* c) { return mcb_format(c, 0); }},
};

INSTANTIATE_TEST_SUITE_P(Journal, NoJournal, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- Bounds -------------------------------------------------------------

struct BoundCase {
    const char* name;
    uint32_t records;
    uint64_t bytes;
    std::size_t kept;
};

void PrintTo(const BoundCase& c, std::ostream* os) { *os << c.name; }

class Bounds : public testing::TestWithParam<BoundCase> {};

TEST_P(Bounds, DropTheOldestRecordsFirst)
{
    const BoundCase& b = GetParam();
    TempDir dir;
    NamedCards cards;
    cards.add("mem:A", twoSaves());
    const Card c = open("mem:A", dir.path());
    ASSERT_EQ(mcb_set_journal_limits(c.get(), b.records, b.bytes), MCB_OK);
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(
            writeSave(c.get(), makeSaveFile({.name = "n" + std::to_string(i)}), MCB_WRITE_NEW),
            MCB_OK);
    const auto files = recordFiles(dir.path());
    ASSERT_EQ(files.size(), b.kept);
    EXPECT_EQ(files.back(), "00000005.mcj");
    EXPECT_EQ(history(c.get()).front().number, 5u);
}

// A record of an upload onto free blocks is its head and two system areas,
// a little over 80 KiB.
const BoundCase kBounds[] = {
    {"ByCount", 3, 0, 3},
    {"BySize", 0, 200000, 2},
    {"NewestAlwaysStays", 0, 1000, 1},
};

INSTANTIATE_TEST_SUITE_P(Journal, Bounds, testing::ValuesIn(kBounds),
                         [](const testing::TestParamInfo<BoundCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- An undo cut at every write -----------------------------------------

class CutUndo : public testing::TestWithParam<ChangeCase> {};

// The cut takes the link with it. When the undo had sent every write it
// began, the library knows the system area it left and ends the record
// itself; when a write was under way, the record has no end. A link that
// kept answering would have read back the system area the undo left and
// ended the record as failed: made so here by hand.
void endAsReadBack(const std::string& folder, const std::vector<uint8_t>& card)
{
    const std::string path = folder + "/" + recordFiles(folder).back();
    auto bytes = readFile(path);
    std::size_t at = 4 + 4 + 8 + 4 + 4 + 32 + kSystemBlocks * kBlockSize;
    while (at < bytes.size() && bytes[at] == 'B')
        at += 3 + kBlockSize;
    if (at < bytes.size()) {
        ASSERT_EQ(bytes[at], 'E') << "a record holds blocks, then its end";
        return;
    }
    bytes.insert(bytes.end(), {'E', 0, 0, 0, 0, 0, 0, 0, 0, 0});
    bytes.insert(bytes.end(), card.begin(), card.begin() + kSystemBlocks * kBlockSize);
    writeFile(path, bytes);
}

TEST_P(CutUndo, LeavesASoundCardAndTheNextUndoFinishes)
{
    const ChangeCase& k = GetParam();
    TempDir dir;
    NamedCards cards;
    const auto image = twoSaves(k.fill);
    auto& card = cards.add("mem:A", image);
    {
        const Card c = open("mem:A", dir.path());
        ASSERT_EQ(k.change(c.get()), MCB_OK);
    }
    const auto changed = card.image();
    const auto files = recordFiles(dir.path());
    ASSERT_EQ(files.size(), 1u);
    const auto record = readFile(dir.file(files[0]));
    uint64_t total = 0;
    {
        const Card c = open("mem:A", dir.path());
        card.traffic->sectorWrites = 0;
        ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK);
        total = card.traffic->sectorWrites;
    }
    ASSERT_GT(total, 0u);
    for (uint64_t n = 1; n < total; ++n) {
        TempDir journal;
        writeFile(journal.file(files[0]), record);
        card.image() = changed;
        card.faults.cutAfterSectorWrites = n;
        {
            const Card c = open("mem:A", journal.path());
            ASSERT_NE(mcb_undo(c.get(), 0), MCB_OK) << n;
        }
        if (n % 2)
            endAsReadBack(journal.path(), card.image());
        const CardReport report = inspectCard(card.image());
        ASSERT_TRUE(report.sound())
            << "cut after " << n << ": " << (report.problems.empty() ? "" : report.problems[0]);
        card.faults = {};
        const Card c = open("mem:A", journal.path());
        ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK) << "cut after " << n;
        if (k.whole)
            ASSERT_TRUE(card.image() == image) << "cut after " << n;
        else
            expectSameCard(image, card.image(), "cut after " + std::to_string(n));
    }
    std::printf("undo cut sweep %-22s %llu points, all passed\n", k.name,
                static_cast<unsigned long long>(total - 1));
}

INSTANTIATE_TEST_SUITE_P(Journal, CutUndo,
                         testing::Values(kChanges[0], kChanges[1], kChanges[2], kChanges[3],
                                         kChanges[4], kChanges[5], kChanges[6]),
                         [](const testing::TestParamInfo<ChangeCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
