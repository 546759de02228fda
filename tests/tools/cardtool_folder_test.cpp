// cardtool's commands on a folder card: the emulator's folder of .gci files.
#include "mcbridge/folder_names.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

const std::vector<uint8_t> kTown = makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 3});
const std::vector<uint8_t> kZelda = makeSaveFile({.code = "GZLE01", .name = "zelda", .seed = 4});

std::string nameOf(const std::vector<uint8_t>& save)
{
    return mcb::folderNameFor(std::span<const uint8_t, mcb::kEntrySize>(save.data(), 64));
}

bool holds(const TempDir& dir, const std::vector<uint8_t>& save)
{
    const std::string file = dir.file("card/" + nameOf(save));
    if (!std::filesystem::exists(file))
        return false;
    auto got = readFile(file);
    // Where the card kept the save is no part of the file's save.
    got[mcb::kEntryFirstBlock] = save[mcb::kEntryFirstBlock];
    got[mcb::kEntryFirstBlock + 1] = save[mcb::kEntryFirstBlock + 1];
    return got == save;
}

struct Run {
    const char* name;
    std::vector<std::string> commands; // "{card}" and "{dir}" filled in; all but the last succeed
    int status;                        // the last one's
    const char* says;
    std::function<bool(const TempDir&)> after;
};

class CardtoolFolder : public testing::TestWithParam<Run> {};

TEST_P(CardtoolFolder, Command)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("card"));
    writeFile(dir.file("card/" + nameOf(kTown)), kTown);
    writeFile(dir.file("card/readme.txt"), {'h', 'i'});
    writeFile(dir.file("zelda.gci"), kZelda);
    Result r;
    for (std::size_t i = 0; i < GetParam().commands.size(); ++i) {
        std::string c = GetParam().commands[i];
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"{card}", "--device folder:" + dir.file("card")},
              {"{dir}", dir.path()}})
            for (auto at = c.find(key); at != std::string::npos; at = c.find(key))
                c.replace(at, key.size(), value);
        r = cardtool(c);
        if (i + 1 < GetParam().commands.size()) {
            ASSERT_EQ(r.status, 0) << c << "\n" << r.out;
        }
    }
    EXPECT_EQ(r.status, GetParam().status) << r.out;
    EXPECT_TRUE(says(r, GetParam().says)) << r.out;
    EXPECT_TRUE(GetParam().after(dir));
    EXPECT_TRUE(std::filesystem::exists(dir.file("card/readme.txt")));
}

bool always(const TempDir&) { return true; }

INSTANTIATE_TEST_SUITE_P(
    Rows, CardtoolFolder,
    testing::Values(Run{"ListNamesTheFilesLeftAlone",
                        {"{card} list"},
                        0,
                        "readme.txt (not a save file)",
                        always},
                    Run{"UploadWritesTheEmulatorsFile",
                        {"{card} upload {dir}/zelda.gci"},
                        0,
                        "",
                        [](const TempDir& d) { return holds(d, kZelda) && holds(d, kTown); }},
                    Run{"DeleteRemovesTheSavesFileOnly",
                        {"{card} delete 0"},
                        0,
                        "",
                        [](const TempDir& d) { return !holds(d, kTown); }},
                    Run{"CheckFindsItSound", {"{card} check"}, 0, "", always},
                    Run{"RestoreFromABackupBringsTheFilesBack",
                        {"{card} backup {dir}/b.raw", "{card} delete 0",
                         "{card} upload {dir}/zelda.gci", "{card} restore {dir}/b.raw"},
                        0,
                        "",
                        [](const TempDir& d) { return holds(d, kTown) && !holds(d, kZelda); }},
                    Run{"CopyToAnImage",
                        {"--device image:{dir}/c.raw format",
                         "copy --from folder:{dir}/card 0 --to image:{dir}/c.raw"},
                        0,
                        "",
                        [](const TempDir& d) {
                            const auto saves = mcb::inspectCard(readFile(d.file("c.raw"))).saves;
                            return saves.size() == 1 && saves[0].name == "town";
                        }},
                    Run{"CopyFromAnImage",
                        {"--device image:{dir}/c.raw format",
                         "--device image:{dir}/c.raw upload {dir}/zelda.gci",
                         "copy --from image:{dir}/c.raw 0 --to folder:{dir}/card"},
                        0,
                        "",
                        [](const TempDir& d) { return holds(d, kZelda); }},
                    Run{"MissingFolderIsNotMade",
                        {"--device folder:{dir}/none list"},
                        1,
                        "does not exist",
                        [](const TempDir& d) { return !std::filesystem::exists(d.file("none")); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

struct PlacesRun {
    const char* name;
    std::vector<std::string> commands; // "{dir}" filled in; all but the last succeed
    int status;
    std::vector<std::string> says; // in the last one's output
};

class CardtoolPlaces : public testing::TestWithParam<PlacesRun> {};

// A fake home with the emulator's folder card for slot A, and a card image
// with two games' saves.
TEST_P(CardtoolPlaces, Command)
{
    TempDir dir;
    const std::string folder = dir.file("home/.local/share/dolphin-emu/GC/USA/Card A");
    std::filesystem::create_directories(folder);
    writeFile(folder + "/" + nameOf(kTown), kTown);
    writeFile(dir.file("zelda.gci"), kZelda);
    ASSERT_EQ(cardtool("--device image:" + dir.file("src.raw") + " format").status, 0);
    ASSERT_EQ(cardtool("--device image:" + dir.file("src.raw") + " upload " +
                       dir.file("zelda.gci") + " '" + folder + "/" + nameOf(kTown) + "'")
                  .status,
              0);
    const std::string env = "HOME=" + dir.file("home") +
                            " XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_STATE_HOME= USER=nobody-here "
                            "MCBRIDGE_DEVICE=";
    Result r;
    for (std::size_t i = 0; i < GetParam().commands.size(); ++i) {
        std::string c = GetParam().commands[i];
        for (auto at = c.find("{dir}"); at != std::string::npos; at = c.find("{dir}"))
            c.replace(at, 5, dir.path());
        r = cardtool(c, env);
        if (i + 1 < GetParam().commands.size()) {
            ASSERT_EQ(r.status, 0) << c << "\n" << r.out;
        }
    }
    EXPECT_EQ(r.status, GetParam().status) << r.out;
    for (const std::string& text : GetParam().says) {
        std::string t = text;
        for (auto at = t.find("{dir}"); at != std::string::npos; at = t.find("{dir}"))
            t.replace(at, 5, dir.path());
        EXPECT_TRUE(says(r, t)) << t << "\n" << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CardtoolPlaces,
    testing::Values(
        PlacesRun{"CardsListsTheEmulatorsFolderCard",
                  {"cards"},
                  0,
                  {"emulator folder   128 Mbit      1  folder:{dir}/home/.local/share/dolphin-emu/"
                   "GC/USA/Card A",
                   "native, slot A, USA"}},
        PlacesRun{
            "SplitMakesOneCardAGame",
            {"split {dir}/src.raw {dir}/sd --layout region-folders"},
            0,
            {"GAFE01: 1 save to {dir}/sd/MemoryCards/GC/DL-DOL-GAFE-USA/DL-DOL-GAFE-USA-1.raw",
             "GZLE01: 1 save to", "Made 2 per-game cards of 2 games"}},
        PlacesRun{"ASecondSplitTakesTheNextChannel",
                  {"split {dir}/src.raw {dir}/sd --layout id-folders",
                   "split {dir}/src.raw {dir}/sd --layout id-folders"},
                  0,
                  {"{dir}/sd/MemoryCards/GAFE0100/GAFE0100-2.raw"}},
        PlacesRun{"GatherBringsEverySaveBack",
                  {"split {dir}/src.raw {dir}/sd --layout id-folders",
                   "--device image:{dir}/t.raw format", "gather {dir}/sd --to {dir}/t.raw",
                   "--device image:{dir}/t.raw list"},
                  0,
                  {"town", "zelda", "blocks for saves"}},
        PlacesRun{"GatherNamesTwins",
                  {"split {dir}/src.raw {dir}/sd --layout id-folders",
                   "gather {dir}/sd --to {dir}/src.raw"},
                  1,
                  {"GAFE01 town", "the card holds a save of that name", "Gathered 0 of 2 saves"}},
        PlacesRun{"SplitNeedsAKnownLayout",
                  {"split {dir}/src.raw {dir}/sd --layout flat"},
                  2,
                  {"region-folders|id-folders"}}),
    [](const auto& info) { return std::string(info.param.name); });

// cardtool's undo on a folder card: one command a process, the folder
// opened anew each time, the files back byte for byte.
struct UndoRun {
    const char* name;
    const char* change; // "{card}" and "{dir}" filled in
};

class CardtoolFolderUndo : public testing::TestWithParam<UndoRun> {};

std::map<std::string, std::vector<uint8_t>> filesOf(const std::string& dir)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        files[e.path().filename().string()] = readFile(e.path().string());
    return files;
}

TEST_P(CardtoolFolderUndo, GivesTheFilesBack)
{
    TempDir dir;
    const std::string env = "MCBRIDGE_JOURNAL=" + dir.file("journal");
    const std::string card = "--device folder:" + dir.file("card") + " ";
    std::filesystem::create_directory(dir.file("card"));
    writeFile(dir.file("card/readme.txt"), {'h', 'i'});
    writeFile(dir.file("town.gci"), kTown);
    writeFile(dir.file("zelda.gci"), kZelda);
    writeFile(dir.file("town2.gci"),
              makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 5, .seed = 2}));
    ASSERT_EQ(cardtool(card + "upload " + dir.file("town.gci"), env).status, 0);
    const auto before = filesOf(dir.file("card"));

    std::string change = GetParam().change;
    for (auto at = change.find("{dir}"); at != std::string::npos; at = change.find("{dir}"))
        change.replace(at, 5, dir.path());
    const Result changed = cardtool(card + change, env);
    ASSERT_EQ(changed.status, 0) << changed.out;
    ASSERT_NE(filesOf(dir.file("card")), before);
    const Result undone = cardtool(card + "undo", env);
    EXPECT_EQ(undone.status, 0) << undone.out;
    EXPECT_EQ(filesOf(dir.file("card")), before);
}

INSTANTIATE_TEST_SUITE_P(Rows, CardtoolFolderUndo,
                         testing::Values(UndoRun{"Upload", "upload {dir}/zelda.gci"},
                                         UndoRun{"Delete", "delete 0"},
                                         UndoRun{"Replace", "upload {dir}/town2.gci"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
