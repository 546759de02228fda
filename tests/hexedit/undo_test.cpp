// Undoing edits: what each kind restores, the descriptions and the limit of
// one hundred records.
#include "editor_fixture.h"

namespace {

using UndoTest = EditorTest;

TEST_F(UndoTest, TheHundredAndFirstRecordDropsTheOldest)
{
    Load(Counting(200));
    const uint8_t extra[] = {0xEE, 0xEF};
    editor.AppendBuffer(extra, 2);
    ASSERT_EQ(editor.UndoDescription(), "Append buffer");
    editor.SetNoSizeChange(true);
    for (int i = 0; i < cMax_Undo; ++i) {
        editor.SetSelStart(i);
        Type("f");
    }
    EXPECT_EQ(editor.UndoCount(), cMax_Undo);
    EXPECT_EQ(editor.UndoDescription(), "Byte changed");

    for (int i = 0; i < cMax_Undo; ++i) {
        ASSERT_TRUE(editor.CanUndo()) << i;
        editor.Undo();
    }
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.UndoDescription(), "No Undo");
    // The append fell out of the journal and stays.
    Bytes expected = Counting(200);
    expected.insert(expected.end(), {0xEE, 0xEF});
    EXPECT_EQ(Content(), expected);
    EXPECT_TRUE(editor.Modified());
}

TEST_F(UndoTest, TheDescriptionNamesTheNewestRecord)
{
    Load(Counting(16));
    editor.SetAllowInsertMode(true);
    CaretTo(3);
    Type("7");
    EXPECT_EQ(editor.UndoDescription(), "Byte changed");
    editor.SetSelStart(4);
    editor.SetSelEnd(6);
    const uint8_t two[] = {1, 2};
    editor.ReplaceSelection(two, 2);
    EXPECT_EQ(editor.UndoDescription(), "Replace selection");
    editor.DeleteSelection();
    EXPECT_EQ(editor.UndoDescription(), "Byte(s) removed");
    editor.InsertBuffer(two, 2, 0);
    EXPECT_EQ(editor.UndoDescription(), "Insert buffer");

    editor.Undo();
    EXPECT_EQ(editor.UndoDescription(), "Byte(s) removed");
    editor.Undo();
    EXPECT_EQ(editor.UndoDescription(), "Replace selection");
    editor.Undo();
    EXPECT_EQ(editor.UndoDescription(), "Byte changed");
    editor.Undo();
    EXPECT_EQ(editor.UndoDescription(), "No Undo");
    EXPECT_EQ(Content(), Counting(16));
    EXPECT_FALSE(editor.Modified());
}

TEST_F(UndoTest, UndoingAnAppendRestoresSizeCaretAndSelection)
{
    Load(Counting(5));
    editor.SetSelStart(3);
    editor.SetSelEnd(1);
    const int col = editor.Col();
    const Bytes tail(40, 0xAA);
    editor.AppendBuffer(tail.data(), int32_t(tail.size()));
    ASSERT_EQ(editor.DataSize(), 45);
    EXPECT_EQ(editor.GetCursorPos(), 5);
    EXPECT_EQ(editor.SelCount(), 40);

    editor.Undo();
    EXPECT_EQ(editor.DataSize(), 5);
    EXPECT_EQ(Content(), Counting(5));
    EXPECT_EQ(editor.RowCount(), 1);
    EXPECT_EQ(editor.Col(), col);
    EXPECT_EQ(editor.SelStart(), 3);
    EXPECT_EQ(editor.SelEnd(), 1);
    EXPECT_EQ(editor.SelCount(), 3);
}

TEST_F(UndoTest, UndoingAReplacementRestoresBytesAndSelection)
{
    Load(Counting(20));
    editor.SetSelStart(4);
    editor.SetSelEnd(9);
    const uint8_t three[] = {0xC1, 0xC2, 0xC3};
    editor.ReplaceSelection(three, 3);
    ASSERT_EQ(editor.DataSize(), 17);
    editor.Undo();
    EXPECT_EQ(Content(), Counting(20));
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_EQ(editor.SelEnd(), 9);
    EXPECT_EQ(editor.SelCount(), 6);
    EXPECT_FALSE(editor.Modified());
}

TEST_F(UndoTest, UndoingAByteChangeRestoresByteMarkAndCaretNibble)
{
    Load(Counting(4));
    CaretTo(2);
    Type("9");
    ASSERT_TRUE(editor.HasChanged(2));
    ASSERT_EQ(editor.Col(), 7);
    Type("a");
    editor.Undo();
    EXPECT_EQ(Content(), (Bytes{0, 1, 0x92, 3}));
    EXPECT_EQ(editor.Col(), 7);
    EXPECT_TRUE(editor.HasChanged(2));
    editor.Undo();
    EXPECT_EQ(Content(), Counting(4));
    EXPECT_EQ(editor.Col(), 6);
    EXPECT_FALSE(editor.HasChanged(2));
    EXPECT_FALSE(editor.Modified());
}

TEST_F(UndoTest, UndoingADeletionPutsTheBytesBack)
{
    Load(Counting(30));
    editor.SetSelStart(10);
    editor.SetSelEnd(19);
    editor.DeleteSelection();
    ASSERT_EQ(editor.DataSize(), 20);
    editor.Undo();
    EXPECT_EQ(Content(), Counting(30));
    EXPECT_EQ(editor.SelCount(), 10);
}

TEST_F(UndoTest, ALargeDeletionIsUndoneByteForByte)
{
    // Larger than the journal keeps in memory, and than one moving chunk.
    Bytes data(3 * 1024 * 1024 + 17);
    uint32_t x = 12345;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    Load(data);
    editor.SetSelStart(1);
    editor.SetSelEnd(int32_t(data.size()) - 3);
    editor.DeleteSelection();
    ASSERT_EQ(Content(), (Bytes{data[0], data[data.size() - 2], data.back()}));
    editor.Undo();
    EXPECT_EQ(Content(), data);
}

TEST_F(UndoTest, UndoWithNothingToUndoChangesNothing)
{
    Load({1, 2});
    editor.Undo();
    EXPECT_EQ(Content(), (Bytes{1, 2}));
    EXPECT_FALSE(editor.CanUndo());
}

} // namespace
