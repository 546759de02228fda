// TfmPreview: the first page of the listing, scaled to fit the window.
#pragma once

#include <QDialog>

class QImage;
class QLabel;

class TfmPreview : public QDialog {
    Q_OBJECT

public:
    explicit TfmPreview(QWidget* aParent = nullptr);

    // Fits Image1 into the client area with the page's proportions and
    // gives it a copy of the page.
    void ShowPage(const QImage& aPage);

    QLabel* Image1;
};
