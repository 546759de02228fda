#include "window/window_host.h"

#include "window/change_form.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

#include "editor/save_edit_form.h"
#include "hexedit/hexeditor.h"

#include <QPushButton>
#include <QRadioButton>

skin::Dialogs& WindowHost::dialogs() { return skin::dialogs(); }

void WindowHost::tell(const QString& notice) { fForm.OkBtnExe(notice); }

QString WindowHost::title() const { return fForm.windowTitle(); }

void WindowHost::busy(const QString& text)
{
    fForm.showBusy(text);
    // The bar and the text are seen before the card work that follows.
    fForm.repaint();
}

void WindowHost::idle() { fForm.showFreeBlocks(); }

void WindowHost::progressRange(int min, int max) { fForm.Bar_Init(min, max); }

void WindowHost::progressStep() { fForm.Bar_inc(); }

void WindowHost::progressAt(int pos) { fForm.Bar_pos(pos); }

void WindowHost::changed(Changed what)
{
    switch (what) {
    case Changed::CardList: fForm.ShowGC(); break;
    case Changed::FileList: fForm.GetFilePIC(); break;
    case Changed::SecondCard:
        if (fForm.secondCard())
            fForm.ShowSecondCard();
        break;
    }
}

void WindowHost::holdLists(bool held)
{
    fForm.ListView1->setEnabled(!held);
    fForm.ListView2->setEnabled(!held);
}

void WindowHost::unselect(List which)
{
    (which == List::Card ? fForm.ListView1 : fForm.ListView2)->clearSelection();
}

bool WindowHost::cancelled() const { return fForm.batchCancelled(); }

bool WindowHost::edit(const QString& path, const QString& name)
{
    TSaveEditForm& editor = *fForm.SaveEditForm;
    editor.move(fForm.x() + (fForm.width() - editor.width()) / 2,
                fForm.y() + (fForm.height() - editor.height()) / 2);
    editor.ischanged = false;
    editor.Savepoint = false;
    if (editor.HexEditor1->LoadFromFile(path)) {
        // A card save keeps its size while it is edited: the card holds
        // whole blocks only.
        editor.HexEditor1->SetNoSizeChange(true);
        // The editor shows the save's name wherever it would show the
        // working file's.
        editor.SetDocumentName(name);
        editor.ShowModal();
    }
    return editor.ischanged;
}

void WindowHost::showRegionDialog(const QString& path)
{
    TChangeForm* form = fForm.ChangeForm;
    for (QWidget* w :
         {static_cast<QWidget*>(form->PalRadioBtn), static_cast<QWidget*>(form->UsaRadioBtn),
          static_cast<QWidget*>(form->JapRadioBtn), static_cast<QWidget*>(form->Button1)})
        w->setEnabled(true);
    form->prepareFor(path);
    const QRect r = fForm.frameGeometry();
    form->move(r.x() + (r.width() - form->width()) / 2, r.y() + (r.height() - form->height()) / 2);
    form->exec();
}
