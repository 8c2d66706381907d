// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window: the code-editing form with the PIC colouring, the message list, the error-line mark
// and the colour scheme; and the list of open editor windows.
#pragma once

#include "editor/EditUnit.h"
#include "editor/EditorWindowList.h"

#include <QPointer>

#include <QRect>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QListView;
class SettingsStore;
class TEditorWindows;

class TEditor : public TEditForm {
    Q_OBJECT
  public:
    TEditor(TEditorWindows& windows, SettingsStore& settings, DocumentManager& documents);
    ~TEditor() override;

    QListView* MessageList;
    int MarkedLine = -1;
    int MarkedLineStyle = 0;
    // The document whose line is marked: the mark's previous style goes back there, whatever the window
    // shows by then.
    QPointer<TDocument> MarkedDocument;

    // Gives the caret line the "Error Line" element as its line style, remembering the one it had.
    void MarkErrorLine();
    // Gives the marked line its previous style again and empties status panel 5. A mark standing elsewhere
    // is cleared first, so one line at most is marked.
    void ClearErrorLine();
    // The editor options and the colours of the current scheme, applied to the control.
    void applyOptions();
    void applyScheme();
    // "Maximised": the window fills the screen's work area below the main strip, so the strip's menus stay
    // within reach; the window manager's own maximise is turned into this one. A second maximise restores.
    void maximize();
    void restoreFromMaximized();
    bool isMaximizedBelowStrip() const { return maximized_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void release() override;
    void tabAboutToChange() override { ClearErrorLine(); }

  private:
    void loadPlacement();
    void savePlacement();
    // Places the frame on the work area; again once the window manager has framed the window.
    void fitWorkArea();
    // A move or resize that leaves the work area was the user's: the window is no longer maximised.
    void noticeGeometryChange();

    TEditorWindows& windows_;
    SettingsStore& settings_;
    bool closing_ = false;
    bool released_ = false;
    bool maximized_ = false;
    bool fittedWithFrame_ = false;  // the last fit knew the window manager's frame
    bool fitting_ = false;
    QRect restoreGeometry_;  // the normal geometry a maximised window returns to
};

// The normal rectangle of a stored 44-byte placement record; none when the record is damaged or absurd.
std::optional<QRect> NormalRectOf(const std::vector<uint8_t>& bytes);
// The rectangle itself when some screen shows its top; otherwise one of its size on the primary screen.
QRect OnAScreen(const QRect& rect);

// The colours a scheme gives the editor: background, text and line numbers (0x00BBGGRR).
struct SchemeColours {
    uint32_t background;
    uint32_t text;
    uint32_t lineNumbers;
};
// Those of "Default", "Classic" and "Twilight"; nothing for any other name.
const SchemeColours* SchemeColoursOf(const std::string& scheme);

// The open editor windows, the most recently active first; it shows documents as they open.
class TEditorWindows : public QObject, public EditorWindowList {
    Q_OBJECT
  public:
    TEditorWindows(SettingsStore& settings, DocumentManager& documents);
    ~TEditorWindows() override;

    const std::vector<TEditor*>& windows() const { return windows_; }
    TEditor* first() const { return windows_.empty() ? nullptr : windows_.front(); }
    // The window to show a document in: the first one, or a new one when none exists or flag 4 is set.
    TEditor* Show(TDocument* document, int flags);
    // Re-applies the options and the scheme to every window (after the environment dialog's OK).
    void applyOptions();
    // The program is ending: the quit flow has asked its questions, and a window closes without asking again.
    void setEnding() { ending_ = true; }
    bool ending() const { return ending_; }

    TDocument* FirstEditorDocument() const override;
    void ShowInEditor(TDocument* document, int flags) override { Show(document, flags); }
    void ShowAndRaise(TDocument* document) override;
    void SetStatusText(int panel, const QString& text) override;
    bool FirstOnScreen() const override;
    // Gives the window the keyboard, in its text, once the events of the moment are through.
    void FocusSoon(TEditor* window);
    void RestoreFirstIfMinimized() override;
    void MaximizeWindowOf(TDocument* document) override;
    // Where a maximised editor window goes: the screen's available area below the main strip.
    void setWorkArea(std::function<QRect(const QWidget&)> area) { workArea_ = std::move(area); }
    QRect workArea(const QWidget& window) const;
    void HideMessageList() override;
    void ClearErrorMarks() override;

    void activated(TEditor* window);
    void released(TEditor* window);

  signals:
    // A new editor window exists; its commands can be registered now.
    void created(TEditor* window);

  private:
    SettingsStore& settings_;
    DocumentManager& documents_;
    std::vector<TEditor*> windows_;
    std::function<QRect(const QWidget&)> workArea_;
    bool ending_ = false;
};
