// SPDX-License-Identifier: GPL-3.0-or-later
// What the rest of the program asks of the editor windows.
#pragma once

#include <QString>

class TDocument;

// The editor windows, as the shared helpers need them; "the first editor window" is the one most
// recently active.
class EditorWindowList {
  public:
    virtual ~EditorWindowList() = default;
    // The document shown in the first editor window, or none (also none when no editor window exists).
    virtual TDocument* FirstEditorDocument() const = 0;
    // Shows a document in an editor window: flag 2 shows the window, flag 4 always makes a new one.
    virtual void ShowInEditor(TDocument*, int) {}
    // Shows the document in an editor window and brings that window to the front.
    virtual void ShowAndRaise(TDocument* document) = 0;
    // Sets one panel of the first editor window's status bar; nothing when no editor window exists.
    virtual void SetStatusText(int panel, const QString& text) = 0;
    // True when the first editor window is shown and not minimised.
    virtual bool FirstOnScreen() const { return false; }
    // Restores the first editor window to normal size when it is minimised.
    virtual void RestoreFirstIfMinimized() = 0;
    // Maximises the editor window that shows the document.
    virtual void MaximizeWindowOf(TDocument* document) = 0;
    // Hides the message list at the bottom of the first editor window.
    virtual void HideMessageList() = 0;
    // Gives every marked error line its previous style again (a build is starting).
    virtual void ClearErrorMarks() {}
};
