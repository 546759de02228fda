// Changing a save file's region letter.
#include "app_fixture.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using mcbtest::readFile;

class RegionTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeCard();
    }
    std::vector<uint8_t> save(const std::string& code)
    {
        return mcbtest::makeSaveFile({.code = code, .name = "region", .blocks = 1});
    }
    // Opens the dialog for the file and, while it shows, runs what the test
    // does in it.
    void openDialog(const QString& file, std::function<void()> inside)
    {
        select(form->ListView2, {file});
        QTimer::singleShot(0, change.get(), [this, inside] {
            inside();
            change->close();
        });
        form->changebtnClick();
    }
    std::string path(const char* name) const { return dir.file(std::string("saver/") + name); }
};

TEST_F(RegionTest, AUsaFileBecomesPalWithACopyOfTheOld)
{
    const auto original = save("ABCE01");
    putSaveFile("a.GCI", original);
    start();
    openDialog("a.GCI", [&] {
        EXPECT_EQ(
            change->Memo1->toPlainText(),
            "The Region for the file is USA System. And you can Convert it to PAL or JAP System.");
        EXPECT_FALSE(change->UsaRadioBtn->isEnabled());
        EXPECT_TRUE(change->JapRadioBtn->isChecked());
        EXPECT_EQ(change->Edit1->text(), form->saverPath("a.GCI"));
        change->PalRadioBtn->setChecked(true);
        change->Button1Click();
        EXPECT_FALSE(change->Button1->isEnabled());
        EXPECT_TRUE(change->Edit1->text().isEmpty());
        EXPECT_TRUE(change->Memo1->toPlainText().contains(" Was Converted to PAL System!"));
        EXPECT_TRUE(change->Memo1->toPlainText().endsWith("a.GCI.BAK! "));
    });
    const auto converted = readFile(path("a.GCI"));
    EXPECT_EQ(std::string(converted.begin(), converted.begin() + 6), "ABCP01");
    EXPECT_EQ(readFile(path("a.GCI.BAK")), original);
    auto expected = original;
    expected[3] = 'P';
    EXPECT_EQ(converted, expected); // nothing but the one byte
    EXPECT_TRUE(form->ListView2->selectedItems().isEmpty());
    EXPECT_TRUE(form->b0 && form->b8);

    // Twice in a row: the copy is of the once-converted file.
    openDialog("a.GCI", [&] {
        EXPECT_FALSE(change->PalRadioBtn->isEnabled());
        EXPECT_TRUE(change->UsaRadioBtn->isChecked());
        change->JapRadioBtn->setChecked(true);
        change->Button1Click();
    });
    EXPECT_EQ(readFile(path("a.GCI.BAK")), expected);
    EXPECT_EQ(readFile(path("a.GCI"))[3], 'J');
}

TEST_F(RegionTest, JapaneseFilesOfferUsaFirst)
{
    putSaveFile("j.GCI", save("ABCJ01"));
    start();
    openDialog("j.GCI", [&] {
        EXPECT_EQ(
            change->Memo1->toPlainText(),
            "The Region for the file is JAP System. And you can Convert it to PAL or USA System.");
        EXPECT_FALSE(change->JapRadioBtn->isEnabled());
        EXPECT_TRUE(change->PalRadioBtn->isEnabled());
        EXPECT_TRUE(change->UsaRadioBtn->isChecked());
        change->Button1Click();
        EXPECT_TRUE(change->Memo1->toPlainText().contains(" Was Converted to USA System! "));
    });
    EXPECT_EQ(readFile(path("j.GCI"))[3], 'E');
}

TEST_F(RegionTest, AnUnknownRegionByteOffersEverything)
{
    putSaveFile("x.GCI", save("ABCX01"));
    start();
    openDialog("x.GCI", [&] {
        EXPECT_TRUE(change->Memo1->toPlainText().isEmpty());
        EXPECT_TRUE(change->PalRadioBtn->isEnabled());
        EXPECT_TRUE(change->UsaRadioBtn->isEnabled());
        EXPECT_TRUE(change->JapRadioBtn->isEnabled());
        EXPECT_FALSE(change->PalRadioBtn->isChecked() || change->UsaRadioBtn->isChecked() ||
                     change->JapRadioBtn->isChecked());
        // With no region chosen the file stays as it is, but its copy is made.
        change->Button1Click();
    });
    EXPECT_EQ(readFile(path("x.GCI"))[3], 'X');
}

TEST_F(RegionTest, AFileTooShortOrGoneChangesNothing)
{
    putSaveFile("s.GCI", {'A', 'B', 'C'});
    putSaveFile("gone.GCI", save("ABCE01"));
    start();
    openDialog("s.GCI", [&] {
        change->PalRadioBtn->setChecked(true);
        change->Button1Click();
        EXPECT_TRUE(change->Memo1->toPlainText().contains("Nothing was changed"));
    });
    EXPECT_EQ(readFile(path("s.GCI")), (std::vector<uint8_t>{'A', 'B', 'C'}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("s.GCI.BAK"))));

    openDialog("gone.GCI", [&] {
        QFile::remove(QString::fromStdString(path("gone.GCI")));
        change->Button1Click();
        EXPECT_TRUE(change->Memo1->toPlainText().contains("cannot be read"));
    });
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("gone.GCI"))));
    EXPECT_TRUE(form->b0 && form->b1 && form->b8);
}

TEST_F(RegionTest, SeveralFilesSelectedIsRefused)
{
    putSaveFile("a.GCI", save("ABCE01"));
    putSaveFile("b.GCI", save("ABCE01"));
    start();
    select(form->ListView2, {"a.GCI", "b.GCI"});
    form->changebtnClick();
    EXPECT_EQ(dialogs.messages, QStringList{"please Choose a Game File!"});
    EXPECT_TRUE(form->b0 && form->b8);
}
