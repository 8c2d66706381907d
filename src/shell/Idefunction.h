// The single window instances and the helpers many commands share.
#pragma once

#include <QString>

class DocumentManager;
class TAboutBox;
class TDocument;
class TEXEDlg;
class TEnviDlg;
class TFormatDlg;
class TGoToLineDlg;
class TMainForm;
class TMPASMDlg;
class TProWindow;

// The windows that live for the whole run, created at start-up in this order.
extern TMainForm* MainForm;
extern TEXEDlg* EXEDlg;
extern TGoToLineDlg* GoToLineDlg;
extern TMPASMDlg* MPASMDlg;
extern TEnviDlg* EnviDlg;
extern TFormatDlg* FormatDlg;
extern TProWindow* ProWindow;
extern TAboutBox* AboutBox;
// The editor library's manager of the open documents.
extern DocumentManager* Documents;

// The editor windows, as the shared helpers need them; "the first editor window" is the one most
// recently active.
class EditorWindowList {
public:
    virtual ~EditorWindowList() = default;
    // The document shown in the first editor window, or none (also none when no editor window exists).
    virtual TDocument* FirstEditorDocument() const = 0;
    // Shows the document in an editor window and brings that window to the front.
    virtual void ShowAndRaise(TDocument* document) = 0;
    // Sets one panel of the first editor window's status bar; nothing when no editor window exists.
    virtual void SetStatusText(int panel, const QString& text) = 0;
    // Restores the first editor window to normal size when it is minimised.
    virtual void RestoreFirstIfMinimized() = 0;
    // Maximises the editor window that shows the document.
    virtual void MaximizeWindowOf(TDocument* document) = 0;
    // Hides the message list at the bottom of the first editor window.
    virtual void HideMessageList() = 0;
};
extern EditorWindowList* EditorWindows;

// The source document being edited: the current document if it is a text document, else the document of
// the first editor window, else none.
TDocument* ActiveSource();
// Shows ActiveSource in the editor window and brings the window to the front.
void RefocusEditor();
// Offers to save every modified document, the last opened first; false when the user cancelled or a save
// did not complete. Documents stay open either way.
bool QuerySaveAll();
// One panel of the first editor window's status bar.
void SetEditorStatusText(int panel, const QString& text);
