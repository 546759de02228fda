// The working copy, the files and the size rules of the edits.
#include "editor_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using DataTest = EditorTest;

TEST_F(DataTest, ANewControlIsAnEmptyUntitledReadOnlyDocument)
{
    EXPECT_EQ(editor.Filename(), "Untitled");
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_TRUE(editor.ReadOnly());
    EXPECT_FALSE(editor.Modified());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.UndoDescription(), "No Undo");
}

TEST_F(DataTest, LoadShowsTheFileAndLeavesItUntouchedUntilSaved)
{
    Load({1, 2, 3, 4});
    EXPECT_EQ(editor.DataSize(), 4);
    EXPECT_EQ(Content(), (Bytes{1, 2, 3, 4}));
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_EQ(editor.Filename(), Path("doc.bin"));

    CaretTo(1);
    Type("ff");
    EXPECT_EQ(Content(), (Bytes{1, 0xFF, 3, 4}));
    EXPECT_EQ(ReadAll(Path("doc.bin")), (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(editor.Modified());
}

TEST_F(DataTest, TheWorkingCopyIsPrivateAndUniquePerControl)
{
    Load({1, 2, 3});
    THexEditor other;
    WriteAll(Path("b.bin"), {9});
    ASSERT_TRUE(other.LoadFromFile(Path("b.bin")));
    const QString mine = editor.InternalName();
    ASSERT_FALSE(mine.isEmpty());
    EXPECT_NE(mine, other.InternalName());
    EXPECT_TRUE(QFileInfo::exists(mine));
    EXPECT_EQ(QFile(mine).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup |
                                           QFileDevice::WriteOther | QFileDevice::WriteGroup),
              QFileDevice::Permissions());
}

TEST_F(DataTest, TheWorkingCopyGoesWithTheControl)
{
    QString name;
    {
        THexEditor temporary;
        WriteAll(Path("c.bin"), {1});
        ASSERT_TRUE(temporary.LoadFromFile(Path("c.bin")));
        name = temporary.InternalName();
        ASSERT_TRUE(QFileInfo::exists(name));
    }
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST_F(DataTest, ASecondViewOfTheStoreShowsAndUndoesTheSameBytes)
{
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    const uint8_t b = 1;
    editor.AppendBuffer(&b, 1);
    editor.DeleteSelection();
    ASSERT_EQ(editor.DataSize(), 0);
    {
        // Shown over empty content, a second view leaves it and its journal.
        THexEditor empty(editor.Store());
        empty.show();
        EXPECT_EQ(editor.UndoCount(), 2);
    }
    Load({1, 2, 3, 4});
    THexEditor second(editor.Store());
    second.show();
    EXPECT_EQ(second.DataSize(), 4);
    EXPECT_EQ(second.InternalName(), editor.InternalName());
    CaretTo(1);
    Type("f");
    EXPECT_EQ(second.GetByteAtPos(1), 0xF2);
    EXPECT_TRUE(second.HasChanged(1));
    EXPECT_TRUE(second.Modified());
    ASSERT_TRUE(second.CanUndo());
    second.Undo();
    EXPECT_EQ(Content(), (Bytes{1, 2, 3, 4}));
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_FALSE(editor.Modified());
}

TEST_F(DataTest, AFailedLoadKeepsTheDocumentAndItsState)
{
    Load({5, 6, 7});
    CaretTo(0);
    Type("a");
    ASSERT_TRUE(editor.Modified());
    const bool readOnly = editor.ReadOnly();

    for (const QString& bad : {Path("missing.bin"), dir.path()}) {
        EXPECT_FALSE(editor.LoadFromFile(bad)) << bad.toStdString();
        EXPECT_EQ(editor.Filename(), Path("doc.bin"));
        EXPECT_EQ(Content(), (Bytes{0xA5, 6, 7}));
        EXPECT_TRUE(editor.Modified());
        EXPECT_TRUE(editor.CanUndo());
        EXPECT_EQ(editor.ReadOnly(), readOnly);
    }
}

TEST_F(DataTest, AFileBeyondTheReachOfPositionsIsRefused)
{
    Load({1, 2});
    QFile huge(Path("huge.bin"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    if (!huge.resize(qint64(1) << 31))
        GTEST_SKIP() << "no room for a sparse file";
    huge.close();
    EXPECT_FALSE(editor.LoadFromFile(Path("huge.bin")));
    EXPECT_EQ(Content(), (Bytes{1, 2}));
}

TEST_F(DataTest, ContentGivenBeforeTheFirstShowIsKept)
{
    THexEditor fresh;
    EXPECT_EQ(fresh.Filename(), "---");
    const uint8_t b[] = {7, 8};
    fresh.AppendBuffer(b, 2);
    fresh.show();
    EXPECT_EQ(fresh.DataSize(), 2);
    EXPECT_EQ(fresh.Filename(), "Untitled");
}

TEST_F(DataTest, AFileWithoutWriteAccessLoadsReadOnly)
{
    WriteAll(Path("ro.bin"), {1, 2});
    QFile::setPermissions(Path("ro.bin"), QFileDevice::ReadOwner);
    if (QFile(Path("ro.bin")).open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running with rights that ignore file permissions";
    ASSERT_TRUE(editor.LoadFromFile(Path("ro.bin")));
    EXPECT_TRUE(editor.ReadOnly());
}

TEST_F(DataTest, LoadingResetsSelectionCaretUndoAndMarks)
{
    Load(Counting(100));
    CaretTo(50);
    Type("1");
    editor.SetSelStart(60);
    editor.SetSelEnd(90);
    Load({1, 2, 3}, QStringLiteral("small.bin"));
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_EQ(editor.GetCursorPos(), 0);
    EXPECT_EQ(editor.Col(), 2);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_FALSE(editor.HasChanged(1));
    // A deletion after the load removes the caret's byte, not a stale range.
    editor.SetNoSizeChange(false);
    editor.DeleteSelection();
    EXPECT_EQ(Content(), (Bytes{2, 3}));
}

TEST_F(DataTest, SaveWritesTheContentAndKeepsABackupOfTheOldFile)
{
    Load({1, 2, 3}, QStringLiteral("save.gci"));
    CaretTo(0);
    Type("ff");
    ASSERT_TRUE(editor.SaveToFile(Path("save.gci")));
    EXPECT_EQ(ReadAll(Path("save.gci")), (Bytes{0xFF, 2, 3}));
    EXPECT_EQ(ReadAll(Path("save.bak")), (Bytes{1, 2, 3}));
    EXPECT_FALSE(editor.Modified());
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_FALSE(editor.HasChanged(0));
}

TEST_F(DataTest, BackupFollowsItsSettingsAndOnlyReplacesTheSameFile)
{
    Load({1, 2}, QStringLiteral("a.dat"));
    CaretTo(0);
    Type("00");
    // Saving under another name backs nothing up.
    ASSERT_TRUE(editor.SaveToFile(Path("b.dat")));
    EXPECT_FALSE(QFileInfo::exists(Path("b.bak")));
    EXPECT_FALSE(QFileInfo::exists(Path("a.bak")));
    EXPECT_EQ(editor.Filename(), Path("b.dat"));

    CaretTo(0);
    Type("11");
    editor.SetBackupExtension(QStringLiteral(".old"));
    ASSERT_TRUE(editor.SaveToFile(Path("b.dat")));
    EXPECT_EQ(ReadAll(Path("b.old")), (Bytes{0x00, 2}));

    // Unmodified, or with backups off, the backup stays as it was.
    ASSERT_TRUE(editor.SaveToFile(Path("b.dat")));
    CaretTo(0);
    Type("22");
    editor.SetCreateBackup(false);
    ASSERT_TRUE(editor.SaveToFile(Path("b.dat")));
    EXPECT_EQ(ReadAll(Path("b.old")), (Bytes{0x00, 2}));
    EXPECT_EQ(ReadAll(Path("b.dat")), (Bytes{0x22, 2}));
}

TEST_F(DataTest, AFailedSaveLeavesTheTargetAndTheDocumentAsTheyWere)
{
    Load({1, 2, 3});
    CaretTo(0);
    Type("7");
    // A folder where the file should go cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_FALSE(editor.SaveToFile(Path("taken")));
    EXPECT_TRUE(QFileInfo(Path("taken")).isDir());
    EXPECT_FALSE(editor.SaveToFile(Path("no/such/folder/x.bin")));
    EXPECT_TRUE(editor.Modified());
    EXPECT_TRUE(editor.CanUndo());
    EXPECT_EQ(editor.Filename(), Path("doc.bin"));
    EXPECT_EQ(ReadAll(Path("doc.bin")), (Bytes{1, 2, 3}));
}

TEST_F(DataTest, SavingOverAFileReplacesItWhole)
{
    WriteAll(Path("long.bin"), Counting(5000));
    Load({9, 8, 7});
    ASSERT_TRUE(editor.SaveToFile(Path("long.bin")));
    EXPECT_EQ(ReadAll(Path("long.bin")), (Bytes{9, 8, 7}));
    // Nothing is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(DataTest, SavingKeepsTheFilesPermissions)
{
    Load({1, 2});
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(Path("doc.bin"), mode));
    CaretTo(0);
    Type("9");
    ASSERT_TRUE(editor.SaveToFile(Path("doc.bin")));
    // Owner, group and others; the user bits mirror the owner.
    EXPECT_EQ(QFile(Path("doc.bin")).permissions() & 0x7077, mode & 0x7077);
}

TEST_F(DataTest, AMissingOriginalDoesNotBlockSaving)
{
    Load({1, 2});
    CaretTo(0);
    Type("3");
    ASSERT_TRUE(QFile::remove(Path("doc.bin")));
    EXPECT_TRUE(editor.SaveToFile(Path("doc.bin")));
    EXPECT_EQ(ReadAll(Path("doc.bin")), (Bytes{0x31, 2}));
}

TEST_F(DataTest, CreateEmptyFileStartsANewReadOnlyDocument)
{
    Load({1, 2, 3});
    CaretTo(1);
    Type("4");
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_EQ(editor.Filename(), "Untitled");
    EXPECT_TRUE(editor.ReadOnly());
    EXPECT_FALSE(editor.Modified());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(DataTest, BufferFromFileCutsTheCountAndRefusesBadPositions)
{
    Load({1, 2, 3, 4, 5});
    int32_t count = 10;
    const QByteArray tail = editor.BufferFromFile(3, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(tail, QByteArray("\x04\x05", 2));
    for (int32_t bad : {-1, 5, 100}) {
        int32_t n = 1;
        try {
            editor.BufferFromFile(bad, n);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const EHexEditor& e) {
            EXPECT_STREQ(e.what(), "Invalid BufferFromFile argument");
        }
    }
}

TEST_F(DataTest, EmptyContentTakesInsertionsAndAppendsOnly)
{
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    const uint8_t b = 0x42;
    editor.DeleteSelection();
    editor.ReplaceSelection(&b, 0);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.DataSize(), 0);

    editor.AppendBuffer(&b, 1);
    EXPECT_EQ(Content(), (Bytes{0x42}));
    editor.Undo();
    EXPECT_EQ(editor.DataSize(), 0);
    editor.InsertBuffer(&b, 1, 0);
    EXPECT_EQ(Content(), (Bytes{0x42}));
    EXPECT_EQ(editor.SelCount(), 1);
}

TEST_F(DataTest, InsertionsOutsideTheContentAreRefused)
{
    Load({1, 2, 3});
    const uint8_t b = 9;
    editor.InsertBuffer(&b, 1, 4);
    editor.InsertBuffer(&b, 1, -1);
    editor.InsertBuffer(&b, 0, 1);
    editor.AppendBuffer(&b, 0);
    EXPECT_EQ(Content(), (Bytes{1, 2, 3}));
    EXPECT_FALSE(editor.CanUndo());
    editor.InsertBuffer(&b, 1, 3);
    EXPECT_EQ(Content(), (Bytes{1, 2, 3, 9}));
}

TEST_F(DataTest, FixedSizeRefusesSizeChangesAndFitsReplacements)
{
    Load(Counting(10));
    editor.SetNoSizeChange(true);
    const uint8_t six[] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    editor.InsertBuffer(six, 1, 0);
    editor.AppendBuffer(six, 1);
    editor.DeleteSelection();
    EXPECT_EQ(Content(), Counting(10));
    EXPECT_FALSE(editor.CanUndo());

    // Six bytes over four: only the first four are written.
    editor.SetSelStart(2);
    editor.SetSelEnd(5);
    editor.ReplaceSelection(six, 6);
    EXPECT_EQ(Content(), (Bytes{0, 1, 0xA1, 0xA2, 0xA3, 0xA4, 6, 7, 8, 9}));
    EXPECT_EQ(editor.SelCount(), 4);

    // Two bytes over four: the selection shrinks to two first.
    editor.SetSelStart(6);
    editor.SetSelEnd(9);
    editor.ReplaceSelection(six, 2);
    EXPECT_EQ(Content(), (Bytes{0, 1, 0xA1, 0xA2, 0xA3, 0xA4, 0xA1, 0xA2, 8, 9}));
    EXPECT_EQ(editor.SelCount(), 2);
    EXPECT_EQ(editor.DataSize(), 10);

    // Nothing over a selection changes nothing.
    editor.ReplaceSelection(six, 0);
    EXPECT_EQ(editor.DataSize(), 10);
}

TEST_F(DataTest, ReplacingChangesTheSizeWithoutTheFixedSize)
{
    Load(Counting(8));
    editor.SetSelStart(2);
    editor.SetSelEnd(3);
    const uint8_t three[] = {0xB1, 0xB2, 0xB3};
    editor.ReplaceSelection(three, 3);
    EXPECT_EQ(Content(), (Bytes{0, 1, 0xB1, 0xB2, 0xB3, 4, 5, 6, 7}));
    EXPECT_EQ(editor.SelStart(), 2);
    EXPECT_EQ(editor.SelCount(), 3);
    editor.ReplaceSelection(three, 1);
    EXPECT_EQ(Content(), (Bytes{0, 1, 0xB1, 4, 5, 6, 7}));
}

TEST_F(DataTest, SwitchingTheFixedSizeOffBringsInsertModeBack)
{
    Load({1, 2, 3});
    editor.SetAllowInsertMode(true);
    Key(Qt::Key_Insert);
    ASSERT_TRUE(editor.IsInsertMode());
    editor.SetNoSizeChange(true);
    EXPECT_FALSE(editor.AllowInsertMode());
    EXPECT_FALSE(editor.IsInsertMode());
    editor.SetNoSizeChange(false);
    EXPECT_TRUE(editor.AllowInsertMode());
    EXPECT_TRUE(editor.IsInsertMode());
}

TEST_F(DataTest, ReadOnlyCanOnlyBeSwitchedOn)
{
    Load({1});
    ASSERT_FALSE(editor.ReadOnly());
    editor.SetReadOnly(false);
    EXPECT_FALSE(editor.ReadOnly());
    editor.SetReadOnly(true);
    editor.SetReadOnly(false);
    EXPECT_TRUE(editor.ReadOnly());
}

} // namespace
