// SPDX-License-Identifier: GPL-3.0-or-later
// The single window instances and the shared helpers.
#include "shell/Idefunction.h"

#include "editctl/DocumentManager.h"
#include "editor/EditorWindowList.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

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

void RefocusEditorSoon(QWidget* from) {
    // the window manager activates windows in its own time: which window is active now says little
    QTimer::singleShot(0, qApp, [gentle = from != nullptr] {
        if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
            return;
        if (gentle && (!EditorWindows || !EditorWindows->FirstOnScreen()))
            return;
        RefocusEditor();
    });
}

bool QuerySaveAll() {
    return !Documents || Documents->querySaveAll();
}

void SetEditorStatusText(int panel, const QString& text) {
    if (EditorWindows)
        EditorWindows->SetStatusText(panel, text);
}
