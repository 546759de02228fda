// How long the window goes without painting while it lists a full 16 Mbit
// card through an adapter as slow as a real one, and how long the listing
// takes. Needs a display, real or virtual:
//
//   cmake --preset default -DCARDSUITE_BENCH=ON -DCARDSUITE_TESTS=ON && ninja -C build/default
//   cardsuite_repaint_probe
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1024x768x24' \
//       build/default/bin/cardsuite_repaint_probe DIR [MS]
//
// DIR gets the card image; MS is the pause per sector read (5 by default).
// Something on the window asks for a repaint every 10 ms throughout, as an
// animation or a moving mouse would, so every stretch the window thread
// cannot paint shows as a gap.
#include "quiet_dialogs.h"
#include "save_maker.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

#include "mcbridge.h"
#include "mcbridge/format.h"
#include "skin/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Every paint of the window or of a widget on it, as times since start.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* window) : fWindow(window) { fClock.start(); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool ours =
            watched == fWindow ||
            (watched->isWidgetType() && fWindow->isAncestorOf(static_cast<QWidget*>(watched)));
        if (ours && (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest))
            fTimes.push_back(fClock.nsecsElapsed());
        return false;
    }
    qint64 now() const { return fClock.nsecsElapsed(); }
    // The longest stretch between from and to without a paint.
    qint64 longestGap(qint64 from, qint64 to) const
    {
        qint64 last = from, longest = 0;
        for (const qint64 t : fTimes)
            if (t > from && t < to) {
                longest = std::max(longest, t - last);
                last = t;
            }
        return std::max(longest, to - last);
    }

private:
    QWidget* fWindow;
    QElapsedTimer fClock;
    std::vector<qint64> fTimes;
};

// 127 saves filling every block of a 16 Mbit card: every directory slot and
// every save block in use.
std::vector<uint8_t> fullCard()
{
    std::vector<uint8_t> image = mcb::formatCard(mcb::FormatOptions{16});
    const unsigned dataBlocks = unsigned(image.size() / MCB_BLOCK_SIZE) - 5;
    unsigned block = 5;
    for (unsigned slot = 0; slot < 127; ++slot) {
        const unsigned blocks = dataBlocks / 127 + (slot < dataBlocks % 127 ? 1 : 0);
        mcbtest::placeSave(
            image, slot,
            mcbtest::makeSaveFile(
                {.name = "save" + std::to_string(slot), .blocks = blocks, .seed = uint8_t(slot)}),
            block);
        block += blocks;
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: cardsuite_repaint_probe DIR [MS]\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString delay = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("5");
    QDir().mkpath(dir + QStringLiteral("/saver"));
    QDir::setCurrent(dir);
    mcbtest::writeFile((dir + QStringLiteral("/card.raw")).toStdString(), fullCard());
    qputenv("MCBRIDGE_DEVICE", ("image:" + dir + QStringLiteral("/card.raw")).toLocal8Bit());
    qputenv("MCBRIDGE_FAULTS", ("read-delay=" + delay).toLocal8Bit());

    QApplication app(argc, argv);
    QuietDialogs quiet;
    skin::installDialogs(&quiet);
    TMainForm form;
    form.quitAction = [] {};
    form.show();
    PaintClock clock(&form);
    app.installEventFilter(&clock);
    QTimer animation;
    QObject::connect(&animation, &QTimer::timeout, &form, [&form] { form.update(); });
    animation.start(10);
    // Shown and painted before the clock counts.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        app.processEvents(QEventLoop::AllEvents, 50);

    const qint64 from = clock.now();
    form.UpDateBtnClick();
    const qint64 to = clock.now();
    skin::installDialogs(nullptr);
    std::printf("saves listed: %d\n", int(form.ListView1->count()));
    std::printf("read delay: %s ms per sector\n", qPrintable(delay));
    std::printf("listing: %.0f ms\n", double(to - from) / 1e6);
    std::printf("longest gap between repaints: %.1f ms\n",
                double(clock.longestGap(from, to)) / 1e6);
    return form.ListView1->count() == 127 ? 0 : 1;
}
