// A folder card's changes undone: each handle opens the folder anew, as
// cardtool does one command at a time, and the files come back byte for
// byte. A folder card has an identity of its own, which a copy of the
// folder shares and no other folder does.
#include "folder_medium.h"
#include "mcbridge.h"
#include "mcbridge/folder_names.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

Card open(const std::string& folder, const std::string& journal)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(("folder:" + folder + "?size=4").c_str(), &c), MCB_OK);
    EXPECT_EQ(mcb_set_journal(c, journal.c_str(), 0), MCB_OK);
    return Card(c);
}

using Files = std::map<std::string, std::vector<uint8_t>>;

Files filesOf(const std::string& dir)
{
    Files files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        files[e.path().filename().string()] = readFile(e.path().string());
    return files;
}

int writeSave(mcb_card* card, const std::vector<uint8_t>& save, int32_t policy)
{
    const mcb_write_request r{sizeof r, policy, 0, 0};
    return mcb_write_save(card, save.data(), save.size(), &r, nullptr);
}

int slotNamed(mcb_card* card, const std::string& name)
{
    mcb_load(card);
    for (uint32_t slot = 0; slot < MCB_SLOTS; ++slot) {
        uint8_t e[MCB_ENTRY_SIZE];
        if (mcb_entry(card, slot, e, sizeof e) == MCB_OK &&
            std::string(reinterpret_cast<char*>(e + MCB_ENTRY_NAME)).starts_with(name))
            return int(slot);
    }
    return -1;
}

const std::vector<uint8_t> kTown = makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 3});
const std::vector<uint8_t> kRace =
    makeSaveFile({.code = "GFZE8P", .name = "race", .blocks = 2, .seed = 6});
const std::vector<uint8_t> kNewTown =
    makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 5, .seed = 9});
const std::vector<uint8_t> kSeven =
    makeSaveFile({.code = "GZLE01", .name = "zelda", .blocks = 7, .seed = 4});

// A folder card with two saves the card wrote, and a file that is no save.
struct FolderCard {
    TempDir dir;
    std::string card = dir.file("card");
    std::string journal = dir.file("journal");
    FolderCard()
    {
        std::filesystem::create_directory(card);
        writeFile(card + "/notes.txt", {'h', 'i'});
        const Card c = open(card, journal);
        EXPECT_EQ(writeSave(c.get(), kTown, MCB_WRITE_NEW), MCB_OK);
        EXPECT_EQ(writeSave(c.get(), kRace, MCB_WRITE_NEW), MCB_OK);
    }
};

struct Change {
    const char* name;
    std::function<int(mcb_card*)> act;
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }

const Change kChanges[] = {
    {"Upload", [](mcb_card* c) { return writeSave(c, kSeven, MCB_WRITE_NEW); }},
    {"Delete", [](mcb_card* c) { return mcb_delete_save(c, slotNamed(c, "town"), nullptr); }},
    {"Replace", [](mcb_card* c) { return writeSave(c, kNewTown, MCB_WRITE_REPLACE_NAME); }},
    {"Format", [](mcb_card* c) { return mcb_format(c, 0); }},
};

class FolderUndo : public testing::TestWithParam<Change> {};

TEST_P(FolderUndo, GivesTheFilesBackByteForByte)
{
    FolderCard f;
    const Files before = filesOf(f.card);
    ASSERT_EQ(GetParam().act(open(f.card, f.journal).get()), MCB_OK);
    ASSERT_NE(filesOf(f.card), before) << "the change changed no file";

    const Card c = open(f.card, f.journal);
    ASSERT_EQ(mcb_undo(c.get(), 0), MCB_OK) << mcb_strerror(mcb_card_error(c.get()));
    EXPECT_EQ(filesOf(f.card), before);
}

INSTANTIATE_TEST_SUITE_P(Rows, FolderUndo, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<uint8_t> identityOf(const std::string& folder)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(("folder:" + folder + "?size=4").c_str(), &c), MCB_OK);
    std::vector<uint8_t> image(size_t(4) * 16 * kBlockSize);
    size_t length = 0;
    EXPECT_EQ(mcb_read_image(c, image.data(), image.size(), &length), MCB_OK);
    mcb_close(c);
    return {image.begin(), image.begin() + 32};
}

struct Where {
    const char* name;
    std::function<std::string(FolderCard&)> other; // another folder, from the card's
    bool same;                                     // the same card as the first
};

void PrintTo(const Where& w, std::ostream* os) { *os << w.name; }

class FolderIdentity : public testing::TestWithParam<Where> {};

// The journal tells cards apart by identity: a copy of the folder is the
// same card (its records apply while its system area matches), another
// folder holding the very same saves is not.
TEST_P(FolderIdentity, IsTheFoldersOwn)
{
    FolderCard f;
    const auto first = identityOf(f.card);
    EXPECT_EQ(identityOf(f.card), first) << "opened again";
    EXPECT_NE(first, std::vector<uint8_t>(32, 0));
    const std::string other = GetParam().other(f);
    EXPECT_EQ(identityOf(other) == first, GetParam().same);
    const Card c = open(other, f.journal);
    EXPECT_EQ(mcb_journal_list(c.get(), nullptr, 0) > 0, GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Rows, FolderIdentity,
                         testing::Values(Where{"CopiedFolder",
                                               [](FolderCard& f) {
                                                   const std::string to = f.dir.file("copy");
                                                   std::filesystem::copy(f.card, to);
                                                   return to;
                                               },
                                               true},
                                         Where{"FolderWithTheSameSaves",
                                               [](FolderCard& f) {
                                                   const std::string to = f.dir.file("other");
                                                   std::filesystem::create_directory(to);
                                                   for (const auto& e :
                                                        std::filesystem::directory_iterator(f.card))
                                                       if (e.path().filename() != kCardFile)
                                                           std::filesystem::copy(
                                                               e.path(), to / e.path().filename());
                                                   return to;
                                               },
                                               false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
