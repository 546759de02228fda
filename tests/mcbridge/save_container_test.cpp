// Save files in the three forms: recognition by content, refusals with their
// reasons, and conversions compared with bytes laid out here by hand from
// the containers' published layouts.
#include "emulated_card.h"
#include "mcbridge/save_container.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

using namespace mcb;
using namespace mcbtest;

namespace {

const std::vector<uint8_t> kGcsMagicBytes = {'G', 'C', 'S', 'A', 'V', 'E'};
const std::vector<uint8_t> kSavMagicBytes = {0x44, 0x41, 0x54, 0x45, 0x4C, 0x47,
                                             0x43, 0x5F, 0x53, 0x41, 0x56, 0x45};

// A plain save with a title and comment at its comment offset, and bytes
// behind the title's NUL that must not reach a container's header.
std::vector<uint8_t> plainSave(unsigned blocks = 2)
{
    DescribedSaveSpec spec;
    spec.save.blocks = blocks;
    spec.save.code = "GRSJAF";
    spec.save.name = "sc2_0.dat";
    spec.commentOffset = 0;
    spec.title = {'T', 'i', 't', 'l', 'e', 0, 'x', 'y'};
    spec.comment = {'L', 'i', 'n', 'e', ' ', '2'};
    spec.modified = 0x062778B0;
    spec.frames = {{2, 3}};
    std::vector<uint8_t> f = makeDescribedSave(spec);
    f[6] = 0xFF;
    f[0x3A] = 0x12; // the unused pair, so that its swap shows
    f[0x3B] = 0x34;
    return f;
}

// The .gcs form written out by hand: magic, the title (up to its NUL) at
// 0x10, the entry at 0x110, the data at 0x150.
std::vector<uint8_t> gcsLayout(const std::vector<uint8_t>& plain, uint16_t storedCount)
{
    std::vector<uint8_t> out(0x150, 0);
    std::copy(kGcsMagicBytes.begin(), kGcsMagicBytes.end(), out.begin());
    const uint8_t* title = &plain[64];
    for (std::size_t i = 0; i < 32 && title[i] != 0; ++i)
        out[0x10 + i] = title[i];
    std::copy_n(plain.begin(), 64, out.begin() + 0x110);
    out[0x110 + 0x38] = uint8_t(storedCount >> 8);
    out[0x110 + 0x39] = uint8_t(storedCount);
    out.insert(out.end(), plain.begin() + 64, plain.end());
    return out;
}

// The .sav form by hand: magic, title at 0x10, comment at 0x48, the entry at
// 0x80 with the banner-format pair and the pairs from 0x2C to 0x3F swapped,
// the data at 0xC0.
std::vector<uint8_t> savLayout(const std::vector<uint8_t>& plain)
{
    std::vector<uint8_t> out(0xC0, 0);
    std::copy(kSavMagicBytes.begin(), kSavMagicBytes.end(), out.begin());
    const uint8_t* lines = &plain[64];
    for (std::size_t i = 0; i < 32 && lines[i] != 0; ++i)
        out[0x10 + i] = lines[i];
    for (std::size_t i = 0; i < 32 && lines[32 + i] != 0; ++i)
        out[0x48 + i] = lines[32 + i];
    std::copy_n(plain.begin(), 64, out.begin() + 0x80);
    for (std::size_t p : {0x06, 0x2C, 0x2E, 0x30, 0x32, 0x34, 0x36, 0x38, 0x3A, 0x3C, 0x3E})
        std::swap(out[0x80 + p], out[0x80 + p + 1]);
    out.insert(out.end(), plain.begin() + 64, plain.end());
    return out;
}

std::vector<uint8_t> layoutOf(SaveFormat f, const std::vector<uint8_t>& plain)
{
    switch (f) {
    case SaveFormat::Gcs: return gcsLayout(plain, uint16_t((plain.size() - 64) / kBlockSize));
    case SaveFormat::Sav: return savLayout(plain);
    case SaveFormat::Gci: break;
    }
    return plain;
}

struct ConversionRow {
    const char* name;
    SaveFormat from;
    SaveFormat to;
};

void PrintTo(const ConversionRow& row, std::ostream* os) { *os << row.name; }

class Conversion : public testing::TestWithParam<ConversionRow> {};

TEST_P(Conversion, WritesThePublishedLayout)
{
    const ConversionRow& row = GetParam();
    const std::vector<uint8_t> plain = plainSave();
    TempDir dir;
    writeFile(dir.file("in"), layoutOf(row.from, plain));
    EXPECT_EQ(mcb_save_format(dir.file("in").c_str()), int32_t(row.from));
    ASSERT_EQ(mcb_convert_save(dir.file("in").c_str(), dir.file("out").c_str(), int32_t(row.to)), 1)
        << mcb_save_fault_text(mcb_save_fault());
    EXPECT_EQ(readFile(dir.file("out")), layoutOf(row.to, plain));
}

INSTANTIATE_TEST_SUITE_P(
    EveryPair, Conversion,
    testing::Values(ConversionRow{"GciToGcs", SaveFormat::Gci, SaveFormat::Gcs},
                    ConversionRow{"GciToSav", SaveFormat::Gci, SaveFormat::Sav},
                    ConversionRow{"GcsToGci", SaveFormat::Gcs, SaveFormat::Gci},
                    ConversionRow{"SavToGci", SaveFormat::Sav, SaveFormat::Gci},
                    ConversionRow{"GcsToSav", SaveFormat::Gcs, SaveFormat::Sav},
                    ConversionRow{"SavToGcs", SaveFormat::Sav, SaveFormat::Gcs},
                    ConversionRow{"GciToGci", SaveFormat::Gci, SaveFormat::Gci},
                    ConversionRow{"GcsToGcs", SaveFormat::Gcs, SaveFormat::Gcs},
                    ConversionRow{"SavToSav", SaveFormat::Sav, SaveFormat::Sav}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveContainer, RoundTripThroughEveryFormatKeepsEveryByte)
{
    const std::vector<uint8_t> plain = plainSave(3);
    TempDir dir;
    writeFile(dir.file("a.gci"), plain);
    ASSERT_EQ(mcb_convert_save(dir.file("a.gci").c_str(), dir.file("b").c_str(), MCB_SAVE_GCS), 1);
    ASSERT_EQ(mcb_convert_save(dir.file("b").c_str(), dir.file("c").c_str(), MCB_SAVE_SAV), 1);
    ASSERT_EQ(mcb_convert_save(dir.file("c").c_str(), dir.file("d").c_str(), MCB_SAVE_GCI), 1);
    EXPECT_EQ(readFile(dir.file("d")), plain);
}

TEST(SaveContainer, ConvertsInPlace)
{
    const std::vector<uint8_t> plain = plainSave();
    TempDir dir;
    writeFile(dir.file("s"), plain);
    ASSERT_EQ(mcb_convert_save(dir.file("s").c_str(), dir.file("s").c_str(), MCB_SAVE_SAV), 1);
    EXPECT_EQ(readFile(dir.file("s")), savLayout(plain));
}

TEST(SaveContainer, KnowsAFileByContentNotName)
{
    const std::vector<uint8_t> plain = plainSave();
    TempDir dir;
    writeFile(dir.file("named.gci"), savLayout(plain));
    writeFile(dir.file("named.sav"), gcsLayout(plain, 2));
    EXPECT_EQ(mcb_save_format(dir.file("named.gci").c_str()), MCB_SAVE_SAV);
    EXPECT_EQ(mcb_save_format(dir.file("named.sav").c_str()), MCB_SAVE_GCS);
}

// Writers of .gcs files often store 1 as the block count: the length rules.
TEST(SaveContainer, TakesAGcsCountOfOneFromItsLength)
{
    const std::vector<uint8_t> plain = plainSave(3);
    TempDir dir;
    writeFile(dir.file("g"), gcsLayout(plain, 1));
    ASSERT_EQ(mcb_convert_save(dir.file("g").c_str(), dir.file("p").c_str(), MCB_SAVE_GCI), 1);
    EXPECT_EQ(readFile(dir.file("p")), plain);
}

struct RefusalRow {
    const char* name;
    std::function<std::vector<uint8_t>()> bytes;
    int32_t fault;
};

void PrintTo(const RefusalRow& row, std::ostream* os) { *os << row.name; }

std::vector<uint8_t> cut(std::vector<uint8_t> v, std::size_t length)
{
    v.resize(length);
    return v;
}

std::vector<uint8_t> withCount(std::vector<uint8_t> v, std::size_t entryAt, uint16_t count,
                               bool swapped = false)
{
    v[entryAt + 0x38] = uint8_t(swapped ? count : count >> 8);
    v[entryAt + 0x39] = uint8_t(swapped ? count >> 8 : count);
    return v;
}

std::vector<uint8_t> headerOnly(const std::vector<uint8_t>& magic, std::size_t headerSize)
{
    std::vector<uint8_t> v(headerSize, 0);
    std::copy(magic.begin(), magic.end(), v.begin());
    return v;
}

class Refusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(Refusal, NamesTheReasonAndWritesNothing)
{
    const RefusalRow& row = GetParam();
    TempDir dir;
    writeFile(dir.file("in"), row.bytes());
    writeFile(dir.file("out"), {1, 2, 3});
    EXPECT_EQ(mcb_save_format(dir.file("in").c_str()), 0);
    EXPECT_EQ(mcb_save_fault(), row.fault) << mcb_save_fault_text(mcb_save_fault());
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_A_SAVE);
    EXPECT_EQ(mcb_convert_save(dir.file("in").c_str(), dir.file("out").c_str(), MCB_SAVE_GCI), 0);
    EXPECT_EQ(mcb_save_fault(), row.fault);
    EXPECT_EQ(readFile(dir.file("out")), (std::vector<uint8_t>{1, 2, 3}));
    mcb_save_info info;
    EXPECT_EQ(mcb_save_info_file(dir.file("in").c_str(), &info), 0);
    EXPECT_EQ(mcb_save_fault(), row.fault);
}

INSTANTIATE_TEST_SUITE_P(
    DoubtfulFiles, Refusal,
    testing::Values(
        RefusalRow{"TruncatedGcsHeader", [] { return cut(gcsLayout(plainSave(), 2), 0x120); },
                   MCB_SAVE_TRUNCATED_HEADER},
        RefusalRow{"TruncatedSavHeader", [] { return cut(savLayout(plainSave()), 0x90); },
                   MCB_SAVE_TRUNCATED_HEADER},
        RefusalRow{"TruncatedEntry", [] { return cut(plainSave(), 40); },
                   MCB_SAVE_TRUNCATED_HEADER},
        RefusalRow{"GcsMagicSavLength",
                   [] {
                       auto v = savLayout(plainSave());
                       std::copy(kGcsMagicBytes.begin(), kGcsMagicBytes.end(), v.begin());
                       std::fill(v.begin() + 6, v.begin() + 12, 0);
                       return v;
                   },
                   MCB_SAVE_WRONG_MAGIC},
        RefusalRow{"SavMagicOnAPlainSave",
                   [] {
                       auto v = plainSave();
                       std::copy(kSavMagicBytes.begin(), kSavMagicBytes.end(), v.begin());
                       return v;
                   },
                   MCB_SAVE_WRONG_MAGIC},
        RefusalRow{"SavMagicGcsLength",
                   [] {
                       auto v = gcsLayout(plainSave(), 2);
                       std::copy(kSavMagicBytes.begin(), kSavMagicBytes.end(), v.begin());
                       return v;
                   },
                   MCB_SAVE_WRONG_MAGIC},
        RefusalRow{"GcsMagicOnAPlainSave",
                   [] {
                       auto v = plainSave();
                       std::copy(kGcsMagicBytes.begin(), kGcsMagicBytes.end(), v.begin());
                       return v;
                   },
                   MCB_SAVE_WRONG_MAGIC},
        RefusalRow{"GcsMagicAlone", [] { return kGcsMagicBytes; }, MCB_SAVE_TRUNCATED_HEADER},
        RefusalRow{"SavCutInsideItsEntry", [] { return cut(savLayout(plainSave()), 0xB0); },
                   MCB_SAVE_TRUNCATED_HEADER},
        RefusalRow{"SavLengthWithoutMagic",
                   [] {
                       auto v = savLayout(plainSave());
                       v[0] = 'X';
                       return v;
                   },
                   MCB_SAVE_NO_CONTAINER},
        RefusalRow{"LastBlockCutShort", [] { return cut(plainSave(), 64 + kBlockSize + 100); },
                   MCB_SAVE_PARTIAL_BLOCK},
        RefusalRow{"GcsWithoutData", [] { return headerOnly(kGcsMagicBytes, 0x150); },
                   MCB_SAVE_NO_BLOCKS},
        RefusalRow{"EmptyEntry",
                   [] {
                       auto v = plainSave();
                       std::fill(v.begin(), v.begin() + 64, 0xFF);
                       return v;
                   },
                   MCB_SAVE_EMPTY_ENTRY},
        RefusalRow{"GciCountAboveLength", [] { return withCount(plainSave(2), 0, 3); },
                   MCB_SAVE_COUNT_MISMATCH},
        RefusalRow{"GciCountOfOneForTwoBlocks", [] { return withCount(plainSave(2), 0, 1); },
                   MCB_SAVE_COUNT_MISMATCH},
        RefusalRow{"GcsCountAboveLength", [] { return gcsLayout(plainSave(2), 5); },
                   MCB_SAVE_COUNT_MISMATCH},
        // A .sav whose entry was stored in the card's order, without the swap.
        RefusalRow{"SavEntryNotSwapped", [] { return withCount(savLayout(plainSave(2)), 0x80, 2); },
                   MCB_SAVE_COUNT_MISMATCH}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveContainer, RefusesWhatIsNotARegularFile)
{
    TempDir dir;
    EXPECT_EQ(mcb_save_format(dir.path().c_str()), 0);
    EXPECT_EQ(mcb_save_fault(), MCB_SAVE_NOT_REGULAR);
    EXPECT_EQ(mcb_save_format(dir.file("missing").c_str()), 0);
    EXPECT_EQ(mcb_save_fault(), MCB_SAVE_CANNOT_OPEN);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_FILE);
}

TEST(SaveContainer, ReportsAnUnwritableTarget)
{
    TempDir dir;
    writeFile(dir.file("in"), plainSave());
    EXPECT_EQ(
        mcb_convert_save(dir.file("in").c_str(), dir.file("no/such/folder").c_str(), MCB_SAVE_SAV),
        0);
    EXPECT_EQ(mcb_save_fault(), MCB_SAVE_CANNOT_WRITE);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_FILE);
    EXPECT_EQ(mcb_convert_save(dir.file("in").c_str(), dir.file("x").c_str(), 7), 0);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_BAD_ARGUMENT);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

// A save whose comment offset points past its data has no lines to carry:
// the header stays blank rather than reading beyond the file.
TEST(SaveContainer, LeavesTheHeaderBlankWithoutComment)
{
    std::vector<uint8_t> plain = plainSave(1);
    putBe32(&plain[0x3C], kBlockSize - 10);
    TempDir dir;
    writeFile(dir.file("in"), plain);
    ASSERT_EQ(mcb_convert_save(dir.file("in").c_str(), dir.file("out").c_str(), MCB_SAVE_SAV), 1);
    const std::vector<uint8_t> out = readFile(dir.file("out"));
    EXPECT_TRUE(
        std::all_of(out.begin() + 12, out.begin() + 0x80, [](uint8_t b) { return b == 0; }));
}

} // namespace
