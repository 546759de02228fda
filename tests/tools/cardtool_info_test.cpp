// cardtool info: what a save on the card and in a file says about itself,
// for saves made with every icon format, both animation modes and texts in
// both encodings.
#include "mcbridge.h"
#include "mcbridge/format.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

// A 16 Mbit card image in dir holding save in slot 0, and the same save as
// a file beside it.
struct CardAndFile {
    TempDir dir;
    std::string device;
    std::string file;
    CardAndFile(const std::vector<uint8_t>& save, mcb::Encoding encoding = mcb::Encoding::Ansi)
    {
        mcb::FormatOptions options;
        options.encoding = encoding;
        std::vector<uint8_t> image = mcb::formatCard(options);
        placeSave(image, 0, save, 5);
        writeFile(dir.file("card.raw"), image);
        device = "--device image:" + dir.file("card.raw");
        file = dir.file("save.gci");
        writeFile(file, save);
    }
};

struct InfoRow {
    const char* name;
    uint8_t bannerFlags;
    std::vector<MadeFrame> frames;
    std::vector<std::string> lines; // each must appear in the output
};

void PrintTo(const InfoRow& row, std::ostream* os) { *os << row.name; }

class InfoIcons : public testing::TestWithParam<InfoRow> {};

TEST_P(InfoIcons, NameEachFramesFormatAndDelayForCardAndFile)
{
    DescribedSaveSpec spec;
    spec.save.blocks = 4;
    spec.bannerFlags = GetParam().bannerFlags;
    spec.frames = GetParam().frames;
    CardAndFile at(makeDescribedSave(spec));
    for (const std::string& args : {at.device + " info 0", "info " + at.file}) {
        SCOPED_TRACE(args);
        const Result r = cardtool(args);
        ASSERT_EQ(r.status, 0) << r.out;
        for (const std::string& line : GetParam().lines)
            EXPECT_TRUE(says(r, line)) << line << "\n" << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, InfoIcons,
    testing::Values(
        InfoRow{"DirectColour",
                0,
                {{2, 1}},
                {"Icon:         1 frame, looping\n", "Frame 0:    4/60 s; 16-bit colours\n"}},
        InfoRow{
            "OwnPalette", 0, {{3, 3}}, {"Frame 0:    12/60 s; 8-bit indices, its own palette\n"}},
        InfoRow{"SharedPaletteAfterBanner",
                1,
                {{1, 2}, {1, 1}},
                {"Icon:         2 frames, looping\n",
                 "Frame 0:    8/60 s; 8-bit indices, palette shared by the frames\n",
                 "Frame 1:    4/60 s; 8-bit indices, palette shared by the frames\n"}},
        InfoRow{"BounceMixed",
                6,
                {{2, 1}, {0, 2}, {3, 3}},
                {"Icon:         3 frames, back and forth\n", "Frame 0:    4/60 s; 16-bit colours\n",
                 "Frame 1:    8/60 s; no picture of its own (shows the next frame's)\n",
                 "Frame 2:    12/60 s; 8-bit indices, its own palette\n"}},
        InfoRow{"NoIcon", 0, {}, {"Icon:         none\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

DescribedSaveSpec textSpec(const std::string& code)
{
    DescribedSaveSpec spec;
    spec.save.code = code;
    spec.save.name = "progress.dat";
    spec.save.blocks = 2;
    spec.commentOffset = 0x1FF0; // the lines straddle the two blocks
    spec.title = {0x83, 0x5A, 0x81, 0x5B, 'X'};
    spec.comment = {'2', 0x80};
    spec.modified = 103250096;
    spec.permissions = 0x0C | 0x10 | 0x40;
    spec.copyCounter = 7;
    spec.frames = {{2, 2}};
    return spec;
}

TEST(CardtoolInfo, PrintsTextsDateAndPermissionsInTheSavesEncoding)
{
    // On a Shift-JIS card the card's encoding is used, whatever the code.
    CardAndFile jp(makeDescribedSave(textSpec("GRSEAF")), mcb::Encoding::ShiftJis);
    Result r = cardtool(jp.device + " info 0");
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* line :
         {"Code:         GRSEAF\n", "Name:         progress.dat\n",
          "Title:        \xE3\x82\xBB\xE3\x83\xBC"
          "X\n",
          "Modified:     2003-04-10 00:34:56",
          "Permissions:  public, no copy, no move, other bits 0x40\n", "Copy counter: 7\n",
          "Blocks:       2\n", "Encoding:     Shift-JIS\n", "Stored as:    card save\n"})
        EXPECT_TRUE(says(r, line)) << line << "\n" << r.out;

    // The same save as a file of a game from outside Japan: Windows-1252.
    r = cardtool("info " + jp.file);
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* line :
         {"Title:        \xC6\x92Z\xEF\xBF\xBD[X\n", "Comment:      2\xE2\x82\xAC\n",
          "Encoding:     Windows-1252\n", "Stored as:    save file (.gci)\n"})
        EXPECT_TRUE(says(r, line)) << line << "\n" << r.out;
}

TEST(CardtoolInfo, ReadsTheOtherContainers)
{
    CardAndFile at(makeDescribedSave(textSpec("GRSJAF")));
    const std::string gcs = at.dir.file("save.gcs");
    const std::string sav = at.dir.file("save.sav");
    ASSERT_EQ(mcb_convert_save(at.file.c_str(), gcs.c_str(), MCB_SAVE_GCS), 1);
    ASSERT_EQ(mcb_convert_save(at.file.c_str(), sav.c_str(), MCB_SAVE_SAV), 1);
    for (const auto& [path, form] : {std::pair{gcs, "Stored as:    .gcs container\n"},
                                     {sav, "Stored as:    .sav container\n"}}) {
        const Result r = cardtool("info " + path);
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_TRUE(says(r, form)) << r.out;
        EXPECT_TRUE(says(r, "Encoding:     Shift-JIS\n")) << r.out;
        EXPECT_TRUE(says(r, "Frame 0:    8/60 s; 16-bit colours\n")) << r.out;
    }
}

TEST(CardtoolInfo, ControlCharactersInTextsAreEscaped)
{
    DescribedSaveSpec spec = textSpec("GRSEAF");
    spec.title = {'a', 0x1B, '[', '2', 'J'};
    CardAndFile at(makeDescribedSave(spec));
    const Result r = cardtool("info " + at.file);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(says(r, "Title:        a\\x1B[2J\n")) << r.out;
}

TEST(CardtoolInfo, RefusesWhatIsNoSave)
{
    DescribedSaveSpec spec = textSpec("GRSEAF");
    spec.frames = {};
    CardAndFile at(makeDescribedSave(spec));
    Result r = cardtool(at.device + " info 9");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "slot 9 holds no save")) << r.out;

    r = cardtool("info " + at.dir.file("nothing-here"));
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(says(r, "is neither a file nor a slot number")) << r.out;

    writeFile(at.dir.file("short.gci"), std::vector<uint8_t>(100, 1));
    r = cardtool("info " + at.dir.file("short.gci"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "is not taken as a save file")) << r.out;

    r = cardtool("icons " + at.file + " " + at.dir.file("out"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(says(r, "the save has no icon")) << r.out;
}

} // namespace
