// The print renderer: the text of a line, and where pages start and end on
// rendered pictures.
#include "editor_fixture.h"

#include "hexedit/hextocanvas.h"

#include <QImage>
#include <QPainter>

#include <limits>

namespace {

class HexToCanvasTest : public EditorTest {
protected:
    HexToCanvasTest() { canvas.SetHexEditor(&editor); }

    // A white page at the screen's 96 dots per inch, margins a twentieth of
    // each side, as the preview has them.
    static QImage Page(int aWidth, int aHeight)
    {
        QImage page(aWidth, aHeight, QImage::Format_RGB32);
        page.setDotsPerMeterX(3780);
        page.setDotsPerMeterY(3780);
        page.fill(Qt::white);
        return page;
    }
    void Margins(const QImage& aPage)
    {
        canvas.SetTopMargin(aPage.height() / 20);
        canvas.SetBottomMargin(aPage.height() - aPage.height() / 20);
        canvas.SetLeftMargin(aPage.width() / 20);
        canvas.SetRightMargin(aPage.width() - aPage.width() / 20);
    }
    int32_t DrawOn(QImage& aPage, int32_t aStart, int32_t aEnd, const QString& aTop = {},
                   const QString& aBottom = {})
    {
        QPainter p(&aPage);
        return canvas.Draw(p, aStart, aEnd, aTop, aBottom);
    }

    THexToCanvas canvas;
};

// The rows of the picture that hold ink, as [first, last] bands.
std::vector<std::pair<int, int>> InkBands(const QImage& aPage)
{
    std::vector<std::pair<int, int>> bands;
    bool inBand = false;
    for (int y = 0; y < aPage.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < aPage.width() && !ink; ++x)
            ink = aPage.pixel(x, y) != qRgb(255, 255, 255);
        if (ink && !inBand)
            bands.push_back({y, y});
        if (ink)
            bands.back().second = y;
        inBand = ink;
    }
    return bands;
}

// The rightmost column with ink.
int InkRight(const QImage& aPage)
{
    for (int x = aPage.width() - 1; x >= 0; --x)
        for (int y = 0; y < aPage.height(); ++y)
            if (aPage.pixel(x, y) != qRgb(255, 255, 255))
                return x;
    return -1;
}

Bytes Letters(int aSize)
{
    Bytes b(std::size_t(aSize), 0);
    for (int i = 0; i < aSize; ++i)
        b[std::size_t(i)] = uint8_t('A' + i % 26);
    return b;
}

TEST_F(HexToCanvasTest, AFullLineAfterGetLayoutHasOffsetGroupsSeparatorAndCharacters)
{
    // 4097 bytes: the last row starts at 0x1000, so the offset is 7 wide.
    Load(Letters(4097));
    editor.SetBytesPerColumn(2);
    ASSERT_EQ(editor.OffSetDisplayWidth(), 7);
    canvas.GetLayout();
    QString groups;
    for (int i = 0; i < 16; i += 2)
        groups += QStringLiteral("%1%2 ").arg('A' + i, 2, 16).arg('A' + i + 1, 2, 16).toUpper();
    EXPECT_EQ(canvas.GetOneLine(0, 4096),
              QStringLiteral("0x0000:") + groups + QStringLiteral(" ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(canvas.GetOneLine(0x20, 4096).left(7), QStringLiteral("0x0020:"));
}

struct LineFormatCase {
    const char* name;
    TOffsetDisplayStyle offset;
    TOffsetDisplayStyle bytes;
    bool swap;
    const char* expected;
};

void PrintTo(const LineFormatCase& c, std::ostream* os) { *os << c.name; }

class LineFormats : public HexToCanvasTest, public testing::WithParamInterface<LineFormatCase> {};

TEST_P(LineFormats, FillTheirWidthAndBlankPastTheEnd)
{
    const LineFormatCase& c = GetParam();
    Load({0x08, 0xAB, 0xFF, 0x41, 0x42});
    editor.SetBytesPerColumn(2);
    canvas.GetLayout();
    canvas.SetBytesPerLine(4);
    // The control's offset width is 4 for these five bytes.
    ASSERT_EQ(editor.OffSetDisplayWidth(), 4);
    // 0xAB and 0xFF are letters in Windows-1252; 0x08 is masked.
    const QString chars = QString::fromLatin1(".\xAB\xFF ");
    canvas.SetOffsetDisplay(c.offset);
    canvas.SetMemFieldDisplay(c.bytes);
    canvas.SetSwapNibbles(c.swap);
    EXPECT_EQ(canvas.GetOneLine(0, 2), QString::fromLatin1(c.expected) + chars);
}

INSTANTIATE_TEST_SUITE_P(
    HexToCanvasTest, LineFormats,
    testing::Values(LineFormatCase{"Hex", odHex, odHex, false, "0x0:08AB FF    "},
                    LineFormatCase{"HexSwapped", odHex, odHex, true, "0x0:80BA FF    "},
                    LineFormatCase{"Decimal", odDec, odDec, false, "  0:  8171 255     "},
                    LineFormatCase{"Octal", odOctal, odOctal, false, "o 00:00100253 0377      "},
                    LineFormatCase{"NoOffsetOrBytes", odNone, odNone, false, ":   "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HexToCanvasTest, SeparatorsAndTheCharacterFieldAreLeftOutWhenAskedTo)
{
    Load({0x41, 0x42});
    canvas.GetLayout();
    canvas.SetBytesPerLine(2);
    canvas.SetBytesPerColumn(1);
    canvas.SetOffsetSeparator(QChar());
    canvas.SetMemFieldSeparator(QLatin1Char(';'));
    canvas.SetCharFieldSeparator(QLatin1Char('|'));
    EXPECT_EQ(canvas.GetOneLine(0, 1), QStringLiteral("0x041 42 ;AB|"));
    canvas.SetDisplayCharField(false);
    EXPECT_EQ(canvas.GetOneLine(0, 1), QStringLiteral("0x041 42 ;"));
}

TEST_F(HexToCanvasTest, DrawRefusesWhatItCannotDraw)
{
    Load(Letters(40));
    canvas.GetLayout();
    QImage page = Page(1000, 1375);
    Margins(page);
    EXPECT_EQ(DrawOn(page, 20, 10), -1);
    EXPECT_EQ(DrawOn(page, 50, 100), -1); // past the data
    canvas.SetBytesPerLine(0);
    EXPECT_EQ(DrawOn(page, 0, 39), -1);
    THexToCanvas detached;
    QPainter p(&page);
    EXPECT_EQ(detached.Draw(p, 0, 39, {}, {}), std::numeric_limits<int32_t>::max());
}

TEST_F(HexToCanvasTest, SuccessivePagesHoldTheSameNumberOfLinesAndTheLastEndsAtTheData)
{
    Load(Letters(5000));
    canvas.GetLayout();
    canvas.SetStretchToFit(false);
    QImage first = Page(1000, 1375);
    Margins(first);
    const int32_t second = DrawOn(first, 0, 4999, QStringLiteral("head"), QStringLiteral("Page 1"));
    ASSERT_GT(second, 0);
    ASSERT_EQ(second % 16, 0);
    QImage next = Page(1000, 1375);
    const int32_t third =
        DrawOn(next, second, 4999, QStringLiteral("head"), QStringLiteral("Page 2"));
    EXPECT_EQ(third - second, second);
    // Header, every line and footer are bands of their own.
    EXPECT_EQ(InkBands(first).size(), std::size_t(second / 16 + 2));

    // A short last page: a partial line, then the end of the data.
    QImage last = Page(1000, 1375);
    EXPECT_EQ(DrawOn(last, 4992 - 16, 4999, {}, {}), 5000);
    EXPECT_EQ(InkBands(last).size(), 2u);
}

TEST_F(HexToCanvasTest, APageTooShortForOneLineDrawsOnlyHeaderAndFooter)
{
    Load(Letters(64));
    canvas.GetLayout();
    canvas.SetStretchToFit(false);
    QImage page = Page(1000, 60);
    Margins(page);
    EXPECT_EQ(DrawOn(page, 16, 63, QStringLiteral("head"), QStringLiteral("foot")), 16);
    EXPECT_EQ(InkBands(page).size(), 2u);
    // Without header and footer the same page holds a line.
    QImage bare = Page(1000, 60);
    EXPECT_GT(DrawOn(bare, 16, 63), 16);
}

TEST_F(HexToCanvasTest, LinesShrinkToTheTextWidthAndStretchToFillIt)
{
    Load(Letters(64));
    canvas.GetLayout();
    canvas.SetFont(QFont(QStringLiteral("Courier"), 40));
    QImage narrow = Page(400, 600);
    Margins(narrow);
    canvas.SetStretchToFit(false);
    ASSERT_GT(DrawOn(narrow, 0, 63), 0);
    EXPECT_LE(InkRight(narrow), canvas.RightMargin());
    EXPECT_EQ(canvas.Font().pointSize(), 40); // the renderer's own font is kept

    canvas.SetFont(QFont(QStringLiteral("Courier"), 4));
    canvas.SetStretchToFit(true);
    QImage wide = Page(1000, 600);
    Margins(wide);
    ASSERT_GT(DrawOn(wide, 0, 63), 0);
    EXPECT_LE(InkRight(wide), canvas.RightMargin());
    // Whole points only: the line may stop short of the margin by less than
    // what one point more would add.
    EXPECT_GT(InkRight(wide), canvas.RightMargin() - 100);
}

TEST_F(HexToCanvasTest, DrawingLeavesThePaintersFontAsItWas)
{
    Load(Letters(64));
    canvas.GetLayout();
    QImage page = Page(1000, 600);
    Margins(page);
    QPainter p(&page);
    const QFont before(QStringLiteral("Serif"), 31);
    p.setFont(before);
    canvas.Draw(p, 0, 63, QStringLiteral("head"), QStringLiteral("foot"));
    EXPECT_EQ(p.font(), before);
}

TEST_F(HexToCanvasTest, AScreenFontInPixelsIsTakenInPoints)
{
    QFont f(QStringLiteral("Courier New"));
    f.setPixelSize(13);
    editor.setFont(f);
    canvas.GetLayout();
    EXPECT_EQ(canvas.Font().pointSize(), 10);
}

} // namespace
