#pragma once

// Measures taken on rendered pictures, so the tests compare looks by numbers.

#include <QColor>
#include <QImage>
#include <QRect>

struct MeanColour {
    double red = 0;
    double green = 0;
    double blue = 0;

    double lightness() const { return (red + green + blue) / 3.0; }
    // Spread between the strongest and weakest channel: zero for grey.
    double saturation() const;
    double distanceTo(const MeanColour& other) const;
};

MeanColour meanColour(const QImage& image, const QRect& area);
MeanColour meanColour(const QImage& image);

// WCAG contrast ratio of two colours: 1 for equal, 21 for black on white.
double contrastRatio(QRgb a, QRgb b);
double contrastRatio(QRgb a, const MeanColour& b);
