// Cards found in a fake home and fake mounted SD cards, one row a place.
#include "cardplaces/discover.h"
#include "cardplaces/sd_cards.h"
#include "mcbridge.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cardplaces;
using namespace mcbtest;
namespace fs = std::filesystem;

namespace {

// A fake home whose emulator, state and media folders lie inside it.
struct FakeHome {
    TempDir dir;
    Environment env;
    FakeHome()
    {
        env.home = dir.file("home");
        env.xdgData = dir.file("home/.local/share");
        env.xdgConfig = dir.file("home/.config");
        env.xdgState = dir.file("home/.local/state");
        env.mediaRoots = {dir.file("media/me"), dir.file("run/media/me")};
    }
    // "{data}/dolphin-emu/GC/..." and the like, in the fake tree.
    std::string path(std::string p) const
    {
        const std::pair<std::string, std::string> bases[] = {
            {"{data}", env.xdgData},        {"{config}", env.xdgConfig},  {"{home}", env.home},
            {"{media}", env.mediaRoots[0]}, {"{run}", env.mediaRoots[1]}, {"{state}", env.xdgState},
            {"{top}", dir.path()}};
        for (const auto& [key, value] : bases)
            if (const auto at = p.find(key); at != std::string::npos)
                p.replace(at, key.size(), value);
        return p;
    }
    void card(const std::string& where) const
    {
        const std::string p = path(where);
        fs::create_directories(fs::path(p).parent_path());
        if (p.ends_with("/")) {
            fs::create_directories(p);
            const auto save = makeSaveFile({.code = "GAFE01", .name = "town"});
            writeFile(p + "01-GAFE-town.gci", save);
        } else {
            ASSERT_EQ(mcb_create_image(p.c_str(), 4, 0), MCB_OK) << p;
        }
    }
    void text(const std::string& where, const std::string& body) const
    {
        fs::create_directories(fs::path(path(where)).parent_path());
        writeFile(path(where), std::vector<uint8_t>(body.begin(), body.end()));
    }
};

struct Place {
    const char* name;
    const char* card;   // made in the fake tree ("/" at the end: a folder card)
    const char* config; // "FILE|TEXT" written first, or ""
    CardKind kind;
    const char* device; // what is found, or "" for nothing
    const char* where;  // part of what the finding says
};

class Discovery : public testing::TestWithParam<Place> {};

TEST_P(Discovery, FindsEachKindWhereItIsKept)
{
    const Place& p = GetParam();
    FakeHome home;
    if (*p.config) {
        const std::string c = p.config;
        home.text(c.substr(0, c.find('|')), home.path(c.substr(c.find('|') + 1)));
    }
    home.card(p.card);
    const auto found = findCards(home.env);
    if (!*p.device) {
        EXPECT_TRUE(found.empty()) << found[0].device;
        return;
    }
    ASSERT_EQ(found.size(), 1u);
    std::string device = home.path(p.device);
    if (device.ends_with("/"))
        device.pop_back();
    EXPECT_EQ(found[0].device, device);
    EXPECT_EQ(found[0].kind, p.kind);
    const std::string where = whereText(found[0].where);
    EXPECT_NE(where.find(p.where), std::string::npos) << where;
    EXPECT_EQ(found[0].saves, std::string(p.card).ends_with("/") ? 1 : 0) << found[0].problem;
    EXPECT_EQ(found[0].megabits, std::string(p.card).ends_with("/") ? 128u : 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Discovery,
    testing::Values(
        Place{"NativeImage", "{data}/dolphin-emu/GC/MemoryCardA.USA.raw", "",
              CardKind::EmulatorImage, "image:{data}/dolphin-emu/GC/MemoryCardA.USA.raw",
              "native, slot A, USA"},
        Place{"NativeFolder", "{data}/dolphin-emu/GC/USA/Card A/", "", CardKind::EmulatorFolder,
              "folder:{data}/dolphin-emu/GC/USA/Card A/", "native, slot A, USA"},
        Place{"FlatpakImage",
              "{home}/.var/app/org.DolphinEmu.dolphin-emu/data/dolphin-emu/GC/MemoryCardB.JAP.raw",
              "", CardKind::EmulatorImage,
              "image:{home}/.var/app/org.DolphinEmu.dolphin-emu/data/dolphin-emu/GC/"
              "MemoryCardB.JAP.raw",
              "Flatpak, slot B, JAP"},
        Place{"OlderFolder", "{home}/.dolphin-emu/GC/EUR/Card B/", "", CardKind::EmulatorFolder,
              "folder:{home}/.dolphin-emu/GC/EUR/Card B/", "older, slot B, EUR"},
        Place{"ConfiguredImageGetsItsRegion", "{top}/cards/MemoryCardA.USA.raw",
              "{config}/dolphin-emu/Dolphin.ini|[General]\nMemcardAPath = x\n[Core]\n"
              "MemcardAPath = {top}/cards/MemoryCardA.raw\n",
              CardKind::EmulatorImage, "image:{top}/cards/MemoryCardA.USA.raw", "configured"},
        Place{"ConfiguredFolder", "{top}/gci/",
              "{home}/.dolphin-emu/Config/Dolphin.ini|[Core]\r\nGCIFolderBPath = {top}/gci\r\n",
              CardKind::EmulatorFolder, "folder:{top}/gci/", "older, slot B (configured)"},
        Place{"OtherSectionsAreNotRead", "{top}/cards/MemoryCardA.USA.raw",
              "{config}/dolphin-emu/Dolphin.ini|[General]\nMemcardAPath = "
              "{top}/cards/MemoryCardA.raw\n",
              CardKind::EmulatorImage, "", ""},
        Place{"SdRegionFolders", "{media}/SD/MemoryCards/GC/DL-DOL-GAFE-USA/DL-DOL-GAFE-USA-1.raw",
              "", CardKind::PerGame,
              "image:{media}/SD/MemoryCards/GC/DL-DOL-GAFE-USA/DL-DOL-GAFE-USA-1.raw",
              "SD: GAFE channel 1"},
        Place{"SdIdFolders", "{run}/CARD/MemoryCards/GM8P8P00/GM8P8P00-3.raw", "",
              CardKind::PerGame, "image:{run}/CARD/MemoryCards/GM8P8P00/GM8P8P00-3.raw",
              "CARD: GM8P8P channel 3"},
        Place{"SdHandNamedFolder", "{media}/SD/MemoryCards/GXXE0100/GXXE0100-2.raw", "",
              CardKind::PerGame, "image:{media}/SD/MemoryCards/GXXE0100/GXXE0100-2.raw",
              "SD: GXXE01 channel 2"},
        Place{"SdRegionThatIsNotTheGames",
              "{media}/SD/MemoryCards/GC/DL-DOL-GAFE-JPN/DL-DOL-GAFE-JPN-1.raw", "",
              CardKind::PerGame, "", ""},
        Place{"SdChannelPastEight", "{media}/SD/MemoryCards/GAFE0100/GAFE0100-9.raw", "",
              CardKind::PerGame, "", ""},
        Place{"RecentImage", "{top}/mine.raw",
              "{state}/cardsuite/recent-cards|image:{top}/mine.raw\n", CardKind::Recent,
              "image:{top}/mine.raw", "opened lately"},
        Place{"NotTheEmulatorsName", "{data}/dolphin-emu/GC/MemoryCardC.USA.raw", "",
              CardKind::EmulatorImage, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(Discovery, AnSdCardIsFoundWhileItIsMounted)
{
    FakeHome home;
    EXPECT_TRUE(findCards(home.env).empty());
    home.card("{media}/SD/MemoryCards/GAFE0100/GAFE0100-1.raw");
    EXPECT_EQ(sdCardRoots(home.env), std::vector<std::string>{home.path("{media}/SD")});
    EXPECT_EQ(findCards(home.env).size(), 1u);
    fs::remove_all(home.path("{media}/SD"));
    EXPECT_TRUE(sdCardRoots(home.env).empty());
    EXPECT_TRUE(findCards(home.env).empty());
}

TEST(Discovery, TheSameCardNamedTwiceIsListedOnce)
{
    FakeHome home;
    home.card("{data}/dolphin-emu/GC/MemoryCardA.USA.raw");
    rememberCard(home.env, "image:" + home.path("{data}/dolphin-emu/GC/MemoryCardA.USA.raw"));
    EXPECT_EQ(findCards(home.env).size(), 1u);
}

TEST(Discovery, RecentCardsAreNewestFirstWithoutRepeats)
{
    FakeHome home;
    rememberCard(home.env, "image:/a");
    rememberCard(home.env, "folder:/b");
    rememberCard(home.env, "usb:1234:5678"); // found anyway when plugged in
    rememberCard(home.env, "image:/a");
    EXPECT_EQ(recentCards(home.env), (std::vector<std::string>{"image:/a", "folder:/b"}));
}

namespace {

// The adapters looked for: the device MCBRIDGE_DEVICE names, and the other
// nodes of a node's driver, by number (in a fake /dev: nodes made as plain
// files, which is all the listing looks at).
struct AdapterRow {
    const char* name;
    const char* named;                // "{dev}" the fake /dev
    std::vector<std::string> devices; // what is looked for, in order
};

void PrintTo(const AdapterRow& r, std::ostream* os) { *os << r.name; }

class AdapterDevices : public testing::TestWithParam<AdapterRow> {};

TEST_P(AdapterDevices, AreTheNamedOneAndItsDriversOtherNodes)
{
    TempDir dev;
    for (const char* node : {"mcadapter0", "mcadapter1", "mcadapter10", "mcadapter2", "mcadapterx",
                             "tty0", "mcadapter"})
        writeFile(dev.file(node), {});
    fs::create_directory(dev.file("mcadapter3"));
    const auto expand = [&](std::string s) {
        if (const auto at = s.find("{dev}"); at != std::string::npos)
            s.replace(at, 5, dev.path());
        return s;
    };
    std::vector<std::string> want;
    for (const std::string& d : GetParam().devices)
        want.push_back(expand(d));
    EXPECT_EQ(adapterDevices(expand(GetParam().named)), want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AdapterDevices,
    testing::Values(AdapterRow{"NodeAndItsDriversOthersByNumber",
                               "{dev}/mcadapter1",
                               {"{dev}/mcadapter1", "{dev}/mcadapter0", "{dev}/mcadapter2",
                                "{dev}/mcadapter10"}},
                    AdapterRow{"NodeWithoutANumberIsAlone", "{dev}/mcadapter", {"{dev}/mcadapter"}},
                    AdapterRow{"UsbIsTheFirstOfItsKindOnly", "usb:1234:5678", {"usb:1234:5678"}},
                    AdapterRow{"ImageIsNoAdapter", "image:{dev}/card.raw", {}},
                    AdapterRow{"FolderIsNoAdapter", "folder:{dev}", {}},
                    AdapterRow{"NoneNamed", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
