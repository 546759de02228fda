// A card swapped under a command: the image overwritten in place by another
// card's image (as another program or a card pulled and another pushed in
// would leave it) before each access the command makes to the card. The
// other card's system area is never written, and the command fails with
// MCB_E_CHANGED.
#include "card_medium.h"
#include "emulated_card.h"
#include "mcbridge.h"
#include "mcbridge/cardfs.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

// A card whose bytes become another card's before access number swapAt
// (counted from 1; 0 never).
class SwappingMedium : public MemoryMedium {
public:
    SwappingMedium(std::vector<uint8_t> first, std::vector<uint8_t> second)
        : MemoryMedium(std::move(first)), other_(std::move(second))
    {
    }
    bool readAt(uint64_t offset, uint8_t* data, std::size_t length) override
    {
        tick(false, offset);
        return MemoryMedium::readAt(offset, data, length);
    }
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override
    {
        tick(true, offset);
        return MemoryMedium::writeAt(offset, data, length);
    }
    struct Access {
        bool write;
        uint64_t offset;
    };
    std::vector<Access> log; // every access, in order
    uint64_t accesses = 0;
    uint64_t swapAt = 0;
    bool swapped = false;

private:
    void tick(bool write, uint64_t offset)
    {
        log.push_back({write, offset});
        if (++accesses == swapAt) {
            bytes() = other_;
            swapped = true;
        }
    }
    std::vector<uint8_t> other_;
};

std::vector<uint8_t> cardWith(uint8_t serialByte, const std::vector<SaveSpec>& saves)
{
    auto image = formatCard(FormatOptions{4});
    image[12] = serialByte; // another card: another identity
    sealHeader(std::span<uint8_t, kSectorSize>(image.data(), kSectorSize));
    unsigned block = kSystemBlocks;
    for (unsigned i = 0; i < saves.size(); ++i) {
        placeSave(image, i, makeSaveFile(saves[i]), block);
        block += saves[i].blocks;
    }
    return image;
}

const std::vector<uint8_t> kOurs =
    cardWith(1, {{.name = "P", .blocks = 2, .seed = 1}, {.name = "Q", .blocks = 2, .seed = 2}});
const std::vector<uint8_t> kTheirs =
    cardWith(2, {{.name = "X", .blocks = 3, .seed = 3}, {.name = "Y", .blocks = 1, .seed = 4}});

std::vector<uint8_t> systemArea(const std::vector<uint8_t>& image)
{
    return {image.begin(), image.begin() + kSystemBlocks * kBlockSize};
}

// Whether a swap before access n (of log, counted from 1) falls between the
// library's last look at the card's header and the write that follows it:
// no check can see a card swapped there. Writes to the header block do not
// end the span: a restore writes the header sector right after erasing it,
// with no header on the card to compare with in between.
bool inWindow(const std::vector<SwappingMedium::Access>& log, uint64_t n)
{
    const auto isCheck = [](const SwappingMedium::Access& a) { return !a.write && a.offset == 0; };
    uint64_t h = n - 1;
    while (h > 0 && !isCheck(log[h - 1])) {
        if (log[h - 1].write && log[h - 1].offset >= kBlockSize)
            return false;
        --h;
    }
    if (h == 0)
        return false;
    for (uint64_t i = n; i <= log.size(); ++i) {
        if (log[i - 1].write)
            return true;
        // The adapter reads a sector's cells just before it programs them.
        const bool programs = i < log.size() && log[i].write && log[i].offset == log[i - 1].offset;
        if (isCheck(log[i - 1]) && !programs)
            return false;
    }
    return false;
}

struct Command {
    const char* name;
    std::function<int(mcb_card*)> run; // after the card was opened and listed
};

void PrintTo(const Command& c, std::ostream* os) { *os << c.name; }

class SwappedCard : public ::testing::TestWithParam<Command> {};

} // namespace

TEST_P(SwappedCard, NothingReachesTheOtherCardsSystemArea)
{
    NamedCards cards;
    auto medium = std::make_shared<SwappingMedium>(kOurs, kTheirs);
    cards.add("mem:S", medium);
    uint64_t first = 0, last = 0;
    {
        Card c;
        mcb_card* raw = nullptr;
        ASSERT_EQ(mcb_open("mem:S", &raw), MCB_OK);
        c.reset(raw);
        ASSERT_EQ(mcb_load(raw), 2);
        first = medium->accesses + 1;
        ASSERT_EQ(GetParam().run(raw), MCB_OK);
        last = medium->accesses;
    }
    const auto log = medium->log;
    unsigned refused = 0, theirDataTouched = 0, windows = 0;
    for (uint64_t n = first; n <= last; ++n) {
        if (inWindow(log, n)) {
            ++windows;
            continue;
        }
        medium->bytes() = kOurs;
        medium->accesses = 0;
        medium->swapped = false;
        mcb_card* raw = nullptr;
        ASSERT_EQ(mcb_open("mem:S", &raw), MCB_OK);
        const Card c(raw);
        ASSERT_EQ(mcb_load(raw), 2);
        medium->swapAt = n;
        const int result = GetParam().run(raw);
        ASSERT_TRUE(medium->swapped) << n;
        ASSERT_EQ(systemArea(medium->bytes()), systemArea(kTheirs)) << "swapped at access " << n;
        EXPECT_EQ(result, MCB_E_CHANGED) << "swapped at access " << n;
        refused += result == MCB_E_CHANGED;
        theirDataTouched += medium->bytes() != kTheirs;
        medium->swapAt = 0;
    }
    std::printf("%s: %llu swap points, %u refused with the other card's system area untouched "
                "(%u of them after a save block went to the other card), %u between a look "
                "and a write, not tried\n",
                GetParam().name, static_cast<unsigned long long>(last - first + 1), refused,
                theirDataTouched, windows);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SwappedCard,
    ::testing::Values(
        Command{"Upload",
                [](mcb_card* c) {
                    const auto f = makeSaveFile({.name = "N", .blocks = 3, .seed = 9});
                    const mcb_write_request req{sizeof(mcb_write_request), MCB_WRITE_NEW, 0, 0};
                    return mcb_write_save(c, f.data(), f.size(), &req, nullptr);
                }},
        Command{"Delete", [](mcb_card* c) { return mcb_delete_save(c, 1, nullptr); }},
        Command{"Restore",
                [](mcb_card* c) {
                    const auto image = cardWith(1, {{.name = "R", .blocks = 2, .seed = 5}});
                    return mcb_write_image(c, image.data(), image.size(), MCB_RESTORE_SAME_CARD);
                }}),
    [](const auto& info) { return std::string(info.param.name); });

// A restore that fails after it wrote the image's header (another identity)
// fails for its own reason: the card changed because the restore changed it.
TEST(SwappedCardNot, ARestoreFailingPastItsOwnHeaderSaysWhy)
{
    NamedCards cards;
    auto& card = cards.add("mem:S", kOurs);
    card.faults = parseFaults("write-fail=header:2");
    mcb_card* raw = nullptr;
    ASSERT_EQ(mcb_open("mem:S", &raw), MCB_OK);
    const Card c(raw);
    EXPECT_EQ(mcb_write_image(raw, kTheirs.data(), kTheirs.size(), MCB_RESTORE_FORCE), MCB_E_IO);
}
