#include "skin/focus_mark.h"

#include <QApplication>
#include <QPainter>

namespace skin {

TFocusMark::TFocusMark(QWidget* window, QList<QWidget*> controls)
    : QWidget(window), fControls(std::move(controls))
{
    setObjectName(QStringLiteral("FocusMark"));
    // Drawn over the controls, never in the way of the mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
}

void TFocusMark::follow(QWidget* now)
{
    // A dialog of the program taking the focus leaves the ring where it was.
    if (now && now->window() != parentWidget()->window())
        return;
    fMarked = fControls.contains(now) ? now : nullptr;
    if (!fMarked) {
        hide();
        return;
    }
    setGeometry(
        fMarked->geometry().adjusted(-cFocusRingGap, -cFocusRingGap, cFocusRingGap, cFocusRingGap));
    raise();
    show();
    update();
}

void TFocusMark::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = QRectF(rect()).adjusted(1, 1, -1, -1);
    // The glass's light blue with a softer halo outside it.
    p.setPen(QPen(QColor(120, 200, 255, 90), 2.0));
    p.drawRoundedRect(ring, 4, 4);
    p.setPen(QPen(QColor(190, 235, 255), 1.0));
    p.drawRoundedRect(ring.adjusted(1, 1, -1, -1), 3, 3);
}

} // namespace skin
