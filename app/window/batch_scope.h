#pragma once

// What every batch does around its saves, on the card's thread: Cancel shown
// for its length, and the lists closed to the user while it walks them.

#include "cards/card_worker.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

class BatchShown {
public:
    explicit BatchShown(TMainForm& form, bool shown = true) : fForm(form), fShown(shown)
    {
        if (shown)
            form.batchStarts();
    }
    ~BatchShown()
    {
        if (fShown)
            fForm.batchEnds();
    }
    BatchShown(const BatchShown&) = delete;
    BatchShown& operator=(const BatchShown&) = delete;

private:
    TMainForm& fForm;
    bool fShown;
};

inline void enableLists(TMainForm& form, bool enabled)
{
    onThreadOf(&form, [&] {
        form.ListView1->setEnabled(enabled);
        form.ListView2->setEnabled(enabled);
    });
}
