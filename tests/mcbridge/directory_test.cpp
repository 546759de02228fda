// Loading the directory and map, choosing among their copies, and the
// questions the program asks of them.
#include "emulated_card.h"
#include "library.h"
#include "mcbridge/inspect.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

using namespace mcbtest;
using namespace mcb;

namespace {

uint8_t* dirCopy(std::vector<uint8_t>& image, int copy)
{
    return &image[kDirectoryBlock[copy] * kBlockSize];
}
uint8_t* mapCopy(std::vector<uint8_t>& image, int copy)
{
    return &image[kMapBlock[copy] * kBlockSize];
}

void reseal(std::vector<uint8_t>& image)
{
    for (int c = 0; c < 2; ++c) {
        Block b;
        std::memcpy(b.data(), dirCopy(image, c), kBlockSize);
        sealDirectory(b);
        std::memcpy(dirCopy(image, c), b.data(), kBlockSize);
        std::memcpy(b.data(), mapCopy(image, c), kBlockSize);
        sealMap(b);
        std::memcpy(mapCopy(image, c), b.data(), kBlockSize);
    }
}

// A card whose two directory copies differ: copy 1 lists "first", copy 2
// lists "second", with the given counters.
std::vector<uint8_t> twoDirectories(uint16_t a, uint16_t b)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    const auto e1 = makeEntry({.name = "first"}, 5, 1);
    const auto e2 = makeEntry({.name = "second"}, 5, 1);
    std::memcpy(dirCopy(image, 0), e1.data(), 64);
    std::memcpy(dirCopy(image, 1), e2.data(), 64);
    putBe16(dirCopy(image, 0) + kDirCounter, a);
    putBe16(dirCopy(image, 1) + kDirCounter, b);
    for (int c = 0; c < 2; ++c)
        putBe16(mapCopy(image, c) + 2 * 5, kMapLastEntry);
    reseal(image);
    return image;
}

std::string listedName(unsigned slot)
{
    char name[33] = {};
    char code[7] = {};
    uint16_t count = 0;
    if (!GetSaverInfo(slot, name, code, &count))
        return "";
    return name;
}

} // namespace

TEST(Directory, LoadReadsCountersThenTheCurrentCopies)
{
    EmulatedCard card;
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    card.resetTraffic();
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(log.wparams, (std::vector<uintptr_t>{3, 0, 0, 0}));

    // A formatted card has counters 0 and 1: copy 2 of each is current.
    std::vector<unsigned> want = {31, 47};
    for (unsigned s = 32; s < 48; ++s)
        want.push_back(s);
    want.push_back(48);
    want.push_back(64);
    for (unsigned s = 64; s < 80; ++s)
        want.push_back(s);
    // The map copy not in use too: a cut commit may have left it newer.
    for (unsigned s = 48; s < 64; ++s)
        want.push_back(s);
    std::vector<unsigned> read;
    for (const auto& p : card.traffic().packetLog)
        if (p[0] == 0xA9)
            read.push_back(p[2] | p[3] << 8);
    EXPECT_EQ(read, want);
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
}

namespace {

struct ListedCase {
    uint16_t a, b;
    const char* listed;
};

void PrintTo(const ListedCase& c, std::ostream* os) { *os << c.a << "/" << c.b; }

class DirectoryCopy : public ::testing::TestWithParam<ListedCase> {};

TEST_P(DirectoryCopy, ChoiceFollowsTheCounters)
{
    EmulatedCard card(twoDirectories(GetParam().a, GetParam().b));
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(listedName(0), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(Counters, DirectoryCopy,
                         ::testing::Values(ListedCase{5, 5, "second"},
                                           ListedCase{0, 0xFFFF, "first"},
                                           ListedCase{0xFFFF, 0, "second"},
                                           ListedCase{7, 6, "first"}, ListedCase{6, 7, "second"}),
                         [](const ::testing::TestParamInfo<ListedCase>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "A%04X_B%04X", info.param.a,
                                           info.param.b);
                             return std::string(name);
                         });

} // namespace

TEST(Directory, ADamagedCopyIsPassedOverForTheOther)
{
    auto image = twoDirectories(7, 6); // copy 1 preferred
    dirCopy(image, 0)[100] ^= 0x01;
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(listedName(0), "second");
}

namespace {

class BothCopiesDamaged : public ::testing::TestWithParam<bool> {};

TEST_P(BothCopiesDamaged, NothingIsListedAndNothingWritten)
{
    const bool directory = GetParam();
    auto image = twoDirectories(7, 6);
    for (int c = 0; c < 2; ++c)
        (directory ? dirCopy(image, c) : mapCopy(image, c))[0x200] ^= 0x10;
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 0);
    EXPECT_EQ(listedName(0), "");
    EXPECT_EQ(CommitSystemArea(), false);
    EXPECT_EQ(card.traffic().sectorWrites, 0u);
}

INSTANTIATE_TEST_SUITE_P(Structures, BothCopiesDamaged, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Directory" : "Map");
                         });

class ReadFailure : public ::testing::TestWithParam<Place> {};

// The load reads each copy's counters, then the current copy whole: the
// first, second and third read of the directory's blocks and of the map's,
// and the last.
TEST_P(ReadFailure, AnywhereFailsTheLoadAndALaterLoadSucceeds)
{
    EmulatedCard card;
    card.faults.failReadAt = GetParam();
    ASSERT_TRUE(connect());
    EXPECT_EQ(InitSaverInfo(), 0);
    CloseDevice();
    card.faults = {};
    ASSERT_TRUE(connect());
    EXPECT_EQ(InitSaverInfo(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ReadFailure,
    ::testing::Values(Place{Place::Kind::Directory, 0, 1}, Place{Place::Kind::Directory, 0, 2},
                      Place{Place::Kind::Directory, 0, 3}, Place{Place::Kind::Directory, 0, 18},
                      Place{Place::Kind::Map, 0, 1}, Place{Place::Kind::Map, 0, 2},
                      Place{Place::Kind::Map, 0, 3}, Place{Place::Kind::Map, 0, 18}),
    [](const ::testing::TestParamInfo<Place>& info) {
        return std::string(info.param.kind == Place::Kind::Map ? "Map" : "Directory") +
               std::to_string(info.param.nth);
    });

} // namespace

TEST(Directory, SlotQueriesAndTheirProgress)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    placeSave(image, 3, makeSaveFile({.code = "GALE01", .name = "melee", .blocks = 2}), 5);
    EmulatedCard card(image);
    ProgressLog log;
    ASSERT_TRUE(connect(&log.receiver));
    ASSERT_EQ(InitSaverInfo(), 1);
    log.clear();

    char name[40];
    char code[10];
    uint16_t count = 0;
    std::memset(name, '#', sizeof name);
    std::memset(code, '#', sizeof code);
    EXPECT_EQ(GetSaverInfo(0, name, code, &count), 0);
    EXPECT_EQ(log.wparams, (std::vector<uintptr_t>{128, 0}));
    EXPECT_EQ(GetSaverInfo(3, name, code, &count), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::string(name, 5), "melee");
    EXPECT_EQ(name[5], '\0'); // the field's own padding
    EXPECT_EQ(name[32], '#'); // exactly 32 bytes written
    EXPECT_EQ(std::string(code, 6), "GALE01");
    EXPECT_EQ(code[6], '#'); // exactly 6
    EXPECT_EQ(log.wparams.size(), 3u);

    log.clear();
    EXPECT_EQ(GetSaverInfo(128, name, code, &count), 0);
    EXPECT_EQ(GetSaverInfo(0x10003, name, code, &count), 0); // no second name for slot 3
    EXPECT_TRUE(log.wparams.empty());
    // The trailer's place is never a save, whatever its bytes say.
    EXPECT_EQ(GetSaverInfo(127, name, code, &count), 0);
}

TEST(Directory, FindSaverComparesNamesUpToTheirEnd)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    const std::string longName(32, 'N');
    placeSave(image, 0, makeSaveFile({.code = "GAAE01", .name = "abc"}), 5);
    placeSave(image, 1, makeSaveFile({.code = "GBBE01", .name = longName}), 6);
    EmulatedCard card(image);
    TempDir dir;
    ASSERT_TRUE(connect());

    char name[40];
    auto fileFor = [&](const std::string& code, const std::string& n, uint8_t after) {
        auto f = makeSaveFile({.code = code, .name = n});
        for (std::size_t i = 8 + n.size() + 1; i < 40; ++i)
            f[i] = after; // bytes past the name's NUL
        writeFile(dir.file("s.gci"), f);
        return dir.file("s.gci");
    };

    std::memset(name, '#', sizeof name);
    EXPECT_EQ(FindSaver(fileFor("GAAE01", "abc", 'x').c_str(), name), 1);
    EXPECT_STREQ(name, "abc");

    std::memset(name, '#', sizeof name);
    EXPECT_EQ(FindSaver(fileFor("GBBE01", longName, 0).c_str(), name), 1);
    EXPECT_EQ(std::string(name, 32), longName);
    EXPECT_EQ(name[32], '\0');

    EXPECT_EQ(FindSaver(fileFor("GAAP01", "abc", 0).c_str(), name), 0); // other code
    EXPECT_EQ(FindSaver(fileFor("GAAE01", "abd", 0).c_str(), name), 0);
    EXPECT_EQ(FindSaver(dir.file("missing.gci").c_str(), name), 0);
    writeFile(dir.file("short.gci"), std::vector<uint8_t>(39, 'a'));
    EXPECT_EQ(FindSaver(dir.file("short.gci").c_str(), name), 0);
}

TEST(Directory, EntriesPointingOffTheCardAreListedButNeverCommitted)
{
    std::vector<uint8_t> image = formatCard(FormatOptions{4});
    auto e = makeEntry({.name = "wild"}, 0xFFF0, 0xFFFF);
    for (int c = 0; c < 2; ++c)
        std::memcpy(dirCopy(image, c), e.data(), 64);
    reseal(image);
    EmulatedCard card(image);
    ASSERT_TRUE(connect());
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_EQ(listedName(0), "wild");
    // A directory whose entry leads off the card disagrees with any map: the
    // card needs repair, and a commit writes nothing.
    card.resetTraffic();
    EXPECT_EQ(CommitSystemArea(), false);
    EXPECT_EQ(lib().lastError, MCB_ERROR_DAMAGED);
    EXPECT_EQ(card.traffic().sectorWrites + card.traffic().erases, 0u);
    EXPECT_EQ(card.image(), image);
}
