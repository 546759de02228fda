// Shows the control in a bare window on a file given on the command line,
// with a selection, a changed byte and a marker, and saves a picture of it
// in each caret style: hexedit_show FILE OUTPUT_PREFIX.
// A tool for looking at the control by eye; no test runs it.
#include "hexedit/hexeditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {

void Press(QWidget* aTarget, int aKey, const QString& aText = {},
           Qt::KeyboardModifiers aModifiers = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, aKey, aModifiers, aText);
    QApplication::sendEvent(aTarget, &down);
    QKeyEvent up(QEvent::KeyRelease, aKey, aModifiers, aText);
    QApplication::sendEvent(aTarget, &up);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: hexedit_show FILE OUTPUT_PREFIX\n");
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    QApplication::setCursorFlashTime(0);

    QWidget window;
    window.setWindowTitle(QStringLiteral("hex control"));
    auto* layout = new QVBoxLayout(&window);
    auto* editor = new THexEditor(&window);
    layout->addWidget(editor);
    window.resize(680, 487);
    window.show();
    if (!editor->LoadFromFile(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    editor->setFocus();
    window.activateWindow();

    // A changed byte at 0x45, a marker on row 2, a selection over 0x60..0x6B,
    // the caret on 0x23.
    editor->SetSelStart(0x45);
    Press(editor, Qt::Key_A, QStringLiteral("a"));
    Press(editor, Qt::Key_B, QStringLiteral("b"));
    editor->SetSelStart(0x20);
    Press(editor, Qt::Key_5, QString(), Qt::ControlModifier | Qt::ShiftModifier);
    editor->SetSelStart(0x60);
    editor->SetSelEnd(0x6B);
    editor->SetSelStart(0x23);
    Press(editor, Qt::Key_Shift, QString(), Qt::ShiftModifier);
    for (int i = 0; i < 5; ++i)
        Press(editor, Qt::Key_Right, QString(), Qt::ShiftModifier);

    int step = 0;
    const TCaretStyle styles[] = {csFull, csLeftLine, csBottomLine};
    const char* names[] = {"full", "leftline", "bottomline"};
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (step == 3) {
            // The settings the save editor uses, decimal offsets, grid lines,
            // and the other field framed in the cursor colour.
            QFont f(QStringLiteral("Courier New"));
            f.setPixelSize(13);
            f.setFixedPitch(true);
            editor->setFont(f);
            editor->SetBytesPerColumn(1);
            editor->SetFocusFrame(false);
            editor->SetOffsetDisplay(odDec);
            editor->SetGridLineWidth(1);
            editor->SetCaretStyle(csFull);
            QApplication::processEvents();
            window.grab().save(prefix + QStringLiteral("-window.png"));
            ++step;
            return;
        }
        if (step == 4) {
            app.quit();
            return;
        }
        editor->SetCaretStyle(styles[step]);
        QApplication::processEvents();
        const QString file = prefix + QStringLiteral("-") + QLatin1String(names[step]) + ".png";
        window.grab().save(file);
        std::printf("%s focus=%d\n", qPrintable(file), editor->hasFocus());
        ++step;
    });
    timer.start(300);
    return app.exec();
}
