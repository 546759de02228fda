// cardtool's history and undo: each kind of change undone gives the image
// back, and the refusals say why.
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

struct HistoryCase {
    const char* name;
    const char* command; // {dir} stands for the test's folder
    const char* says;    // in the history
};

void PrintTo(const HistoryCase& c, std::ostream* os) { *os << c.name; }

std::string expand(std::string text, const std::string& dir)
{
    for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;)
        text.replace(at, 5, dir);
    return text;
}

struct CardtoolUndo : testing::TestWithParam<HistoryCase> {
    TempDir dir;
    std::string env = "MCBRIDGE_JOURNAL=" + dir.file("journal");
    std::string card = " --device image:" + dir.file("card.raw") + " ";
    std::vector<uint8_t> image = [] {
        auto i = formatCard(mcb::FormatOptions{4});
        placeSave(i, 0, makeSaveFile({.name = "a", .blocks = 2}), 5);
        placeSave(i, 1, makeSaveFile({.name = "b", .blocks = 3, .seed = 4}), 7);
        mcbtest::setMapEntryOnCard(i, 40, 0xFFFF); // leaked: a repair frees it
        return i;
    }();

    void SetUp() override
    {
        writeFile(dir.file("card.raw"), image);
        writeFile(dir.file("new.gci"), makeSaveFile({.name = "n", .blocks = 4, .seed = 6}));
        auto other = image;
        placeSave(other, 2, makeSaveFile({.name = "c", .blocks = 2, .seed = 8}), 20);
        writeFile(dir.file("other.raw"), other);
    }
    Result run(const std::string& args, const std::string& e = "")
    {
        return cardtool(card + args, e.empty() ? env : e);
    }
};

TEST_P(CardtoolUndo, PutsTheCardBack)
{
    const HistoryCase& c = GetParam();
    const Result change = run(expand(c.command, dir.path()));
    ASSERT_EQ(change.status, 0) << change.out;
    ASSERT_NE(readFile(dir.file("card.raw")), image);
    const Result h = run("history");
    ASSERT_EQ(h.status, 0) << h.out;
    EXPECT_TRUE(says(h, std::string("#1 ")) && says(h, c.says)) << h.out;
    const Result u = run("undo");
    ASSERT_EQ(u.status, 0) << u.out;
    EXPECT_TRUE(says(u, "Put the card back as it was before change #1")) << u.out;
    const auto now = readFile(dir.file("card.raw"));
    // The system area byte for byte, and the saves as they were.
    ASSERT_TRUE(std::equal(image.begin(), image.begin() + 5 * mcb::kBlockSize, now.begin()));
    ASSERT_EQ(blocksOf(now, 5, 5), blocksOf(image, 5, 5));
}

const HistoryCase kCases[] = {
    {"Delete", "delete 1", "delete: b (GTSE01)  (3 blocks kept)"},
    {"Upload", "upload {dir}/new.gci", "upload: n (GTSE01)"},
    {"Restore", "restore {dir}/other.raw", "write card"},
    {"Repair", "repair --apply", "repair"},
    {"TwoDeletesAsOne", "delete 0 1", "delete: a (GTSE01), b (GTSE01)"},
};

INSTANTIATE_TEST_SUITE_P(Journal, CardtoolUndo, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HistoryCase>& info) {
                             return std::string(info.param.name);
                         });

using CardtoolHistory = CardtoolUndo;

TEST_F(CardtoolHistory, UndoIsRefusedWhenTheCardChangedElsewhere)
{
    ASSERT_EQ(run("delete 1").status, 0);
    ASSERT_EQ(run("delete 0", "MCBRIDGE_JOURNAL=off").status, 0);
    const auto changed = readFile(dir.file("card.raw"));
    const Result u = run("undo");
    EXPECT_EQ(u.status, 1);
    EXPECT_TRUE(says(u, "cannot undo: the card was changed elsewhere since")) << u.out;
    EXPECT_EQ(readFile(dir.file("card.raw")), changed);
}

TEST_F(CardtoolHistory, WrongNumbersAreToldApart)
{
    EXPECT_TRUE(says(run("history"), "The journal holds no change to this card."))
        << run("history").out;
    EXPECT_EQ(run("undo").status, 1);
    ASSERT_EQ(run("delete 1").status, 0);
    EXPECT_EQ(run("undo x").status, 2);
    EXPECT_EQ(run("undo 0").status, 2);
    EXPECT_EQ(run("undo 1 2").status, 2);
    const Result missing = run("undo 7");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(says(missing, "no change #7 to this card in the journal")) << missing.out;
    ASSERT_EQ(run("undo 1").status, 0);
    // The undo is change #2; undoing it deletes the save again.
    ASSERT_EQ(run("undo 2").status, 0);
    const Result list = run("list");
    EXPECT_TRUE(says(list, "a\n") && !says(list, "b\n")) << list.out;
}

} // namespace
