#include "window/qt_dialogs.h"

#include "window/main_form.h"
#include "window/ok_btn_form.h"

void AppDialogs::message(const QString& text) { fForm.OkBtnForm->showText(text, &fForm); }
