// The card tool as a script would use it: its output, its messages and its
// exit status.
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace mcbtest;

using namespace cardtooltest;

TEST(Cardtool, HelpDocumentsEveryCommand)
{
    const Result r = cardtool("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* c :
         {"list",    "check",       "backup",  "restore",  "download",        "upload",  "delete",
          "banner",  "file-banner", "info",    "icons",    "format",          "demo",    "repair",
          "--apply", "recover",     "--force", "--device", "MCBRIDGE_DEVICE", "convert", "--all"})
        EXPECT_NE(r.out.find(c), std::string::npos) << c;
}

TEST(Cardtool, WrongCommandLinesExitWithTwo)
{
    EXPECT_EQ(cardtool("").status, 2);
    EXPECT_EQ(cardtool("frobnicate").status, 2);
    EXPECT_EQ(cardtool("download 1").status, 2);
    EXPECT_EQ(cardtool("--device").status, 2);
}

TEST(Cardtool, FailuresAreToldInWordsAndExitWithOne)
{
    TempDir dir;
    writeFile(dir.file("odd.raw"), std::vector<uint8_t>(1000, 0));
    Result r = cardtool("--device image:" + dir.file("odd.raw") + " list");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("512 KiB, 1, 2, 4, 8 or 16 MiB"), std::string::npos) << r.out;

    r = cardtool("list", "MCBRIDGE_DEVICE=");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("no adapter is configured"), std::string::npos) << r.out;

    const std::string dev = "--device image:" + dir.file("card.raw");
    writeFile(dir.file("card.raw"), mcb::formatCard(mcb::FormatOptions{16}));
    r = cardtool(dev + " download 7 " + dir.file("x.gci"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("slot 7 holds no save"), std::string::npos) << r.out;

    writeFile(dir.file("small.gcp"), mcb::formatCard(mcb::FormatOptions{4}));
    r = cardtool(dev + " restore " + dir.file("small.gcp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("needs exactly 2097152"), std::string::npos) << r.out;

    auto broken = readFile(dir.file("card.raw"));
    broken[0x2000 + 9] ^= 1;
    broken[0x4000 + 9] ^= 1;
    writeFile(dir.file("card.raw"), broken);
    r = cardtool(dev + " list");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("directory cannot be read"), std::string::npos) << r.out;
    r = cardtool(dev + " check");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Copy 1 of the directory is damaged"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("the card is NOT sound"), std::string::npos) << r.out;
}

TEST(Cardtool, TheDemoCardRoundTrips)
{
    TempDir dir;
    const std::string dev = "--device image:" + dir.file("card.raw");
    Result r = cardtool(dev + " format --size 8");
    ASSERT_EQ(r.status, 0) << r.out;
    r = cardtool(dev + " demo --saves-dir " + dir.file("saver"));
    ASSERT_EQ(r.status, 0) << r.out;
    r = cardtool(dev + " list");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Card: 8 Mbit, 123 blocks for saves, 110 free"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Castle Quest"), std::string::npos);
    EXPECT_NE(r.out.find("星の旅"), std::string::npos); // a Shift-JIS name, shown as text

    // Out to a file, off the card, back on: the same bytes.
    r = cardtool(dev + " download 1 " + dir.file("castle.gci"));
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_EQ(cardtool(dev + " delete 1").status, 0);
    EXPECT_EQ(cardtool(dev + " list").out.find("Castle Quest"), std::string::npos);
    ASSERT_EQ(cardtool(dev + " upload " + dir.file("castle.gci")).status, 0);
    const mcb::CardReport rep = mcb::inspectCard(readFile(dir.file("card.raw")));
    EXPECT_TRUE(rep.sound());
    EXPECT_EQ(rep.saves.size(), 5u);

    ASSERT_EQ(cardtool(dev + " backup " + dir.file("b.gcp")).status, 0);
    EXPECT_EQ(readFile(dir.file("b.gcp")), readFile(dir.file("card.raw")));
    ASSERT_EQ(cardtool(dev + " banner 0 " + dir.file("b.bmp")).status, 0);
    EXPECT_EQ(std::filesystem::file_size(dir.file("b.bmp")), 6198u);
    ASSERT_EQ(
        cardtool("file-banner " + dir.file("saver/SkyRacer.GCI") + " " + dir.file("f.bmp")).status,
        0);
    EXPECT_EQ(readFile(dir.file("f.bmp")), readFile(dir.file("b.bmp")));

    // Too big for what is left: refused, with the numbers.
    auto big = makeSaveFile({.name = "big", .blocks = 115});
    writeFile(dir.file("big.gci"), big);
    r = cardtool(dev + " upload " + dir.file("big.gci"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("needs 115 blocks; 110 are free"), std::string::npos) << r.out;
}
