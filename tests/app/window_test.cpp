// Where the main window opens and that its size is its own.
#include "app_fixture.h"

#include "window/window_placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

struct PlacementCase {
    const char* name;
    QSize window;
    QRect available;
    QPoint expected;
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, CentredAndNeverWithTheTitleGlyphsOffTheScreen)
{
    const PlacementCase& c = GetParam();
    const QPoint at = windowPlacement(c.window, c.available);
    EXPECT_EQ(at, c.expected);
    // The top edge and the right edge, where close and minimise are, stay on.
    EXPECT_GE(at.y(), c.available.y());
    EXPECT_LE(at.x() + c.window.width(), c.available.x() + c.available.width());
    EXPECT_GE(at.x() + c.window.width() - 70, c.available.x());
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, Placement,
    ::testing::Values(PlacementCase{"RoomyScreen", {660, 480}, {0, 0, 1024, 768}, {182, 144}},
                      // A panel on top and one on the left: the free area, not the screen.
                      PlacementCase{"PanelsTakeRoom", {660, 480}, {64, 32, 960, 736}, {214, 160}},
                      PlacementCase{"SecondScreen", {660, 480}, {1920, 0, 1280, 1024}, {2230, 272}},
                      // 1024 x 768 at scale factor 2: 512 x 384 of room for 660 x 480.
                      PlacementCase{
                          "DoubledOnASmallScreen", {660, 480}, {0, 0, 512, 384}, {-148, 0}},
                      PlacementCase{"ExactFit", {660, 480}, {10, 20, 660, 480}, {10, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppTest, TheWindowHasAFixedSizeAndOpensCentred)
{
    makeCard();
    start();
    // The window manager is told it cannot resize the window.
    EXPECT_EQ(form->minimumSize(), QSize(660, 480));
    EXPECT_EQ(form->maximumSize(), QSize(660, 480));
    form->resize(900, 700);
    EXPECT_EQ(form->size(), QSize(660, 480));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form->pos(), windowPlacement(form->size(), screen));
}

} // namespace
