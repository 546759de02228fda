#include "main_form.h"

void TMainForm::EditBtnClick()
{
    if (!enterGate(b6))
        return;
    CommandScope scope(*this);
    ENBtn_click();
}
