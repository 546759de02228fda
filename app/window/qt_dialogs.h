#pragma once

// The program's dialogs: the standard Qt ones, with notices in the main
// window's own message box.

#include "skin/dialogs.h"

class TMainForm;

class AppDialogs : public skin::QtDialogs {
public:
    explicit AppDialogs(TMainForm& form) : fForm(form) {}
    void message(const QString& text) override;

private:
    TMainForm& fForm;
};
