// cardtool on twin saves, on a card too full for a replacement, and after
// writes the adapter broke off: it acts on the slot it was given, refuses
// what it cannot tell apart, and says what the card holds afterwards, which
// the card image must bear out.
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

class CardOutcome : public ::testing::Test {
protected:
    std::string card() const { return dir.file("card.raw"); }
    std::string dev() const { return "--device image:" + card() + " "; }
    Result tool(const std::string& args, const std::string& faults = "") const
    {
        return cardtool(dev() + args, faults.empty() ? "" : "MCBRIDGE_FAULTS=" + faults);
    }
    void makeCard(const std::vector<std::pair<SaveSpec, unsigned>>& saves)
    {
        image = mcb::formatCard(mcb::FormatOptions{4});
        unsigned slot = 0;
        for (const auto& [spec, first] : saves)
            placeSave(image, slot++, makeSaveFile(spec), first);
        writeFile(card(), image);
    }
    // The data of the card's save named name, as the image holds it (the
    // saves here lie in consecutive blocks); nothing when there is none.
    std::optional<std::vector<uint8_t>> onCard(const std::string& name) const
    {
        const std::vector<uint8_t> now = readFile(card());
        for (const mcb::SaveInfo& s : mcb::inspectCard(now).saves)
            if (s.name == name)
                return blocksOf(now, s.firstBlock, s.blockCount);
        return std::nullopt;
    }
    static std::vector<uint8_t> dataOf(std::vector<uint8_t> file)
    {
        file.erase(file.begin(), file.begin() + 64);
        return file;
    }

    TempDir dir;
    std::vector<uint8_t> image;
};

// Two saves with one name and code, told apart by their data.
const SaveSpec cTwinA{.code = "GTWE01", .name = "twin", .blocks = 1, .seed = 1};
const SaveSpec cTwinB{.code = "GTWE01", .name = "twin", .blocks = 2, .seed = 2};

TEST_F(CardOutcome, TwinSavesAreActedOnByTheirSlot)
{
    makeCard({{{.name = "other"}, 5}, {cTwinA, 6}, {cTwinB, 7}});
    ASSERT_EQ(tool("download 2 " + dir.file("b.gci")).status, 0);
    EXPECT_EQ(dataOf(readFile(dir.file("b.gci"))), dataOf(makeSaveFile(cTwinB)));
    ASSERT_EQ(tool("download 1 " + dir.file("a.gci")).status, 0);
    EXPECT_EQ(dataOf(readFile(dir.file("a.gci"))), dataOf(makeSaveFile(cTwinA)));

    // A file of that name and code could replace either: refused, untouched.
    writeFile(dir.file("new.gci"), makeSaveFile({.code = "GTWE01", .name = "twin", .seed = 9}));
    const Result r = tool("upload " + dir.file("new.gci"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "the saves in slots 1 and 2 both have its name and game code")) << r.out;
    EXPECT_EQ(readFile(card()), image);

    ASSERT_EQ(tool("delete 2").status, 0);
    const mcb::CardReport rep = mcb::inspectCard(readFile(card()));
    ASSERT_EQ(rep.saves.size(), 2u);
    EXPECT_EQ(rep.saves[1].slot, 1u);
    EXPECT_EQ(rep.saves[1].blockCount, 1u); // twin A stays, twin B is gone
    EXPECT_TRUE(rep.sound());
}

// 59 blocks: the old save (20) and a filler (30) leave 9 free, too few for a
// new version of the old save beside it.
TEST_F(CardOutcome, AReplacementWithoutRoomIsRefusedWithTheCounts)
{
    const SaveSpec old{.name = "race", .blocks = 20, .seed = 1};
    makeCard({{old, 5}, {{.name = "filler", .blocks = 30}, 25}});
    SaveSpec next = old;
    next.seed = 7;
    writeFile(dir.file("race.gci"), makeSaveFile(next));
    const Result r = tool("upload " + dir.file("race.gci"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "needs 20 blocks; 9 are free beside the save it replaces")) << r.out;
    EXPECT_TRUE(says(r, "the card still holds the old save, whole")) << r.out;
    EXPECT_FALSE(says(r, "unchanged")) << r.out;
    EXPECT_EQ(readFile(card()), image);
}

struct Cut {
    const char* name;
    const char* command; // what is cut: upload (new), upload (replacement) or delete
};

class CutWrites : public CardOutcome, public ::testing::WithParamInterface<Cut> {};

// Every few sector writes, the link drops: whatever cardtool says the card
// holds, the card must hold; a message that claims nothing does not count.
TEST_P(CutWrites, WhatTheToolSaysTheCardHoldsIsSo)
{
    const std::string command = GetParam().command;
    const SaveSpec old{.name = "race", .blocks = 3, .seed = 1};
    SaveSpec next = old;
    next.seed = 7;
    if (command == "new")
        next.name = "fresh";
    int saidOld = 0, saidNew = 0, saidNone = 0;
    for (int cut = 1; cut <= 160; cut += 3) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " writes");
        makeCard({{old, 5}, {{.name = "other", .blocks = 2}, 8}});
        writeFile(dir.file("next.gci"), makeSaveFile(next));
        const Result r =
            command == "delete"
                ? tool("delete 0", "cut-after-writes=" + std::to_string(cut))
                : tool("upload " + dir.file("next.gci"), "cut-after-writes=" + std::to_string(cut));
        const auto oldNow = onCard("race");
        const auto newNow = onCard(next.name);
        EXPECT_EQ(onCard("other"), dataOf(makeSaveFile({.name = "other", .blocks = 2})));
        if (r.status == 0)
            continue;
        ASSERT_EQ(r.status, 1) << r.out;
        EXPECT_FALSE(says(r, "unchanged")) << r.out;
        if (says(r, "holds the new save")) {
            ++saidNew;
            ASSERT_TRUE(newNow) << r.out;
            EXPECT_EQ(*newNow, dataOf(makeSaveFile(next))) << r.out;
        } else if (says(r, "still holds the old save") || says(r, "still holds the save")) {
            ++saidOld;
            ASSERT_TRUE(oldNow) << r.out;
            EXPECT_EQ(*oldNow, dataOf(makeSaveFile(old))) << r.out;
        } else if (says(r, "holds no save of that name") || says(r, "no longer holds it") ||
                   says(r, "neither the old save nor the new one")) {
            ++saidNone;
            EXPECT_FALSE(command == "delete" ? oldNow.has_value() : newNow.has_value()) << r.out;
        } else {
            ADD_FAILURE() << "no word on what the card holds: " << r.out;
        }
        EXPECT_TRUE(mcb::inspectCard(readFile(card())).sound()) << r.out;
    }
    // The sweep reached failures that left the card as it was.
    EXPECT_GT(saidOld + saidNone, 0);
    RecordProperty("said_old", saidOld);
    RecordProperty("said_new", saidNew);
    RecordProperty("said_none", saidNone);
}

const Cut kCuts[] = {{"Upload", "new"}, {"Replacement", "replace"}, {"Delete", "delete"}};

INSTANTIATE_TEST_SUITE_P(Cardtool, CutWrites, ::testing::ValuesIn(kCuts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardOutcome, AFailedRestoreIsReadBackAndCompared)
{
    makeCard({{{.name = "race", .blocks = 3}, 5}});
    auto other = mcb::formatCard(mcb::FormatOptions{4});
    placeSave(other, 0, makeSaveFile({.name = "other", .blocks = 4}), 9);
    writeFile(dir.file("other.gcp"), other);
    const Result r = tool("restore " + dir.file("other.gcp"), "cut-at=block10");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "the card holds part of the image and part of what it held")) << r.out;
}

} // namespace
