// The Project commands of the main window.
#include "shell/Main.h"

void TMainForm::ProjectNewClick() {}
void TMainForm::ProjectOpenClick() {}
void TMainForm::ProjectCloseClick() {}
void TMainForm::ProjectAddClick() {}
void TMainForm::ProjectRemoveClick() {}
void TMainForm::ProjectOptionsClick() {}
void TMainForm::ProjectLastClick() {}
