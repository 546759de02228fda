// Draws the program's icon for the desktop's icon theme: a memory card with
// its label and contacts, and two arrows for copying saves both ways. One
// list of shapes gives both the scalable picture and every bitmap size, so
// the menu shows the same card at every size.
//
// make_icon OUTDIR NAME writes OUTDIR/hicolor/scalable/apps/NAME.svg and
// OUTDIR/hicolor/SxS/apps/NAME.png for each size the theme asks for.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

constexpr double cCanvas = 256; // the shapes' coordinate space

struct Shape {
    QRectF rect; // a rounded rectangle, when polygon is empty
    double radius = 0;
    QPolygonF polygon;
    QColor fill;
    QColor stroke; // none when invalid
    double strokeWidth = 0;
};

std::vector<Shape> cardShapes()
{
    std::vector<Shape> shapes;
    const QColor outline(0x0E, 0x25, 0x50);
    // The card, its top right corner cut off the way cards are keyed.
    shapes.push_back({{},
                      0,
                      QPolygonF({{52, 20},
                                 {182, 20},
                                 {212, 50},
                                 {212, 220},
                                 {202, 236},
                                 {54, 236},
                                 {44, 226},
                                 {44, 28}}),
                      QColor(0x24, 0x55, 0xA4),
                      outline,
                      6});
    // The printed label.
    shapes.push_back({QRectF(64, 40, 124, 104), 10, {}, QColor(0xEC, 0xF1, 0xF8), {}, 0});
    // Two arrows on the label: a save goes to the PC and comes back.
    const QColor arrow(0xE2, 0x6A, 0x1C);
    shapes.push_back(
        {{},
         0,
         QPolygonF({{80, 62}, {140, 62}, {140, 50}, {170, 74}, {140, 98}, {140, 86}, {80, 86}}),
         arrow,
         {},
         0});
    shapes.push_back(
        {{},
         0,
         QPolygonF(
             {{172, 98}, {112, 98}, {112, 86}, {82, 110}, {112, 134}, {112, 122}, {172, 122}}),
         QColor(0x2E, 0x8B, 0x57),
         {},
         0});
    // The gold contacts along the bottom edge.
    for (int i = 0; i < 6; ++i)
        shapes.push_back({QRectF(66 + i * 21, 178, 14, 40),
                          3,
                          {},
                          QColor(0xF0, 0xC0, 0x40),
                          QColor(0x9A, 0x70, 0x10),
                          2});
    return shapes;
}

QString svgColour(const QColor& c) { return c.name(QColor::HexRgb); }

QString svgOf(const std::vector<Shape>& shapes)
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << cCanvas << "\" height=\""
      << cCanvas << "\" viewBox=\"0 0 " << cCanvas << ' ' << cCanvas << "\">\n";
    for (const Shape& shape : shapes) {
        const QString paint =
            QStringLiteral("fill=\"%1\"").arg(svgColour(shape.fill)) +
            (shape.stroke.isValid() ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" "
                                                     "stroke-linejoin=\"round\"")
                                          .arg(svgColour(shape.stroke))
                                          .arg(shape.strokeWidth)
                                    : QString());
        if (shape.polygon.isEmpty()) {
            s << "  <rect x=\"" << shape.rect.x() << "\" y=\"" << shape.rect.y() << "\" width=\""
              << shape.rect.width() << "\" height=\"" << shape.rect.height() << "\" rx=\""
              << shape.radius << "\" " << paint << "/>\n";
        } else {
            s << "  <polygon points=\"";
            for (qsizetype i = 0; i < shape.polygon.size(); ++i)
                s << (i ? " " : "") << shape.polygon[i].x() << ',' << shape.polygon[i].y();
            s << "\" " << paint << "/>\n";
        }
    }
    s << "</svg>\n";
    return out;
}

QImage pictureOf(const std::vector<Shape>& shapes, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / cCanvas, size / cCanvas);
    for (const Shape& shape : shapes) {
        p.setBrush(shape.fill);
        if (shape.stroke.isValid()) {
            QPen pen(shape.stroke, shape.strokeWidth);
            pen.setJoinStyle(Qt::RoundJoin);
            p.setPen(pen);
        } else {
            p.setPen(Qt::NoPen);
        }
        if (shape.polygon.isEmpty())
            p.drawRoundedRect(shape.rect, shape.radius, shape.radius);
        else
            p.drawPolygon(shape.polygon);
    }
    p.end();
    return image;
}

bool writeText(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: make_icon OUTDIR NAME\n", stderr);
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QString::fromUtf8(argv[2]);
    const std::vector<Shape> shapes = cardShapes();

    const QString scalable = root + QStringLiteral("scalable/apps/");
    if (!QDir().mkpath(scalable) ||
        !writeText(scalable + name + QStringLiteral(".svg"), svgOf(shapes))) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(scalable));
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = root + QStringLiteral("%1x%1/apps/").arg(size);
        if (!QDir().mkpath(dir) ||
            !pictureOf(shapes, size).save(dir + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
