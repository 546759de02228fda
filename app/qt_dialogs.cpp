#include "qt_dialogs.h"

#include "main_form.h"
#include "ok_btn_form.h"

void AppDialogs::message(const QString& text) { fForm.OkBtnForm->showText(text, &fForm); }
