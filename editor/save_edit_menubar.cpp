// Building the menu bar: every item with its caption, shortcut and tag,
// the radio groups, and the items that stay hidden.
#include "editor/save_edit_form.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

QAction* TSaveEditForm::AddItem(QMenu* aMenu, const char* aName, const QString& aCaption,
                                void (TSaveEditForm::*aHandler)(), const QKeySequence& aShortcut)
{
    QAction* item = aMenu->addAction(aCaption);
    item->setObjectName(QString::fromLatin1(aName));
    item->setShortcut(aShortcut);
    connect(item, &QAction::triggered, this, aHandler);
    return item;
}

QActionGroup* TSaveEditForm::AddRadioItems(QMenu* aMenu,
                                           const QList<std::pair<QString, int>>& aItems,
                                           void (TSaveEditForm::*aGroupHandler)(int))
{
    auto* group = new QActionGroup(aMenu);
    group->setExclusive(true);
    for (const auto& [caption, tag] : aItems) {
        QAction* item = aMenu->addAction(caption);
        item->setCheckable(true);
        item->setData(tag);
        group->addAction(item);
    }
    connect(group, &QActionGroup::triggered, this, [this, aGroupHandler](QAction* aItem) {
        (this->*aGroupHandler)(aItem->data().toInt());
    });
    return group;
}

void TSaveEditForm::Hide(QAction* aItem)
{
    aItem->setEnabled(false);
    aItem->setVisible(false);
}

void TSaveEditForm::CheckTag(QActionGroup* aGroup, int aTag)
{
    for (QAction* item : aGroup->actions())
        item->setChecked(item->data().toInt() == aTag);
}

void TSaveEditForm::BuildMenus()
{
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
}

void TSaveEditForm::BuildFileMenu()
{
    Datei1 = menuBar()->addMenu(QStringLiteral("&File"));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    connect(Datei1, &QMenu::aboutToShow, this, &TSaveEditForm::Datei1Click);
    Neu1 = AddItem(Datei1, "Neu1", QStringLiteral("&New"), &TSaveEditForm::Neu1Click);
    ffnen1 = AddItem(Datei1, "ffnen1", QStringLiteral("&Open..."), &TSaveEditForm::ffnen1Click);
    Speichern1 =
        AddItem(Datei1, "Speichern1", QStringLiteral("&Save"), &TSaveEditForm::Speichern1Click);
    Speichernunter1 = Datei1->addMenu(QStringLiteral("Save &as"));
    Speichernunter1->setObjectName(QStringLiteral("Speichernunter1"));
    AnyFile1 = AddItem(Speichernunter1, "AnyFile1", QStringLiteral("Any file..."),
                       &TSaveEditForm::AnyFile1Click);
    HexText1 = AddItem(Speichernunter1, "HexText1", QStringLiteral("Hex text..."),
                       &TSaveEditForm::HexText1Click);
    ImportfromHexText1 =
        AddItem(Datei1, "ImportfromHexText1", QStringLiteral("Import from Hex Text..."),
                &TSaveEditForm::ImportfromHexText1Click);
    Printlayout1 = Datei1->addMenu(QStringLiteral("Print layout"));
    Printlayout1->setObjectName(QStringLiteral("Printlayout1"));
    connect(Printlayout1, &QMenu::aboutToShow, this, &TSaveEditForm::Printlayout1Click);
    fPrintLayouts = AddRadioItems(Printlayout1,
                                  {{QStringLiteral("Hex"), odHex},
                                   {QStringLiteral("Decimal"), odDec},
                                   {QStringLiteral("Octal"), odOctal}},
                                  &TSaveEditForm::Printlayout1Choose);
    Hex2 = fPrintLayouts->actions().at(0);
    Decimal1 = fPrintLayouts->actions().at(1);
    Octal2 = fPrintLayouts->actions().at(2);
    Hex2->setObjectName(QStringLiteral("Hex2"));
    Decimal1->setObjectName(QStringLiteral("Decimal1"));
    Octal2->setObjectName(QStringLiteral("Octal2"));
    Printpreview1 = AddItem(Datei1, "Printpreview1", QStringLiteral("Print preview"),
                            &TSaveEditForm::Printpreview1Click);
    Printsetup1 = AddItem(Datei1, "Printsetup1", QStringLiteral("Print setup"),
                          &TSaveEditForm::Printsetup1Click);
    Print1 = AddItem(Datei1, "Print1", QStringLiteral("Print"), &TSaveEditForm::Print1Click,
                     QKeySequence(Qt::CTRL | Qt::Key_P));
    Beenden1 = AddItem(Datei1, "Beenden1", QStringLiteral("&Exit"), &TSaveEditForm::Beenden1Click);
    for (QAction* hidden : {Neu1, ffnen1, ImportfromHexText1})
        Hide(hidden);
}

void TSaveEditForm::BuildEditMenu()
{
    Bearbeiten1 = menuBar()->addMenu(QStringLiteral("&Edit"));
    Bearbeiten1->setObjectName(QStringLiteral("Bearbeiten1"));
    connect(Bearbeiten1, &QMenu::aboutToShow, this, &TSaveEditForm::Bearbeiten1Click);
    Rckgngig1 = AddItem(Bearbeiten1, "Rckgngig1", QStringLiteral("Undo"),
                        &TSaveEditForm::Rckgngig1Click, QKeySequence(Qt::CTRL | Qt::Key_Z));
    Ausschneiden1 = AddItem(Bearbeiten1, "Ausschneiden1", QStringLiteral("Cut"),
                            &TSaveEditForm::Ausschneiden1Click, QKeySequence(Qt::CTRL | Qt::Key_X));
    Kopieren1 = AddItem(Bearbeiten1, "Kopieren1", QStringLiteral("Copy"),
                        &TSaveEditForm::Kopieren1Click, QKeySequence(Qt::CTRL | Qt::Key_C));
    Einfgen1 = AddItem(Bearbeiten1, "Einfgen1", QStringLiteral("Paste"),
                       &TSaveEditForm::Einfgen1Click, QKeySequence(Qt::CTRL | Qt::Key_V));
    PasteText1 =
        AddItem(Bearbeiten1, "PasteText1", QStringLiteral("Paste Text"),
                &TSaveEditForm::PasteText1Click, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    Goto1 = AddItem(Bearbeiten1, "Goto1", QStringLiteral("Goto..."), &TSaveEditForm::Goto1Click,
                    QKeySequence(Qt::CTRL | Qt::Key_G));
    Jump1 = Bearbeiten1->addMenu(QStringLiteral("Jump"));
    Jump1->setObjectName(QStringLiteral("Jump1"));
    connect(Jump1, &QMenu::aboutToShow, this, &TSaveEditForm::Jump1Click);
    Amount40001 = AddItem(Jump1, "Amount40001", QStringLiteral("Amount : 4000"),
                          &TSaveEditForm::Amount40001Click);
    Jumpforward1 = AddItem(Jump1, "Jumpforward1", QStringLiteral("Jump forward"),
                           &TSaveEditForm::Jumpforward1Click, QKeySequence(Qt::CTRL | Qt::Key_J));
    Jumpbackward1 =
        AddItem(Jump1, "Jumpbackward1", QStringLiteral("Jump backward"),
                &TSaveEditForm::Jumpbackward1Click, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    Find1 = AddItem(Bearbeiten1, "Find1", QStringLiteral("Find "), &TSaveEditForm::Find1Click,
                    QKeySequence(Qt::CTRL | Qt::Key_F));
    FindNext1 = AddItem(Bearbeiten1, "FindNext1", QStringLiteral("Find Next"),
                        &TSaveEditForm::FindNext1Click, QKeySequence(Qt::Key_F3));
    for (QAction* hidden : {Jump1->menuAction(), Amount40001, Jumpforward1, Jumpbackward1})
        Hide(hidden);
}

void TSaveEditForm::BuildViewMenu()
{
    View1 = menuBar()->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    connect(View1, &QMenu::aboutToShow, this, &TSaveEditForm::View1Click);
    auto submenu = [this](const char* aName, const QString& aCaption) {
        QMenu* m = View1->addMenu(aCaption);
        m->setObjectName(QString::fromLatin1(aName));
        return m;
    };
    Linesize1 = submenu("Linesize1", QStringLiteral("Line size"));
    fLineSizes = AddRadioItems(Linesize1,
                               {{QStringLiteral("16 Bytes per line"), 16},
                                {QStringLiteral("32 Bytes per line"), 32},
                                {QStringLiteral("64 Bytes per line"), 64}},
                               &TSaveEditForm::Linesize1Click);
    Blocksize1 = submenu("Blocksize1", QStringLiteral("Column width"));
    connect(Blocksize1, &QMenu::aboutToShow, this, &TSaveEditForm::Blocksize1Click);
    fColumnWidths = AddRadioItems(Blocksize1,
                                  {{QStringLiteral("1 Byte per column"), 1},
                                   {QStringLiteral("2 Bytes per column"), 2},
                                   {QStringLiteral("4 Bytes per column"), 4}},
                                  &TSaveEditForm::Blocksize1Choose);
    Caretstyle1 = submenu("Caretstyle1", QStringLiteral("Caret style"));
    connect(Caretstyle1, &QMenu::aboutToShow, this, &TSaveEditForm::Caretstyle1Click);
    fCaretStyles = AddRadioItems(Caretstyle1,
                                 {{QStringLiteral("Full block"), csFull},
                                  {QStringLiteral("Left line"), csLeftLine},
                                  {QStringLiteral("Bottom line"), csBottomLine}},
                                 &TSaveEditForm::Caretstyle1Choose);
    Caretstyle1->addSeparator();
    Auto1 = AddItem(Caretstyle1, "Auto1", QStringLiteral("Auto"), &TSaveEditForm::Auto1Click);
    Auto1->setCheckable(true);
    Offsetdisplay1 = submenu("Offsetdisplay1", QStringLiteral("Offset display"));
    connect(Offsetdisplay1, &QMenu::aboutToShow, this, &TSaveEditForm::Offsetdisplay1Click);
    fOffsetStyles = AddRadioItems(Offsetdisplay1,
                                  {{QStringLiteral("Hex"), odHex},
                                   {QStringLiteral("Dec"), odDec},
                                   {QStringLiteral("Octal"), odOctal},
                                   {QStringLiteral("None"), odNone}},
                                  &TSaveEditForm::Offsetdisplay1Choose);
    Translation1 = submenu("Translation1", QStringLiteral("Translation"));
    fTranslations = AddRadioItems(Translation1,
                                  {{QStringLiteral("Ansi"), ttAnsi},
                                   {QStringLiteral("ASCII 7 Bit"), ttASCII},
                                   {QStringLiteral("DOS 8 Bit"), ttDos8},
                                   {QStringLiteral("Mac"), ttMac},
                                   {QStringLiteral("IBM EBCDIC CP 38"), ttEBCDIC}},
                                  &TSaveEditForm::Translation1Choose);
    Grid1 = AddItem(View1, "Grid1", QStringLiteral("Grid"), &TSaveEditForm::Grid1Click);
    Showmarkers1 = AddItem(View1, "Showmarkers1", QStringLiteral("Show markers"),
                           &TSaveEditForm::Showmarkers1Click);
    SwapNibbles1 = AddItem(View1, "SwapNibbles1", QStringLiteral("Swap Nibbles"),
                           &TSaveEditForm::SwapNibbles1Click);
    MaskWhitespaces1 = AddItem(View1, "MaskWhitespaces1", QStringLiteral("Mask Whitespaces"),
                               &TSaveEditForm::MaskWhitespaces1Click);
    FixedFilesize1 = AddItem(View1, "FixedFilesize1", QStringLiteral("Fixed File size"),
                             &TSaveEditForm::FixedFilesize1Click);
    for (QAction* toggle : {Grid1, Showmarkers1, SwapNibbles1, MaskWhitespaces1, FixedFilesize1})
        toggle->setCheckable(true);
    Hide(Translation1->menuAction());
    for (QAction* item : fTranslations->actions())
        Hide(item);
    Hide(Showmarkers1);
}
