// TfmPreview: the listing's pages as they will be printed, one at a time,
// with buttons to print, turn the pages, zoom and close.
#pragma once

#include <QDialog>

class QImage;
class QLabel;
class QPushButton;
class QScrollArea;
class TPreviewPages;

class TfmPreview : public QDialog {
    Q_OBJECT

public:
    explicit TfmPreview(QWidget* aParent = nullptr);

    // Shows page 1 of aPages (not owned; it outlives the window).
    void ShowPages(TPreviewPages* aPages);
    int CurrentPage() const { return fPage; }
    // The zoom in percent of the page picture; 0 fits the whole page.
    int Zoom() const { return fZoom; }

    QLabel* Image1;
    QScrollArea* Scroller;
    QPushButton* PrintBtn;
    QPushButton* PrevBtn;
    QPushButton* NextBtn;
    QPushButton* ZoomOutBtn;
    QPushButton* ZoomInBtn;
    QPushButton* CloseBtn;
    QLabel* PageLabel;

signals:
    // The user asked to print the listing as previewed.
    void printRequested();

protected:
    void keyPressEvent(QKeyEvent* aEvent) override;
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    void TurnTo(int aPage);
    void StepZoom(int aSteps);
    void Layout();

    TPreviewPages* fPages = nullptr;
    int fPage = 1;
    int fZoom = 0;
};
