// What the journal costs a change, in counts that do not depend on the
// machine: the adapter's sector reads and writes and the bytes its record
// takes, with the journal on and off, for an upload of a new 7-block save
// onto free blocks, a replacement of a 7-block save and a delete. A new save
// on free blocks costs the system area only (before and after); a
// replacement or a delete keeps the old save's blocks as well, and nothing
// more. The figures are printed for the record:
//
//   build/test/bin/mcbridge_tests --gtest_filter='*JournalCost*'
#include "emulated_card.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

using namespace mcb;
using namespace mcbtest;

namespace {

const SaveSpec kOld{.name = "old", .blocks = 7, .seed = 1};

struct Cost {
    uint64_t reads = 0, writes = 0, journalBytes = 0;
};

struct CostCase {
    const char* name;
    std::function<int(mcb_card*)> change;
    unsigned keptBlocks; // the old save's blocks the record must keep
};

void PrintTo(const CostCase& c, std::ostream* os) { *os << c.name; }

int writeSave(mcb_card* c, const SaveSpec& spec, int32_t policy)
{
    const auto file = makeSaveFile(spec);
    const mcb_write_request r{sizeof r, policy, 0, 0};
    return mcb_write_save(c, file.data(), file.size(), &r, nullptr);
}

// The change made on a 16 Mbit card holding the old save (written through
// the library, as a user's card is), the journal on when folder is given.
Cost measure(const CostCase& k, const std::string& folder)
{
    NamedCards cards;
    auto& card = cards.add("mem:A", formatCard(FormatOptions{16}));
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open("mem:A", &c), MCB_OK);
    EXPECT_EQ(mcb_set_journal(c, nullptr, MCB_JOURNAL_OFF), MCB_OK);
    EXPECT_EQ(writeSave(c, kOld, MCB_WRITE_NEW), MCB_OK);
    EXPECT_EQ(mcb_load(c), 1);
    EXPECT_EQ(mcb_set_journal(c, folder.empty() ? nullptr : folder.c_str(),
                              folder.empty() ? MCB_JOURNAL_OFF : 0),
              MCB_OK);
    const Traffic start = *card.traffic;
    EXPECT_EQ(k.change(c), MCB_OK) << k.name;
    Cost cost{card.traffic->sectorReads - start.sectorReads,
              card.traffic->sectorWrites - start.sectorWrites, 0};
    mcb_close(c);
    if (!folder.empty())
        for (const auto& e : std::filesystem::directory_iterator(folder))
            cost.journalBytes += e.file_size();
    return cost;
}

class JournalCost : public testing::TestWithParam<CostCase> {};

TEST_P(JournalCost, IsTheSystemAreaAndTheBlocksOverwrittenOnly)
{
    const CostCase& k = GetParam();
    TempDir dir;
    const Cost off = measure(k, "");
    const Cost on = measure(k, dir.path());
    // A record: its head, the system area before, a chunk per kept block,
    // its end with a line of text and the system area after.
    const uint64_t area = uint64_t(kSystemBlocks) * kBlockSize;
    const uint64_t head = 4 + 4 + 8 + 4 + 4 + 32;
    const uint64_t kept = uint64_t(k.keptBlocks) * (3 + kBlockSize);
    EXPECT_GE(on.journalBytes, head + area + kept + 1 + 1 + 4 + 4 + area);
    EXPECT_LE(on.journalBytes, head + area + kept + 1 + 1 + 4 + 4 + area + 200);
    // The journal reads the system area once, and each kept block once.
    const uint64_t areaSectors = uint64_t(kSystemBlocks) * kSectorsPerBlock;
    EXPECT_EQ(on.reads - off.reads, areaSectors + uint64_t(k.keptBlocks) * kSectorsPerBlock);
    EXPECT_EQ(on.writes, off.writes) << "the journal writes nothing to the card";
    std::printf("journal cost %-8s reads %llu -> %llu (+%llu sectors), card writes %llu, "
                "record %llu bytes (%u blocks kept)\n",
                k.name, static_cast<unsigned long long>(off.reads),
                static_cast<unsigned long long>(on.reads),
                static_cast<unsigned long long>(on.reads - off.reads),
                static_cast<unsigned long long>(on.writes),
                static_cast<unsigned long long>(on.journalBytes), k.keptBlocks);
}

INSTANTIATE_TEST_SUITE_P(
    Journal, JournalCost,
    testing::Values(CostCase{"Upload",
                             [](mcb_card* c) {
                                 return writeSave(c, {.name = "new", .blocks = 7, .seed = 5},
                                                  MCB_WRITE_NEW);
                             },
                             0},
                    CostCase{"Replace",
                             [](mcb_card* c) {
                                 return writeSave(c, {.name = "old", .blocks = 7, .seed = 9},
                                                  MCB_WRITE_REPLACE_NAME);
                             },
                             7},
                    CostCase{"Delete", [](mcb_card* c) { return mcb_delete_save(c, 0, nullptr); },
                             7}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
