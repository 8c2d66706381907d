// SPDX-License-Identifier: GPL-3.0-or-later
// The message lists: the error file read into the Project window's and the editor's lists, opening a
// message at its line, stepping through them, their explanations and their drawing.
#pragma once

#include "assembler/MessageLines.h"
#include "assembler/MessageModel.h"

#include <QObject>
#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>
#include <string>

class DocumentManager;
class Prompter;
class QListView;
class TDocument;
class TEditor;
class TEditorWindows;

inline const QString kNoMoreMessages = "No warning/error/message, Searching will start again";
inline const QString kNoMessageSelected = "No item selected, please select one";

// Where a message leads: the file to open, its line counted from 1 (0 when the line holds no number), and
// the text shown in status panel 5. No path when the line names no file.
struct TMessageTarget {
    QString path;
    int line = 0;
    QString text;
};
TMessageTarget MessageTarget(const QString& entry, const std::string& projectDir);

// How many lines below the message's line the caret first goes, so about half a window of the lines that
// follow it shows: half of the whole lines that fit, less one.
int HalfWindowLines(int clientHeight, int lineHeight);

// The explanation of an entry; empty for projects of no format, for unknown numbers and other lines.
QString ExplanationOf(const QString& entry, int projectFormat);

// Both lists look alike: white on black, the selected entry framed in green, no focus rectangle. An entry is
// as wide as the model's longest line, so the list scrolls sideways to the end of it.
class TMessageDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
// The delegate, the bold 11-pixel Arial, the black background and 14-pixel entries; once per list.
void StyleMessageList(QListView* list);
// The list shows the messages, its selection being theirs, so every list showing them keeps in step.
void ShowMessagesIn(QListView* list, TMessageModel* messages);
// The list shows nothing, if it showed the messages.
void ShowNothingIn(QListView* list, const TMessageModel* messages);

// What the message lists reach outside the editor windows: the Project window, the messages it shows and the
// open project.
struct TMessageContext {
    QListView* projectList = nullptr;
    // The Project window's list shows it; an editor window's list does while it holds the messages.
    TMessageModel* model = nullptr;
    // "Messages" becomes the Project window's active tab and the window shows at normal size.
    std::function<void()> showMessagesTab;
    std::function<TDocument*()> activeSource;
    std::function<std::string()> projectDir;
    std::function<int()> projectFormat;
};

class TMessages : public QObject {
    Q_OBJECT
  public:
    TMessages(TMessageContext context, TEditorWindows& editors, DocumentManager& documents,
              Prompter& prompter, QObject* parent = nullptr);

    // Fills both lists from the error file and opens the first message. The editor's list shows the
    // messages only when they were loaded while a source was being edited.
    void LoadMessages(const QString& path);
    // Opens the message's file at its line, marks the line and shows the text in status panel 5.
    void OpenMessage(const QString& entry);
    // F12: the message at NextMessageIndex, or the note that the search starts again.
    void NextMessage();
    // Empties both lists (the editor's only while a source is being edited).
    void ClearLists();
    // The explanation of the selected entry of an editor window's list, in an information box.
    void ShowExplanation(TEditor* window);

    // The Project window's list: double-click and Enter.
    void MessageDblClick();
    // An editor window's list: double-click and Enter.
    void ListDblClick(TEditor* window);
    // Gives an editor window's list the drawing and the mouse and key handling; once per window.
    void attachEditor(TEditor* window);

    int NextMessageIndex = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TEditor* firstEditor() const;
    QListView* editorList() const;
    bool listEvent(QListView* list, QEvent* event);
    void activate(QListView* list);
    void placeCaret(TEditor* window, int line);
    void selectRow(int row);

    TMessageContext context_;
    TEditorWindows& editors_;
    DocumentManager& documents_;
    Prompter& prompter_;
};
