#include "skin/blue_glass_style.h"
#include "skin/japanese_font.h"

#include "i18n/captions.h"

#include "image_measures.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Looks {
    QImage normal;
    QImage hover;
    QImage pressed;
    QImage disabled;
};

Looks renderStates(const QString& caption)
{
    QPushButton button(caption);
    button.setStyle(skin::blueGlassStyle());
    button.resize(137, 27);
    Looks looks;
    looks.normal = button.grab().toImage();
    button.setAttribute(Qt::WA_UnderMouse, true);
    looks.hover = button.grab().toImage();
    button.setAttribute(Qt::WA_UnderMouse, false);
    button.setDown(true);
    looks.pressed = button.grab().toImage();
    button.setDown(false);
    button.setEnabled(false);
    looks.disabled = button.grab().toImage();
    return looks;
}

// Pixels where the caption stands out from the same face without it.
int captionPixels(const QImage& captioned, const QImage& blank)
{
    int count = 0;
    for (int y = 0; y < captioned.height(); ++y) {
        for (int x = 0; x < captioned.width(); ++x) {
            const QRgb a = captioned.pixel(x, y);
            const QRgb b = blank.pixel(x, y);
            count += qAbs(qGray(a) - qGray(b)) > 60;
        }
    }
    return count;
}

TEST(BlueGlass, EveryStateHasItsOwnLook)
{
    const Looks looks = renderStates(QStringLiteral("LIST GAME SAVER"));
    const MeanColour normal = meanColour(looks.normal);
    const MeanColour hover = meanColour(looks.hover);
    const MeanColour pressed = meanColour(looks.pressed);
    const MeanColour disabled = meanColour(looks.disabled);

    EXPECT_GT(hover.lightness(), normal.lightness() + 10) << "the button under the mouse lights up";
    EXPECT_LT(pressed.lightness(), normal.lightness() - 10) << "a pressed button darkens";
    EXPECT_LT(disabled.saturation(), normal.saturation() / 2) << "a disabled button greys out";
    EXPECT_GT(normal.blue, normal.red + 60) << "the face is blue";
    const MeanColour all[] = {normal, hover, pressed, disabled};
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b)
            EXPECT_GT(all[a].distanceTo(all[b]), 15.0) << a << " vs " << b;
    }
}

TEST(BlueGlass, CaptionIsDrawnInEveryState)
{
    const Looks captioned = renderStates(QStringLiteral("BACKUP CARD"));
    const Looks blank = renderStates(QString());
    EXPECT_GT(captionPixels(captioned.normal, blank.normal), 60);
    EXPECT_GT(captionPixels(captioned.hover, blank.hover), 60);
    EXPECT_GT(captionPixels(captioned.pressed, blank.pressed), 60);
    EXPECT_GT(captionPixels(captioned.disabled, blank.disabled), 60);
}

TEST(BlueGlass, MovingTheMouseOntoAButtonLightsIt)
{
    QWidget window;
    window.resize(300, 80);
    auto* button = new QPushButton(QStringLiteral("CLOSE"), &window);
    button->setStyle(skin::blueGlassStyle());
    button->setGeometry(20, 20, 137, 27);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseMove(&window, QPoint(250, 70));
    const double away = meanColour(button->grab().toImage()).lightness();
    QTest::mouseMove(button, QPoint(60, 13));
    QCoreApplication::processEvents();
    EXPECT_GT(meanColour(button->grab().toImage()).lightness(), away + 10);
    QTest::mouseMove(&window, QPoint(250, 70));
    QCoreApplication::processEvents();
    EXPECT_NEAR(meanColour(button->grab().toImage()).lightness(), away, 1.0);
}

// How wide a caption is depends on the fonts this machine has, so the fit is
// judged against the font's own measure: a caption that fits as designed
// keeps the designed size, and one that does not shrinks until it fits or
// reaches the smallest legible size.
constexpr int cButtonWidth = 137;
constexpr int cRoom = cButtonWidth - 2 * skin::cCaptionMargin;

int captionWidth(const QFont& font, const QString& caption)
{
    return QFontMetrics(font).size(Qt::TextShowMnemonic, caption).width();
}

void expectFitted(const QFont& font, const QString& caption)
{
    QFont asDesigned = font;
    asDesigned.setWeight(QFont::DemiBold);
    const QFont fitted = skin::fittedCaptionFont(font, caption, cButtonWidth);
    EXPECT_EQ(fitted.families(), font.families()) << caption.toStdString();
    if (captionWidth(asDesigned, caption) <= cRoom) {
        EXPECT_EQ(QFontInfo(fitted).pixelSize(), QFontInfo(font).pixelSize())
            << caption.toStdString() << " fits as designed but was shrunk";
        return;
    }
    EXPECT_LT(QFontInfo(fitted).pixelSize(), QFontInfo(font).pixelSize()) << caption.toStdString();
    EXPECT_GE(QFontInfo(fitted).pixelSize(), skin::cMinCaptionPixels) << caption.toStdString();
    EXPECT_TRUE(captionWidth(fitted, caption) <= cRoom ||
                QFontInfo(fitted).pixelSize() == skin::cMinCaptionPixels)
        << caption.toStdString() << " neither fits nor reached the smallest size";
    // One pixel larger would not have fitted: it shrank no further than needed.
    QFont larger = fitted;
    larger.setPixelSize(QFontInfo(fitted).pixelSize() + 1);
    EXPECT_GT(captionWidth(larger, caption), cRoom) << caption.toStdString();
}

TEST(CaptionFit, EveryCaptionOfEveryLanguageFitsItsButton)
{
    // The window's designed font; under Japanese the same font with Japanese glyphs.
    const QFont designed(QStringLiteral("MS Sans Serif"), 8);
    for (const i18n::Language language :
         {i18n::Language::English, i18n::Language::TraditionalChinese,
          i18n::Language::SimplifiedChinese, i18n::Language::Japanese}) {
        const QFont font =
            language == i18n::Language::Japanese ? skin::withJapaneseGlyphs(designed) : designed;
        for (const auto& entry : i18n::captionsFor(language))
            expectFitted(font, entry.caption.toString());
    }
}

TEST(CaptionFit, TooLongCaptionShrinksButNotBelowLegible)
{
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(14);
    QFont asDesigned = font;
    asDesigned.setWeight(QFont::DemiBold);
    // Words are added until the caption no longer fits at the designed size,
    // measured in whatever face this machine gives for the family.
    const QStringList words = QStringLiteral("REGION CHANGE NOW FOR THE WHOLE CARD").split(' ');
    QString caption;
    for (const QString& word : words) {
        caption += (caption.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        if (captionWidth(asDesigned, caption) > cRoom)
            break;
    }
    ASSERT_GT(captionWidth(asDesigned, caption), cRoom) << caption.toStdString();
    expectFitted(font, caption);

    const QFont floor = skin::fittedCaptionFont(font, caption.repeated(8), cButtonWidth);
    EXPECT_EQ(QFontInfo(floor).pixelSize(), skin::cMinCaptionPixels);
}

} // namespace
