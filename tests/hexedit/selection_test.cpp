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

TEST_F(SelectionTest, SelStartAndSelEndRefuseOutOfRangeValues)
{
    Load(Counting(10));
    struct Case {
        int32_t value;
        bool end;
        const char* message;
    };
    for (const Case& c : {Case{-1, false, "Invalid SelStart"}, Case{10, false, "Invalid SelStart"},
                          Case{-1, true, "Invalid SelEnd"}, Case{10, true, "Invalid SelEnd"}}) {
        try {
            c.end ? editor.SetSelEnd(c.value) : editor.SetSelStart(c.value);
            ADD_FAILURE() << c.value;
        } catch (const EHexEditor& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    editor.SetSelStart(9);
    EXPECT_EQ(editor.GetCursorPos(), 9);
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(SelectionTest, SeekFromEachOrigin)
{
    Load(Counting(100));
    editor.SetSelStart(40);
    struct Case {
        int32_t offset;
        int origin;
        bool fail;
        bool result;
        int32_t pos;
    };
    for (const Case& c :
         {Case{10, 0, true, true, 10}, Case{5, 1, true, true, 15}, Case{-3, 2, true, true, 96},
          Case{7, 9, true, true, 96}, Case{200, 0, true, false, 96}, Case{200, 0, false, true, 99},
          Case{-500, 1, false, true, 0}, Case{-1, 0, true, false, 0}}) {
        EXPECT_EQ(editor.Seek(c.offset, c.origin, c.fail), c.result) << c.offset << "/" << c.origin;
        EXPECT_EQ(editor.GetCursorPos(), c.pos) << c.offset << "/" << c.origin;
    }
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
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    CaretTo(30);
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_EQ(editor.GetCursorPos(), 30);
}

TEST_F(SelectionTest, ClicksOnTheSeparatorOrPastTheEndLandOnAByte)
{
    Load(Counting(20));
    ClickCell(2 * 16 + 2, 0);
    EXPECT_EQ(editor.Col(), 2 * 16 + 1);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
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
