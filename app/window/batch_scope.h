#pragma once

// What every batch does around its saves, on the card's thread: Cancel shown
// for its length. (The command holds the lists through its host.)

#include "window/main_form.h"

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
