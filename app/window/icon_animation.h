#pragma once

// A save's icon as the console shows it beside the banner: each frame stays
// its own number of video frames (sixtieths of a second), and the frames
// loop or go back and forth.

#include <QDataStream>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QTimer>

#include <functional>

class QListWidgetItem;
class TSaveListView;

struct IconFrames {
    QList<QImage> frames; // 32 x 32 each
    QList<int> delays;    // sixtieths of a second, one per frame
    bool bounce = false;  // back and forth: 1, 2, 3, 2, 1, 2, ...
};
// An item's data is streamed whole when Qt copies it (a drag's data among
// others); without these the icon is lost there with a warning.
QDataStream& operator<<(QDataStream& out, const IconFrames& icon);
QDataStream& operator>>(QDataStream& in, IconFrames& icon);
Q_DECLARE_METATYPE(IconFrames)

// The frame shown ticks sixtieths of a second after the icon started; -1
// for an icon without frames.
int iconFrameAt(const IconFrames& icon, qint64 ticks);

// The picture an item shows: its banner, and the icon frame to its right.
QPixmap bannerWithIcon(const QPixmap& banner, const QImage& frame);
QSize bannerWithIconSize();

// Steps the icons of one list's items. One per list, a child of it.
class IconAnimator : public QObject {
    Q_OBJECT
public:
    static IconAnimator* of(TSaveListView* list);

    // Whether icons move (kept in the settings; both lists follow it).
    static bool animateSetting();
    static void setAnimateSetting(bool on);

    // Shows every item's picture as of now and starts or stops stepping;
    // after a listing and after the setting changed.
    void refresh();
    // Sixtieths of a second since the animator started; tests set it.
    std::function<qint64()> clock;
    bool running() const { return fTimer.isActive(); }
    // Shows the frames due now; the timer calls it.
    void step();

private:
    explicit IconAnimator(TSaveListView* list);
    void show(QListWidgetItem* item, int frame);

    TSaveListView* fList;
    QTimer fTimer;
    QElapsedTimer fSince;
};
