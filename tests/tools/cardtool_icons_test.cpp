// cardtool icons: every frame as a PNG picture another decoder reads back
// pixel for pixel, and the animated picture's frames, delays and order.
#include "mcbridge/format.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>
#include <zlib.h>

#include <ostream>
#include <string>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

uint32_t be32(const QByteArray& b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
           uint32_t(uint8_t(b[at + 2])) << 8 | uint8_t(b[at + 3]);
}

struct Chunk {
    QByteArray type;
    QByteArray data;
};

// The chunks of a PNG file, each checked against its CRC.
std::vector<Chunk> chunksOf(const QByteArray& file)
{
    std::vector<Chunk> chunks;
    qsizetype at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = be32(file, at);
        Chunk c{file.mid(at + 4, 4), file.mid(at + 8, length)};
        const QByteArray typed = file.mid(at + 4, 4 + length);
        const uLong crc =
            crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()));
        EXPECT_EQ(be32(file, at + 8 + length), uint32_t(crc)) << c.type.constData();
        chunks.push_back(c);
        at += 12 + length;
    }
    return chunks;
}

QByteArray chunkBytes(const char* type, const QByteArray& data)
{
    QByteArray out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char(data.size() >> shift));
    const QByteArray typed = QByteArray(type) + data;
    out.append(typed);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char(crc >> shift));
    return out;
}

// One frame of an animated PNG as a still PNG of its own, for a decoder that
// knows only still pictures: the header, then the frame's data as the image.
QImage stillOf(const QByteArray& ihdr, const QByteArray& frameData)
{
    const QByteArray file = QByteArray("\x89PNG\r\n\x1A\n", 8) + chunkBytes("IHDR", ihdr) +
                            chunkBytes("IDAT", frameData) + chunkBytes("IEND", {});
    return QImage::fromData(file, "PNG").convertToFormat(QImage::Format_RGBA8888);
}

std::array<uint8_t, 4> opaque(uint16_t c)
{
    auto five = [](unsigned v) { return uint8_t(v << 3 | v >> 2); };
    return {five((c >> 10) & 31), five((c >> 5) & 31), five(c & 31), 255};
}

// Pixels of image that differ from made frame source in format.
unsigned wrongPixels(const QImage& image, unsigned source, unsigned format)
{
    if (image.width() != 32 || image.height() != 32)
        return 32 * 32;
    unsigned wrong = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c = image.pixelColor(x, y);
            const auto want = opaque(madeIconColour(source, format, unsigned(x), unsigned(y)));
            wrong += std::array<uint8_t, 4>{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()),
                                            uint8_t(c.alpha())} != want;
        }
    return wrong;
}

struct IconsRow {
    const char* name;
    uint8_t bannerFlags;
    std::vector<MadeFrame> frames;
    std::vector<unsigned> shown;   // frame numbers in the animated picture, once round
    std::vector<unsigned> picture; // frame whose picture each frame shows
};

void PrintTo(const IconsRow& row, std::ostream* os) { *os << row.name; }

class Icons : public testing::TestWithParam<IconsRow> {};

TEST_P(Icons, EveryFrameAndTheAnimationDecodePixelExact)
{
    const IconsRow& row = GetParam();
    DescribedSaveSpec spec;
    spec.save.blocks = 4;
    spec.bannerFlags = row.bannerFlags;
    spec.frames = row.frames;
    const std::vector<uint8_t> save = makeDescribedSave(spec);
    TempDir dir;
    std::vector<uint8_t> image = mcb::formatCard(mcb::FormatOptions{});
    placeSave(image, 3, save, 10);
    writeFile(dir.file("card.raw"), image);
    writeFile(dir.file("s.gci"), save);

    for (const std::string& from : {"--device image:" + dir.file("card.raw") + " icons 3 ",
                                    "icons " + dir.file("s.gci") + " "}) {
        SCOPED_TRACE(from);
        const std::string out = dir.file(from[0] == '-' ? "card" : "file");
        const Result r = cardtool(from + out);
        ASSERT_EQ(r.status, 0) << r.out;

        auto formatOf = [&](unsigned i) { return row.frames[row.picture[i]].format; };
        for (unsigned i = 0; i < row.frames.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%02u.png", i);
            QImage frame(QString::fromStdString(out + name));
            ASSERT_FALSE(frame.isNull()) << name;
            EXPECT_EQ(wrongPixels(frame.convertToFormat(QImage::Format_RGBA8888), row.picture[i],
                                  formatOf(i)),
                      0u)
                << name;
        }

        const auto bytes = readFile(out + "/animated.png");
        const QByteArray file(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        ASSERT_TRUE(file.startsWith(QByteArray("\x89PNG\r\n\x1A\n", 8)));
        const std::vector<Chunk> chunks = chunksOf(file);
        ASSERT_GE(chunks.size(), 3u);
        ASSERT_EQ(chunks[0].type, "IHDR");
        ASSERT_EQ(chunks[1].type, "acTL");
        EXPECT_EQ(be32(chunks[1].data, 0), row.shown.size());
        EXPECT_EQ(be32(chunks[1].data, 4), 0u) << "plays for ever";

        // Each frame: its control (delay in sixtieths) and its data.
        uint32_t sequence = 0;
        std::size_t shown = 0;
        for (std::size_t i = 2; i < chunks.size(); ++i) {
            const Chunk& c = chunks[i];
            if (c.type == "fcTL") {
                ASSERT_LT(shown, row.shown.size());
                EXPECT_EQ(be32(c.data, 0), sequence++);
                const unsigned made = row.shown[shown];
                EXPECT_EQ(uint8_t(c.data[20]) << 8 | uint8_t(c.data[21]),
                          int(4 * row.frames[made].delay));
                EXPECT_EQ(uint8_t(c.data[22]) << 8 | uint8_t(c.data[23]), 60);
                const Chunk& d = chunks.at(i + 1);
                QByteArray data = d.data;
                if (shown == 0) {
                    EXPECT_EQ(d.type, "IDAT") << "the first frame is the still picture";
                } else {
                    EXPECT_EQ(d.type, "fdAT");
                    EXPECT_EQ(be32(d.data, 0), sequence++);
                    data = d.data.mid(4);
                }
                EXPECT_EQ(
                    wrongPixels(stillOf(chunks[0].data, data), row.picture[made], formatOf(made)),
                    0u)
                    << "shown frame " << shown;
                ++shown;
            }
        }
        EXPECT_EQ(shown, row.shown.size());
        EXPECT_EQ(chunks.back().type, "IEND");
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, Icons,
    testing::Values(
        IconsRow{"DirectColour", 0, {{2, 1}}, {0}, {0}},
        IconsRow{"OwnPalette", 1, {{3, 2}}, {0}, {0}},
        IconsRow{"SharedPaletteLooping", 2, {{1, 3}, {1, 1}, {1, 2}}, {0, 1, 2}, {0, 1, 2}},
        IconsRow{
            "BounceMixed", 4, {{1, 1}, {2, 2}, {3, 3}, {2, 1}}, {0, 1, 2, 3, 2, 1}, {0, 1, 2, 3}},
        IconsRow{"BounceTwoFrames", 5, {{3, 1}, {2, 3}}, {0, 1}, {0, 1}},
        IconsRow{"BlankFrameShowsTheNext", 0, {{2, 1}, {0, 2}, {3, 3}}, {0, 1, 2}, {0, 2, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
