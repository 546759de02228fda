#include "window/icon_animation.h"

#include "mcbridge.h"
#include "window/save_list_view.h"

#include <QPainter>
#include <QSettings>

namespace {

constexpr int cIconSize = MCB_ICON_SIZE;
constexpr int cGap = 2;
const QSize cBanner(96, 32);
const char* const cAnimateKey = "lists/animateIcons";
// Delays are whole steps of four video frames; a check twice a step keeps
// a frame's change within a sixtieth of a second or so of when it is due.
constexpr int cTimerMs = 33;

} // namespace

QDataStream& operator<<(QDataStream& out, const IconFrames& icon)
{
    return out << icon.frames << icon.delays << icon.bounce;
}

QDataStream& operator>>(QDataStream& in, IconFrames& icon)
{
    return in >> icon.frames >> icon.delays >> icon.bounce;
}

int iconFrameAt(const IconFrames& icon, qint64 ticks)
{
    const int count = int(icon.frames.size());
    if (count == 0 || icon.delays.size() != count)
        return -1;
    QList<int> order;
    for (int i = 0; i < count; ++i)
        order.append(i);
    if (icon.bounce)
        for (int i = count - 2; i >= 1; --i)
            order.append(i);
    qint64 round = 0;
    for (int i : order)
        round += qMax(1, icon.delays[i]);
    qint64 t = ticks < 0 ? 0 : ticks % round;
    for (int i : order) {
        t -= qMax(1, icon.delays[i]);
        if (t < 0)
            return i;
    }
    return order.constLast();
}

QSize bannerWithIconSize() { return QSize(cBanner.width() + cGap + cIconSize, cBanner.height()); }

QPixmap bannerWithIcon(const QPixmap& banner, const QImage& frame)
{
    QPixmap out(bannerWithIconSize());
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawPixmap(QRect(QPoint(0, 0), cBanner), banner);
    if (!frame.isNull())
        p.drawImage(QRect(cBanner.width() + cGap, 0, cIconSize, cIconSize), frame);
    return out;
}

IconAnimator::IconAnimator(TSaveListView* list) : QObject(list), fList(list)
{
    setObjectName(QStringLiteral("iconAnimator"));
    fSince.start();
    clock = [this] { return fSince.elapsed() * 60 / 1000; };
    fTimer.setInterval(cTimerMs);
    connect(&fTimer, &QTimer::timeout, this, &IconAnimator::step);
}

IconAnimator* IconAnimator::of(TSaveListView* list)
{
    if (auto* found = list->findChild<IconAnimator*>(QString(), Qt::FindDirectChildrenOnly))
        return found;
    return new IconAnimator(list);
}

bool IconAnimator::animateSetting() { return QSettings().value(cAnimateKey, true).toBool(); }

void IconAnimator::setAnimateSetting(bool on) { QSettings().setValue(cAnimateKey, on); }

void IconAnimator::show(QListWidgetItem* item, int frame)
{
    const auto icon = item->data(TSaveListView::IconFramesRole).value<IconFrames>();
    const QImage picture = frame >= 0 && frame < icon.frames.size() ? icon.frames[frame] : QImage();
    item->setIcon(QIcon(bannerWithIcon(fList->pictureOf(item), picture)));
    item->setData(TSaveListView::IconShownRole, frame);
}

void IconAnimator::refresh()
{
    const bool animate = animateSetting();
    bool moving = false;
    const qint64 now = clock();
    for (int i = 0; i < fList->count(); ++i) {
        QListWidgetItem* item = fList->item(i);
        const auto icon = item->data(TSaveListView::IconFramesRole).value<IconFrames>();
        moving |= icon.frames.size() > 1;
        show(item, animate ? iconFrameAt(icon, now) : (icon.frames.isEmpty() ? -1 : 0));
    }
    if (animate && moving)
        fTimer.start();
    else
        fTimer.stop();
}

void IconAnimator::step()
{
    // A minimised window or a hidden list need not be redrawn.
    if (!fList->isVisible() || fList->window()->isMinimized())
        return;
    const qint64 now = clock();
    for (int i = 0; i < fList->count(); ++i) {
        QListWidgetItem* item = fList->item(i);
        const QVariant data = item->data(TSaveListView::IconFramesRole);
        if (!data.isValid())
            continue;
        const int frame = iconFrameAt(data.value<IconFrames>(), now);
        if (frame != item->data(TSaveListView::IconShownRole).toInt())
            show(item, frame);
    }
}
