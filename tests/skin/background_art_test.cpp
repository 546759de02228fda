#include "skin/jpeg_codec.h"
#include "skin/pictures.h"

#include "background_art.h"
#include "image_measures.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The committed picture must be what the art program draws today, so a change
// to the art that was not redrawn and committed shows up here. The words are
// left out: they depend on the fonts installed, not on the art.
TEST(BackgroundArt, CommittedPictureMatchesWhatTheArtDraws)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString redrawn = dir.filePath(QStringLiteral("background.jpg"));
    QProcess art;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    art.setProcessEnvironment(env);
    art.start(QStringLiteral(MAKE_BACKGROUND), {redrawn});
    ASSERT_TRUE(art.waitForFinished(60000));
    ASSERT_EQ(art.exitCode(), 0) << art.readAllStandardError().toStdString();

    QImage fresh = skin::decodeJpegFile(redrawn);
    QImage committed = skin::backgroundPicture();
    ASSERT_EQ(fresh.size(), skin::cBackgroundSize);
    ASSERT_EQ(committed.size(), skin::cBackgroundSize);
    // Words come out in whatever fonts the drawing machine has: their places
    // are blanked in both pictures, out to the coder's 16-pixel blocks that a
    // glyph's edge can reach.
    for (const QRect& words : backgroundTextAreas()) {
        const QRect blocks(
            QPoint(words.left() / 16 * 16, words.top() / 16 * 16),
            QPoint((words.right() / 16 + 1) * 16 - 1, (words.bottom() / 16 + 1) * 16 - 1));
        for (QImage* picture : {&fresh, &committed}) {
            QPainter blank(picture);
            blank.fillRect(blocks, Qt::black);
        }
    }
    const MeanColour a = meanColour(fresh);
    const MeanColour b = meanColour(committed);
    EXPECT_LT(a.distanceTo(b), 2.0);
    // Compare region by region as well, so a moved panel is not averaged away.
    for (int y = 0; y < 480; y += 40) {
        for (int x = 0; x < 660; x += 60) {
            const QRect cell(x, y, 60, 40);
            EXPECT_LT(meanColour(fresh, cell).distanceTo(meanColour(committed, cell)), 6.0)
                << "cell at " << x << "," << y;
        }
    }
}

} // namespace
