// Refreshing the menus before they open, and the View commands.
#include "editor/save_edit_form.h"

#include "hexedit/hexeditor.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

void TSaveEditForm::RefreshAllMenus()
{
    Datei1Click();
    Bearbeiten1Click();
}

void TSaveEditForm::Datei1Click()
{
    THexEditor& e = *HexEditor1;
    const bool data = e.DataSize() > 0;
    Speichern1->setEnabled(e.Modified() && !e.ReadOnly());
    Speichernunter1->menuAction()->setEnabled(data);
    Printpreview1->setEnabled(data);
    Print1->setEnabled(data);
}

void TSaveEditForm::Bearbeiten1Click()
{
    THexEditor& e = *HexEditor1;
    Rckgngig1->setEnabled(e.CanUndo());
    Rckgngig1->setText(QStringLiteral("Undo : ") + e.UndoDescription());
    Ausschneiden1->setEnabled(e.SelCount() > 0);
    Kopieren1->setEnabled(e.SelCount() > 0);
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    Einfgen1->setEnabled(clip && clip->hasText());
    PasteText1->setEnabled(Einfgen1->isEnabled());
    const bool data = e.DataSize() > 0;
    Goto1->setEnabled(data);
    Find1->setEnabled(data);
    FindNext1->setEnabled(data);
}

void TSaveEditForm::View1Click()
{
    THexEditor& e = *HexEditor1;
    CheckTag(fLineSizes, e.BytesPerLine());
    Grid1->setChecked(e.GridLineWidth() == 1);
    Showmarkers1->setChecked(e.ShowMarkerColumn());
    SwapNibbles1->setChecked(e.SwapNibbles());
    MaskWhitespaces1->setChecked(e.MaskWhiteSpaces());
    CheckTag(fTranslations, e.Translation());
    FixedFilesize1->setChecked(e.NoSizeChange());
}

void TSaveEditForm::Blocksize1Click() { CheckTag(fColumnWidths, HexEditor1->BytesPerColumn()); }

void TSaveEditForm::Caretstyle1Click()
{
    CheckTag(fCaretStyles, HexEditor1->CaretStyle());
    Auto1->setChecked(HexEditor1->AutoCaretMode());
}

void TSaveEditForm::Offsetdisplay1Click() { CheckTag(fOffsetStyles, HexEditor1->OffsetDisplay()); }

void TSaveEditForm::Printlayout1Click() { CheckTag(fPrintLayouts, CanvasDisplay); }

void TSaveEditForm::Jump1Click()
{
    Amount40001->setText(QStringLiteral("Amount : ") + QString::number(JumpOffs));
}

void TSaveEditForm::Linesize1Click(int aTag) { HexEditor1->SetBytesPerLine(aTag); }

void TSaveEditForm::Blocksize1Choose(int aTag) { HexEditor1->SetBytesPerColumn(aTag); }

void TSaveEditForm::Caretstyle1Choose(int aTag) { HexEditor1->SetCaretStyle(TCaretStyle(aTag)); }

void TSaveEditForm::Auto1Click() { HexEditor1->SetAutoCaretMode(!HexEditor1->AutoCaretMode()); }

void TSaveEditForm::Offsetdisplay1Choose(int aTag)
{
    HexEditor1->SetOffsetDisplay(TOffsetDisplayStyle(aTag));
}

void TSaveEditForm::Translation1Choose(int aTag)
{
    HexEditor1->SetTranslation(TTranslationType(aTag));
}

void TSaveEditForm::Grid1Click() { HexEditor1->SetGridLineWidth(1 - HexEditor1->GridLineWidth()); }

void TSaveEditForm::Showmarkers1Click()
{
    HexEditor1->SetShowMarkerColumn(!HexEditor1->ShowMarkerColumn());
}

void TSaveEditForm::SwapNibbles1Click() { HexEditor1->SetSwapNibbles(!HexEditor1->SwapNibbles()); }

void TSaveEditForm::MaskWhitespaces1Click()
{
    HexEditor1->SetMaskWhiteSpaces(!HexEditor1->MaskWhiteSpaces());
}

void TSaveEditForm::FixedFilesize1Click()
{
    HexEditor1->SetNoSizeChange(!HexEditor1->NoSizeChange());
}
