// cardtool's commands on a folder card: the emulator's folder of .gci files.
#include "mcbridge/folder_names.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
        if (i + 1 < GetParam().commands.size())
            ASSERT_EQ(r.status, 0) << c << "\n" << r.out;
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
