// The hex listing on paper and in the preview: the page geometry both
// share, the page loop, the preview's page picture and its fit in a window.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

class QPrinter;
class THexToCanvas;

// The text area leaves a twentieth of the surface free on every side.
void SetPageMargins(THexToCanvas& aRenderer, int aWidth, int aHeight);

// The line above every page: "Vantrel:" and the file's name, no folder.
QString PageHeader(const QString& aFileName);
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
// The first page of the listing drawn on such a picture.
QImage PreviewPage(THexToCanvas& aRenderer, const QSize& aPage, int32_t aDataSize,
                   const QString& aHeader);
// The largest size with the picture's proportions that fits the client.
QSize FitPicture(const QSize& aPicture, const QSize& aClient);
