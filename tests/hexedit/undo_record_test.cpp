// The stored form of an undo record and the journal that holds them.
#include "hexedit/undojournal.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(UndoRecord, FieldsArePackedLittleEndianAtTheirOffsets)
{
    TUndoRec r;
    r.Typ = 3;
    r.Changed = true;
    r.Modified = true;
    r.CurPos = 0x01020304;
    r.C1st = 1;
    r.CharField = true;
    r.SelS = 0x11121314;
    r.SelE = -1;
    r.SelP = 0x21222324;
    r.Pos = 0x31323334;
    r.Count = 0x41424344;
    r.ReplCount = 0x51525354;
    uint8_t out[UndoOffset::Buffer];
    EncodeUndoFields(r, out);
    const std::vector<uint8_t> expected = {
        3,    1,    1,    0x04, 0x03, 0x02, 0x01, 1,    1,    0x14, 0x13,
        0x12, 0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0x24, 0x23, 0x22, 0x21, 0x34,
        0x33, 0x32, 0x31, 0x44, 0x43, 0x42, 0x41, 0x54, 0x53, 0x52, 0x51,
    };
    EXPECT_EQ(std::vector<uint8_t>(out, out + sizeof out), expected);

    uint8_t head[cUndoHeadSize];
    std::copy(out, out + sizeof out, head);
    head[UndoOffset::Buffer] = 0x77;
    const TUndoRec back = DecodeUndoHead(head);
    EXPECT_EQ(back.CurPos, r.CurPos);
    EXPECT_EQ(back.SelE, -1);
    EXPECT_EQ(back.ReplCount, r.ReplCount);
    EXPECT_TRUE(back.CharField);
    EXPECT_EQ(back.Buffer0, 0x77);
}

class Journal : public ::testing::TestWithParam<int64_t> {};

TEST_P(Journal, AppendsReadsTruncatesAndDropsTheFront)
{
    // Below and beyond the size kept in memory.
    const int64_t size = GetParam();
    std::vector<uint8_t> data(static_cast<std::size_t>(size));
    for (int64_t i = 0; i < size; ++i)
        data[std::size_t(i)] = uint8_t(i * 7 + i / 251);
    TUndoJournal j;
    ASSERT_TRUE(j.Append(data.data(), size / 2));
    ASSERT_TRUE(j.Append(data.data() + size / 2, size - size / 2));
    ASSERT_EQ(j.Size(), size);
    EXPECT_EQ(j.InFile(), size > TUndoJournal::cMemoryLimit);

    std::vector<uint8_t> back(static_cast<std::size_t>(size));
    ASSERT_TRUE(j.ReadAt(0, back.data(), size));
    EXPECT_EQ(back, data);
    EXPECT_FALSE(j.ReadAt(size - 1, back.data(), 2));

    const int64_t drop = size / 3 + 1;
    ASSERT_TRUE(j.DropFront(drop));
    ASSERT_EQ(j.Size(), size - drop);
    back.resize(std::size_t(size - drop));
    ASSERT_TRUE(j.ReadAt(0, back.data(), size - drop));
    EXPECT_EQ(back, std::vector<uint8_t>(data.begin() + drop, data.end()));

    // Dropping past half the stored bytes compacts them; appends go on.
    const int64_t drop2 = size / 3;
    ASSERT_TRUE(j.DropFront(drop2));
    const uint8_t more[] = {1, 2, 3};
    ASSERT_TRUE(j.Append(more, 3));
    std::vector<uint8_t> expected(data.begin() + drop + drop2, data.end());
    expected.insert(expected.end(), more, more + 3);
    back.resize(expected.size());
    ASSERT_EQ(j.Size(), int64_t(expected.size()));
    ASSERT_TRUE(j.ReadAt(0, back.data(), j.Size()));
    EXPECT_EQ(back, expected);

    j.Truncate(5);
    EXPECT_EQ(j.Size(), 5);
    uint8_t five[5];
    ASSERT_TRUE(j.ReadAt(0, five, 5));
    EXPECT_EQ(std::vector<uint8_t>(five, five + 5),
              std::vector<uint8_t>(expected.begin(), expected.begin() + 5));
    j.Truncate(-3);
    EXPECT_EQ(j.Size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Journal, ::testing::Values(int64_t(100), int64_t(3 << 20)));

} // namespace
