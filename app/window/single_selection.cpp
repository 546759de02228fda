// One selection at a time across the two lists: a selection says which
// side a command works on, and two at once would leave the user guessing
// which one DELETE or MAIL SAVER is about to take.
#include "window/main_form.h"
#include "window/save_list_view.h"

void TMainForm::keepOneSelection()
{
    const auto clearOther = [](TSaveListView* chosen, TSaveListView* other) {
        return [chosen, other] {
            if (!chosen->selectedItems().isEmpty())
                other->clearSelection();
        };
    };
    connect(ListView1, &QListWidget::itemSelectionChanged, this, clearOther(ListView1, ListView2));
    connect(ListView2, &QListWidget::itemSelectionChanged, this, clearOther(ListView2, ListView1));
}
