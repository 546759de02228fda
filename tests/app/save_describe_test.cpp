// What the lists tell of a save: the tooltip of a card save and of a save
// file, the icon beside the banner stepping at the console's speed, and the
// lists' orders.
#include "app_fixture.h"

#include "window/commands_view.h"
#include "window/icon_animation.h"
#include "window/save_order.h"
#include "window/save_tooltip.h"

#include <QMenu>
#include <QSettings>

#include <ostream>

using namespace mcbtest;

namespace {

DescribedSaveSpec spec(const std::string& code, const std::string& name, unsigned blocks,
                       uint32_t modified)
{
    DescribedSaveSpec s;
    s.save.code = code;
    s.save.name = name;
    s.save.blocks = blocks;
    s.save.seed = uint8_t(blocks + modified);
    s.commentOffset = 0x1800; // after the icon
    s.title = {'R', 'a', 'c', 'e', ' ', '<', 'b', '>'};
    s.comment = {'L', 'a', 'p', ' ', '3', ' ', 0xE9};
    s.modified = modified;
    s.bannerFlags = 0;
    s.pictureOffset = 0x40;
    s.frames = {{2, 1}, {3, 2}, {1, 3}};
    return s;
}

std::array<uint8_t, 4> opaque(uint16_t c)
{
    auto five = [](unsigned v) { return uint8_t(v << 3 | v >> 2); };
    return {five((c >> 10) & 31), five((c >> 5) & 31), five(c & 31), 255};
}

class DescribeTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        QSettings().clear();
    }
    void TearDown() override
    {
        AppTest::TearDown();
        QSettings().clear();
    }

    // A card with three saves and the same three in the save folder.
    void cardAndFolder()
    {
        makeCard(4);
        image = cardImage();
        const std::vector<DescribedSaveSpec> saves = {spec("GZZE01", "Beta", 2, 5000),
                                                      spec("GAAE01", "alpha", 1, 9000),
                                                      spec("GMMJ01", "gamma", 3, 20000)};
        unsigned first = 5;
        for (unsigned i = 0; i < saves.size(); ++i) {
            const auto bytes = makeDescribedSave(saves[i]);
            placeSave(image, i, bytes, first);
            first += saves[i].save.blocks;
            putSaveFile(QString::fromStdString(saves[i].save.name) + ".gci", bytes);
        }
        writeFile(cardPath.toStdString(), image);
    }

    QListWidgetItem* itemNamed(TSaveListView* list, const QString& name)
    {
        for (int i = 0; i < list->count(); ++i)
            if (TSaveListView::nameOf(list->item(i)) == name)
                return list->item(i);
        return nullptr;
    }
};

TEST_F(DescribeTest, TheTooltipTellsNameGameTextsDateAndBlocksOfACardSave)
{
    cardAndFolder();
    start();
    listCard();
    QListWidgetItem* item = itemNamed(form->ListView1, "Beta");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->toolTip(), "<p style='white-space:pre'><b>Beta</b><br>Game: GZZE01<br>"
                               "Title: Race &lt;b&gt;<br>Comment: Lap 3 \u00e9<br>"
                               "Date: 2000-01-01 01:23:20<br>Blocks: 2</p>");
}

TEST_F(DescribeTest, TheTooltipOfASaveFileInJapanese)
{
    cardAndFolder();
    start(0x0411);
    QListWidgetItem* item = itemNamed(form->ListView2, "gamma.gci");
    ASSERT_TRUE(item);
    // The file's game code is Japanese: its texts are read as Shift-JIS,
    // where 0xE9 begins a two-byte character that the line ends short of.
    EXPECT_EQ(item->toolTip(), "<p style='white-space:pre'><b>gamma.gci</b><br>ゲーム: GMMJ01<br>"
                               "タイトル: Race &lt;b&gt;<br>コメント: Lap 3 \ufffd<br>"
                               "日付: 2000-01-01 05:33:20<br>ブロック: 3</p>");
}

TEST_F(DescribeTest, AnUnreadableFileKeepsNameAndSizeInItsTooltip)
{
    putSaveFile("broken.gci", std::vector<uint8_t>(64 + 8192 + 10, 0));
    makeCard(4);
    start();
    QListWidgetItem* item = itemNamed(form->ListView2, "broken.gci");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->toolTip(), "<p style='white-space:pre'><b>broken.gci</b><br>Blocks: 1</p>");
}

struct FrameRow {
    const char* name;
    QList<int> delays;
    bool bounce;
    std::vector<std::pair<qint64, int>> at; // ticks, frame shown
};

void PrintTo(const FrameRow& row, std::ostream* os) { *os << row.name; }

class IconTiming : public testing::TestWithParam<FrameRow> {};

TEST_P(IconTiming, FramesAdvanceAtTheirDelays)
{
    IconFrames icon;
    icon.delays = GetParam().delays;
    icon.bounce = GetParam().bounce;
    for (int i = 0; i < icon.delays.size(); ++i)
        icon.frames.append(QImage(32, 32, QImage::Format_RGBA8888));
    for (const auto& [ticks, frame] : GetParam().at)
        EXPECT_EQ(iconFrameAt(icon, ticks), frame) << "at tick " << ticks;
}

INSTANTIATE_TEST_SUITE_P(
    BothModes, IconTiming,
    testing::Values(FrameRow{"NoFrames", {}, false, {{0, -1}, {100, -1}}},
                    FrameRow{"OneFrame", {8}, true, {{0, 0}, {7, 0}, {8, 0}, {1000, 0}}},
                    FrameRow{"Loop",
                             {4, 8, 12},
                             false,
                             {{0, 0}, {3, 0}, {4, 1}, {11, 1}, {12, 2}, {23, 2}, {24, 0}, {60, 2}}},
                    FrameRow{"BounceReverses",
                             {4, 4, 4, 4},
                             true,
                             {{0, 0}, {4, 1}, {8, 2}, {12, 3}, {16, 2}, {20, 1}, {24, 0}, {28, 1}}},
                    FrameRow{"BounceOwnDelays",
                             {4, 8, 12},
                             true,
                             {{0, 0}, {4, 1}, {12, 2}, {23, 2}, {24, 1}, {31, 1}, {32, 0}}},
                    FrameRow{"BounceTwoFrames", {4, 12}, true, {{0, 0}, {4, 1}, {15, 1}, {16, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The colour of the item's icon frame pixel (x, y) as the list shows it.
std::array<uint8_t, 4> shownIconPixel(const QListWidgetItem* item, int x, int y)
{
    const QImage shown = item->icon()
                             .pixmap(bannerWithIconSize())
                             .toImage()
                             .convertToFormat(QImage::Format_RGBA8888);
    const QColor c = shown.pixelColor(bannerWithIconSize().width() - 32 + x, y);
    return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()), uint8_t(c.alpha())};
}

TEST_F(DescribeTest, TheIconStepsBesideTheBannerAndStopsWhenSwitchedOff)
{
    cardAndFolder();
    start();
    listCard();
    QListWidgetItem* item = itemNamed(form->ListView1, "alpha");
    ASSERT_TRUE(item);
    IconAnimator* animator = IconAnimator::of(form->ListView1);
    qint64 now = 0;
    animator->clock = [&] { return now; };
    EXPECT_TRUE(animator->running());

    // Frames of 4, 8 and 12 sixtieths, in 16-bit colours, their own palette
    // and the shared one.
    const std::pair<qint64, unsigned> due[] = {{0, 0}, {5, 1}, {13, 2}, {25, 0}};
    const unsigned formats[] = {2, 3, 1};
    for (const auto& [ticks, frame] : due) {
        now = ticks;
        animator->step();
        EXPECT_EQ(item->data(TSaveListView::IconShownRole).toInt(), int(frame));
        EXPECT_EQ(shownIconPixel(item, 7, 20), opaque(madeIconColour(frame, formats[frame], 7, 20)))
            << "at tick " << ticks;
    }

    // Switched off from the menu: the first frame stays, the timer stops,
    // and the choice is kept for the next start.
    QMenu menu;
    addViewEntries(menu, form->ListView2, {form->ListView1, form->ListView2});
    QAction* animate = menu.actions().constLast();
    ASSERT_EQ(animate->text(), "Animate icons");
    ASSERT_TRUE(animate->isChecked());
    now = 14;
    animate->trigger();
    EXPECT_FALSE(animator->running());
    EXPECT_EQ(item->data(TSaveListView::IconShownRole).toInt(), 0);
    EXPECT_FALSE(IconAnimator::animateSetting());
    start();
    listCard();
    EXPECT_FALSE(IconAnimator::of(form->ListView1)->running());
}

struct OrderRow {
    const char* name;
    SaveOrder order;
    QStringList card;
    QStringList files;
};

void PrintTo(const OrderRow& row, std::ostream* os) { *os << row.name; }

class SaveOrders : public DescribeTest, public testing::WithParamInterface<OrderRow> {};

TEST_P(SaveOrders, BothListsSortFromTheMenuAndKeepTheOrder)
{
    cardAndFolder();
    start();
    listCard();
    for (TSaveListView* list : {form->ListView1, form->ListView2}) {
        QMenu menu;
        addViewEntries(menu, list, {form->ListView1, form->ListView2});
        for (QAction* a : menu.actions())
            if (a->isCheckable() && a->data().toInt() == int(GetParam().order))
                a->trigger();
    }
    EXPECT_EQ(names(form->ListView1), GetParam().card);
    EXPECT_EQ(names(form->ListView2), GetParam().files);

    // A new listing keeps the order chosen.
    start();
    listCard();
    EXPECT_EQ(names(form->ListView1), GetParam().card);
    EXPECT_EQ(names(form->ListView2), GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(EveryOrder, SaveOrders,
                         testing::Values(OrderRow{"Listed",
                                                  SaveOrder::Listed,
                                                  {"Beta", "alpha", "gamma"},
                                                  {"alpha.gci", "Beta.gci", "gamma.gci"}},
                                         OrderRow{"NameIgnoringCase",
                                                  SaveOrder::Name,
                                                  {"alpha", "Beta", "gamma"},
                                                  {"alpha.gci", "Beta.gci", "gamma.gci"}},
                                         OrderRow{"Game",
                                                  SaveOrder::Game,
                                                  {"alpha", "gamma", "Beta"},
                                                  {"alpha.gci", "gamma.gci", "Beta.gci"}},
                                         OrderRow{"NewestFirst",
                                                  SaveOrder::Date,
                                                  {"gamma", "alpha", "Beta"},
                                                  {"gamma.gci", "alpha.gci", "Beta.gci"}},
                                         OrderRow{"LargestFirst",
                                                  SaveOrder::Size,
                                                  {"gamma", "Beta", "alpha"},
                                                  {"gamma.gci", "Beta.gci", "alpha.gci"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescribeTest, SortingKeepsTheSelectionAndCommandsActOnTheSameSaves)
{
    cardAndFolder();
    start();
    listCard();
    select(form->ListView1, {"gamma"});
    setSaveOrder(form->ListView1, SaveOrder::Size);
    ASSERT_EQ(names(form->ListView1).first(), "gamma");
    EXPECT_TRUE(form->ListView1->item(0)->isSelected());
    EXPECT_FALSE(form->ListView1->item(1)->isSelected());
    const QList<CardSave> selected = form->ListView1->selectedCardSaves();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].slot, 2);
    EXPECT_EQ(selected[0].rawCode, "GMMJ01");
}

} // namespace
