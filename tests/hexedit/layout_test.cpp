// Columns, widths, offsets and the arithmetic between cells and positions.
#include "editor_fixture.h"

namespace {

using LayoutTest = EditorTest;

struct OffsetCase {
    const char* name;
    TOffsetDisplayStyle style;
    int width;
    const char* first;
    const char* last;
};

void PrintTo(const OffsetCase& c, std::ostream* os) { *os << c.name; }

class OffsetStyles : public LayoutTest, public testing::WithParamInterface<OffsetCase> {};

TEST_P(OffsetStyles, ColumnWidthAndTextsFollowTheLastRow)
{
    const OffsetCase& c = GetParam();
    Load(Bytes(0x1234, 0));
    const int32_t lastRow = editor.RowCount() - 1;
    ASSERT_EQ(lastRow, 0x123);
    editor.SetOffsetDisplay(c.style);
    EXPECT_EQ(editor.OffSetDisplayWidth(), c.width);
    EXPECT_EQ(editor.ColWidths(0), c.width * editor.CharWidth());
    EXPECT_EQ(editor.OffsetText(0), c.first);
    EXPECT_EQ(editor.OffsetText(lastRow), c.last);
}

INSTANTIATE_TEST_SUITE_P(LayoutTest, OffsetStyles,
                         testing::Values(OffsetCase{"Hex", odHex, 7, "0x0000:", "0x1230:"},
                                         OffsetCase{"Decimal", odDec, 5, "   0:", "4656:"},
                                         OffsetCase{"Octal", odOctal, 9, "o 000000:", "o 011060:"},
                                         OffsetCase{"None", odNone, 0, " ", " "}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutTest, TheOffsetSeparatorEndsTheOffsetText)
{
    Load(Bytes(0x1234, 0));
    editor.SetOffsetDisplay(odNone);
    editor.SetOffsetDisplay(odHex);
    editor.SetOffsetSeparator(QLatin1Char('|'));
    EXPECT_EQ(editor.OffsetText(1), "0x0010|");
}

TEST_F(LayoutTest, OffsetWidthGrowsWithTheContent)
{
    Load(Bytes(16, 0));
    EXPECT_EQ(editor.OffSetDisplayWidth(), 4);
    const Bytes more(0x10000, 0);
    editor.AppendBuffer(more.data(), int32_t(more.size()));
    EXPECT_EQ(editor.OffSetDisplayWidth(), 3 + 5);
    EXPECT_EQ(editor.OffsetText(0x1000), "0x10000:");
}

struct ColumnGroupCase {
    const char* name;
    int bytesPerColumn;
    std::vector<int> doubled;
};

void PrintTo(const ColumnGroupCase& c, std::ostream* os) { *os << c.name; }

class ColumnGroups : public LayoutTest, public testing::WithParamInterface<ColumnGroupCase> {};

TEST_P(ColumnGroups, EndInADoubleWidthColumn)
{
    const ColumnGroupCase& c = GetParam();
    Load(Bytes(64, 0));
    const int w = editor.CharWidth();
    editor.SetBytesPerColumn(c.bytesPerColumn);
    EXPECT_EQ(editor.BytesPerColumn(), c.bytesPerColumn);
    for (int col = 2; col <= 33; ++col) {
        const bool doubled = std::find(c.doubled.begin(), c.doubled.end(), col) != c.doubled.end();
        EXPECT_EQ(editor.ColWidths(col), doubled ? 2 * w : w) << "column " << col;
    }
    for (int col = 34; col < editor.ColCount(); ++col)
        EXPECT_EQ(editor.ColWidths(col), w) << col;
}

INSTANTIATE_TEST_SUITE_P(
    LayoutTest, ColumnGroups,
    testing::Values(ColumnGroupCase{"TwoBytesPerColumn", 2, {5, 9, 13, 17, 21, 25, 29, 33}},
                    ColumnGroupCase{"OneBytePerColumn",
                                    1,
                                    {3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31, 33}},
                    ColumnGroupCase{"FourBytesPerColumn", 4, {9, 17, 25, 33}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutTest, BytesPerColumnOutsideTheLineIsRefused)
{
    Load(Bytes(64, 0));
    editor.SetBytesPerColumn(2);
    for (int bad : {0, -1, 17})
        editor.SetBytesPerColumn(bad);
    EXPECT_EQ(editor.BytesPerColumn(), 2);
    editor.SetBytesPerColumn(16);
    EXPECT_EQ(editor.BytesPerColumn(), 16);
    // The control still draws.
    EXPECT_FALSE(editor.grab().isNull());
}

TEST_F(LayoutTest, GridLinesSpaceTheCells)
{
    Load(Bytes(64, 0));
    const int x = editor.CellRect(3, 1).x();
    const int y = editor.CellRect(3, 1).y();
    editor.SetGridLineWidth(1);
    EXPECT_EQ(editor.CellRect(3, 1).x(), x + 3);
    EXPECT_EQ(editor.CellRect(3, 1).y(), y + 1);
    editor.SetGridLineWidth(0);
    EXPECT_EQ(editor.CellRect(3, 1).x(), x);
}

TEST_F(LayoutTest, MarkerColumnCanBeHidden)
{
    EXPECT_EQ(editor.ColWidths(1), editor.CharWidth());
    editor.SetShowMarkerColumn(false);
    EXPECT_EQ(editor.ColWidths(1), 0);
}

TEST_F(LayoutTest, BytesPerLineIsCheckedAndKeepsCaretAndSelection)
{
    Load(Counting(200));
    for (int bad : {0, 257, -4}) {
        try {
            editor.SetBytesPerLine(bad);
            ADD_FAILURE() << bad;
        } catch (const EHexEditor& e) {
            EXPECT_STREQ(e.what(), "Invalid BytesPerLine argument");
        }
    }
    EXPECT_EQ(editor.BytesPerLine(), 16);
    editor.SetSelStart(41);
    editor.SetSelEnd(45);
    editor.SetBytesPerLine(256);
    EXPECT_EQ(editor.BytesPerLine(), 256);
    EXPECT_EQ(editor.ColCount(), 3 * 256 + 3);
    EXPECT_EQ(editor.RowCount(), 1);
    EXPECT_EQ(editor.GetCursorPos(), 41);
    EXPECT_EQ(editor.SelCount(), 5);
    editor.SetBytesPerLine(7);
    EXPECT_EQ(editor.RowCount(), 29);
    EXPECT_EQ(editor.GetCursorPos(), 41);
    EXPECT_EQ(editor.Row(), 5);
}

TEST_F(LayoutTest, CellsAndPositionsConvertBothWays)
{
    Load(Counting(100));
    editor.SetBytesPerLine(10);
    for (int32_t pos : {0, 9, 10, 57, 99}) {
        for (bool chars : {false, true}) {
            const TLongPoint cell = editor.GetCursorAtPos(pos, chars);
            EXPECT_EQ(editor.GetPosAtCursor(cell.x, cell.y), pos);
            EXPECT_EQ(editor.PosInChars(), chars);
            bool fromChars = !chars;
            const int other = editor.GetOtherFieldCol(cell.x, fromChars);
            EXPECT_EQ(fromChars, chars);
            EXPECT_EQ(editor.GetPosAtCursor(other, cell.y), pos);
            EXPECT_EQ(editor.PosInChars(), !chars);
        }
        // The second nibble belongs to the same byte.
        EXPECT_EQ(editor.GetPosAtCursor(editor.GetCursorAtPos(pos, false).x + 1, pos / 10), pos);
    }
    EXPECT_EQ(editor.GetCursorAtPos(-1, true), (TLongPoint{2, 0}));
    EXPECT_EQ(editor.GetCursorAtPos(57, true), (TLongPoint{2 * 10 + 3 + 7, 5}));
    EXPECT_EQ(editor.GetCursorAtPos(57, false), (TLongPoint{2 + 14, 5}));
}

struct RowCountCase {
    const char* name;
    int size;
    int rows;
};

void PrintTo(const RowCountCase& c, std::ostream* os) { *os << c.name; }

class RowCounts : public LayoutTest, public testing::WithParamInterface<RowCountCase> {};

TEST_P(RowCounts, AreTheContentInLinesAndAtLeastOne)
{
    const RowCountCase& c = GetParam();
    if (c.size == 0)
        editor.CreateEmptyFile(QStringLiteral("Untitled"));
    else
        Load(Bytes(std::size_t(c.size), 0));
    EXPECT_EQ(editor.RowCount(), c.rows);
    EXPECT_EQ(editor.ColCount(), 51);
}

INSTANTIATE_TEST_SUITE_P(LayoutTest, RowCounts,
                         testing::Values(RowCountCase{"EmptyDocument", 0, 1},
                                         RowCountCase{"OneByte", 1, 1},
                                         RowCountCase{"OneFullLine", 16, 1},
                                         RowCountCase{"OneByteIntoTheSecondLine", 17, 2},
                                         RowCountCase{"TwentyFullLines", 320, 20}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutTest, TheCaretStaysInViewWhenMovedOffScreen)
{
    Load(Counting(16 * 400));
    editor.SetSelStart(16 * 300 + 3);
    EXPECT_LE(editor.TopRow(), 300);
    EXPECT_GT(editor.TopRow() + editor.VisibleRowCount(), 300);
    EXPECT_FALSE(editor.CellRect(editor.Col(), editor.Row()).isEmpty());
    editor.SetBytesPerLine(256);
    editor.SetSelStart(16 * 400 - 1);
    EXPECT_FALSE(editor.CellRect(editor.Col(), editor.Row()).isEmpty());
    EXPECT_GT(editor.LeftCol(), 2);
    Key(Qt::Key_Home);
    EXPECT_EQ(editor.LeftCol(), 2);
}

} // namespace
