// Colours and the caret as they come out on a rendered image of the control.
#include "editor_fixture.h"

#include <QImage>

#include <ostream>
#include <string>

namespace {

// The pixel of a cell that differs most from its background: the text.
QColor Ink(const QImage& aImage, const QRect& aCell, const QColor& aBackground)
{
    QColor best = aBackground;
    int bestDistance = -1;
    for (int y = aCell.top(); y <= aCell.bottom(); ++y) {
        for (int x = aCell.left(); x <= aCell.right(); ++x) {
            const QColor c = aImage.pixelColor(x, y);
            const int d = std::abs(c.red() - aBackground.red()) +
                          std::abs(c.green() - aBackground.green()) +
                          std::abs(c.blue() - aBackground.blue());
            if (d > bestDistance) {
                bestDistance = d;
                best = c;
            }
        }
    }
    return best;
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) <= 24 && std::abs(a.green() - b.green()) <= 24 &&
           std::abs(a.blue() - b.blue()) <= 24;
}

std::string Show(const QColor& c) { return c.name().toStdString(); }

#define EXPECT_COLOR(actual, expected)                                                             \
    EXPECT_TRUE(Near(actual, expected))                                                            \
        << #actual << " is " << Show(actual) << ", not " << Show(expected)

class PaintTest : public EditorTest {
protected:
    PaintTest()
    {
        editor.Colors().SetBackground(Qt::white);
        editor.SetFontColor(Qt::black);
        // Without smoothing every glyph pixel is the pen colour itself, in
        // whichever monospace face this machine picks for the control, so a
        // thin face's grey edges cannot pass for a wrong colour.
        QFont font = editor.font();
        font.setStyleStrategy(QFont::NoAntialias);
        editor.setFont(font);
    }
    QImage Shot() { return editor.viewport()->grab().toImage(); }
    QRect Cell(int32_t aPos, bool aChars, int aNibble = 0)
    {
        const TLongPoint p = editor.GetCursorAtPos(aPos, aChars);
        return editor.CellRect(p.x + aNibble, p.y);
    }
    // The bottom line of a cell lies below its text and its caret.
    QColor Back(const QImage& aImage, const QRect& aCell)
    {
        return aImage.pixelColor(aCell.left() + aCell.width() / 2, aCell.bottom());
    }
};

TEST_F(PaintTest, HexDigitsTakeTheirGroupColours)
{
    Load(Bytes(32, 0x88));
    CaretTo(31, true);
    const QImage img = Shot();
    const QColor blue = ColorFromBGR(0xFF0000);
    const QColor navy = ColorFromBGR(0x800000);
    for (int32_t pos : {0, 3, 8, 11}) {
        const QRect cell = Cell(pos, false);
        EXPECT_COLOR(Back(img, cell), QColor(Qt::white));
        EXPECT_COLOR(Ink(img, cell, Qt::white), pos < 4 || pos >= 8 ? blue : navy) << pos;
    }
    EXPECT_COLOR(Ink(img, Cell(4, false), Qt::white), navy);
    EXPECT_COLOR(Ink(img, Cell(2, true), Qt::white), QColor(Qt::black));
    EXPECT_COLOR(Ink(img, editor.CellRect(0, 0), Qt::white), QColor(Qt::black));
}

TEST_F(PaintTest, ChangedAndSelectedBytesSwapTheirColours)
{
    Load(Bytes(32, 0x00));
    CaretTo(2);
    Type("88");
    CaretTo(20);
    editor.SetSelStart(1);
    editor.SetSelEnd(3);
    const QImage img = Shot();
    const QColor paleYellow = ColorFromBGR(0xA8FFFF);
    const QColor maroon = ColorFromBGR(0x000080);
    const QColor blue = ColorFromBGR(0xFF0000);

    // Changed, not selected.
    editor.ResetSelection(true);
    const QImage plain = Shot();
    EXPECT_COLOR(Back(plain, Cell(2, false)), paleYellow);
    EXPECT_COLOR(Ink(plain, Cell(2, false), paleYellow), maroon);
    EXPECT_COLOR(Back(plain, Cell(2, true)), paleYellow);

    // Selected and unchanged: group colour behind its inverse.
    EXPECT_COLOR(Back(img, Cell(3, false)), blue);
    EXPECT_COLOR(Ink(img, Cell(3, false), blue), QColor(255, 255, 0));
    // Selected and changed: the changed colours swapped.
    EXPECT_COLOR(Back(img, Cell(2, false)), maroon);
    EXPECT_COLOR(Ink(img, Cell(2, false), maroon), paleYellow);
    // Selected characters: font colour behind background colour.
    EXPECT_COLOR(Back(img, Cell(3, true)), QColor(Qt::black));
    EXPECT_COLOR(Ink(img, Cell(3, true), Qt::black), QColor(Qt::white));
    // Past the selection nothing changes.
    EXPECT_COLOR(Back(img, Cell(4, false)), QColor(Qt::white));
}

TEST_F(PaintTest, MarkersShowTheirDigitInThePositionColours)
{
    Load(Bytes(64, 0));
    editor.SetMarker(7, 2);
    const QImage img = Shot();
    const QRect mark = editor.CellRect(1, 2);
    const QColor maroon = ColorFromBGR(0x000080);
    EXPECT_COLOR(Back(img, mark), maroon);
    EXPECT_COLOR(Ink(img, mark, maroon), QColor(Qt::white));
    EXPECT_COLOR(Ink(img, editor.CellRect(1, 1), Qt::white), QColor(Qt::white));
}

// Where a caret style paints and where it leaves the cell alone, by the
// cell's line height.
struct CaretCase {
    const char* name;
    TCaretStyle style;
    QPoint (*inside)(int aHeight);
    QPoint (*outside)(int aHeight);
};

void PrintTo(const CaretCase& c, std::ostream* os) { *os << c.name; }

class CaretPaint : public PaintTest, public ::testing::WithParamInterface<CaretCase> {};

TEST_P(CaretPaint, InvertsItsPartOfTheCell)
{
    Load(Bytes(16, 0x00));
    CaretTo(5);
    ASSERT_TRUE(editor.hasFocus());
    const QRect cell = Cell(5, false);
    const int h = editor.CharHeight();
    editor.SetCaretStyle(GetParam().style);
    const QImage img = Shot();
    EXPECT_COLOR(img.pixelColor(cell.topLeft() + GetParam().inside(h)), ColorFromBGR(0x800000));
    EXPECT_COLOR(img.pixelColor(cell.topLeft() + GetParam().outside(h)), QColor(Qt::white));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CaretPaint,
    ::testing::Values(CaretCase{"Full", csFull, [](int) { return QPoint(2, 1); },
                                [](int h) { return QPoint(2, h - 1); }},
                      CaretCase{"LeftLine", csLeftLine, [](int h) { return QPoint(0, h / 2); },
                                [](int) { return QPoint(4, 1); }},
                      CaretCase{"BottomLine", csBottomLine, [](int h) { return QPoint(3, h - 3); },
                                [](int) { return QPoint(3, 1); }}),
    [](const ::testing::TestParamInfo<CaretCase>& info) { return std::string(info.param.name); });

TEST_F(PaintTest, TheCaretTakesTheCursorFrameColour)
{
    Load(Bytes(16, 0x00));
    CaretTo(5);
    editor.Colors().SetCursorFrame(QColor(Qt::red));
    editor.SetCaretStyle(csFull);
    EXPECT_COLOR(Shot().pixelColor(Cell(5, false).topLeft() + QPoint(2, 1)), QColor(Qt::red));
}

TEST_F(PaintTest, TheOtherFieldShowsTheCaretByteFramed)
{
    Load(Bytes(16, 0x00));
    editor.SetFocusFrame(false);
    editor.Colors().SetCursorFrame(QColor(Qt::green));
    CaretTo(6);
    const QRect other = Cell(6, true);
    const QImage img = Shot();
    EXPECT_COLOR(img.pixelColor(other.left(), other.top() + other.height() / 2), QColor(Qt::green));
    EXPECT_COLOR(img.pixelColor(other.left() + editor.CharWidth() - 1, other.top() + 1),
                 QColor(Qt::green));
    const QRect notOther = Cell(7, true);
    EXPECT_COLOR(img.pixelColor(notOther.left(), notOther.top() + 1), QColor(Qt::white));
}

TEST_F(PaintTest, ColoursFollowTheirProperties)
{
    Load(Bytes(16, 0x00));
    CaretTo(15, true);
    editor.Colors().SetOddColumn(QColor(Qt::darkGreen));
    editor.Colors().SetBackground(QColor(Qt::lightGray));
    EXPECT_EQ(editor.Colors().OddInverted(), Invert(QColor(Qt::darkGreen)));
    const QImage img = Shot();
    EXPECT_COLOR(Back(img, Cell(0, false)), QColor(Qt::lightGray));
    EXPECT_COLOR(Ink(img, Cell(0, false), Qt::lightGray), QColor(Qt::darkGreen));
    // Past the last byte the cells are blank background.
    editor.SetBytesPerLine(20);
    const QImage wide = Shot();
    EXPECT_COLOR(Ink(wide, editor.CellRect(2 + 2 * 18, 0), Qt::lightGray), QColor(Qt::lightGray));
}

TEST_F(PaintTest, EmptyContentShowsOnlyTheFirstOffset)
{
    editor.CreateEmptyFile(QStringLiteral("Untitled"));
    const QImage img = Shot();
    EXPECT_COLOR(Ink(img, editor.CellRect(0, 0), Qt::white), QColor(Qt::black));
    EXPECT_COLOR(Ink(img, editor.CellRect(3, 0), Qt::white), QColor(Qt::white));
    EXPECT_TRUE(editor.CellRect(2, 1).isEmpty());
}

} // namespace
