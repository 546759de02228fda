// The selection, its anchor and moving end, the mouse, Seek and the
// deferred state notification.
#include "editor_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

using SelectionTest = EditorTest;

TEST_F(SelectionTest, ShiftRightThenBackMovesTheEndAcrossTheAnchor)
{
    Load(Counting(16));
    CaretTo(5, true);
    ShiftKeys(Qt::Key_Right, 3);
    EXPECT_EQ(editor.SelStart(), 5);
    EXPECT_EQ(editor.SelEnd(), 8);
    EXPECT_EQ(editor.SelCount(), 4);
    ShiftKeys(Qt::Key_Left, 6);
    EXPECT_EQ(editor.SelStart(), 5);
    EXPECT_EQ(editor.SelEnd(), 2);
    EXPECT_EQ(editor.SelCount(), 4);
    // A plain arrow ends the selection.
    Key(Qt::Key_Right);
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(SelectionTest, ShiftArrowsSelectEvenWhenShiftWasDownBeforeFocus)
{
    Load(Counting(16));
    CaretTo(5, true);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(editor.SelStart(), 5);
    EXPECT_EQ(editor.SelEnd(), 7);
}

TEST_F(SelectionTest, InInsertModeTheSelectionEndsBeforeTheCaret)
{
    Load(Counting(16));
    editor.SetAllowInsertMode(true);
    Key(Qt::Key_Insert);
    CaretTo(5, true);
    ShiftKeys(Qt::Key_Right, 3);
    EXPECT_EQ(editor.SelStart(), 5);
    EXPECT_EQ(editor.SelEnd(), 7);
    // Leftwards from a fresh start the anchor steps back over its byte.
    CaretTo(5, true);
    ShiftKeys(Qt::Key_Left, 2);
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_EQ(editor.SelEnd(), 3);
    EXPECT_EQ(editor.SelCount(), 2);
}

struct SelBoundCase {
    const char* name;
    int32_t value;
    bool end;
    const char* message;
};

void PrintTo(const SelBoundCase& c, std::ostream* os) { *os << c.name; }

class SelectionBounds : public SelectionTest, public testing::WithParamInterface<SelBoundCase> {};

TEST_P(SelectionBounds, RefuseOutOfRangeValues)
{
    const SelBoundCase& c = GetParam();
    Load(Counting(10));
    try {
        c.end ? editor.SetSelEnd(c.value) : editor.SetSelStart(c.value);
        ADD_FAILURE() << c.value << " was taken";
    } catch (const EHexEditor& e) {
        EXPECT_STREQ(e.what(), c.message);
    }
    // The refusal leaves the editor working.
    editor.SetSelStart(9);
    EXPECT_EQ(editor.GetCursorPos(), 9);
    EXPECT_EQ(editor.SelCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    SelectionTest, SelectionBounds,
    testing::Values(SelBoundCase{"StartBeforeTheData", -1, false, "Invalid SelStart"},
                    SelBoundCase{"StartPastTheData", 10, false, "Invalid SelStart"},
                    SelBoundCase{"EndBeforeTheData", -1, true, "Invalid SelEnd"},
                    SelBoundCase{"EndPastTheData", 10, true, "Invalid SelEnd"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SeekCase {
    const char* name;
    int32_t from; // the caret before the seek
    int32_t offset;
    int origin;
    bool fail;
    bool result;
    int32_t pos;
};

void PrintTo(const SeekCase& c, std::ostream* os) { *os << c.name; }

class Seeks : public SelectionTest, public testing::WithParamInterface<SeekCase> {};

TEST_P(Seeks, MoveFromEachOrigin)
{
    const SeekCase& c = GetParam();
    Load(Counting(100));
    editor.SetSelStart(c.from);
    ASSERT_EQ(editor.GetCursorPos(), c.from);
    EXPECT_EQ(editor.Seek(c.offset, c.origin, c.fail), c.result);
    EXPECT_EQ(editor.GetCursorPos(), c.pos);
}

INSTANTIATE_TEST_SUITE_P(
    SelectionTest, Seeks,
    testing::Values(SeekCase{"FromTheStart", 40, 10, 0, true, true, 10},
                    SeekCase{"FromTheCaret", 10, 5, 1, true, true, 15},
                    SeekCase{"FromTheLastByte", 15, -3, 2, true, true, 96},
                    SeekCase{"UnknownOriginStaysPut", 96, 7, 9, true, true, 96},
                    SeekCase{"PastTheEndFails", 96, 200, 0, true, false, 96},
                    SeekCase{"PastTheEndStopsAtTheLastByte", 96, 200, 0, false, true, 99},
                    SeekCase{"BeforeTheStartStopsAtTheFirstByte", 99, -500, 1, false, true, 0},
                    SeekCase{"BeforeTheStartFails", 0, -1, 0, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelectionTest, SeekInAnEmptyDocumentFails)
{
    Load(Counting(100));
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    EXPECT_FALSE(editor.Seek(0, 0, false));
}

TEST_F(SelectionTest, MouseDragSelectsAndAClickClears)
{
    Load(Counting(64));
    const QRect from = editor.CellRect(editor.GetCursorAtPos(5, false).x, 0);
    const TLongPoint to = editor.GetCursorAtPos(16 + 2, false);
    QTest::mousePress(editor.viewport(), Qt::LeftButton, {}, from.center());
    QMouseEvent move(QEvent::MouseMove, editor.CellRect(to.x, to.y).center(),
                     editor.viewport()->mapToGlobal(editor.CellRect(to.x, to.y).center()),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &move);
    QTest::mouseRelease(editor.viewport(), Qt::LeftButton, {},
                        editor.CellRect(to.x, to.y).center());
    EXPECT_EQ(editor.SelStart(), 5);
    EXPECT_EQ(editor.SelEnd(), 18);
    EXPECT_EQ(editor.GetCursorPos(), 18);
    // The test's clicks go straight to the control, never through the
    // window system that would pair two of them into a double click.
    CaretTo(30);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_EQ(editor.GetCursorPos(), 30);
}

TEST_F(SelectionTest, ClicksOnTheSeparatorOrPastTheEndLandOnAByte)
{
    Load(Counting(20));
    ClickCell(2 * 16 + 2, 0);
    EXPECT_EQ(editor.Col(), 2 * 16 + 1);
    ClickCell(2 + 2 * 10, 1);
    EXPECT_EQ(editor.GetCursorPos(), 19);
    EXPECT_EQ(editor.Col(), 2 + 2 * 3);
}

TEST_F(SelectionTest, StateChangesArriveLaterThroughTheEventQueue)
{
    Load(Counting(20));
    Notifications();
    stateChanges = 0;
    CaretTo(3);
    Type("7");
    EXPECT_EQ(stateChanges, 0);
    EXPECT_GT(Notifications(), 0);
    editor.SetReadOnly(true);
    EXPECT_EQ(Notifications(), 1);
    editor.SetNoSizeChange(true);
    EXPECT_GT(Notifications(), 0);
}

TEST_F(SelectionTest, ResettingTheJournalNotifiesAtOnce)
{
    Load(Counting(4));
    CaretTo(1);
    Type("5");
    Notifications();
    stateChanges = 0;
    ASSERT_TRUE(editor.SaveToFile(Path("doc.bin")));
    EXPECT_EQ(stateChanges, 1);
}

} // namespace
