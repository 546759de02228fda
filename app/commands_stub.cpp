#include "main_form.h"

void TMainForm::ReadCardBtnClick() { if (!enterGate(b1)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::WriteCardBtnClick() { if (!enterGate(b2)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::DownLoadBtnClick() { if (!enterGate(b3)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::UpLoadBtnClick() { if (!enterGate(b4)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::DeleteBtnClick() { if (!enterGate(b5)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::EditBtnClick() { if (!enterGate(b6)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::EmailBtnClick() { if (!enterGate(b7)) return; CommandScope s(*this); ENBtn_click(); }
void TMainForm::changebtnClick() { if (!enterGate(b8)) return; CommandScope s(*this); ENBtn_click(); }
