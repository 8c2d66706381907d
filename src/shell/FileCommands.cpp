// The File, Edit and Search commands of the main window.
#include "shell/Main.h"

void TMainForm::FileNewClick() {}
void TMainForm::FileOpenClick() {}
void TMainForm::FileSaveClick() {}
void TMainForm::FileSaveAsClick() {}
void TMainForm::FileSaveAllClick() {}
void TMainForm::FileCloseClick() {}
void TMainForm::FileCloseAllClick() {}
void TMainForm::FilePrintClick() {}
void TMainForm::EditUndoClick() {}
void TMainForm::EditRedoClick() {}
void TMainForm::EditCutClick() {}
void TMainForm::EditCopyClick() {}
void TMainForm::EditPasteClick() {}
void TMainForm::EditDeleteClick() {}
void TMainForm::EditSelectAllClick() {}
void TMainForm::SearchFindClick() {}
void TMainForm::SearchReplaceClick() {}
void TMainForm::SearchAgain1Click() {}
void TMainForm::GotoLineNumber1Click() {}
