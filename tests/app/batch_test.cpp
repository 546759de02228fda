// The save folder's containers, the save dialog's forms, and copying every
// save at once with a failure in the middle of the batch.
#include "app_fixture.h"

#include "mcbridge/inspect.h"
#include "skin/smooth_bar.h"

#include <QDir>
#include <QFile>

#include <algorithm>

using mcbtest::asGcs;
using mcbtest::asSav;
using mcbtest::kGcsMagic;
using mcbtest::kSavMagic;
using mcbtest::readFile;

namespace {

std::vector<uint8_t> dataOf(const std::vector<uint8_t>& file, std::size_t header)
{
    return {file.begin() + std::ptrdiff_t(std::min(header, file.size())), file.end()};
}

class BatchTest : public AppTest {
protected:
    std::vector<mcb::SaveInfo> cardSaves() const { return mcb::inspectCard(cardImage()).saves; }
    bool onCard(const std::string& name) const
    {
        const auto all = cardSaves();
        return std::any_of(all.begin(), all.end(),
                           [&](const mcb::SaveInfo& s) { return s.name == name; });
    }
    std::string saver(const QString& name) const
    {
        return (form->saverDir() + QLatin1Char('/') + name).toStdString();
    }
};

} // namespace

// Containers are listed by their content, whatever their name, with their
// banners; a file that is no save is not listed unless it is named as one.
TEST_F(BatchTest, TheFileListShowsContainersByTheirContent)
{
    makeCard(4);
    putSaveFile("boxed.gcs", asGcs(mcbtest::makeSaveFile({.name = "boxed", .blocks = 2})));
    putSaveFile("swapped.dat", asSav(mcbtest::makeSaveFile({.name = "swapped", .blocks = 1})));
    putSaveFile("notes.txt", {'h', 'i'});
    putSaveFile("plain.gci", mcbtest::makeSaveFile({.name = "plain", .blocks = 1}));
    putSaveFile("junk.gci", {1, 2, 3});
    start();
    EXPECT_EQ(names(form->ListView2),
              (QStringList{"boxed.gcs", "junk.gci", "plain.gci", "swapped.dat"}));
    // The containers have banners, not the placeholder a file without one
    // gets.
    ASSERT_EQ(form->ImageList2.size(), 4);
    const QImage placeholder = form->ImageList2[1].toImage();
    EXPECT_NE(form->ImageList2[0].toImage(), placeholder);
    EXPECT_NE(form->ImageList2[2].toImage(), placeholder);
    EXPECT_NE(form->ImageList2[3].toImage(), placeholder);
}

// A container copied to the card arrives with its data; a copy to the PC is
// written in the form of the filter the dialog chose, .gci by default.
TEST_F(BatchTest, ContainersGoToTheCardAndTheDialogsFilterChoosesTheForm)
{
    makeCard(4);
    const auto plain = mcbtest::makeSaveFile({.code = "GSVE01", .name = "sv", .blocks = 2});
    putSaveFile("in.sav", asSav(plain));
    start();
    listCard();
    select(form->ListView2, {"in.sav"});
    form->UpLoadBtnClick();
    ASSERT_TRUE(onCard("sv")) << dialogs.messages.join('\n').toStdString();
    listCard();

    const QString gcs = QString::fromStdString(dir.file("out.gcs"));
    const QString gci = QString::fromStdString(dir.file("out.gci"));
    select(form->ListView1, {"sv"});
    dialogs.files = {gcs};
    form->DownLoadBtnClick();
    select(form->ListView1, {"sv"});
    dialogs.files = {gci};
    form->DownLoadBtnClick();
    ASSERT_EQ(dialogs.fileDialogs.size(), 2u);
    const QString filter = dialogs.fileDialogs[0].filter;
    EXPECT_TRUE(filter.startsWith("GC saver format (*.GCI *.gci);;")) << filter.toStdString();
    EXPECT_TRUE(filter.contains("(*.gcs *.GCS)") && filter.contains("(*.sav *.SAV)"));
    EXPECT_EQ(dialogs.fileDialogs[0].defaultSuffix, "GCI");
    const auto written = readFile(gcs.toStdString());
    EXPECT_TRUE(std::equal(kGcsMagic.begin(), kGcsMagic.end(), written.begin()));
    EXPECT_EQ(dataOf(written, 0x150), dataOf(plain, 64));
    EXPECT_EQ(dataOf(readFile(gci.toStdString()), 64), dataOf(plain, 64));
}

// Copy all to card: a truncated container and a save too large sit between
// good ones; the good ones arrive, the report names the two and why, and the
// bar is back at rest.
TEST_F(BatchTest, CopyAllToCardReportsTheFailuresInTheMiddle)
{
    makeCard(4);
    putSaveFile("1-first.gcs", asGcs(mcbtest::makeSaveFile({.name = "first", .blocks = 2})));
    auto cut = asSav(mcbtest::makeSaveFile({.name = "cut", .blocks = 1}));
    cut.resize(0x90);
    putSaveFile("2-cut.gci", cut); // named as a plain save, holding a cut-off container
    putSaveFile("3-big.gci", mcbtest::makeSaveFile({.name = "big", .blocks = 58}));
    putSaveFile("4-last.gci", mcbtest::makeSaveFile({.name = "last", .blocks = 1}));
    start();
    listCard();
    // The cut-off file is named as a save and so is listed; its content is
    // refused when it is copied.
    ASSERT_EQ(names(form->ListView2).size(), 4);
    form->CopyAllToCardClick();
    EXPECT_TRUE(onCard("first"));
    EXPECT_TRUE(onCard("last"));
    EXPECT_FALSE(onCard("big"));
    ASSERT_EQ(dialogs.reports.size(), 1u);
    const QString text = dialogs.reports[0].text;
    EXPECT_TRUE(text.startsWith("2 of 4 saves copied.")) << text.toStdString();
    EXPECT_TRUE(text.contains("Not copied:"));
    EXPECT_TRUE(text.contains("2-cut.gci [")) << text.toStdString();
    EXPECT_TRUE(text.contains("3-big.gci [needs 58 blocks, 57 are free]")) << text.toStdString();
    EXPECT_FALSE(text.contains("4-last.gci"));
    EXPECT_EQ(dialogs.reports[0].title, "Copy all to card");
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_EQ(cardSaves().size(), 2u);
}

// Copy all to PC: a save whose chain is broken sits between sound ones; the
// sound ones reach the folder under emulator names, a file already there is
// kept, the broken one leaves no file and is named in the report.
TEST_F(BatchTest, CopyAllToPcLeavesNoFileForTheBrokenSave)
{
    makeCard(4);
    placeOnCard(0, {.code = "GZLE01", .name = "one", .blocks = 1, .seed = 1}, 5);
    placeOnCard(1, {.code = "GBDE01", .name = "broken", .blocks = 2, .seed = 2}, 6);
    placeOnCard(2, {.code = "GZLE01", .name = "two", .blocks = 1, .seed = 3}, 8);
    mcbtest::setMapEntryOnCard(image, 6, 0x0003);
    mcbtest::writeFile(cardPath.toStdString(), image);
    putSaveFile("01-GZLE-one.gci", {1, 2, 3});
    start();
    listCard();
    form->CopyAllToPcClick();
    ASSERT_EQ(dialogs.reports.size(), 1u);
    const QString text = dialogs.reports[0].text;
    EXPECT_TRUE(text.startsWith("2 of 3 saves copied.")) << text.toStdString();
    EXPECT_TRUE(text.contains("broken [")) << text.toStdString();
    QStringList files = QDir(form->saverDir()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"01-GZLE-one-2.gci", "01-GZLE-one.gci", "01-GZLE-two.gci"}));
    EXPECT_EQ(readFile(saver("01-GZLE-one.gci")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(readFile(saver("01-GZLE-two.gci")).size(), 64u + 8192u);
    EXPECT_EQ(names(form->ListView2).size(), 3);
}
