#pragma once

// The program's own message box: a short text and an OK button on the skin's
// panel, always on top, without a frame.

#include <QDialog>

class QLabel;
class QPushButton;

class TOkBtnForm : public QDialog {
    Q_OBJECT
public:
    explicit TOkBtnForm(QWidget* parent);

    QLabel* Image1;
    QLabel* Label1;
    QPushButton* Button1;

    // Shows text centred over the owner and waits for OK.
    void showText(const QString& text, const QWidget* over);
    // Puts text in the box and sizes the box for it, as showText does.
    void layOut(const QString& text);
};

// text with its paths and device strings ("usb:1209:0001", "saver/x.gci")
// kept whole on a line: no line break after their ':', '/' or '\\'.
QString keepTokensWhole(const QString& text);
