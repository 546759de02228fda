#include "editor/print_seam.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

TPrintSeam* gInstalled = nullptr;

} // namespace

TPrintSeam& PrintSeam()
{
    static TSystemPrintSeam system;
    return gInstalled ? *gInstalled : system;
}

void InstallPrintSeam(TPrintSeam* aSeam) { gInstalled = aSeam; }

TSystemPrintSeam::TSystemPrintSeam() = default;

TSystemPrintSeam::~TSystemPrintSeam() = default;

QPrinter& TSystemPrintSeam::Printer()
{
    // Made on first use: looking for printers can take a moment, and most
    // runs never print.
    if (!fPrinter)
        fPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *fPrinter;
}

bool TSystemPrintSeam::CanPrint()
{
    QPrinter& p = Printer();
    // A file chosen in the set-up dialog takes the job without any printer.
    if (p.outputFormat() == QPrinter::PdfFormat)
        return !p.outputFileName().isEmpty();
    return !QPrinterInfo::availablePrinterNames().isEmpty() && p.isValid();
}

void TSystemPrintSeam::Setup(QWidget* aParent)
{
    QPrinter& p = Printer();
    QPrintDialog printers(&p, aParent);
    printers.setWindowTitle(QStringLiteral("Print setup"));
    if (printers.exec() != QDialog::Accepted)
        return;
    QPageSetupDialog paper(&p, aParent);
    paper.exec();
}
