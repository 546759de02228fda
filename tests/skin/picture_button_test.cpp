#include "skin/picture_button.h"

#include "image_measures.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Glyph = skin::TPictureButton::Glyph;

struct Looks {
    QImage normal;
    QImage hover;
    QImage pressed;
};

Looks renderStates(Glyph glyph)
{
    skin::TPictureButton button(glyph);
    Looks looks;
    looks.normal = button.grab().toImage();
    button.setAttribute(Qt::WA_UnderMouse, true);
    looks.hover = button.grab().toImage();
    button.setAttribute(Qt::WA_UnderMouse, false);
    button.setDown(true);
    looks.pressed = button.grab().toImage();
    return looks;
}

TEST(PictureButton, IsTwentyNinePixelsSquare)
{
    skin::TPictureButton button(Glyph::Minimise);
    button.resize(60, 40);
    EXPECT_EQ(button.size(), QSize(29, 29));
    EXPECT_EQ(button.grab().size(), QSize(29, 29));
}

TEST(PictureButton, HoverAndPressedLooksDiffer)
{
    for (const Glyph glyph : {Glyph::Close, Glyph::Minimise}) {
        const Looks looks = renderStates(glyph);
        const MeanColour normal = meanColour(looks.normal);
        const MeanColour hover = meanColour(looks.hover);
        const MeanColour pressed = meanColour(looks.pressed);
        EXPECT_GT(hover.distanceTo(normal), 15.0);
        EXPECT_GT(pressed.distanceTo(normal), 15.0);
        EXPECT_GT(pressed.distanceTo(hover), 15.0);
        EXPECT_LT(pressed.lightness(), normal.lightness());
    }
}

TEST(PictureButton, CloseWarnsInRedUnderTheMouseMinimiseStaysBlue)
{
    const MeanColour close = meanColour(renderStates(Glyph::Close).hover);
    const MeanColour minimise = meanColour(renderStates(Glyph::Minimise).hover);
    EXPECT_GT(close.red, close.blue + 40);
    EXPECT_GT(minimise.blue, minimise.red + 40);
}

TEST(PictureButton, GlyphsTellCloseFromMinimise)
{
    const QImage close = renderStates(Glyph::Close).normal;
    const QImage minimise = renderStates(Glyph::Minimise).normal;
    // The cross runs through the centre; the minimise bar sits low and leaves it clear.
    const QRect centre(12, 12, 5, 5);
    EXPECT_GT(meanColour(close, centre).lightness(), meanColour(minimise, centre).lightness() + 40);
}

TEST(PictureButton, ClickIsReported)
{
    skin::TPictureButton button(Glyph::Close);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(14, 14));
    EXPECT_EQ(clicked.count(), 1);
}

} // namespace
