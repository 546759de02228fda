#include "skin/pictures.h"

#include "image_measures.h"

#include <gtest/gtest.h>

namespace {

// Where the main window writes its card size and status line.
const QRect cStatusText(216, 347, 260, 16);
// Where the message box writes its message.
const QRect cMessageText(0, 8, 249, 36);

TEST(Background, StatusTextsReadOnTheStatusStrip)
{
    const QImage background = skin::backgroundPicture();
    ASSERT_FALSE(background.isNull());
    const MeanColour strip = meanColour(background, cStatusText);
    EXPECT_GE(contrastRatio(skin::cStatusBusy, strip), 4.5);
    EXPECT_GE(contrastRatio(skin::cStatusIdle, strip), 4.5);
}

TEST(Background, CaptionsAndGlyphsReadAroundTheControls)
{
    // White button glyphs and the title stand on the dark parts of the skin:
    // the title bar behind the close and minimise buttons, and the button deck.
    const QImage background = skin::backgroundPicture();
    ASSERT_FALSE(background.isNull());
    EXPECT_GE(contrastRatio(qRgb(255, 255, 255), meanColour(background, QRect(560, 0, 100, 36))),
              3.0);
    EXPECT_GE(contrastRatio(qRgb(255, 255, 255), meanColour(background, QRect(16, 465, 628, 14))),
              4.5);
}

TEST(SmallPictures, UsbPictureIsItsSizeWithAClearSurround)
{
    const QImage usb = skin::usbPicture();
    ASSERT_EQ(usb.size(), skin::cUsbPictureSize);
    EXPECT_EQ(qAlpha(usb.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(usb.pixel(32, 21)), 0);
    EXPECT_EQ(qAlpha(usb.pixel(20, 11)), 255);
    // The lamp is lit green: the card answers.
    const MeanColour lamp = meanColour(usb, QRect(27, 12, 2, 2));
    EXPECT_GT(lamp.green, lamp.red + 60);
    EXPECT_GT(lamp.green, lamp.blue + 60);
}

TEST(SmallPictures, MessageBoxTextReadsOnItsBackground)
{
    const QImage box = skin::messageBoxPicture();
    ASSERT_EQ(box.size(), skin::cMessageBoxSize);
    EXPECT_GE(contrastRatio(qRgb(0, 0, 0), meanColour(box, cMessageText)), 12.0);
    // The rim sets the borderless box apart from the light list below it.
    EXPECT_GE(contrastRatio(qRgb(0xF4, 0xF8, 0xFD), box.pixel(0, 44)), 7.0);
}

} // namespace
