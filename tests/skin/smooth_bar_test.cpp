#include "skin/smooth_bar.h"

#include <gtest/gtest.h>

namespace {

// Rows of the rendered bar whose centre pixel shows the bright fill, and
// whether those rows form one run that ends at the bottom of the tube.
struct Fill {
    int rows = 0;
    bool fromBottom = true;
};

Fill renderedFill(skin::TSmoothBar& bar)
{
    const QImage image = bar.grab().toImage();
    Fill fill;
    bool inFill = false;
    const int x = image.width() / 2;
    for (int y = 2; y < image.height() - 2; ++y) {
        const bool lit = qGray(image.pixel(x, y)) > 120;
        if (lit) {
            ++fill.rows;
            inFill = true;
        } else if (inFill) {
            fill.fromBottom = false; // a dark row below a lit one
        }
    }
    return fill;
}

class SmoothBarTest : public ::testing::Test {
protected:
    SmoothBarTest() { bar.resize(10, 248); }
    skin::TSmoothBar bar;
    const int tube = 248 - 4;
};

TEST_F(SmoothBarTest, StartsEmptyWithMaximumTen)
{
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.maximum(), 10);
    EXPECT_EQ(bar.position(), 0);
    EXPECT_EQ(renderedFill(bar).rows, 0);
}

struct FillCase {
    const char* name;
    int min, max, position;
    double share;
};

void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

class Fills : public SmoothBarTest, public testing::WithParamInterface<FillCase> {};

TEST_P(Fills, AreProportionalAndGrowFromTheBottom)
{
    const FillCase& c = GetParam();
    bar.setRange(c.min, c.max);
    bar.setPosition(c.position);
    const Fill fill = renderedFill(bar);
    EXPECT_NEAR(fill.rows, c.share * tube, 1.0);
    EXPECT_TRUE(fill.fromBottom);
    EXPECT_EQ(fill.rows, bar.filledHeight());
}

INSTANTIATE_TEST_SUITE_P(SmoothBarTest, Fills,
                         testing::Values(FillCase{"Half", 0, 10, 5, 0.5},
                                         FillCase{"Full", 0, 10, 10, 1.0},
                                         FillCase{"OneTenth", 0, 10, 1, 0.1},
                                         FillCase{"QuarterOfARangeAwayFromZero", 20, 40, 25, 0.25},
                                         FillCase{"ThreeQuartersOfALargeRange", 0, 1019, 764, 0.75},
                                         FillCase{"MiddleOfARangeAcrossZero", -10, 10, 0, 0.5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SmoothBarTest, PositionStaysInsideTheRange)
{
    bar.setRange(0, 7);
    bar.setPosition(9);
    EXPECT_EQ(bar.position(), 7);
    bar.setPosition(-3);
    EXPECT_EQ(bar.position(), 0);
    bar.setPosition(6);
    bar.setRange(0, 4);
    EXPECT_EQ(bar.position(), 4) << "a smaller maximum pulls the position down";
    bar.setRange(10, 3);
    EXPECT_EQ(bar.maximum(), 10) << "a maximum below the minimum is raised to it";
    EXPECT_EQ(bar.position(), 10);
    EXPECT_EQ(renderedFill(bar).rows, 0) << "an empty range shows no fill";
}

TEST_F(SmoothBarTest, SteppingStopsAtTheMaximum)
{
    bar.setRange(0, 3);
    for (int i = 0; i < 5; ++i)
        bar.stepIt();
    EXPECT_EQ(bar.position(), 3);
    EXPECT_EQ(renderedFill(bar).rows, tube);
    bar.setPosition(0);
    bar.setStep(2);
    bar.stepIt();
    EXPECT_EQ(bar.position(), 2);
}

} // namespace
