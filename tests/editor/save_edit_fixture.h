// The save editor window shown on a file of a test's own, with every dialog
// answered by the test and printing going into PDF files.
#pragma once

#include "print_seam.h"
#include "save_edit_form.h"

#include "skin/dialogs.h"

#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

// Answers from a script; remembers what was asked and told.
class EditorDialogs : public skin::Dialogs {
public:
    struct Prompt {
        QString title;
        QString label;
        QString initial;
    };
    std::deque<skin::Answer> answers;           // askYesNoCancel
    std::deque<bool> yesNo;                     // askYesNo
    std::deque<std::optional<QString>> files;   // file dialogs
    std::deque<std::optional<QString>> entries; // text prompts
    QStringList questions;
    QStringList infos;
    QStringList errors;
    std::vector<Prompt> prompts;
    std::vector<skin::FileDialogSpec> fileDialogs;

    void message(const QString& text) override { infos << text; }
    bool askYesNo(const QString& text, const QString& title) override;
    skin::Answer askYesNoCancel(const QString& text, const QString& title) override;
    void information(const QString& text, const QString&) override { infos << text; }
    void error(const QString& text, const QString&) override { errors << text; }
    std::optional<QString> saveFileName(const skin::FileDialogSpec& dialog) override;
    std::optional<QString> openFileName(const skin::FileDialogSpec& dialog) override;
    std::optional<QString> text(const QString& title, const QString& label,
                                const QString& initial) override;
};

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
    EditorDialogs dialogs;
    PdfPrintSeam seam{dir.filePath(QStringLiteral("out.pdf"))};
    TSaveEditForm form;
};

// What poppler's tools read from a PDF file; empty when they are missing.
bool HavePdfTools();
int PdfPages(const QString& aPath);
QString PdfText(const QString& aPath);
