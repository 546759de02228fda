// Typing bytes and moving the caret with real key events.
#include "editor_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

class KeysTest : public EditorTest {
protected:
    void InsertMode()
    {
        editor.SetAllowInsertMode(true);
        Key(Qt::Key_Insert);
        ASSERT_TRUE(editor.IsInsertMode());
    }
};

TEST_F(KeysTest, OverwriteTypesNibblesAndMovesOn)
{
    Load({0x00, 0x00, 0x00});
    CaretTo(0);
    Type("4");
    EXPECT_EQ(Content()[0], 0x40);
    EXPECT_EQ(editor.Col(), 3);
    Type("1");
    EXPECT_EQ(Content()[0], 0x41);
    EXPECT_EQ(editor.Col(), 4);
    EXPECT_EQ(editor.GetCursorPos(), 1);
    EXPECT_TRUE(editor.HasChanged(0));
    EXPECT_FALSE(editor.HasChanged(1));
}

TEST_F(KeysTest, OnlyHexDigitsCountInTheHexField)
{
    Load({0x12, 0x34});
    CaretTo(0);
    Type("g-z ");
    EXPECT_EQ(Content(), (Bytes{0x12, 0x34}));
    EXPECT_FALSE(editor.CanUndo());
    Type("Ab");
    EXPECT_EQ(Content(), (Bytes{0xAB, 0x34}));
}

TEST_F(KeysTest, TypingOnTheLastNibbleStaysOnTheLastByte)
{
    Load({0x00, 0x00});
    CaretTo(1);
    Type("12");
    EXPECT_EQ(Content(), (Bytes{0x00, 0x12}));
    EXPECT_EQ(editor.Col(), 5);
    Type("3");
    EXPECT_EQ(Content(), (Bytes{0x00, 0x13}));
    EXPECT_EQ(editor.DataSize(), 2);
}

TEST_F(KeysTest, SwappedNibblesTakeTheLowNibbleFirst)
{
    Load({0x00});
    editor.SetSwapNibbles(true);
    CaretTo(0);
    Type("4");
    EXPECT_EQ(Content()[0], 0x04);
    Type("1");
    EXPECT_EQ(Content()[0], 0x14);
}

TEST_F(KeysTest, CharacterFieldTakesPrintableCharactersOnly)
{
    Load({0, 0, 0, 0});
    CaretTo(0, true);
    Type("Hi");
    EXPECT_EQ(Content(), (Bytes{'H', 'i', 0, 0}));
    EXPECT_EQ(editor.GetCursorPos(), 2);
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Escape);
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(Content(), (Bytes{'H', 'i', 0, 0}));
    QTest::keyClick(&editor, Qt::Key_Adiaeresis, Qt::NoModifier);
    EXPECT_EQ(Content()[2], 0xC4); // Ä in Windows-1252
}

struct TypedCase {
    const char* name;
    TTranslationType type;
    char16_t typed;
    int byte; // -1: nothing entered
};

void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }

class TypedCharacters : public KeysTest, public testing::WithParamInterface<TypedCase> {};

TEST_P(TypedCharacters, FollowTheTranslation)
{
    const TypedCase& c = GetParam();
    Load({0x00, 0x00});
    editor.SetTranslation(c.type);
    CaretTo(0, true);
    QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, QString(QChar(c.typed)),
                        Qt::NoModifier);
    EXPECT_EQ(Content()[0], c.byte < 0 ? 0 : c.byte);
    EXPECT_EQ(editor.GetCursorPos(), c.byte < 0 ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(KeysTest, TypedCharacters,
                         testing::Values(TypedCase{"EbcdicLetter", ttEBCDIC, 'A', 0xC1},
                                         TypedCase{"AsciiRefusesAnUmlaut", ttASCII, 0x00E4, -1},
                                         TypedCase{"AsciiLetter", ttASCII, 'A', 'A'},
                                         TypedCase{"DosUmlaut", ttDos8, 0x00E4, 0x84},
                                         TypedCase{"MacUmlaut", ttMac, 0x00E4, 0x8A},
                                         TypedCase{"AnsiRefusesCyrillic", ttAnsi, 0x0416, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeysTest, AfterAltTheCharacterIsEnteredInTheOemCodePage)
{
    Load({0, 0});
    CaretTo(0, true);
    QTest::keyPress(&editor, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(&editor, Qt::Key_Alt, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, QString(QChar(0x00E4)),
                        Qt::NoModifier);
    EXPECT_EQ(Content()[0], 0x84); // ä in code page 437
    // The Alt rule holds for one character only.
    QTest::sendKeyEvent(QTest::Click, &editor, Qt::Key_unknown, QString(QChar(0x00E4)),
                        Qt::NoModifier);
    EXPECT_EQ(Content()[1], 0xE4);
}

TEST_F(KeysTest, InsertModeAtTheEndBuildsABytePlusASelectedZero)
{
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    InsertMode();
    Type("A");
    EXPECT_EQ(Content(), (Bytes{0xA0}));
    Type("B");
    EXPECT_EQ(Content(), (Bytes{0xAB, 0x00}));
    EXPECT_EQ(editor.SelCount(), 1);
    EXPECT_EQ(editor.SelStart(), 1);
    EXPECT_EQ(editor.GetCursorPos(), 1);
    // The next digit replaces the zero.
    Type("C");
    EXPECT_EQ(Content(), (Bytes{0xAB, 0xC0}));
    Type("D");
    EXPECT_EQ(Content(), (Bytes{0xAB, 0xCD, 0x00}));
}

TEST_F(KeysTest, ShiftForCapitalDigitsDoesNotSelect)
{
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    InsertMode();
    QTest::keyPress(&editor, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_B, Qt::ShiftModifier);
    QTest::keyRelease(&editor, Qt::Key_Shift, Qt::NoModifier);
    Type("c");
    EXPECT_EQ(Content(), (Bytes{0xAB, 0xC0}));
}

TEST_F(KeysTest, InsertModeInsertsBeforeTheCaretByte)
{
    Load({0x11, 0x22});
    InsertMode();
    CaretTo(1);
    Type("5");
    EXPECT_EQ(Content(), (Bytes{0x11, 0x50, 0x22}));
    Type("6");
    EXPECT_EQ(Content(), (Bytes{0x11, 0x56, 0x22}));
    EXPECT_EQ(editor.GetCursorPos(), 2);
    CaretTo(0, true);
    Type("xy");
    EXPECT_EQ(Content(), (Bytes{'x', 'y', 0x11, 0x56, 0x22}));
    // Insert mode marks nothing as changed.
    EXPECT_FALSE(editor.HasChanged(0));
}

TEST_F(KeysTest, BackspaceAndDeleteInInsertMode)
{
    Load({1, 2, 3, 4});
    InsertMode();
    CaretTo(0);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Content(), (Bytes{1, 2, 3, 4}));
    EXPECT_FALSE(editor.CanUndo());

    CaretTo(2);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Content(), (Bytes{1, 3, 4}));
    EXPECT_EQ(editor.GetCursorPos(), 1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Content(), (Bytes{1, 4}));
    Key(Qt::Key_End);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Delete);
    EXPECT_EQ(editor.DataSize(), 0);
    const int records = editor.UndoCount();
    // At the end of empty content there is nothing left to erase.
    Key(Qt::Key_Delete);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(editor.UndoCount(), records);
}

TEST_F(KeysTest, BackspaceWithASelectionRemovesOnlyTheSelection)
{
    Load(Counting(8));
    InsertMode();
    CaretTo(3, true);
    ShiftKeys(Qt::Key_Right, 2);
    ASSERT_EQ(editor.SelCount(), 2);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Content(), (Bytes{0, 1, 2, 5, 6, 7}));
}

TEST_F(KeysTest, ErasedBytesComeBackWithUndo)
{
    Load(Counting(6));
    InsertMode();
    CaretTo(3);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Delete);
    ASSERT_EQ(Content(), (Bytes{0, 1, 4, 5}));
    editor.Undo();
    editor.Undo();
    EXPECT_EQ(Content(), Counting(6));
    EXPECT_EQ(editor.GetCursorPos(), 3);
}

TEST_F(KeysTest, OverwriteBackspaceMovesLeftAndDeleteNeedsCtrl)
{
    Load(Counting(4));
    CaretTo(2);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(editor.Col(), 5);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Content(), Counting(4));
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Content(), (Bytes{0, 2, 3}));
}

TEST_F(KeysTest, ArrowsWalkNibblesInHexAndBytesInCharacters)
{
    Load(Counting(40));
    CaretTo(15);
    Key(Qt::Key_Right);
    EXPECT_EQ(editor.Col(), 33);
    Key(Qt::Key_Right);
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 2);
    Key(Qt::Key_Left);
    EXPECT_EQ(editor.GetCursorPos(), 15);
    EXPECT_EQ(editor.Col(), 33);

    Key(Qt::Key_Tab);
    EXPECT_EQ(editor.Col(), 2 * 16 + 3 + 15);
    Key(Qt::Key_Right);
    EXPECT_EQ(editor.GetCursorPos(), 16);
    Key(Qt::Key_Down);
    EXPECT_EQ(editor.GetCursorPos(), 32);
    // The last row is partial: Down past its end lands on the last byte.
    Key(Qt::Key_Right);
    Key(Qt::Key_Up);
    Key(Qt::Key_End);
    EXPECT_EQ(editor.GetCursorPos(), 31);
    Key(Qt::Key_Down);
    EXPECT_EQ(editor.GetCursorPos(), 39);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(editor.GetCursorPos(), 0);
    EXPECT_EQ(editor.Col(), 35);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(editor.GetCursorPos(), 39);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(editor.Col(), 2 + 2 * 7);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor.Col(), 35 + 7);
}

TEST_F(KeysTest, PageKeysMoveByTheVisibleRows)
{
    Load(Counting(16 * 100));
    const int vis = editor.VisibleRowCount();
    ASSERT_GT(vis, 3);
    CaretTo(0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(editor.Row(), vis - 1);
    EXPECT_EQ(editor.TopRow(), vis - 1);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), editor.TopRow() + vis - 1);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), editor.TopRow());
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.TopRow(), 0);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), 99);
    EXPECT_EQ(editor.TopRow(), 100 - vis);
}

TEST_F(KeysTest, MarkersAreSetAndJumpedTo)
{
    Load(Counting(16 * 50));
    CaretTo(16 * 7 + 5);
    Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.GetMarkerRow(3), 7);
    EXPECT_EQ(editor.IsMarkerPos(7), 3);
    editor.SetSelStart(16 * 30);
    Key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), 7);
    EXPECT_EQ(editor.Col(), 2);
    // An unset marker stands for the caret's own row.
    Key(Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), 7);
}

TEST_F(KeysTest, AJumpToAMarkerPastTheContentDoesNotMoveTheCaret)
{
    Load(Counting(16 * 50));
    editor.SetMarker(2, 47);
    editor.SetSelStart(16 * 45);
    editor.SetSelEnd(16 * 50 - 1);
    editor.DeleteSelection();
    ASSERT_EQ(editor.RowCount(), 45);
    editor.SetSelStart(16 * 3 + 4);
    Key(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(editor.GetCursorPos(), 16 * 3 + 4);
    editor.SetMarker(2, 44);
    Key(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(editor.Row(), 44);
}

TEST_F(KeysTest, MarkerIndexesOutsideZeroToNineAreRefused)
{
    for (int bad : {10, -1}) {
        try {
            editor.SetMarker(bad, 1);
            ADD_FAILURE() << bad;
        } catch (const EHexEditor& e) {
            EXPECT_STREQ(e.what(), "SetMarker : Invalid marker index");
        }
    }
}

TEST_F(KeysTest, InsertTogglesTheCaretStyleAndClearsMarks)
{
    Load({1, 2});
    editor.SetAllowInsertMode(true);
    CaretTo(0);
    Type("5");
    ASSERT_TRUE(editor.HasChanged(0));
    Key(Qt::Key_Insert);
    EXPECT_EQ(editor.CaretStyle(), csLeftLine);
    Key(Qt::Key_Insert);
    EXPECT_EQ(editor.CaretStyle(), csFull);
    EXPECT_FALSE(editor.HasChanged(0));
    editor.SetAutoCaretMode(false);
    Key(Qt::Key_Insert);
    EXPECT_EQ(editor.CaretStyle(), csFull);
    EXPECT_TRUE(editor.IsInsertMode());
}

TEST_F(KeysTest, OnKeyDownCanTakeAKeyBeforeTheControl)
{
    Load({1, 2});
    QObject::connect(&editor, &THexEditor::OnKeyDown,
                     [](THexEditor*, int& key, Qt::KeyboardModifiers shift) {
                         if (key == Qt::Key_A && shift == Qt::ControlModifier)
                             key = 0;
                     });
    CaretTo(0);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Content(), (Bytes{1, 2}));
    EXPECT_EQ(editor.Col(), 2);
}

} // namespace
