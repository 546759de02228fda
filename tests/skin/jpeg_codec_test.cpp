#include "skin/jpeg_codec.h"
#include "skin/pictures.h"

#include "image_measures.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray backgroundJpeg()
{
    QFile file(QStringLiteral(":/skin/background.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage testCard()
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    QPainter p(&image);
    p.fillRect(0, 24, 64, 24, QColor(30, 60, 200));
    return image;
}

TEST(JpegDecode, TheBuiltInBackgroundDecodesAtWindowSize)
{
    const QImage background = skin::backgroundPicture();
    ASSERT_FALSE(background.isNull());
    EXPECT_EQ(background.size(), skin::cBackgroundSize);
}

TEST(JpegDecode, EncodedPictureComesBackWithItsSizeAndColours)
{
    const QByteArray jpeg = skin::encodeJpeg(testCard(), 95);
    ASSERT_FALSE(jpeg.isEmpty());
    const QImage back = skin::decodeJpeg(jpeg);
    ASSERT_EQ(back.size(), QSize(64, 48));
    const MeanColour top = meanColour(back, QRect(4, 4, 56, 16));
    const MeanColour bottom = meanColour(back, QRect(4, 28, 56, 16));
    EXPECT_NEAR(top.red, 200, 8);
    EXPECT_NEAR(top.blue, 40, 8);
    EXPECT_NEAR(bottom.blue, 200, 8);
    EXPECT_NEAR(bottom.red, 30, 8);
}

TEST(JpegDecode, CutOffOrBrokenDataGivesANullImage)
{
    const QByteArray whole = backgroundJpeg();
    ASSERT_GT(whole.size(), 1000);
    for (const qsizetype length : {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(100),
                                   whole.size() / 3, whole.size() / 2, whole.size() - 2}) {
        EXPECT_TRUE(skin::decodeJpeg(whole.left(length)).isNull())
            << "first " << length << " bytes";
    }
    EXPECT_TRUE(skin::decodeJpeg(QByteArray(4096, '\x5A')).isNull()) << "not a JPEG";

    // An end-of-image marker in the middle of the picture data.
    QByteArray interrupted = whole;
    interrupted.replace(whole.size() / 2, 2, QByteArray("\xFF\xD9", 2));
    EXPECT_TRUE(skin::decodeJpeg(interrupted).isNull());
}

TEST(JpegDecode, HeaderClaimingAHugePictureIsRefusedBeforeAllocating)
{
    QByteArray forged = skin::encodeJpeg(testCard(), 90);
    const qsizetype frame = forged.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    // Height and width follow the marker, its length and the sample precision.
    forged[frame + 5] = char(0xEA);
    forged[frame + 6] = char(0x60);
    forged[frame + 7] = char(0xEA);
    forged[frame + 8] = char(0x60);
    EXPECT_TRUE(skin::decodeJpeg(forged).isNull());
}

TEST(JpegDecode, FilesAreReadWholeAndTheirDamageCaughtToo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray whole = backgroundJpeg();
    const QString good = dir.filePath(QStringLiteral("good.jpg"));
    const QString cut = dir.filePath(QStringLiteral("cut.jpg"));
    for (const auto& [path, bytes] : {std::pair{good, whole}, std::pair{cut, whole.left(20000)}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    EXPECT_EQ(skin::decodeJpegFile(good).size(), skin::cBackgroundSize);
    EXPECT_TRUE(skin::decodeJpegFile(cut).isNull());
    EXPECT_TRUE(skin::decodeJpegFile(dir.filePath(QStringLiteral("missing.jpg"))).isNull());
}

} // namespace
