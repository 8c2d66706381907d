// The single window instances and the shared helpers.
#include "shell/Idefunction.h"

#include "editctl/DocumentManager.h"

TMainForm* MainForm = nullptr;
TEXEDlg* EXEDlg = nullptr;
TGoToLineDlg* GoToLineDlg = nullptr;
TMPASMDlg* MPASMDlg = nullptr;
TEnviDlg* EnviDlg = nullptr;
TFormatDlg* FormatDlg = nullptr;
TProWindow* ProWindow = nullptr;
TAboutBox* AboutBox = nullptr;
DocumentManager* Documents = nullptr;
EditorWindowList* EditorWindows = nullptr;

TDocument* ActiveSource() {
    if (!Documents)
        return nullptr;
    if (TDocument* current = Documents->current(); current && current->isText())
        return current;
    return EditorWindows ? EditorWindows->FirstEditorDocument() : nullptr;
}

void RefocusEditor() {
    if (TDocument* source = ActiveSource(); source && EditorWindows)
        EditorWindows->ShowAndRaise(source);
}

bool QuerySaveAll() {
    return !Documents || Documents->querySaveAll();
}

void SetEditorStatusText(int panel, const QString& text) {
    if (EditorWindows)
        EditorWindows->SetStatusText(panel, text);
}
