#include "image_measures.h"

#include <algorithm>
#include <cmath>

double MeanColour::saturation() const
{
    return std::max({red, green, blue}) - std::min({red, green, blue});
}

double MeanColour::distanceTo(const MeanColour& other) const
{
    return std::hypot(red - other.red, green - other.green, blue - other.blue);
}

MeanColour meanColour(const QImage& image, const QRect& area)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRect r = area.intersected(rgb.rect());
    MeanColour mean;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            mean.red += qRed(p);
            mean.green += qGreen(p);
            mean.blue += qBlue(p);
        }
    }
    const double count = std::max<qsizetype>(1, qsizetype(r.width()) * r.height());
    mean.red /= count;
    mean.green /= count;
    mean.blue /= count;
    return mean;
}

MeanColour meanColour(const QImage& image) { return meanColour(image, image.rect()); }

namespace {

double channel(double value)
{
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(double r, double g, double b)
{
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

double ratio(double la, double lb) { return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05); }

} // namespace

double contrastRatio(QRgb a, QRgb b)
{
    return ratio(luminance(qRed(a), qGreen(a), qBlue(a)), luminance(qRed(b), qGreen(b), qBlue(b)));
}

double contrastRatio(QRgb a, const MeanColour& b)
{
    return ratio(luminance(qRed(a), qGreen(a), qBlue(a)), luminance(b.red, b.green, b.blue));
}
