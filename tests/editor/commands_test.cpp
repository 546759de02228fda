// The clipboard commands, appending with Ctrl+A, the close query and the
// three ways of saving.
#include "save_edit_fixture.h"

#include "hexedit/hexeditor.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>

namespace {

using CommandsTest = SaveEditTest;

TEST_F(CommandsTest, CopyPutsTheSelectedBytesOnTheClipboardAsHexDigits)
{
    Load(QByteArray::fromHex("FF01AB00"));
    form.HexEditor1->SetSelStart(2);
    form.HexEditor1->SetSelEnd(1);
    Choose(form.Kopieren1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("01AB"));
    EXPECT_EQ(Content(), QByteArray::fromHex("FF01AB00"));

    Choose(form.Ausschneiden1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("01AB"));
    EXPECT_EQ(Content(), QByteArray::fromHex("FF00"));
}

TEST_F(CommandsTest, PasteTakesHexDigitsAndPasteTextTakesTheCharacters)
{
    Load(QByteArray::fromHex("00112233"));
    form.HexEditor1->SetSelStart(1);
    form.HexEditor1->SetSelEnd(2);
    QGuiApplication::clipboard()->setText(QStringLiteral("41 4-2"));
    Choose(form.Einfgen1);
    EXPECT_EQ(Content(), QByteArray::fromHex("00414233"));

    form.HexEditor1->SetSelStart(0);
    form.HexEditor1->SetSelEnd(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("Hi\u00e9"));
    Choose(form.PasteText1);
    EXPECT_EQ(Content(), QByteArray("Hi\xe9") + QByteArray::fromHex("4233"));

    // Nothing on the clipboard: nothing happens, also when a shortcut asks.
    QGuiApplication::clipboard()->clear();
    form.Einfgen1Click();
    form.PasteText1Click();
    EXPECT_EQ(Content(), QByteArray("Hi\xe9") + QByteArray::fromHex("4233"));
}

TEST_F(CommandsTest, CtrlAAppendsOneFFByteUnlessTheSizeIsFixed)
{
    Load(QByteArray::fromHex("0102"));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Content(), QByteArray::fromHex("0102FF"));
    // Another modifier with it is some other key.
    Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Content(), QByteArray::fromHex("0102FF"));
    Choose(form.FixedFilesize1);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Content(), QByteArray::fromHex("0102FF"));
}

struct CloseQueryCase {
    const char* name;
    skin::Answer answer;
    bool closes;
    bool ischanged;
    QByteArray file;
};

void PrintTo(const CloseQueryCase& c, std::ostream* os) { *os << c.name; }

class CloseQuery : public CommandsTest, public testing::WithParamInterface<CloseQueryCase> {};

TEST_P(CloseQuery, KeepsDropsOrSavesTheChanges)
{
    const CloseQueryCase& c = GetParam();
    form.show();
    Load(QByteArray::fromHex("0102"));
    form.ischanged = false;
    Key(Qt::Key_7);
    dialogs.questions.clear();
    dialogs.answers = {c.answer};
    Choose(form.Beenden1);
    EXPECT_EQ(dialogs.questions,
              QStringList{QStringLiteral("Save changes to\r\n") + Path("temp.~ic") + " ?"});
    EXPECT_EQ(form.isVisible(), !c.closes);
    EXPECT_EQ(form.ischanged, c.ischanged);
    EXPECT_EQ(FileBytes(Path("temp.~ic")), c.file);
}

INSTANTIATE_TEST_SUITE_P(CommandsTest, CloseQuery,
                         testing::Values(CloseQueryCase{"CancelKeepsTheWindowAndTheFile",
                                                        skin::Answer::Cancel, false, false,
                                                        QByteArray::fromHex("0102")},
                                         CloseQueryCase{"NoClosesWithoutSaving", skin::Answer::No,
                                                        true, false, QByteArray::fromHex("0102")},
                                         CloseQueryCase{"YesSavesAndCloses", skin::Answer::Yes,
                                                        true, true, QByteArray::fromHex("7102")}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ShownNameCase {
    const char* name;
    const char* savedAs; // a file the document was saved as, or null
    const char* shown;   // in the title after "File :"
    QString asked;       // in the close query
};

void PrintTo(const ShownNameCase& c, std::ostream* os) { *os << c.name; }

class ShownName : public CommandsTest, public testing::WithParamInterface<ShownNameCase> {};

TEST_P(ShownName, NamesTheDocumentInTheTitleAndTheCloseQuery)
{
    const ShownNameCase& c = GetParam();
    Load(QByteArray::fromHex("0102"));
    form.SetDocumentName(QStringLiteral("GAAE01 my save"));
    if (c.savedAs) {
        dialogs.files = {Path(c.savedAs)};
        Choose(form.AnyFile1);
        // The working copy's folder is not offered for the user's file.
        EXPECT_TRUE(dialogs.fileDialogs.at(0).folder.isEmpty());
    }
    Key(Qt::Key_7);
    dialogs.answers = {skin::Answer::Cancel};
    Choose(form.Beenden1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("File :") + c.shown);
    const QString asked = c.savedAs ? Path(c.asked) : c.asked;
    EXPECT_EQ(dialogs.questions, QStringList{"Save changes to\r\n" + asked + " ?"});
}

INSTANTIATE_TEST_SUITE_P(CommandsTest, ShownName,
                         testing::Values(ShownNameCase{"ACardSaveByItsName", nullptr,
                                                       "GAAE01 my save", "GAAE01 my save"},
                                         ShownNameCase{"ACopySavedElsewhereByThatFile", "copy.bin",
                                                       "copy.bin", "copy.bin"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, AnUnchangedDocumentClosesWithoutAsking)
{
    form.show();
    Load(QByteArray::fromHex("0102"));
    dialogs.questions.clear();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(CommandsTest, SaveWritesTheFileAndTellsTheCallerTheUserSaved)
{
    Load(QByteArray::fromHex("0102"));
    form.Savepoint = true;
    Key(Qt::Key_7);
    Choose(form.Speichern1);
    EXPECT_EQ(FileBytes(Path("temp.~ic")), QByteArray::fromHex("7102"));
    EXPECT_TRUE(form.ischanged);
    EXPECT_FALSE(form.Savepoint);
    EXPECT_FALSE(form.HexEditor1->Modified());
    EXPECT_TRUE(dialogs.fileDialogs.empty());
}

TEST_F(CommandsTest, SaveAsAnyFileAsksBeforeReplacingAndMakesTheNewFileTheDocument)
{
    Load(QByteArray::fromHex("0102"));
    Key(Qt::Key_7);
    const QString other = Path("other.bin");
    const QString taken = Path("taken.bin");
    QFile f(taken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    // Not replacing the taken file brings the dialog back.
    dialogs.files = {taken, other};
    dialogs.yesNo = {false};
    Choose(form.AnyFile1);
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(dialogs.fileDialogs.front().title, QStringLiteral("Save as"));
    EXPECT_EQ(FileBytes(taken), QByteArray("keep"));
    EXPECT_EQ(FileBytes(other), QByteArray::fromHex("7102"));
    EXPECT_EQ(form.HexEditor1->Filename(), other);
    EXPECT_FALSE(form.ischanged);

    Key(Qt::Key_3);
    Choose(form.Speichern1);
    // The caret had moved on to the low digit.
    EXPECT_EQ(FileBytes(other), QByteArray::fromHex("7302"));
    EXPECT_EQ(FileBytes(Path("temp.~ic")), QByteArray::fromHex("0102"));
}

struct WriteBackCase {
    const char* name;
    bool savedElsewhereFirst; // "Save as any file" before the edit and Save
    bool writtenBack;         // ischanged: the working copy holds the edit
};

void PrintTo(const WriteBackCase& c, std::ostream* os) { *os << c.name; }

class WriteBack : public CommandsTest, public testing::WithParamInterface<WriteBackCase> {};

// A card's save is edited in a working copy the caller writes back; a save
// that went to another file must not be taken for an edit of the card's.
TEST_P(WriteBack, OnlyASaveToTheWorkingCopyIsWrittenBack)
{
    const WriteBackCase& c = GetParam();
    Load(QByteArray::fromHex("0102"));
    form.SetDocumentName(QStringLiteral("GAAE01 my save"));
    if (c.savedElsewhereFirst) {
        dialogs.files = {Path("copy.bin")};
        Choose(form.AnyFile1);
    }
    Key(Qt::Key_7);
    Choose(form.Speichern1);
    EXPECT_EQ(form.ischanged, c.writtenBack);
    EXPECT_EQ(FileBytes(Path("temp.~ic")), QByteArray::fromHex(c.writtenBack ? "7102" : "0102"));
}

INSTANTIATE_TEST_SUITE_P(CommandsTest, WriteBack,
                         testing::Values(WriteBackCase{"SavedToTheWorkingCopy", false, true},
                                         WriteBackCase{"SavedAfterSaveAsAnotherFile", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, SaveAsHexTextWritesTheDigitsWithoutALineEnd)
{
    Load(QByteArray::fromHex("00A1FF"));
    dialogs.files = {Path("hex.txt")};
    Choose(form.HexText1);
    EXPECT_EQ(FileBytes(Path("hex.txt")), QByteArray("00A1FF"));
}

TEST_F(CommandsTest, AFileThatCannotBeWrittenIsReportedByName)
{
    Load(QByteArray::fromHex("0102"));
    const QString nowhere = Path("missing/folder/file.bin");
    dialogs.files = {nowhere, nowhere};
    Choose(form.AnyFile1);
    Choose(form.HexText1);
    EXPECT_EQ(dialogs.errors, QStringList(2, QStringLiteral("Cannot save file\r\n") + nowhere));
    EXPECT_EQ(form.HexEditor1->Filename(), Path("temp.~ic"));

    // A Save that fails is no save the caller may write back.
    form.ischanged = false;
    Key(Qt::Key_7);
    QFile::remove(Path("temp.~ic")); // gone: Save asks where to, and that fails too
    dialogs.files = {nowhere};
    Choose(form.Speichern1);
    EXPECT_EQ(dialogs.errors.size(), 3);
    EXPECT_FALSE(form.ischanged);
}

} // namespace
