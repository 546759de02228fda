#include "editor/hex_print.h"

#include "hexedit/hextocanvas.h"

#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace {

// The preview is drawn as the screen shows type, at 96 dots per inch, so
// its letters keep the size they have on paper relative to the page.
constexpr int cPreviewDotsPerMeter = 3780;
constexpr int cPreviewWidth = 1000;

} // namespace

void SetPageMargins(THexToCanvas& aRenderer, int aWidth, int aHeight)
{
    aRenderer.SetTopMargin(aHeight / 20);
    aRenderer.SetBottomMargin(aHeight - aHeight / 20);
    aRenderer.SetLeftMargin(aWidth / 20);
    aRenderer.SetRightMargin(aWidth - aWidth / 20);
}

QString PageHeader(const QString& aDocumentName)
{
    return QStringLiteral("Vantrel:") + aDocumentName;
}

QString PageFooter(int aPage) { return QStringLiteral("Page ") + QString::number(aPage); }

TPrintOutcome PrintPages(THexToCanvas& aRenderer, QPrinter& aPrinter, int32_t aDataSize,
                         const QString& aHeader)
{
    const int w = aPrinter.width();
    const int h = aPrinter.height();
    SetPageMargins(aRenderer, w, h);
    QPainter canvas;
    if (!canvas.begin(&aPrinter))
        return TPrintOutcome::NotStarted;
    int32_t position = 0;
    for (int page = 1;; ++page) {
        canvas.fillRect(0, 0, w, h, Qt::white);
        const int32_t next =
            aRenderer.Draw(canvas, position, aDataSize - 1, aHeader, PageFooter(page));
        if (next <= position) {
            // Nothing but header and footer fits; whatever the printer can
            // still take back of this job is better not printed.
            aPrinter.abort();
            canvas.end();
            return TPrintOutcome::PageTooSmall;
        }
        position = next;
        if (position >= aDataSize)
            break;
        aPrinter.newPage();
    }
    canvas.end();
    return TPrintOutcome::Printed;
}

QSize PreviewBitmapSize(const QSize& aPage)
{
    if (aPage.width() <= 0 || aPage.height() <= 0)
        return {cPreviewWidth, cPreviewWidth};
    // In whole numbers, so that a half is a half and rounds to even.
    const int64_t scaled = int64_t(aPage.height()) * cPreviewWidth;
    int64_t height = scaled / aPage.width();
    const int64_t twiceRest = 2 * (scaled % aPage.width());
    if (twiceRest > aPage.width() || (twiceRest == aPage.width() && height % 2 != 0))
        height += 1;
    return {cPreviewWidth, int(std::max<int64_t>(1, height))};
}

namespace {

// Draws the page from aStart on and returns where the next one starts.
int32_t DrawPreviewPage(QImage& aBitmap, THexToCanvas& aRenderer, int32_t aStart, int32_t aDataSize,
                        const QString& aHeader, int aPage)
{
    aBitmap.fill(Qt::white);
    SetPageMargins(aRenderer, aBitmap.width(), aBitmap.height());
    QPainter canvas(&aBitmap);
    return aRenderer.Draw(canvas, aStart, aDataSize - 1, aHeader, PageFooter(aPage));
}

QImage PreviewBitmap(const QSize& aPage)
{
    QImage bitmap(PreviewBitmapSize(aPage), QImage::Format_RGB32);
    bitmap.setDotsPerMeterX(cPreviewDotsPerMeter);
    bitmap.setDotsPerMeterY(cPreviewDotsPerMeter);
    bitmap.fill(Qt::white);
    return bitmap;
}

} // namespace

TPreviewPages::TPreviewPages(THexToCanvas& aRenderer, const QSize& aPage, int32_t aDataSize,
                             QString aHeader)
    : fRenderer(aRenderer), fPage(aPage), fDataSize(aDataSize), fHeader(std::move(aHeader))
{
}

bool TPreviewPages::HasPage(int aPage)
{
    if (aPage < 1)
        return false;
    QImage scratch;
    while (int(fStarts.size()) < aPage && fStarts.back() < fDataSize) {
        if (scratch.isNull())
            scratch = PreviewBitmap(fPage);
        const int32_t start = fStarts.back();
        const int32_t next =
            DrawPreviewPage(scratch, fRenderer, start, fDataSize, fHeader, int(fStarts.size()));
        // A page that holds no line would make every later page the same.
        fStarts.push_back(next > start ? next : fDataSize);
    }
    return int(fStarts.size()) >= aPage && fStarts[std::size_t(aPage - 1)] < fDataSize;
}

QImage TPreviewPages::Page(int aPage)
{
    QImage bitmap = PreviewBitmap(fPage);
    if (!HasPage(aPage))
        return bitmap;
    const int32_t next = DrawPreviewPage(bitmap, fRenderer, fStarts[std::size_t(aPage - 1)],
                                         fDataSize, fHeader, aPage);
    if (int(fStarts.size()) == aPage)
        fStarts.push_back(next > fStarts.back() ? next : fDataSize);
    return bitmap;
}

QSize FitPicture(const QSize& aPicture, const QSize& aClient)
{
    if (aPicture.isEmpty())
        return {};
    int width = aClient.width();
    double scale = double(width) / aPicture.width();
    int height = int(std::nearbyint(aPicture.height() * scale));
    if (height > aClient.height()) {
        height = aClient.height();
        scale = double(height) / aPicture.height();
        width = int(std::nearbyint(aPicture.width() * scale));
    }
    return {width, height};
}
