#include "skin/jpeg_codec.h"
#include "skin/pictures.h"

#include "image_measures.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The committed picture must be what the art program draws today, so a change
// to the art that was not redrawn and committed shows up here.
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

    const QImage fresh = skin::decodeJpegFile(redrawn);
    const QImage committed = skin::backgroundPicture();
    ASSERT_EQ(fresh.size(), skin::cBackgroundSize);
    ASSERT_EQ(committed.size(), skin::cBackgroundSize);
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
