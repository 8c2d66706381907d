// SPDX-License-Identifier: GPL-3.0-or-later
// The Project window: the open project's files and the assembler's messages, in two tabs.
#pragma once

#include <QWidget>

class QKeyEvent;
class QListView;
class QListWidget;
class QTabWidget;
class TMessageModel;

class TProWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TProWindow(QWidget* parent = nullptr);

    QTabWidget* PCProWindow;
    QWidget* TSFiles;
    QWidget* TSMessages;
    QListWidget* ProList;     // the project's file entries, in their order
    QListView* MessageList;   // the assembler's messages after a build
    TMessageModel* Messages;  // what MessageList shows; the editor's message list shows it too

    // After Close: no entries, no messages, caption "Project", the Files tab, normal size.
    void Reset();
    // After the entries were filled in: the Files tab, the list focused with its first line selected,
    // normal size.
    void ShowLoadedProject();
    void RestoreIfMinimized();

    QStringList Entries() const;
    void AppendEntry(const QString& entry);
    void DeleteEntry(int line);
    // Selects a line; -1 or a line past the end selects none.
    void SelectLine(int line);
    // The selected line, or -1.
    int SelectedLine() const;

    // Opens the selected entry's file in the editor.
    void ListDblClick();
    // Enter opens the selected file; Delete removes it from the project. True when the key was used.
    bool ProKeyPress(QKeyEvent* event);
    bool ProKeyDown(QKeyEvent* event);

  protected:
    // The window stays open for the whole run: a request to close it is refused until the program ends.
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
