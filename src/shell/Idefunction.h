// SPDX-License-Identifier: GPL-3.0-or-later
// The single window instances and the helpers many commands share.
#pragma once

#include "editor/EditorWindowList.h"

#include <QString>

class QWidget;

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

extern EditorWindowList* EditorWindows;

// The source document being edited: the current document if it is a text document, else the document of
// the first editor window, else none.
TDocument* ActiveSource();
// Shows ActiveSource in the editor window and brings the window to the front.
void RefocusEditor();
// The same once the events of the moment are through (a menu closing, a double-click in another window,
// which would take the focus back), and only when the keyboard is not held by a menu or a dialog then.
// With `from` (the window the user came back from: a menu's, a dialog's), only when the editor window is on
// screen, never bringing back one the user minimised.
void RefocusEditorSoon(QWidget* from = nullptr);
// Offers to save every modified document, the last opened first; false when the user cancelled or a save
// did not complete. Documents stay open either way.
bool QuerySaveAll();
// One panel of the first editor window's status bar.
void SetEditorStatusText(int panel, const QString& text);
