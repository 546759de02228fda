// The colour set reports its changes to whoever shows it, without knowing
// who that is.
#include "editor_fixture.h"
#include "hexedit/hexcolors.h"

#include <functional>
#include <string>
#include <vector>

namespace {

struct Setter {
    const char* name;
    std::function<void(TColors&, const QColor&)> set;
    std::function<QColor(const TColors&)> get;
    TColorChange reported;
};

class ColorSetter : public ::testing::TestWithParam<Setter> {};

TEST_P(ColorSetter, ReportsAChangeOnceAndAnEqualValueNotAtAll)
{
    std::vector<TColorChange> heard;
    TColors colors([&](TColorChange aChange) { heard.push_back(aChange); });
    const QColor fresh(0x12, 0x34, 0x56);
    GetParam().set(colors, fresh);
    EXPECT_EQ(GetParam().get(colors), fresh);
    EXPECT_EQ(heard, std::vector<TColorChange>{GetParam().reported});
    GetParam().set(colors, fresh);
    EXPECT_EQ(heard.size(), 1u);
}

Setter Repaints(const char* aName, void (TColors::*aSet)(const QColor&),
                QColor (TColors::*aGet)() const)
{
    return {aName, [aSet](TColors& c, const QColor& v) { (c.*aSet)(v); },
            [aGet](const TColors& c) { return (c.*aGet)(); }, TColorChange::Repaint};
}

INSTANTIATE_TEST_SUITE_P(
    Colours, ColorSetter,
    ::testing::Values(
        Repaints("Offset", &TColors::SetOffset, &TColors::Offset),
        Repaints("OddColumn", &TColors::SetOddColumn, &TColors::OddColumn),
        Repaints("EvenColumn", &TColors::SetEvenColumn, &TColors::EvenColumn),
        Repaints("PositionBackground", &TColors::SetPositionBackground,
                 &TColors::PositionBackground),
        Repaints("CursorFrame", &TColors::SetCursorFrame, &TColors::CursorFrame),
        Repaints("ChangedText", &TColors::SetChangedText, &TColors::ChangedText),
        Repaints("PositionText", &TColors::SetPositionText, &TColors::PositionText),
        Repaints("ChangedBackground", &TColors::SetChangedBackground, &TColors::ChangedBackground),
        Setter{"Background", [](TColors& c, const QColor& v) { c.SetBackground(v); },
               [](const TColors& c) { return c.Background(); }, TColorChange::Background}),
    [](const ::testing::TestParamInfo<Setter>& aInfo) { return std::string(aInfo.param.name); });

TEST(ColorSet, TakingOverAnotherSetKeepsItsOwnListener)
{
    int mine = 0;
    int theirs = 0;
    TColors colors([&](TColorChange) { ++mine; });
    TColors other([&](TColorChange) { ++theirs; });
    other.SetOddColumn(QColor(Qt::darkGreen));
    theirs = 0;
    colors = other;
    EXPECT_EQ(colors.OddColumn(), QColor(Qt::darkGreen));
    EXPECT_EQ(colors.OddInverted(), Invert(QColor(Qt::darkGreen)));
    EXPECT_GT(mine, 0);
    EXPECT_EQ(theirs, 0);
    // A set without a listener only holds colours.
    TColors alone;
    alone.SetBackground(QColor(Qt::red));
    EXPECT_EQ(alone.Background(), QColor(Qt::red));
}

using ColorsTest = EditorTest;

TEST_F(ColorsTest, TheControlTakesANewBackgroundAsItsOwnColour)
{
    TColors set;
    set.SetBackground(QColor(Qt::yellow));
    editor.SetColors(set);
    EXPECT_EQ(editor.viewport()->palette().color(QPalette::Base), QColor(Qt::yellow));
    editor.Colors().SetBackground(QColor(Qt::cyan));
    EXPECT_EQ(editor.viewport()->palette().color(QPalette::Window), QColor(Qt::cyan));
}

} // namespace
