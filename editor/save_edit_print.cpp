// Print layout, preview, set-up and printing of the hex listing.
#include "editor/save_edit_form.h"

#include "editor/hex_print.h"
#include "editor/preview_form.h"
#include "editor/print_seam.h"
#include "hexedit/hexeditor.h"
#include "hexedit/hextocanvas.h"
#include "hexedit/waitcursor.h"

#include <QPrinter>

void TSaveEditForm::Printlayout1Choose(int aTag) { CanvasDisplay = TOffsetDisplayStyle(aTag); }

void TSaveEditForm::PrepareRenderer()
{
    HexToCanvas1->SetStretchToFit(false);
    HexToCanvas1->GetLayout();
    // After GetLayout, which puts the byte format back to hex.
    HexToCanvas1->SetMemFieldDisplay(CanvasDisplay);
}

void TSaveEditForm::Printpreview1Click()
{
    const int32_t size = HexEditor1->DataSize();
    if (size == 0)
        return;
    QPrinter& printer = PrintSeam().Printer();
    PrepareRenderer();
    TPreviewPages pages(*HexToCanvas1, QSize(printer.width(), printer.height()), size,
                        PageHeader(ShownName()));
    TfmPreview preview(this);
    connect(&preview, &TfmPreview::printRequested, this, [this] {
        Print1Click();
        // Printing laid the renderer out for paper; the pages still to be
        // turned to are drawn on the preview's picture again.
        PrepareRenderer();
    });
    preview.ShowPages(&pages);
    preview.exec();
}

void TSaveEditForm::Printsetup1Click() { PrintSeam().Setup(this); }

void TSaveEditForm::Print1Click()
{
    const int32_t size = HexEditor1->DataSize();
    if (size == 0)
        return;
    TPrintSeam& seam = PrintSeam();
    if (!seam.CanPrint()) {
        Error(QStringLiteral("No printer is installed, so nothing can be printed.\r\n"
                             "Install a printer, or choose one in Print setup."));
        return;
    }
    PrepareRenderer();
    TPrintOutcome outcome = TPrintOutcome::Printed;
    {
        TWaitCursor wait;
        outcome = PrintPages(*HexToCanvas1, seam.Printer(), size, PageHeader(ShownName()));
    }
    if (outcome == TPrintOutcome::NotStarted)
        Error(QStringLiteral("The printer could not start the print job."));
    else if (outcome == TPrintOutcome::PageTooSmall)
        Error(QStringLiteral(
            "The page is too small for one line of the listing; printing stopped.\r\n"
            "Choose a larger paper size in Print setup."));
}
