#pragma once

// The close and minimise buttons in the top right corner of the borderless
// main window: 29 x 29 glass squares with a drawn glyph.

#include <QAbstractButton>

namespace skin {

class TPictureButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Glyph { Close, Minimise };

    explicit TPictureButton(Glyph glyph, QWidget* parent = nullptr);

    Glyph glyph() const { return fGlyph; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Glyph fGlyph;
};

inline constexpr int cPictureButtonSide = 29;

} // namespace skin
