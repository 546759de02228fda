// Cards by handle: many at once, each with its own errors, saves moved
// through memory, buffers that are too small, and the one write call's
// outcomes, each refusal and each failure point.
#include "emulated_card.h"
#include "mcbridge.h"
#include "mcbridge/inspect.h"
#include "published_signing.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <thread>

using namespace mcb;
using namespace mcbtest;

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

Card open(const char* device)
{
    mcb_card* c = nullptr;
    EXPECT_EQ(mcb_open(device, &c), MCB_OK) << device;
    return Card(c);
}

std::vector<uint8_t> cardWith(unsigned megabits, const std::vector<SaveSpec>& saves)
{
    auto image = formatCard(FormatOptions{megabits});
    unsigned block = kSystemBlocks;
    for (unsigned i = 0; i < saves.size(); ++i) {
        placeSave(image, i, makeSaveFile(saves[i]), block);
        block += saves[i].blocks;
    }
    return image;
}

std::optional<std::vector<uint8_t>> dataNamed(const std::vector<uint8_t>& image,
                                              const std::string& name)
{
    for (const SaveInfo& s : inspectCard(image).saves)
        if (s.name == name)
            return blocksOf(image, s.firstBlock, s.blockCount);
    return std::nullopt;
}

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& file)
{
    return {file.begin() + kEntrySize, file.end()};
}

std::vector<uint8_t> readSave(mcb_card* card, uint32_t slot, int32_t format = MCB_SAVE_GCI)
{
    size_t length = 0;
    EXPECT_EQ(mcb_read_save(card, slot, format, nullptr, 0, &length), MCB_E_TOO_SMALL);
    std::vector<uint8_t> out(length);
    EXPECT_EQ(mcb_read_save(card, slot, format, out.data(), out.size(), &length), int(length));
    return out;
}

mcb_write_request request(int32_t policy, uint32_t slot = 0, uint32_t flags = 0)
{
    return {sizeof(mcb_write_request), policy, slot, flags};
}

mcb_write_outcome blankOutcome()
{
    mcb_write_outcome o{};
    o.size = sizeof o;
    return o;
}

} // namespace

TEST(HandleErrors, EveryCodeHasItsTextAndNameWhateverItsSign)
{
    for (int code = 0; code <= MCB_ERROR_JOURNAL_FILE; ++code) {
        SCOPED_TRACE(code);
        EXPECT_STRNE(mcb_strerror(code), "unknown error");
        EXPECT_STREQ(mcb_strerror(-code), mcb_strerror(code));
        EXPECT_STREQ(mcb_error_text(code), mcb_strerror(-code));
        EXPECT_EQ(std::string(mcb_error_name(-code)).rfind(code ? "MCB_E_" : "MCB_OK", 0), 0u);
    }
    EXPECT_STREQ(mcb_error_name(MCB_E_BUSY), "MCB_E_BUSY");
    EXPECT_STREQ(mcb_strerror(MCB_E_CHANGED), "the card was changed or swapped during the write");
    for (int unknown : {MCB_ERROR_JOURNAL_FILE + 1, -1000, INT32_MIN}) {
        EXPECT_STREQ(mcb_strerror(unknown), "unknown error");
        EXPECT_STREQ(mcb_error_name(unknown), "MCB_E_UNKNOWN");
    }
    EXPECT_EQ(mcb_version() >> 16, MCB_API_VERSION >> 16);
    EXPECT_GE(mcb_version() & 0xFFFF, MCB_API_VERSION & 0xFFFF);
}

TEST(Handles, OpeningSaysWhyAndEachCardKeepsItsOwnError)
{
    NamedCards cards;
    cards.add("mem:A", cardWith(4, {{.name = "a"}}));
    cards.add("mem:gone", formatCard(FormatOptions{4})).plugged = false;
    cards.add("mem:blank", std::vector<uint8_t>(MCB_CARD_BYTES(4), 0xFF));
    mcb_card* none = reinterpret_cast<mcb_card*>(1);
    EXPECT_EQ(mcb_open("mem:gone", &none), MCB_E_NOT_FOUND);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(mcb_open("mem:blank", &none), MCB_E_NOT_A_CARD);
    EXPECT_EQ(mcb_open("floppy:0", &none), MCB_E_BAD_DEVICE);

    const Card a = open("mem:A");
    const Card b = open("mem:A");
    EXPECT_EQ(mcb_load(a.get()), 1);
    uint8_t entry[MCB_ENTRY_SIZE];
    EXPECT_EQ(mcb_entry(b.get(), 0, entry, sizeof entry), MCB_E_NOT_LOADED);
    EXPECT_EQ(mcb_card_error(b.get()), MCB_E_NOT_LOADED);
    EXPECT_EQ(mcb_card_error(a.get()), 1); // the load's count
    EXPECT_EQ(mcb_entry(a.get(), 0, entry, sizeof entry), MCB_OK);
    EXPECT_EQ(mcb_entry(a.get(), MCB_SLOTS, entry, sizeof entry), MCB_E_BAD_ARGUMENT);
    EXPECT_EQ(mcb_entry(a.get(), 1, entry, sizeof entry), MCB_E_NO_SAVE);

    mcb_card_info info{};
    info.size = sizeof info;
    ASSERT_EQ(mcb_describe_card(a.get(), &info), MCB_OK);
    EXPECT_EQ(info.megabits, 4u);
    EXPECT_EQ(info.save_blocks, MCB_SAVE_BLOCKS(4));
    EXPECT_EQ(info.free_blocks, MCB_SAVE_BLOCKS(4) - 1);
    EXPECT_EQ(info.saves, 1u);
    EXPECT_EQ(info.kind, uint32_t(MCB_KIND_IMAGE));
    info.size = 4;
    EXPECT_EQ(mcb_describe_card(a.get(), &info), MCB_E_BAD_ARGUMENT);
}

// Two cards open at once, saves copied both ways through memory while the
// second card fails: the first never notices.
TEST(Handles, TwoCardsCopyBothWaysWhileOneFails)
{
    NamedCards cards;
    cards.add("mem:A", cardWith(4, {{.name = "a1", .blocks = 2, .seed = 1},
                                    {.name = "a2", .blocks = 3, .seed = 2}}));
    cards.add("mem:B", cardWith(8, {{.name = "b1", .blocks = 1, .seed = 3}}));
    const Card a = open("mem:A");
    const Card b = open("mem:B");
    ASSERT_EQ(mcb_load(a.get()), 2);
    ASSERT_EQ(mcb_load(b.get()), 1);

    const auto a1 = readSave(a.get(), 0);
    const auto req = request(MCB_WRITE_NEW);
    auto out = blankOutcome();
    ASSERT_EQ(mcb_write_save(b.get(), a1.data(), a1.size(), &req, &out), MCB_OK);
    EXPECT_EQ(out.result, MCB_WRITTEN);
    EXPECT_EQ(out.slot, 1);
    const auto b1 = readSave(b.get(), 0, MCB_SAVE_GCS);
    ASSERT_EQ(mcb_write_save(a.get(), b1.data(), b1.size(), &req, &out), MCB_OK);
    EXPECT_EQ(dataNamed(cards["mem:A"].image(), "b1"),
              dataOf(makeSaveFile({.name = "b1", .seed = 3})));
    EXPECT_EQ(dataNamed(cards["mem:B"].image(), "a1"), dataOf(a1));

    // The second card's link now fails at its first save block's write.
    cards["mem:B"].faults = parseFaults("write-fail=data:1");
    const Card b2 = open("mem:B");
    const auto a2 = readSave(a.get(), 1);
    EXPECT_EQ(mcb_write_save(b2.get(), a2.data(), a2.size(), &req, &out), MCB_E_IO);
    EXPECT_EQ(out.result, MCB_FAILED);
    EXPECT_EQ(out.holds, MCB_HOLDS_NONE);
    EXPECT_EQ(inspectCard(cards["mem:B"].image()).saves.size(), 2u);
    EXPECT_EQ(mcb_card_error(b2.get()), MCB_E_IO);
    EXPECT_EQ(mcb_card_error(a.get()), int(a2.size()));
    EXPECT_EQ(dataOf(readSave(b2.get(), 1)), dataOf(a1)); // reading still works
    ASSERT_EQ(mcb_delete_save(a.get(), 0, nullptr), MCB_OK);
    EXPECT_FALSE(dataNamed(cards["mem:A"].image(), "a1"));
    EXPECT_TRUE(inspectCard(cards["mem:B"].image()).sound());
}

// Two threads, each on its own card, at the same time.
TEST(Handles, ThreadsWorkOnTheirOwnCards)
{
    NamedCards cards;
    cards.add("mem:A", formatCard(FormatOptions{16}));
    cards.add("mem:B", formatCard(FormatOptions{16}));
    const auto fill = [](const char* device, uint8_t seed, int& written) {
        mcb_card* c = nullptr;
        if (mcb_open(device, &c) != MCB_OK)
            return;
        const auto req = request(MCB_WRITE_NEW);
        for (unsigned i = 0; i < 12; ++i) {
            const auto f = makeSaveFile(
                {.name = std::string(device) + std::to_string(i), .blocks = 3, .seed = seed});
            written += mcb_write_save(c, f.data(), f.size(), &req, nullptr) == MCB_OK;
        }
        mcb_close(c);
    };
    int inA = 0, inB = 0;
    std::thread ta(fill, "mem:A", 1, std::ref(inA));
    std::thread tb(fill, "mem:B", 2, std::ref(inB));
    ta.join();
    tb.join();
    EXPECT_EQ(inA, 12);
    EXPECT_EQ(inB, 12);
    for (const char* d : {"mem:A", "mem:B"}) {
        const CardReport r = inspectCard(cards[d].image());
        EXPECT_TRUE(r.sound());
        EXPECT_EQ(r.saves.size(), 12u);
        for (const SaveInfo& s : r.saves)
            EXPECT_EQ(s.name.rfind(d, 0), 0u) << s.name;
    }
}

// Every call that fills a buffer refuses one a byte too small, says how
// large it must be, and writes nothing into it.
struct Filler {
    const char* name;
    std::function<int(mcb_card*, void* out, size_t capacity, size_t* length)> call;
};

class TooSmall : public ::testing::TestWithParam<Filler> {};

TEST_P(TooSmall, IsRefusedWithTheLengthNeededAndTheBufferUntouched)
{
    NamedCards cards;
    cards.add("mem:A",
              cardWith(4, {{.name = "a", .blocks = 2, .bannerFormat = 2, .pictureOffset = 0}}));
    const Card a = open("mem:A");
    ASSERT_EQ(mcb_load(a.get()), 1);
    size_t needed = 0;
    ASSERT_EQ(GetParam().call(a.get(), nullptr, 0, &needed), MCB_E_TOO_SMALL);
    ASSERT_GT(needed, 0u);
    std::vector<uint8_t> buffer(needed + 16, 0xAB);
    size_t told = 0;
    EXPECT_EQ(GetParam().call(a.get(), buffer.data(), needed - 1, &told), MCB_E_TOO_SMALL);
    EXPECT_EQ(told, needed);
    EXPECT_EQ(buffer, std::vector<uint8_t>(needed + 16, 0xAB));
    EXPECT_EQ(GetParam().call(a.get(), buffer.data(), needed, &told), int(needed));
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + std::ptrdiff_t(needed), buffer.end()),
              std::vector<uint8_t>(16, 0xAB));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, TooSmall,
    ::testing::Values(
        Filler{"ReadSave", [](mcb_card* c, void* o, size_t n,
                              size_t* l) { return mcb_read_save(c, 0, MCB_SAVE_SAV, o, n, l); }},
        Filler{"ReadImage",
               [](mcb_card* c, void* o, size_t n, size_t* l) {
                   const int r = mcb_read_image(c, o, n, l);
                   return r == MCB_OK ? int(*l) : r;
               }},
        Filler{"SlotBitmap",
               [](mcb_card* c, void* o, size_t n, size_t* l) {
                   return mcb_slot_bitmap(c, 0, static_cast<uint8_t*>(o), n, l);
               }},
        Filler{"RescueSave", [](mcb_card* c, void* o, size_t n,
                                size_t* l) { return mcb_rescue_save(c, 0, o, n, l, nullptr); }},
        Filler{"ConvertBytes",
               [](mcb_card*, void* o, size_t n, size_t* l) {
                   const auto f = makeSaveFile({.name = "x", .blocks = 2});
                   return mcb_convert_bytes(f.data(), f.size(), MCB_SAVE_GCS, o, n, l);
               }},
        Filler{"SaveBitmap",
               [](mcb_card*, void* o, size_t n, size_t* l) {
                   const auto f = makeSaveFile({.name = "x", .blocks = 1});
                   return mcb_save_bitmap(f.data(), f.size(), static_cast<uint8_t*>(o), n, l);
               }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SavesInMemory, EveryFormRoundTripsAndIsKnownByItsBytes)
{
    const auto plain = makeSaveFile({.name = "round", .blocks = 3, .seed = 7});
    for (int32_t format : {MCB_SAVE_GCI, MCB_SAVE_GCS, MCB_SAVE_SAV}) {
        SCOPED_TRACE(format);
        size_t length = 0;
        ASSERT_EQ(mcb_convert_bytes(plain.data(), plain.size(), format, nullptr, 0, &length),
                  MCB_E_TOO_SMALL);
        std::vector<uint8_t> as(length);
        ASSERT_EQ(
            mcb_convert_bytes(plain.data(), plain.size(), format, as.data(), as.size(), &length),
            int(as.size()));
        mcb_save_view view{};
        view.size = sizeof view;
        ASSERT_EQ(mcb_parse_save(as.data(), as.size(), &view), MCB_OK);
        EXPECT_EQ(view.format, format);
        EXPECT_EQ(view.blocks, 3u);
        EXPECT_EQ(std::vector<uint8_t>(as.begin() + std::ptrdiff_t(view.data_offset), as.end()),
                  dataOf(plain));
        std::vector<uint8_t> back(plain.size());
        ASSERT_EQ(mcb_convert_bytes(as.data(), as.size(), MCB_SAVE_GCI, back.data(), back.size(),
                                    &length),
                  int(plain.size()));
        EXPECT_EQ(back, plain);
    }
    mcb_save_view view{};
    view.size = sizeof view;
    const std::vector<uint8_t> cut(plain.begin(), plain.end() - 100);
    EXPECT_EQ(mcb_parse_save(cut.data(), cut.size(), &view), MCB_E_NOT_A_SAVE);
    EXPECT_EQ(view.fault, MCB_SAVE_PARTIAL_BLOCK);
    // A plain save a few bytes short of its last block is taken, as the
    // original upload always took it.
    const std::vector<uint8_t> shortByTen(plain.begin(), plain.end() - 10);
    EXPECT_EQ(mcb_parse_save(shortByTen.data(), shortByTen.size(), &view), MCB_OK);
}

// ---- The one write call ---------------------------------------------------

namespace {

struct PolicyCase {
    const char* name;
    std::vector<SaveSpec> onCard; // placed from block 5 on, slot by slot
    SaveSpec file;
    mcb_write_request req;
    int expect; // the call's result
    int32_t result;
    int slot;
    int otherSlot;
    uint32_t needed, free, replaced;
    uint32_t deletedFirst;
};

void PrintTo(const PolicyCase& c, std::ostream* os) { *os << c.name; }

class WritePolicy : public ::testing::TestWithParam<PolicyCase> {};

const SaveSpec kBig{.name = "big", .blocks = 40, .seed = 1};

} // namespace

TEST_P(WritePolicy, DecidesBeforeWritingAndSaysEverythingItKnows)
{
    const PolicyCase& c = GetParam();
    NamedCards cards;
    auto& card = cards.add("mem:A", cardWith(4, c.onCard));
    const std::vector<uint8_t> before = card.image();
    const Card a = open("mem:A");
    const auto file = makeSaveFile(c.file);
    auto out = blankOutcome();
    EXPECT_EQ(mcb_write_save(a.get(), file.data(), file.size(), &c.req, &out), c.expect);
    EXPECT_EQ(out.result, c.result);
    EXPECT_EQ(out.reason, c.expect);
    EXPECT_EQ(out.slot, c.slot);
    EXPECT_EQ(out.other_slot, c.otherSlot);
    EXPECT_EQ(out.blocks_needed, c.needed);
    EXPECT_EQ(out.blocks_free, c.free);
    EXPECT_EQ(out.blocks_replaced, c.replaced);
    EXPECT_EQ(out.deleted_first, c.deletedFirst);
    if (c.result == MCB_REFUSED) {
        EXPECT_EQ(card.image(), before);
        return;
    }
    EXPECT_EQ(out.holds, MCB_HOLDS_NEW);
    EXPECT_EQ(dataNamed(card.image(), c.file.name), dataOf(file));
    EXPECT_TRUE(inspectCard(card.image()).sound());
}

INSTANTIATE_TEST_SUITE_P(
    Policies, WritePolicy,
    ::testing::Values(PolicyCase{"NewOnAnEmptyCard",
                                 {},
                                 {.name = "n", .blocks = 2},
                                 request(MCB_WRITE_NEW),
                                 MCB_OK,
                                 MCB_WRITTEN,
                                 0,
                                 -1,
                                 2,
                                 59,
                                 0,
                                 0},
                      PolicyCase{"NewWhenTheNameIsTaken",
                                 {{.name = "n"}},
                                 {.name = "n"},
                                 request(MCB_WRITE_NEW),
                                 MCB_E_EXISTS,
                                 MCB_REFUSED,
                                 0,
                                 -1,
                                 1,
                                 0,
                                 0,
                                 0},
                      PolicyCase{"ReplaceByName",
                                 {{.name = "x"}, {.name = "n", .blocks = 2}},
                                 {.name = "n", .blocks = 3, .seed = 9},
                                 request(MCB_WRITE_REPLACE_NAME),
                                 MCB_OK,
                                 MCB_WRITTEN,
                                 1,
                                 -1,
                                 3,
                                 56,
                                 2,
                                 0},
                      PolicyCase{"ReplaceByNameWithTwins",
                                 {{.name = "n"}, {.name = "n", .seed = 2}},
                                 {.name = "n"},
                                 request(MCB_WRITE_REPLACE_NAME),
                                 MCB_E_AMBIGUOUS,
                                 MCB_REFUSED,
                                 0,
                                 1,
                                 1,
                                 0,
                                 0,
                                 0},
                      PolicyCase{"ReplaceAnEmptySlot",
                                 {{.name = "n"}},
                                 {.name = "n"},
                                 request(MCB_WRITE_REPLACE_SLOT, 4),
                                 MCB_E_NO_SAVE,
                                 MCB_REFUSED,
                                 -1,
                                 -1,
                                 1,
                                 0,
                                 0,
                                 0},
                      PolicyCase{"ReplaceASlotOfAnotherName",
                                 {{.name = "x"}},
                                 {.name = "n"},
                                 request(MCB_WRITE_REPLACE_SLOT, 0),
                                 MCB_E_BAD_ARGUMENT,
                                 MCB_REFUSED,
                                 -1,
                                 -1,
                                 1,
                                 0,
                                 0,
                                 0},
                      PolicyCase{"ReplaceASlotPastTheLast",
                                 {{.name = "n"}},
                                 {.name = "n"},
                                 request(MCB_WRITE_REPLACE_SLOT, MCB_SLOTS),
                                 MCB_E_BAD_ARGUMENT,
                                 MCB_REFUSED,
                                 -1,
                                 -1,
                                 1,
                                 0,
                                 0,
                                 0},
                      PolicyCase{"NoRoomForANewSave",
                                 {kBig},
                                 {.name = "n", .blocks = 20},
                                 request(MCB_WRITE_NEW),
                                 MCB_E_NO_ROOM,
                                 MCB_REFUSED,
                                 -1,
                                 -1,
                                 20,
                                 19,
                                 0,
                                 0},
                      PolicyCase{"NoRoomBesideTheOldSave",
                                 {kBig},
                                 {.name = "big", .blocks = 30},
                                 request(MCB_WRITE_REPLACE_NAME),
                                 MCB_E_NO_ROOM,
                                 MCB_REFUSED,
                                 0,
                                 -1,
                                 30,
                                 19,
                                 40,
                                 0},
                      PolicyCase{"DeleteFirstMakesRoom",
                                 {kBig},
                                 {.name = "big", .blocks = 30, .seed = 5},
                                 request(MCB_WRITE_REPLACE_NAME, 0, MCB_WRITE_DELETE_FIRST),
                                 MCB_OK,
                                 MCB_WRITTEN,
                                 0,
                                 -1,
                                 30,
                                 19,
                                 40,
                                 1},
                      PolicyCase{"DeleteFirstCannotMakeEnough",
                                 {kBig},
                                 {.name = "big", .blocks = 60},
                                 request(MCB_WRITE_REPLACE_NAME, 0, MCB_WRITE_DELETE_FIRST),
                                 MCB_E_NO_ROOM,
                                 MCB_REFUSED,
                                 0,
                                 -1,
                                 60,
                                 19,
                                 40,
                                 0},
                      PolicyCase{"AnUnknownPolicy",
                                 {},
                                 {.name = "n"},
                                 request(7),
                                 MCB_E_BAD_ARGUMENT,
                                 MCB_REFUSED,
                                 -1,
                                 -1,
                                 1,
                                 0,
                                 0,
                                 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WritePolicy, AFullDirectoryAndAnythingButASaveAreRefused)
{
    std::vector<SaveSpec> many;
    for (unsigned i = 0; i < MCB_SLOTS; ++i)
        many.push_back({.name = "s" + std::to_string(i)});
    NamedCards cards;
    cards.add("mem:full", cardWith(16, many));
    const Card full = open("mem:full");
    const auto file = makeSaveFile({.name = "one more"});
    const auto req = request(MCB_WRITE_NEW);
    auto out = blankOutcome();
    EXPECT_EQ(mcb_write_save(full.get(), file.data(), file.size(), &req, &out), MCB_E_NO_SLOT);
    EXPECT_EQ(out.result, MCB_REFUSED);
    const std::vector<uint8_t> junk(8192 + 64, 0xFF);
    EXPECT_EQ(mcb_write_save(full.get(), junk.data(), junk.size(), &req, &out), MCB_E_NOT_A_SAVE);
    EXPECT_EQ(out.reason, MCB_E_NOT_A_SAVE);
    EXPECT_EQ(mcb_write_save(full.get(), file.data(), file.size(), nullptr, &out),
              MCB_E_BAD_ARGUMENT);
}

TEST(WritePolicy, ASaveWhoseChainIsBrokenIsNeverReplaced)
{
    auto image = cardWith(4, {{.name = "n", .blocks = 3}});
    setMapEntryOnCard(image, 6, 0);
    NamedCards cards;
    cards.add("mem:A", image);
    const Card a = open("mem:A");
    const auto file = makeSaveFile({.name = "n", .blocks = 1});
    const auto req = request(MCB_WRITE_REPLACE_NAME);
    auto out = blankOutcome();
    EXPECT_EQ(mcb_write_save(a.get(), file.data(), file.size(), &req, &out), MCB_E_BROKEN_CHAIN);
    EXPECT_EQ(cards["mem:A"].image(), image);
}

// A save bound to another card's serial is re-signed for this one, or
// refused when the caller says so. What the card holds after a cut is judged
// against the re-signed bytes: an F-Zero GX save replaced, cut after its
// directory was written, is the new save.
TEST(WritePolicy, SerialBoundSavesAreReSignedOrRefusedAndJudgedAsWritten)
{
    auto card = cardFormattedBy(21);
    placeSave(card, 0, savedOn(kFzero, serialOf(card), 3), 5);
    const auto file = savedOn(kFzero, serialOf(cardFormattedBy(22)));
    NamedCards cards;
    auto& a = cards.add("mem:A", card);
    const auto replace = request(MCB_WRITE_REPLACE_NAME);
    {
        const Card c = open("mem:A");
        const auto keep = request(MCB_WRITE_REPLACE_NAME, 0, MCB_WRITE_NO_RESIGN);
        auto out = blankOutcome();
        EXPECT_EQ(mcb_write_save(c.get(), file.data(), file.size(), &keep, &out), MCB_E_OTHER_CARD);
        EXPECT_EQ(a.image(), card);
    }
    a.faults = parseFaults("cut-at=map:17"); // the final map, after the directory
    {
        const Card c = open("mem:A");
        auto out = blankOutcome();
        EXPECT_EQ(mcb_write_save(c.get(), file.data(), file.size(), &replace, &out), MCB_E_IO);
        EXPECT_EQ(out.result, MCB_FAILED);
        EXPECT_EQ(out.resigned, 1u);
        EXPECT_EQ(out.holds, MCB_HOLDS_NEW);
    }
    const auto resigned = dataNamed(a.image(), "f_zero.dat");
    EXPECT_NE(resigned, dataOf(file));
    a.image() = card;
    a.faults = {};
    const Card c = open("mem:A");
    auto out = blankOutcome();
    ASSERT_EQ(mcb_write_save(c.get(), file.data(), file.size(), &replace, &out), MCB_OK);
    EXPECT_EQ(out.resigned, 1u);
    EXPECT_EQ(dataNamed(a.image(), "f_zero.dat"), resigned);
}

// A cut at every sector write of a replacement: the call fails or not, and
// what it says the card holds is what the card holds.
TEST(WritePolicy, ACutAtEveryWriteOfAReplacementIsToldTruly)
{
    const auto image = cardWith(
        4, {{.name = "keep", .blocks = 2, .seed = 3}, {.name = "n", .blocks = 3, .seed = 1}});
    const auto file = makeSaveFile({.name = "n", .blocks = 2, .seed = 8});
    const auto oldData = dataNamed(image, "n");
    NamedCards cards;
    auto& card = cards.add("mem:A", image);
    uint64_t total = 0;
    {
        const Card a = open("mem:A");
        const auto req = request(MCB_WRITE_REPLACE_SLOT, 1);
        ASSERT_EQ(mcb_write_save(a.get(), file.data(), file.size(), &req, nullptr), MCB_OK);
        total = card.traffic->sectorWrites;
    }
    unsigned sawOld = 0, sawNew = 0;
    for (uint64_t n = 1; n < total; ++n) {
        card.image() = image;
        card.faults.cutAfterSectorWrites = n;
        const Card a = open("mem:A");
        const auto req = request(MCB_WRITE_REPLACE_SLOT, 1);
        auto out = blankOutcome();
        ASSERT_NE(mcb_write_save(a.get(), file.data(), file.size(), &req, &out), MCB_OK) << n;
        ASSERT_EQ(out.result, MCB_FAILED) << n;
        const CardReport r = inspectCard(card.image());
        ASSERT_TRUE(r.sound()) << n;
        const auto now = dataNamed(card.image(), "n");
        if (out.holds == MCB_HOLDS_NEW) {
            EXPECT_EQ(now, dataOf(file)) << n;
            ++sawNew;
        } else {
            ASSERT_EQ(out.holds, MCB_HOLDS_OLD) << n;
            EXPECT_EQ(now, oldData) << n;
            ++sawOld;
        }
        EXPECT_EQ(dataNamed(card.image(), "keep"), dataNamed(image, "keep")) << n;
    }
    EXPECT_GT(sawOld, 0u);
    EXPECT_GT(sawNew, 0u);
}
