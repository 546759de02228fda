// The printer the save editor prints on and measures its previews by. The
// program uses the system's printers and Qt's set-up dialogs; tests install
// their own seam that prints into PDF files and opens no dialog.
#pragma once

#include <memory>

class QPrinter;
class QWidget;

class TPrintSeam {
public:
    virtual ~TPrintSeam() = default;
    // Kept for the whole run, so that a choice made in the set-up applies
    // to every later print and preview.
    virtual QPrinter& Printer() = 0;
    // False when a print job would go nowhere: no printer is installed.
    virtual bool CanPrint() = 0;
    // The printer, then the paper and orientation.
    virtual void Setup(QWidget* aParent) = 0;
};

// The installed seam; until one is installed, the system's printers.
TPrintSeam& PrintSeam();
// Installs aSeam (not owned); nullptr goes back to the system's printers.
void InstallPrintSeam(TPrintSeam* aSeam);

class TSystemPrintSeam : public TPrintSeam {
public:
    TSystemPrintSeam();
    ~TSystemPrintSeam() override;
    QPrinter& Printer() override;
    bool CanPrint() override;
    void Setup(QWidget* aParent) override;

private:
    std::unique_ptr<QPrinter> fPrinter;
};
