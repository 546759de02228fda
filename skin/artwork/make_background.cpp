// Draws the main window's background and writes it as the JPEG the program
// carries. Run through the skin_background target after changing the art.
#include "background_art.h"

#include "skin/jpeg_codec.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    // Text needs the font machinery of a GUI application, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArray jpeg = skin::encodeJpeg(paintBackground(), 92);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (jpeg.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(jpeg) != jpeg.size()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
