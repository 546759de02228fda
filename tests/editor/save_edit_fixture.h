// The save editor window shown on a file of a test's own, with every dialog
// answered by the test and printing going into PDF files.
#pragma once

#include "editor/print_seam.h"
#include "editor/save_edit_form.h"

#include "scripted_dialogs.h"
#include "skin/dialogs.h"

#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

// A printer that writes a PDF file; set-ups are only counted.
class PdfPrintSeam : public TPrintSeam {
public:
    explicit PdfPrintSeam(const QString& aFile);
    QPrinter& Printer() override { return printer; }
    bool CanPrint() override { return canPrint; }
    void Setup(QWidget*) override { ++setups; }
    // A printable area of exactly aWidth x aHeight inches at aDpi.
    void PageOf(double aWidth, double aHeight, int aDpi);

    QPrinter printer{QPrinter::HighResolution};
    bool canPrint = true;
    int setups = 0;
};

class SaveEditTest : public ::testing::Test {
protected:
    SaveEditTest();
    ~SaveEditTest() override;

    QString Path(const QString& aName) const { return dir.filePath(aName); }
    // The bytes become the window's document through a file, as the main
    // window hands it a card save.
    void Load(const QByteArray& aBytes, const QString& aName = QStringLiteral("temp.~ic"));
    QByteArray Content();
    static QByteArray FileBytes(const QString& aPath);
    // Delivers the control's posted state notifications.
    static void Settle();
    void Key(Qt::Key aKey, Qt::KeyboardModifiers aModifiers = Qt::NoModifier);
    // Opens a menu as the user does, then closes it again.
    static void Open(QMenu* aMenu);
    // Opens the menus down to the item and chooses it, as far as the menus
    // let the user reach it.
    void Choose(QAction* aItem);

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    PdfPrintSeam seam{dir.filePath(QStringLiteral("out.pdf"))};
    TSaveEditForm form;
};

// What poppler's tools read from a PDF file; empty when they are missing.
bool HavePdfTools();
int PdfPages(const QString& aPath);
QString PdfText(const QString& aPath);
