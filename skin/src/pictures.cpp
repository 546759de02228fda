#include "skin/pictures.h"

#include "skin/jpeg_codec.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>

namespace skin {

QImage backgroundPicture()
{
    QFile file(QStringLiteral(":/skin/background.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

QImage usbPicture()
{
    QImage image(cUsbPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Metal plug on the left, its two contact windows dark.
    const QRectF plug(1.5, 6.5, 10, 9);
    QLinearGradient metal(plug.topLeft(), plug.bottomLeft());
    metal.setColorAt(0.0, QColor(0xF2, 0xF4, 0xF7));
    metal.setColorAt(0.5, QColor(0xB4, 0xBB, 0xC6));
    metal.setColorAt(1.0, QColor(0x80, 0x88, 0x96));
    p.setPen(QPen(QColor(0x4A, 0x52, 0x60), 1.0));
    p.setBrush(metal);
    p.drawRect(plug);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x40, 0x4C));
    p.drawRect(QRectF(4, 9, 2, 2));
    p.drawRect(QRectF(4, 12, 2, 2));

    // The adapter's blue body.
    const QRectF body(11.5, 2.5, 20, 17);
    QLinearGradient blue(body.topLeft(), body.bottomLeft());
    blue.setColorAt(0.0, QColor(0x5C, 0xA4, 0xF4));
    blue.setColorAt(1.0, QColor(0x16, 0x48, 0x9C));
    p.setPen(QPen(QColor(0x0A, 0x26, 0x5C), 1.0));
    p.setBrush(blue);
    p.drawRoundedRect(body, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(13, 4, 17, 6), 2, 2);

    // The USB sign users look for on a plug: a stem with two branches.
    p.setPen(QPen(Qt::white, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(14.5, 12.5), QPointF(22.5, 12.5));
    p.drawPolyline(QPolygonF({QPointF(16.5, 12.5), QPointF(18, 9.5), QPointF(20, 9.5)}));
    p.drawPolyline(QPolygonF({QPointF(18.5, 12.5), QPointF(19.8, 15.5), QPointF(21.5, 15.5)}));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(14.5, 12.5), 1.1, 1.1);

    // The lamp: green, the card answers. Lit from the top left, like the glass of the buttons.
    QRadialGradient lamp(QPointF(27.5, 12.5), 3.4, QPointF(26.6, 11.4));
    lamp.setColorAt(0.0, QColor(0xC8, 0xFF, 0xB8));
    lamp.setColorAt(0.35, QColor(0x3C, 0xE0, 0x3C));
    lamp.setColorAt(1.0, QColor(0x0C, 0x6A, 0x14));
    p.setPen(QPen(QColor(0x06, 0x30, 0x0A), 0.8));
    p.setBrush(lamp);
    p.drawEllipse(QPointF(27.5, 12.5), 2.8, 2.8);
    return image;
}

QImage messageBoxPicture()
{
    QImage image(cMessageBoxSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(image.rect());

    // The box is borderless, so its own rim is what separates it from the window below.
    p.fillRect(all, QColor(0x0C, 0x2A, 0x62));
    const QRectF panel = all.adjusted(2, 2, -2, -2);
    QLinearGradient face(panel.topLeft(), panel.bottomLeft());
    face.setColorAt(0.0, QColor(0xFA, 0xFC, 0xFF));
    face.setColorAt(0.55, QColor(0xE4, 0xEE, 0xFA));
    face.setColorAt(1.0, QColor(0xBE, 0xD4, 0xF0));
    p.setPen(QPen(QColor(0x5C, 0x94, 0xDC), 1.0));
    p.setBrush(face);
    p.drawRect(panel.adjusted(0.5, 0.5, -0.5, -0.5));

    // A thin sheen along the top, matching the glass of the buttons.
    QLinearGradient sheen(panel.topLeft(), panel.topLeft() + QPointF(0, 6));
    sheen.setColorAt(0.0, QColor(0x9C, 0xC8, 0xFF));
    sheen.setColorAt(1.0, QColor(0x9C, 0xC8, 0xFF, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawRect(QRectF(panel.left() + 1, panel.top() + 1, panel.width() - 2, 6));
    return image;
}

} // namespace skin
