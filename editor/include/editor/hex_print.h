// The hex listing on paper and in the preview: the page geometry both
// share, the page loop, the preview's page picture and its fit in a window.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

class QPrinter;
class THexToCanvas;

// The text area leaves a twentieth of the surface free on every side.
void SetPageMargins(THexToCanvas& aRenderer, int aWidth, int aHeight);

// The line above every page: "Vantrel:" and what the document is called.
QString PageHeader(const QString& aDocumentName);
// The line below a page.
QString PageFooter(int aPage);

enum class TPrintOutcome {
    Printed,
    NotStarted,   // the printer refused the job
    PageTooSmall, // not even one line fits between header and footer
};

// Prints bytes 0 .. aDataSize - 1 as the renderer is set up, page after
// page, on the printer's printable area. A page that would hold no line
// stops the job instead of feeding blank pages for ever.
TPrintOutcome PrintPages(THexToCanvas& aRenderer, QPrinter& aPrinter, int32_t aDataSize,
                         const QString& aHeader);

// A picture 1000 pixels wide with the proportions of the printable area.
QSize PreviewBitmapSize(const QSize& aPage);
// The preview's pages, drawn one at a time as they are turned to: a save of
// a megabyte is hundreds of pages, too many pictures to draw up front. Where
// each page starts is learnt by drawing the ones before it, once.
class TPreviewPages {
public:
    TPreviewPages(THexToCanvas& aRenderer, const QSize& aPage, int32_t aDataSize, QString aHeader);
    // Page aPage (from 1) exists: it holds at least one byte.
    bool HasPage(int aPage);
    // The picture of page aPage; blank when there is no such page.
    QImage Page(int aPage);

private:
    THexToCanvas& fRenderer;
    QSize fPage;
    int32_t fDataSize;
    QString fHeader;
    std::vector<int32_t> fStarts{0}; // the first byte of pages 1, 2, ...
};

// The largest size with the picture's proportions that fits the client.
QSize FitPicture(const QSize& aPicture, const QSize& aClient);
