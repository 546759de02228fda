#pragma once

// The keyboard focus drawn the skin's way: a lit glass ring around whichever
// of a window's controls has the focus, so the controls keep their own faces
// and the ring reads on the dark background alike for buttons and lists.

#include <QList>
#include <QPointer>
#include <QWidget>

namespace skin {

class TFocusMark : public QWidget {
    Q_OBJECT
public:
    // Follows the focus among controls, all children of window.
    TFocusMark(QWidget* window, QList<QWidget*> controls);

    // The control ringed now; nullptr when none of them has the focus.
    QWidget* marked() const { return fMarked; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* now);

    QList<QWidget*> fControls;
    QPointer<QWidget> fMarked;
};

// Space the ring leaves around a control.
inline constexpr int cFocusRingGap = 3;

} // namespace skin
