// One upload of a 7-block save from the program, for counting what it costs
// from outside: run it under strace and count what happens between the two
// markers it writes to standard error.
//
//   cmake --preset default -DCARDSUITE_BENCH=ON && ninja -C build/default cardsuite_upload_probe
//   QT_QPA_PLATFORM=offscreen strace -f -e trace=openat,pread64,pwrite64,write,rename,unlink \
//       build/default/bin/cardsuite_upload_probe DIR 2> trace.txt
//
// DIR gets a blank 16 Mbit card image and the save in DIR/saver; the card is
// listed first, as a user would before copying.
#include "quiet_dialogs.h"
#include "save_maker.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

#include "mcbridge/format.h"
#include "skin/dialogs.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <unistd.h>

namespace {

void mark(const char* text) { (void)!::write(2, text, strlen(text)); }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: cardsuite_upload_probe DIR\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir + QStringLiteral("/saver"));
    QDir::setCurrent(dir);
    mcbtest::writeFile((dir + QStringLiteral("/card.raw")).toStdString(),
                       mcb::formatCard(mcb::FormatOptions{16}));
    mcbtest::writeFile((dir + QStringLiteral("/saver/seven.gci")).toStdString(),
                       mcbtest::makeSaveFile({.name = "seven", .blocks = 7}));
    qputenv("MCBRIDGE_DEVICE", ("image:" + dir + QStringLiteral("/card.raw")).toLocal8Bit());

    QApplication app(argc, argv);
    QuietDialogs quiet;
    skin::installDialogs(&quiet);
    TMainForm form;
    form.quitAction = [] {};
    form.UpDateBtnClick();
    form.ListView2->item(0)->setSelected(true);
    mark("UPLOAD-BEGIN\n");
    form.UpLoadBtnClick();
    mark("UPLOAD-END\n");
    const bool there = form.ListView1->count() == 1;
    skin::installDialogs(nullptr);
    return there ? 0 : 1;
}
