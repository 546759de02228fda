#include "background_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace {

// Where the main window puts its other controls; the picture frames these
// places too.
constexpr QRect cProgressBar(326, 59, 10, 248);
constexpr QRect cStatusStrip(170, 337, 320, 34);
constexpr QSize cButton(137, 27);
constexpr std::array<QPoint, 10> cButtons = {{
    {25, 339},
    {26, 380},
    {176, 380},
    {340, 381},
    {498, 380},
    {26, 421},
    {176, 421},
    {341, 422},
    {498, 422},
    {498, 340},
}};

const QColor cRim(0x6A, 0xA8, 0xFF);

void paintBackdrop(QPainter& p, const QRect& all)
{
    QLinearGradient night(all.topLeft(), all.bottomLeft());
    night.setColorAt(0.0, QColor(0x10, 0x24, 0x48));
    night.setColorAt(0.5, QColor(0x15, 0x30, 0x5E));
    night.setColorAt(1.0, QColor(0x0A, 0x18, 0x34));
    p.fillRect(all, night);

    QRadialGradient glow(QPointF(120, 60), 420);
    glow.setColorAt(0.0, QColor(0x5A, 0x9A, 0xF0, 70));
    glow.setColorAt(1.0, QColor(0x5A, 0x9A, 0xF0, 0));
    p.fillRect(all, glow);

    // Fine pinstripes give the large dark areas some texture.
    p.setPen(QColor(255, 255, 255, 7));
    for (int y = 44; y < all.height(); y += 3)
        p.drawLine(0, y, all.width(), y);
}

void paintCardEmblem(QPainter& p, const QRectF& r)
{
    // A memory card seen from the front: notched corner, label, contacts below.
    QPainterPath card;
    card.moveTo(r.left(), r.top() + r.height() * 0.2);
    card.lineTo(r.left() + r.width() * 0.3, r.top());
    card.lineTo(r.right(), r.top());
    card.lineTo(r.right(), r.bottom());
    card.lineTo(r.left(), r.bottom());
    card.closeSubpath();
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0.0, QColor(0xE8, 0xF2, 0xFF));
    body.setColorAt(1.0, QColor(0x9C, 0xB8, 0xE0));
    p.setPen(QPen(QColor(0x0A, 0x20, 0x48), 1.0));
    p.setBrush(body);
    p.drawPath(card);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2C, 0x64, 0xC0));
    p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.3, r.width() * 0.6,
                      r.height() * 0.35));
    p.setBrush(QColor(0xD4, 0xA8, 0x3C));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(r.left() + 3 + i * (r.width() - 6) / 4.0, r.bottom() - 4,
                          (r.width() - 6) / 4.0 - 1.5, 3));
}

void paintScreenEmblem(QPainter& p, const QRectF& r)
{
    const QRectF screen(r.left(), r.top(), r.width(), r.height() * 0.72);
    p.setPen(QPen(QColor(0x0A, 0x20, 0x48), 1.0));
    p.setBrush(QColor(0xE8, 0xF2, 0xFF));
    p.drawRoundedRect(screen, 2, 2);
    QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
    glass.setColorAt(0.0, QColor(0x5C, 0xA4, 0xF4));
    glass.setColorAt(1.0, QColor(0x16, 0x48, 0x9C));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawRect(screen.adjusted(2.5, 2.5, -2.5, -2.5));
    p.setBrush(QColor(0xC8, 0xD8, 0xF0));
    p.drawRect(QRectF(r.center().x() - 2, screen.bottom(), 4, r.height() * 0.16));
    p.drawRoundedRect(
        QRectF(r.center().x() - r.width() * 0.3, r.bottom() - 2.5, r.width() * 0.6, 2.5), 1, 1);
}

void paintTitleBar(QPainter& p, const QRect& all)
{
    const QRect bar(0, 0, all.width(), 38);
    QLinearGradient band(bar.topLeft(), bar.bottomLeft());
    band.setColorAt(0.0, QColor(0x2A, 0x5A, 0xA8));
    band.setColorAt(0.5, QColor(0x1A, 0x40, 0x80));
    band.setColorAt(1.0, QColor(0x10, 0x2A, 0x58));
    p.fillRect(bar, band);
    p.fillRect(QRect(0, 0, all.width(), 16), QColor(255, 255, 255, 26));
    p.setPen(QColor(cRim.red(), cRim.green(), cRim.blue(), 150));
    p.drawLine(0, bar.bottom(), all.width(), bar.bottom());
    p.setPen(QColor(0, 0, 0, 120));
    p.drawLine(0, bar.bottom() + 1, all.width(), bar.bottom() + 1);

    paintCardEmblem(p, QRectF(16.5, 8.5, 17, 22));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(19);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(title);
    const QRect text = cTitleText;
    p.setPen(QColor(0x04, 0x10, 0x28, 160));
    p.drawText(text.translated(1, 2), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("CARD SHUTTLE"));
    QLinearGradient ink(QPointF(0, 10), QPointF(0, 28));
    ink.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    ink.setColorAt(1.0, QColor(0xB4, 0xD8, 0xFF));
    p.setPen(QPen(QBrush(ink), 1));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CARD SHUTTLE"));
}

// A raised glass panel that holds one list, with a header strip above it.
void paintListPanel(QPainter& p, const QRect& list, bool card)
{
    const QRectF panel = QRectF(list).adjusted(-9, -32, 9, 9);
    QLinearGradient face(panel.topLeft(), panel.bottomLeft());
    face.setColorAt(0.0, QColor(0x2C, 0x5C, 0xA8));
    face.setColorAt(0.12, QColor(0x1E, 0x46, 0x88));
    face.setColorAt(1.0, QColor(0x14, 0x32, 0x66));
    p.setPen(QPen(QColor(0x04, 0x0E, 0x22), 1.0));
    p.setBrush(face);
    p.drawRoundedRect(panel.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.setPen(QPen(QColor(cRim.red(), cRim.green(), cRim.blue(), 130), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel.adjusted(1.5, 1.5, -1.5, -1.5), 7, 7);

    const QRectF emblem(panel.left() + 12, panel.top() + 6, 15, 19);
    if (card)
        paintCardEmblem(p, emblem);
    else
        paintScreenEmblem(p, QRectF(emblem.left() - 2, emblem.top() + 1, 20, 18));

    QFont label(QStringLiteral("DejaVu Sans"));
    label.setPixelSize(13);
    label.setBold(true);
    label.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(label);
    p.setPen(QColor(0xDC, 0xEC, 0xFF));
    p.drawText(QRectF(listLabelText(list)), Qt::AlignLeft | Qt::AlignVCenter,
               card ? QStringLiteral("GC") : QStringLiteral("PC"));

    // The list sits in a recess: dark above and left, lit below and right.
    const QRectF well = QRectF(list).adjusted(-2, -2, 2, 2);
    p.fillRect(well, QColor(0x06, 0x12, 0x28));
    p.setPen(QColor(cRim.red(), cRim.green(), cRim.blue(), 160));
    p.drawLine(well.bottomLeft(), well.bottomRight());
    p.drawLine(well.topRight(), well.bottomRight());
    p.fillRect(list, QColor(0xF4, 0xF8, 0xFD));
}

void paintProgressSlot(QPainter& p)
{
    const QRectF slot = QRectF(cProgressBar).adjusted(-3, -3, 3, 3);
    p.setPen(QPen(QColor(0x04, 0x0E, 0x22), 1.0));
    p.setBrush(QColor(0x08, 0x16, 0x30));
    p.drawRoundedRect(slot, 4, 4);
    p.setPen(QColor(cRim.red(), cRim.green(), cRim.blue(), 120));
    p.drawLine(QPointF(slot.left() + 3, slot.bottom() + 1),
               QPointF(slot.right() - 3, slot.bottom() + 1));
}

void paintButtonDeck(QPainter& p)
{
    const QRectF deck(14.5, 328.5, 631, 134);
    QLinearGradient face(deck.topLeft(), deck.bottomLeft());
    face.setColorAt(0.0, QColor(0x24, 0x4E, 0x94));
    face.setColorAt(1.0, QColor(0x12, 0x2C, 0x5C));
    p.setPen(QPen(QColor(0x04, 0x0E, 0x22), 1.0));
    p.setBrush(face);
    p.drawRoundedRect(deck, 9, 9);
    p.setPen(QPen(QColor(cRim.red(), cRim.green(), cRim.blue(), 120), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(deck.adjusted(1, 1, -1, -1), 8, 8);

    // A dark seat under every button, so a disabled button still looks fitted.
    for (const QPoint& at : cButtons) {
        const QRectF seat = QRectF(QRect(at, cButton)).adjusted(-2, -2, 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x04, 0x0E, 0x22, 170));
        p.drawRoundedRect(seat, 6, 6);
    }

    // The status strip: light, so the dark status texts read on it.
    const QRectF strip = QRectF(cStatusStrip).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient paper(strip.topLeft(), strip.bottomLeft());
    paper.setColorAt(0.0, QColor(0xDC, 0xE8, 0xF6));
    paper.setColorAt(0.2, QColor(0xF2, 0xF7, 0xFD));
    paper.setColorAt(1.0, QColor(0xE6, 0xEF, 0xFA));
    p.setPen(QPen(QColor(0x04, 0x0E, 0x22), 1.0));
    p.setBrush(paper);
    p.drawRoundedRect(strip, 5, 5);
}

} // namespace

QImage paintBackground()
{
    QImage image(660, 480, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRect all = image.rect();
    paintBackdrop(p, all);
    paintTitleBar(p, all);
    paintListPanel(p, cCardList, true);
    paintListPanel(p, cFileList, false);
    paintProgressSlot(p);
    paintButtonDeck(p);
    return image;
}
