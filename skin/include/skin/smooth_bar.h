#pragma once

// The main window's progress bar: a narrow vertical tube that fills smoothly
// from the bottom, without the segments of a stock bar.

#include <QWidget>

namespace skin {

class TSmoothBar : public QWidget {
    Q_OBJECT
public:
    explicit TSmoothBar(QWidget* parent = nullptr);

    int minimum() const { return fMin; }
    int maximum() const { return fMax; }
    int position() const { return fPosition; }
    int step() const { return fStep; }

    // A maximum below the minimum is raised to it. The position is kept
    // inside the range whatever is asked.
    void setRange(int min, int max);
    void setMinimum(int min) { setRange(min, qMax(min, fMax)); }
    void setMaximum(int max) { setRange(qMin(fMin, max), max); }
    void setPosition(int position);
    void setStep(int step) { fStep = step; }
    // Advances by one step and stops at the maximum: a command with more
    // progress messages than expected shows a full bar, not an empty one.
    void stepIt() { setPosition(fPosition + fStep); }

    // Pixel rows of the filled part, counted from the bottom of the tube.
    int filledHeight() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect tube() const;

    int fMin = 0;
    int fMax = 10;
    int fPosition = 0;
    int fStep = 1;
};

} // namespace skin
