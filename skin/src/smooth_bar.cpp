#include "skin/smooth_bar.h"

#include <QLinearGradient>
#include <QPainter>

namespace skin {

TSmoothBar::TSmoothBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void TSmoothBar::setRange(int min, int max)
{
    fMin = min;
    fMax = qMax(min, max);
    setPosition(fPosition);
}

void TSmoothBar::setPosition(int position)
{
    const int clamped = qBound(fMin, position, fMax);
    if (clamped == fPosition)
        return;
    fPosition = clamped;
    update();
}

QRect TSmoothBar::tube() const { return rect().adjusted(2, 2, -2, -2); }

int TSmoothBar::filledHeight() const
{
    const qint64 span = qint64(fMax) - fMin;
    if (span <= 0)
        return 0;
    const qint64 done = qint64(fPosition) - fMin;
    return static_cast<int>((done * tube().height() + span / 2) / span);
}

QSize TSmoothBar::sizeHint() const { return {10, 248}; }

void TSmoothBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, QColor(0x05, 0x10, 0x24));
    painter.fillRect(all.adjusted(1, 1, -1, -1), QColor(0x10, 0x22, 0x44));
    // A dark groove with a lit lower edge, so the empty tube still reads as a tube.
    painter.setPen(QColor(0x3A, 0x5C, 0x90));
    painter.drawLine(all.left() + 1, all.bottom() - 1, all.right() - 1, all.bottom() - 1);

    const int filled = filledHeight();
    if (filled <= 0)
        return;
    const QRect t = tube();
    const QRect fill(t.left(), t.bottom() - filled + 1, t.width(), filled);
    QLinearGradient glass(fill.topLeft(), fill.topRight());
    glass.setColorAt(0.0, QColor(0x2A, 0x8C, 0xF0));
    glass.setColorAt(0.35, QColor(0xB8, 0xEC, 0xFF));
    glass.setColorAt(1.0, QColor(0x1E, 0x62, 0xC8));
    painter.fillRect(fill, glass);
    painter.setPen(QColor(0xE8, 0xFA, 0xFF));
    painter.drawLine(fill.left(), fill.top(), fill.right(), fill.top());
}

} // namespace skin
