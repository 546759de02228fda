// The card list, the file list, and the shortcuts on them.
#include "app_fixture.h"

#include "i18n/texts.h"
#include "mcbridge/banner_encode.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/inspect.h"
#include "tools/demo_saves.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTest>

#include <ostream>

namespace {

// The top-left pixel colour of the item's banner as the list shows it.
QRgb bannerPixel(const QList<QPixmap>& pictures, const QListWidgetItem* item)
{
    const int index = item->data(TSaveListView::PictureIndexRole).toInt();
    return pictures.at(index).toImage().pixel(0, 0);
}

// Five bits a channel come back as eight without the low bits.
::testing::AssertionResult near(QRgb got, QRgb want)
{
    if (std::abs(qRed(got) - qRed(want)) <= 8 && std::abs(qGreen(got) - qGreen(want)) <= 8 &&
        std::abs(qBlue(got) - qBlue(want)) <= 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << got << " is not " << want;
}

std::vector<uint8_t> solidBannerSave(const mcbtest::SaveSpec& spec, uint16_t colour)
{
    auto f = mcbtest::makeSaveFile(spec);
    mcb::Banner b;
    b.fill(colour);
    const auto pic = mcb::encodeBanner(b, 2);
    std::copy(pic.begin(), pic.end(), f.begin() + 64 + spec.pictureOffset);
    return f;
}

} // namespace

TEST_F(AppTest, ListingShowsEachSaveWithItsOwnBanner)
{
    makeCard(4);
    image = cardImage();
    // Slots 0, 5 and 9, red, green and blue banners.
    mcbtest::placeSave(image, 0,
                       solidBannerSave({.code = "GAAE01", .name = "red", .blocks = 3}, 0x7C00), 5);
    mcbtest::placeSave(
        image, 5, solidBannerSave({.code = "GBBP01", .name = "green", .blocks = 1}, 0x03E0), 8);
    mcbtest::placeSave(image, 9,
                       solidBannerSave({.code = "GCCE01", .name = "blue", .blocks = 5}, 0x001F), 9);
    mcbtest::writeFile(cardPath.toStdString(), image);
    start();
    listCard();

    ASSERT_EQ(form->ListView1->count(), 3);
    EXPECT_EQ(names(form->ListView1), (QStringList{"red", "green", "blue"}));
    EXPECT_EQ(*form->strGameIDList, (QStringList{"GAAE01", "GBBP01", "GCCE01"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form->ListView1->item(i)->data(TSaveListView::PictureIndexRole).toInt(), i);
    EXPECT_EQ(form->ListView1->item(0)->data(TSaveListView::CaptionRole).toString(), "red\r\n(3)");
    ASSERT_EQ(form->ImageList1.size(), 3);
    EXPECT_TRUE(near(bannerPixel(form->ImageList1, form->ListView1->item(0)), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(bannerPixel(form->ImageList1, form->ListView1->item(1)), qRgb(0, 255, 0)));
    EXPECT_TRUE(near(bannerPixel(form->ImageList1, form->ListView1->item(2)), qRgb(0, 0, 255)));
    EXPECT_EQ(form->Label1->text(), "  ( 50 )BLOCK FREE");
    EXPECT_TRUE(form->MaybeOk());
    EXPECT_EQ(form->ProgressBar1->position(), 0);
}

TEST_F(AppTest, FreeBlocksCountDownFromTheCardsSize)
{
    makeCard(4);
    placeOnCard(0, {.name = "a", .blocks = 3}, 5);
    placeOnCard(1, {.name = "b", .blocks = 5}, 8);
    start();
    listCard();
    EXPECT_EQ(form->FreeBlock, 51);
    EXPECT_EQ(form->Label1->text(), "  ( 51 )BLOCK FREE");
}

namespace {

struct BrokenEntryCase {
    const char* name;
    std::vector<std::pair<unsigned, unsigned>> saves; // slot, blocks
    QStringList listed;
};

void PrintTo(const BrokenEntryCase& c, std::ostream* os) { *os << c.name; }

class ListingStops : public AppTest, public ::testing::WithParamInterface<BrokenEntryCase> {};

TEST_P(ListingStops, AtABrokenEntry)
{
    const BrokenEntryCase& c = GetParam();
    makeCard(4);
    image = cardImage();
    unsigned block = 5;
    for (auto [slot, blocks] : c.saves) {
        auto f = mcbtest::makeSaveFile(
            {.name = "s" + std::to_string(slot), .blocks = std::max(blocks, 1u)});
        mcbtest::placeSave(image, slot, f, block);
        for (int copy = 0; copy < 2; ++copy) { // make the count say what the case needs
            uint8_t* e = &image[(1 + copy) * 8192 + slot * 64];
            mcb::putBe16(e + mcb::kEntryBlockCount, uint16_t(blocks));
            mcb::Block d;
            std::copy_n(&image[(1 + copy) * 8192], 8192, d.begin());
            mcb::sealDirectory(d);
            std::copy(d.begin(), d.end(), &image[(1 + copy) * 8192]);
        }
        block = std::min(block + std::max(blocks, 1u), 60u);
    }
    mcbtest::writeFile(cardPath.toStdString(), image);
    start();
    listCard();
    EXPECT_EQ(names(form->ListView1), c.listed);
    EXPECT_EQ(form->ImageList1.size(), c.listed.size());
}

// A save of 0 blocks ends the listing; so does a count that has already used
// up more than the card holds.
INSTANTIATE_TEST_SUITE_P(
    Entries, ListingStops,
    ::testing::Values(BrokenEntryCase{"ZeroBlocks", {{0, 2}, {1, 0}, {2, 1}}, {"s0"}},
                      BrokenEntryCase{"MoreThanTheCard", {{0, 40}, {1, 30}, {2, 1}}, {"s0", "s1"}}),
    [](const ::testing::TestParamInfo<BrokenEntryCase>& info) { return info.param.name; });

} // namespace

TEST_F(AppTest, AnUnreadableDirectoryListsNothingAndSaysWhy)
{
    makeCard(8);
    placeOnCard(0, {.name = "a", .blocks = 3}, 5);
    image = cardImage();
    image[8192 + 100] ^= 1; // both directory copies damaged
    image[2 * 8192 + 100] ^= 1;
    mcbtest::writeFile(cardPath.toStdString(), image);
    start();
    listCard();
    EXPECT_EQ(form->ListView1->count(), 0);
    // Never a card with every block free: one that could not be read.
    EXPECT_EQ(form->Label1->text(), "No card read");
    EXPECT_FALSE(form->MaybeOk());
}

TEST_F(AppTest, FileListShowsNameBlocksAndBanner)
{
    makeCard();
    auto big = solidBannerSave({.name = "big", .blocks = 1}, 0x7C00);
    big.resize(16383, 0);
    putSaveFile("Big.GCI", big);
    auto small = mcbtest::makeSaveFile({.name = "small"});
    small.resize(8191);
    putSaveFile("small.gci", small); // any letter case
    putSaveFile("tiny.GCI", {1, 2, 3});
    putSaveFile("other.txt", mcbtest::makeSaveFile({}));
    QDir().mkpath(QString::fromStdString(dir.file("saver/dir.GCI")));
    start();
    EXPECT_EQ(names(form->ListView2), (QStringList{"Big.GCI", "small.gci", "tiny.GCI"}));
    EXPECT_EQ(form->ListView2->item(0)->data(TSaveListView::CaptionRole).toString(),
              "Big.GCI\r\n(1)");
    EXPECT_EQ(form->ListView2->item(1)->data(TSaveListView::CaptionRole).toString(),
              "small.gci\r\n(0)");
    // Every item keeps its own picture, a placeholder where none was made.
    ASSERT_EQ(form->ImageList2.size(), 3);
    EXPECT_TRUE(near(form->ImageList2[0].toImage().pixel(0, 0), qRgb(255, 0, 0)));
    EXPECT_FALSE(near(form->ImageList2[2].toImage().pixel(48, 16), qRgb(255, 0, 0)));
    EXPECT_FALSE(form->ListView2->item(2)->icon().isNull());
}

TEST_F(AppTest, AFileClaimingHugeBlocksIsReadSafely)
{
    makeCard();
    auto liar = mcbtest::makeSaveFile({.name = "liar", .bannerFormat = 2, .pictureOffset = 9000});
    mcb::putBe16(&liar[mcb::kEntryBlockCount], 0xFFFF);
    putSaveFile("liar.GCI", liar);
    start(); // would trip the address sanitizer if the library read past the buffer
    EXPECT_EQ(names(form->ListView2), QStringList{"liar.GCI"});
    EXPECT_EQ(form->ImageList2.size(), 1);
}

TEST_F(AppTest, NamesShowInTheirGamesEncodingAndKeepTheirBytes)
{
    makeCard(16);
    for (const demo::DemoSave& s : demo::demoSaves()) {
        image = cardImage();
        unsigned slot = unsigned(mcb::inspectCard(image).saves.size());
        unsigned block = 5 + slot * 6;
        mcbtest::placeSave(image, slot, s.bytes, block);
        mcbtest::writeFile(cardPath.toStdString(), image);
    }
    // A Windows-1252 name with a byte beyond ASCII.
    placeOnCard(5, {.code = "GXXE01", .name = "Caf\xe9", .blocks = 1}, 100);
    start();
    listCard();
    const QStringList shown = names(form->ListView1);
    EXPECT_TRUE(shown.contains(QString::fromUtf8("星の旅")));
    EXPECT_TRUE(shown.contains(QString::fromUtf8("Café")));
    const int i = int(shown.indexOf(QString::fromUtf8("星の旅")));
    EXPECT_EQ(form->ListView1->item(i)->data(TSaveListView::RawNameRole).toByteArray(),
              QByteArray("\x90\xaf\x82\xcc\x97\xb7"));
}

TEST_F(AppTest, ShortcutsBeforeAListingOnlyAskForOne)
{
    makeCard();
    placeOnCard(0, {.name = "a", .blocks = 1}, 5);
    putSaveFile("f.GCI", mcbtest::makeSaveFile({.name = "f"}));
    start();
    form->ListView1->item(0);
    form->ListView2->item(0)->setSelected(true);
    QTest::mouseDClick(form->ListView1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
    form->ListView2DblClick();
    form->ListView1DragDrop(form->ListView2);
    form->ListView2DragDrop(form->ListView1);
    EXPECT_EQ(dialogs.messages, QStringList(4, "Please List Game Saver!"));
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_EQ(mcb::inspectCard(cardImage()).saves.size(), 1u);
}

TEST_F(AppTest, ShortcutsAfterAListingCopy)
{
    makeCard();
    placeOnCard(0, {.name = "a", .blocks = 1}, 5);
    putSaveFile("f.GCI", mcbtest::makeSaveFile({.name = "f"}));
    start();
    listCard();
    // Dropping the file list on the card list copies the selected files.
    select(form->ListView2, {"f.GCI"});
    form->ListView1DragDrop(form->ListView2);
    EXPECT_EQ(names(form->ListView1), (QStringList{"a", "f"}));
    EXPECT_EQ(dialogs.messages, QStringList{"UPLOAD Complete"});
    // Double-clicking the card list copies the selected saves to files.
    select(form->ListView1, {"a"});
    dialogs.files.push_back(form->saverPath("a.GCI"));
    form->ListView1DblClick();
    EXPECT_TRUE(QFile::exists(form->saverPath("a.GCI")));
    EXPECT_TRUE(names(form->ListView2).contains("a.GCI"));
}
