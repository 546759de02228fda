// cardtool with the three save-file forms and with many saves at once:
// containers go onto the card and come off it in the form a name asks for,
// a batch tries everything and ends with one summary, and a failure leaves
// neither a partial file nor a damaged card.
#include "mcbridge/folder_names.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& file, std::size_t header)
{
    return {file.begin() + std::ptrdiff_t(header), file.end()};
}

class Batch : public ::testing::Test {
protected:
    std::string card() const { return dir.file("card.raw"); }
    Result tool(const std::string& args) const
    {
        return cardtool("--device image:" + card() + " " + args);
    }
    std::vector<mcb::SaveInfo> saves() const { return mcb::inspectCard(readFile(card())).saves; }
    bool holds(const std::string& name) const
    {
        const auto all = saves();
        return std::any_of(all.begin(), all.end(),
                           [&](const mcb::SaveInfo& s) { return s.name == name; });
    }

    TempDir dir;
};

struct FormRow {
    const char* label;
    const char* extension;
    std::vector<uint8_t> (*wrap)(const std::vector<uint8_t>&);
    std::size_t header;
};

class Forms : public Batch, public ::testing::WithParamInterface<FormRow> {};

// A save in each form goes onto the card, and comes off it again in each
// form with the same data; the name's extension chooses the form.
TEST_P(Forms, GoOntoTheCardAndComeOffInEveryForm)
{
    const FormRow& row = GetParam();
    writeFile(card(), mcb::formatCard(mcb::FormatOptions{4}));
    const auto plain = makeSaveFile({.code = "GFME01", .name = "formed", .blocks = 2, .seed = 7});
    const std::string in = dir.file(std::string("in") + row.extension);
    writeFile(in, row.wrap(plain));
    const Result up = tool("upload " + in);
    ASSERT_EQ(up.status, 0) << up.out;
    ASSERT_TRUE(holds("formed"));

    const FormRow outs[] = {
        {"", ".gci", nullptr, 0x40}, {"", ".GCS", nullptr, 0x150}, {"", ".sav", nullptr, 0xC0}};
    for (const FormRow& out : outs) {
        const std::string path = dir.file(std::string("out") + out.extension);
        const Result down = tool("download 0 " + path);
        ASSERT_EQ(down.status, 0) << down.out;
        const auto bytes = readFile(path);
        EXPECT_EQ(dataOf(bytes, out.header), dataOf(plain, 0x40)) << out.extension;
        const Result back = cardtool("convert " + path + " " + dir.file("back.gci"));
        ASSERT_EQ(back.status, 0) << back.out;
        EXPECT_EQ(dataOf(readFile(dir.file("back.gci")), 0x40), dataOf(plain, 0x40));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cardtool, Forms,
    ::testing::Values(FormRow{"Gci", ".gci", [](const auto& p) { return p; }, 0x40},
                      FormRow{"Gcs", ".gcs", asGcs, 0x150}, FormRow{"Sav", ".sav", asSav, 0xC0}),
    [](const auto& info) { return std::string(info.param.label); });

// An extension that names no form is refused before the card is read or
// anything is written; so is a file whose content is no save, whatever its
// name claims.
TEST_F(Batch, UnknownExtensionsAndFalseClaimsAreRefusedWithNothingWritten)
{
    auto image = mcb::formatCard(mcb::FormatOptions{4});
    placeSave(image, 0, makeSaveFile({.name = "kept"}), 5);
    writeFile(card(), image);
    Result r = tool("download 0 " + dir.file("save.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "'.txt' is none of them")) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("save.txt")));

    writeFile(dir.file("a.gci"), makeSaveFile({.name = "a"}));
    r = cardtool("convert " + dir.file("a.gci") + " " + dir.file("a.bin"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.bin")));

    // A .sav magic on a file of .gcs length: one container claimed, another
    // held.
    auto claimed = asGcs(makeSaveFile({.name = "claimed"}));
    std::copy(kSavMagic.begin(), kSavMagic.end(), claimed.begin());
    writeFile(dir.file("claimed.sav"), claimed);
    r = tool("upload " + dir.file("claimed.sav"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "one container's magic but has the length of another")) << r.out;
    EXPECT_EQ(readFile(card()), image);
}

// One readable save, one truncated file and one save too large for the card:
// every file is tried, the summary names both failures and why, the exit
// status says a failure happened, and the card is sound with the good save.
TEST_F(Batch, UploadTriesEveryFileAndSummarisesTheFailures)
{
    writeFile(card(), mcb::formatCard(mcb::FormatOptions{4}));
    writeFile(dir.file("1-good.gcs"), asGcs(makeSaveFile({.name = "good", .blocks = 2})));
    auto cut = asSav(makeSaveFile({.name = "cut"}));
    cut.resize(0x90);
    writeFile(dir.file("2-cut.sav"), cut);
    writeFile(dir.file("3-big.gci"), makeSaveFile({.name = "big", .blocks = 58}));
    writeFile(dir.file("4-late.gci"), makeSaveFile({.name = "late", .blocks = 1}));
    const Result r = tool("upload " + dir.file("1-good.gcs") + " " + dir.file("2-cut.sav") + " " +
                          dir.file("3-big.gci") + " " + dir.file("4-late.gci"));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "2 of 4 saves written to the card")) << r.out;
    EXPECT_TRUE(says(r, "2 failed:")) << r.out;
    EXPECT_TRUE(says(r, "2-cut.sav is no save file: the file is shorter than its header")) << r.out;
    EXPECT_TRUE(says(r, "3-big.gci needs 58 blocks")) << r.out;
    // The summary comes last, after every file was tried.
    EXPECT_GT(r.out.find("2 failed:"), r.out.find("Wrote " + dir.file("4-late.gci"))) << r.out;
    EXPECT_TRUE(holds("good"));
    EXPECT_TRUE(holds("late"));
    EXPECT_FALSE(holds("big"));
    const Result check = tool("check");
    EXPECT_EQ(check.status, 0) << check.out;
}

// Every save comes off into a folder under the names an emulator gives them;
// two saves whose names collide get two files; a broken save is named in the
// summary and leaves no file.
TEST_F(Batch, DownloadAllWritesEmulatorNamesAndLeavesNoPartialFile)
{
    auto image = mcb::formatCard(mcb::FormatOptions{4});
    const auto one = makeSaveFile({.code = "GZLE01", .name = "gczelda", .blocks = 1, .seed = 1});
    const auto two = makeSaveFile({.code = "GZLE01", .name = "GCZELDA", .blocks = 1, .seed = 2});
    const auto odd = makeSaveFile({.code = "GMSE01", .name = "a/b", .blocks = 1, .seed = 3});
    const auto bad = makeSaveFile({.code = "GBDE01", .name = "broken", .blocks = 2, .seed = 4});
    placeSave(image, 0, one, 5);
    placeSave(image, 1, two, 6);
    placeSave(image, 2, odd, 7);
    placeSave(image, 3, bad, 8);
    setMapEntryOnCard(image, 8, 0x0003); // the chain now runs into the system area
    writeFile(card(), image);

    const std::string out = dir.file("exported");
    const Result r = tool("download --all " + out);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "3 of 4 saves copied to")) << r.out;
    EXPECT_TRUE(says(r, "slot 3 (broken)")) << r.out;

    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(out))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"01-GMSE-a__2f__b.gci", "01-GZLE-GCZELDA-2.gci",
                                               "01-GZLE-gczelda.gci"}));
    EXPECT_EQ(dataOf(readFile(out + "/01-GZLE-gczelda.gci"), 0x40), dataOf(one, 0x40));
    EXPECT_EQ(dataOf(readFile(out + "/01-GZLE-GCZELDA-2.gci"), 0x40), dataOf(two, 0x40));
    EXPECT_EQ(dataOf(readFile(out + "/01-GMSE-a__2f__b.gci"), 0x40), dataOf(odd, 0x40));

    // And back: the folder's files go onto a blank card in one step.
    writeFile(card(), mcb::formatCard(mcb::FormatOptions{4}));
    std::string files;
    for (const std::string& n : names)
        files += " " + out + "/" + n;
    const Result up = tool("upload" + files);
    EXPECT_EQ(up.status, 0) << up.out;
    EXPECT_EQ(saves().size(), 3u);
}

} // namespace
