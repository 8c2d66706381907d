// SPDX-License-Identifier: GPL-3.0-or-later
// The Watches window: the registers the user chose, by name or address, each in hex, decimal, binary or as
// a character, with its bits by name where the part names them. Typed in below the list or added from the
// editor; the popup menu of a row changes its format, removes it as Delete does, or sets a breakpoint on it.
#pragma once

#include "debugger/DebugWindow.h"
#include "gpsim/ChipViews.h"

class QLineEdit;
class QMenu;
class QTableWidget;

class TWatchWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TWatchWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);

    QTableWidget* Table;
    QLineEdit* AddEdit;  // a name or an address; Enter adds it
    QMenu* RowMenu;

    const std::vector<Watch>& watches() const { return watches_; }
    // The watches of a project; no signal.
    void SetWatches(std::vector<Watch> watches);
    // Adds a watch unless it is there already; the window shows and says watchesChanged().
    void AddWatch(const QString& symbol);
    void RemoveWatch(int row);
    void SetFormat(int row, WatchFormat format);
    void ShowRows(const std::vector<WatchRow>& rows);

  signals:
    // The list or a format changed: the caller keeps it and shows the values.
    void watchesChanged();
    // The user gave a watched register a new value.
    void writeRegister(const QString& symbol, int value);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void askValue(int row);

    std::vector<Watch> watches_;
    std::vector<WatchRow> rows_;
};
