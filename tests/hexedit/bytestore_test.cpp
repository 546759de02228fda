// The byte store on its own: no widget, no application object. Its working
// copy, cache, edits, marks and journal, as the hex control relies on them.
#include "file_bytes.h"
#include "hexedit/bytestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class StoreTest : public ::testing::Test {
protected:
    QString Path(const QString& aName) const { return dir.filePath(aName); }
    void Load(const Bytes& aBytes, const QString& aName = QStringLiteral("doc.bin"))
    {
        WriteAll(Path(aName), aBytes);
        ASSERT_TRUE(store.Load(Path(aName)));
    }
    Bytes Content()
    {
        Bytes b(std::size_t(store.Size()));
        if (!store.Read(b.data(), 0, store.Size()))
            ADD_FAILURE() << "content unreadable";
        return b;
    }
    // An edit journalled as the control does it, with a caret and a
    // selection for the undo to hand back.
    void Record(uint8_t aType, int32_t aPos, int32_t aCount, int32_t aReplCount = 0)
    {
        TUndoRec rec;
        rec.Typ = aType;
        rec.CurPos = aPos + 1;
        rec.SelS = aPos;
        rec.SelE = aPos + 2;
        rec.SelP = aPos;
        rec.Pos = aPos;
        rec.Count = aCount;
        rec.ReplCount = aReplCount;
        store.Record(rec, false);
    }
    // Typing over a byte in overwrite mode, as far as the bytes go.
    void Overwrite(int32_t aPos, uint8_t aByte)
    {
        Record(U_Byte_changed, aPos, 1);
        ASSERT_TRUE(store.Write(&aByte, aPos, 1));
        store.SetMark(aPos, true, false);
    }

    QTemporaryDir dir;
    TByteStore store;
};

// ---- Working copy and files ---------------------------------------------------------

TEST_F(StoreTest, LoadCopiesTheFileIntoAPrivateWorkingCopyThatGoesWithTheStore)
{
    QString name;
    {
        TByteStore own;
        WriteAll(Path("a.bin"), {1, 2, 3});
        ASSERT_TRUE(own.Load(Path("a.bin")));
        EXPECT_EQ(own.Size(), 3);
        const uint8_t x = 9;
        ASSERT_TRUE(own.Write(&x, 0, 1));
        EXPECT_EQ(ReadAll(Path("a.bin")), (Bytes{1, 2, 3}));
        name = own.InternalName();
        ASSERT_TRUE(QFileInfo::exists(name));
        EXPECT_EQ(QFile(name).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                  QFileDevice::Permissions());
    }
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST_F(StoreTest, AFailedLoadKeepsContentJournalAndMarks)
{
    Load({5, 6, 7});
    Overwrite(1, 0xAA);
    for (const QString& bad : {Path("missing.bin"), dir.path()}) {
        EXPECT_FALSE(store.Load(bad)) << bad.toStdString();
        EXPECT_EQ(Content(), (Bytes{5, 0xAA, 7}));
        EXPECT_TRUE(store.CanUndo());
        EXPECT_TRUE(store.Modified());
        EXPECT_TRUE(store.Marks().Has(1));
    }
}

TEST_F(StoreTest, SavingWritesTheContentAndStartsAfresh)
{
    Load({1, 2, 3});
    Overwrite(0, 0xFF);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_FALSE(store.SaveTo(Path("taken")));
    EXPECT_TRUE(store.CanUndo());
    EXPECT_TRUE(store.Modified());

    ASSERT_TRUE(store.SaveTo(Path("out.bin")));
    EXPECT_EQ(ReadAll(Path("out.bin")), (Bytes{0xFF, 2, 3}));
    EXPECT_FALSE(store.CanUndo());
    EXPECT_FALSE(store.Modified());
    EXPECT_TRUE(store.Marks().Empty());

    // Without a working copy the file becomes empty.
    store.Release();
    EXPECT_EQ(store.Size(), 0);
    ASSERT_TRUE(store.SaveTo(Path("out.bin")));
    EXPECT_TRUE(ReadAll(Path("out.bin")).empty());
}

// ---- Bytes and cache ----------------------------------------------------------------

TEST_F(StoreTest, ReadsAndWritesStayInsideTheContent)
{
    Load(Counting(8));
    uint8_t b[4] = {};
    EXPECT_FALSE(store.Read(b, 6, 4));
    EXPECT_FALSE(store.Read(b, -1, 1));
    EXPECT_FALSE(store.Write(b, 7, 2));
    EXPECT_FALSE(store.Write(b, -1, 1));
    EXPECT_EQ(Content(), Counting(8));
    EXPECT_TRUE(store.Write(b, 4, 4));
    EXPECT_EQ(store.Size(), 8);
}

TEST_F(StoreTest, TheCacheFollowsWritesAndMovesAcrossALargeContent)
{
    // Three cache windows' worth, so reads at both ends refill it.
    const int size = 3 * cBuf_Size;
    Bytes data(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        data[std::size_t(i)] = uint8_t(i * 7 + i / 256);
    Load(data);
    for (int32_t pos : {0, size - 1, size / 2, 17, size - 300})
        EXPECT_EQ(store.CachedByte(pos, 16), data[std::size_t(pos)]) << pos;

    // A write goes through into the cache the next read is served from.
    EXPECT_EQ(store.CachedByte(1000, 16), data[1000]);
    const uint8_t x[3] = {0xA0, 0xA1, 0xA2};
    ASSERT_TRUE(store.Write(x, 999, 3));
    EXPECT_EQ(store.CachedByte(999, 16), 0xA0);
    EXPECT_EQ(store.CachedByte(1001, 16), 0xA2);
    // Moving bytes behind the cache invalidates it.
    ASSERT_TRUE(store.Remove(0, 1000));
    EXPECT_EQ(store.CachedByte(0, 16), 0xA1);
    EXPECT_EQ(store.Size(), size - 1000);
}

struct EditCase {
    const char* name;
    std::function<bool(TByteStore&)> edit;
    Bytes expected;
};

class StoreEdit : public StoreTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(StoreEdit, ChangesTheBytesAsAsked)
{
    Load(Counting(8));
    store.SetMark(1, true, false);
    store.SetMark(6, true, false);
    ASSERT_TRUE(GetParam().edit(store));
    EXPECT_EQ(Content(), GetParam().expected);
    // The store moves bytes, the control decides which marks go; the
    // primitives leave them.
    for (int32_t pos : {1, 6})
        EXPECT_TRUE(store.Marks().Has(pos)) << pos;
}

const uint8_t cAB[] = {0xA, 0xB};
const uint8_t cABC[] = {0xA, 0xB, 0xC};

INSTANTIATE_TEST_SUITE_P(
    Primitives, StoreEdit,
    ::testing::Values(
        EditCase{"InsertInside", [](TByteStore& s) { return s.Insert(cAB, 2, 3); },
                 Bytes{0, 1, 2, 0xA, 0xB, 3, 4, 5, 6, 7}},
        EditCase{"InsertAtTheEnd", [](TByteStore& s) { return s.Insert(cAB, 2, 8); },
                 Bytes{0, 1, 2, 3, 4, 5, 6, 7, 0xA, 0xB}},
        EditCase{"Append", [](TByteStore& s) { return s.Append(cAB, 2); },
                 Bytes{0, 1, 2, 3, 4, 5, 6, 7, 0xA, 0xB}},
        EditCase{"RemoveInside", [](TByteStore& s) { return s.Remove(2, 5); },
                 Bytes{0, 1, 5, 6, 7}},
        EditCase{"RemoveCutAtTheEnd", [](TByteStore& s) { return s.Remove(6, 100); },
                 Bytes{0, 1, 2, 3, 4, 5}},
        EditCase{"ReplaceGrows",
                 [](TByteStore& s) { return s.Replace(2, 1, 3) && s.Write(cABC, 2, 3); },
                 Bytes{0, 1, 0xA, 0xB, 0xC, 3, 4, 5, 6, 7}},
        EditCase{"ReplaceShrinks", [](TByteStore& s) { return s.Replace(2, 3, 1); },
                 Bytes{0, 1, 2, 5, 6, 7}},
        EditCase{"Resize", [](TByteStore& s) { return s.Resize(3); }, Bytes{0, 1, 2}}),
    [](const ::testing::TestParamInfo<EditCase>& aInfo) { return std::string(aInfo.param.name); });

TEST_F(StoreTest, ImpossibleEditsAreRefused)
{
    Load(Counting(4));
    EXPECT_FALSE(store.Remove(-1, 2));
    EXPECT_FALSE(store.Remove(3, 3));
    EXPECT_FALSE(store.Resize(-1));
    EXPECT_FALSE(store.Resize(int64_t(1) << 31));
    EXPECT_EQ(Content(), Counting(4));
}

TEST_F(StoreTest, TheFirstBytesOfAnEmptyStoreStartWithoutMarks)
{
    store.SetMark(3, true, false);
    ASSERT_TRUE(store.Append(cAB, 2));
    EXPECT_TRUE(store.Marks().Empty());
    EXPECT_FALSE(store.InternalName().isEmpty());

    // Inserting in insert mode: a mark empties the set first.
    store.SetMark(0, true, false);
    store.SetMark(1, true, true);
    EXPECT_FALSE(store.Marks().Has(0));
    EXPECT_TRUE(store.Marks().Has(1));
}

// ---- Journal --------------------------------------------------------------------------

struct PermissionCase {
    const char* name;
    uint8_t type;
    int32_t count;
    int32_t replCount;
    bool empty;
    bool fixedSize;
    bool allowed;
};

class StorePermission : public StoreTest, public ::testing::WithParamInterface<PermissionCase> {};

TEST_P(StorePermission, FollowsTheSizeRules)
{
    const PermissionCase& c = GetParam();
    if (!c.empty)
        Load(Counting(4));
    EXPECT_EQ(store.MayEdit(c.type, c.count, c.replCount, c.fixedSize), c.allowed);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StorePermission,
    ::testing::Values(
        PermissionCase{"ChangeInEmpty", U_Byte_changed, 1, 0, true, false, false},
        PermissionCase{"RemoveInEmpty", U_Byte_removed, 1, 0, true, false, false},
        PermissionCase{"InsertInEmpty", U_Insert_buffer, 1, 0, true, false, true},
        PermissionCase{"AppendInEmpty", U_Append_Buffer, 1, 0, true, false, true},
        PermissionCase{"ReplaceInEmpty", U_Replace_Selection, 1, 1, true, false, false},
        PermissionCase{"ChangeFixed", U_Byte_changed, 1, 0, false, true, true},
        PermissionCase{"ConvertFixed", U_Convert, 4, 0, false, true, true},
        PermissionCase{"RemoveFixed", U_Byte_removed, 1, 0, false, true, false},
        PermissionCase{"InsertFixed", U_Insert_buffer, 1, 0, false, true, false},
        PermissionCase{"AppendFixed", U_Append_Buffer, 1, 0, false, true, false},
        PermissionCase{"NibbleFixed", U_Nibble_Insert, 1, 0, false, true, false},
        PermissionCase{"ReplaceSameFixed", U_Replace_Selection, 2, 2, false, true, true},
        PermissionCase{"ReplaceOtherFixed", U_Replace_Selection, 2, 3, false, true, false},
        PermissionCase{"RemoveFree", U_Byte_removed, 1, 0, false, false, true}),
    [](const ::testing::TestParamInfo<PermissionCase>& aInfo) {
        return std::string(aInfo.param.name);
    });

struct UndoCase {
    const char* name;
    uint8_t type;
    int32_t pos;
    int32_t count;
    int32_t replCount;
    std::function<bool(TByteStore&)> edit;
};

// Larger than the journal keeps in memory, so a removal of most of it is
// saved to the journal's file.
constexpr int32_t cDocSize = 2 * 1024 * 1024;
constexpr int32_t cLargeRun = 3 * 1024 * 1024 / 2;

class StoreUndo : public StoreTest, public ::testing::WithParamInterface<UndoCase> {};

TEST_P(StoreUndo, PutsBackBytesModifiedAndTheCaretsRecord)
{
    const UndoCase& c = GetParam();
    const Bytes before = Counting(cDocSize, 3);
    Load(before);
    store.SetMark(0, true, false);
    store.SetMark(c.pos + 1, true, false);
    Record(c.type, c.pos, c.count, c.replCount);
    EXPECT_TRUE(store.Modified());
    ASSERT_TRUE(c.edit(store));
    ASSERT_FALSE(Content() == before);

    TUndoRec rec;
    ASSERT_TRUE(store.Undo(rec, false));
    EXPECT_TRUE(Content() == before);
    EXPECT_FALSE(store.Modified());
    EXPECT_FALSE(store.CanUndo());
    EXPECT_EQ(store.UndoDescription(), "No Undo");
    EXPECT_EQ(rec.Typ, c.type);
    EXPECT_EQ(rec.CurPos, c.pos + 1);
    EXPECT_EQ(rec.SelE, c.pos + 2);
    // Marks before the edit stay; from the edit on, bytes moved and lose
    // theirs, except after a change of one byte, which moves none.
    EXPECT_TRUE(store.Marks().Has(0));
    EXPECT_EQ(store.Marks().Has(c.pos + 1), c.type == U_Byte_changed);
}

const uint8_t cBig[3 * 1024 * 1024] = {};

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoreUndo,
    ::testing::Values(
        UndoCase{"ByteChanged", U_Byte_changed, 70000, 1, 0,
                 [](TByteStore& s) {
                     const uint8_t x = 0xEE;
                     return s.Write(&x, 70000, 1);
                 }},
        UndoCase{"Removed", U_Byte_removed, 10, 5, 0,
                 [](TByteStore& s) { return s.Remove(10, 15); }},
        UndoCase{"RemovedLarge", U_Byte_removed, 5, cLargeRun, 0,
                 [](TByteStore& s) { return s.Remove(5, 5 + cLargeRun); }},
        UndoCase{"Inserted", U_Insert_buffer, 100, 3, 0,
                 [](TByteStore& s) { return s.Insert(cAB, 2, 100) && s.Insert(cAB, 1, 100); }},
        UndoCase{"Appended", U_Append_Buffer, cDocSize, int32_t(sizeof cBig), 0,
                 [](TByteStore& s) { return s.Append(cBig, sizeof cBig); }},
        UndoCase{"ReplacedByMore", U_Replace_Selection, 200, 3, 2,
                 [](TByteStore& s) { return s.Replace(200, 2, 3) && s.Write(cAB, 200, 2); }},
        UndoCase{"ReplacedByFewer", U_Replace_Selection, 200, 1, 5,
                 [](TByteStore& s) { return s.Replace(200, 5, 1) && s.Write(cAB, 200, 1); }}),
    [](const ::testing::TestParamInfo<UndoCase>& aInfo) { return std::string(aInfo.param.name); });

TEST_F(StoreTest, TheJournalKeepsTheNewestHundredRecords)
{
    Load(Counting(300));
    const uint8_t extra = 0xEE;
    Record(U_Append_Buffer, 300, 1);
    ASSERT_TRUE(store.Append(&extra, 1));
    EXPECT_EQ(store.UndoDescription(), "Append buffer");
    for (int i = 0; i < cMax_Undo; ++i) {
        Record(U_Byte_changed, i, 1);
        const uint8_t x = 0xF0;
        store.Write(&x, i, 1);
    }
    EXPECT_EQ(store.UndoCount(), cMax_Undo);
    EXPECT_EQ(store.UndoDescription(), "Byte changed");
    TUndoRec rec;
    for (int i = 0; i < cMax_Undo; ++i)
        ASSERT_TRUE(store.Undo(rec, false)) << i;
    EXPECT_FALSE(store.CanUndo());
    EXPECT_FALSE(store.Undo(rec, false));
    // The append fell out of the journal and stays, and so does its mark
    // of the content as modified.
    Bytes expected = Counting(300);
    expected.push_back(0xEE);
    EXPECT_EQ(Content(), expected);
    EXPECT_TRUE(store.Modified());
}

TEST_F(StoreTest, DroppingTheNewestRecordTakesBackItsModifiedMark)
{
    Load(Counting(10));
    Record(U_Byte_changed, 0, 1);
    Record(U_Byte_removed, 2, 3);
    EXPECT_FALSE(store.DropLast());
    EXPECT_EQ(store.UndoDescription(), "Byte changed");
    EXPECT_TRUE(store.Modified());
    EXPECT_TRUE(store.DropLast());
    EXPECT_FALSE(store.CanUndo());
    EXPECT_FALSE(store.Modified());
    EXPECT_EQ(Content(), Counting(10));
}

TEST_F(StoreTest, AByteChangeRemembersTheMarkAsTheViewSeesIt)
{
    Load(Counting(4));
    store.SetMark(2, true, false);
    // In insert mode no byte counts as changed, so undoing brings no mark.
    TUndoRec rec;
    rec.Typ = U_Byte_changed;
    rec.Pos = 2;
    rec.Count = 1;
    store.Record(rec, true);
    store.Record(rec, false);
    ASSERT_TRUE(store.Undo(rec, false));
    EXPECT_TRUE(store.Marks().Has(2));
    ASSERT_TRUE(store.Undo(rec, false));
    EXPECT_FALSE(store.Marks().Has(2));
}

} // namespace
