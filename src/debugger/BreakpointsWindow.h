// SPDX-License-Identifier: GPL-3.0-or-later
// The Breakpoints window: every breakpoint on a line, then every one on a register, each switched on or off
// in place, with its condition and the session's hits. A row's popup menu switches it, sets the hit a line
// stops from, opens the line or removes it, as Delete does; the line below adds a register breakpoint.
#pragma once

#include "debugger/DebugWindow.h"

#include <map>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class TBreakpointsWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TBreakpointsWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);

    QTableWidget* Table;
    QMenu* RowMenu;
    QLineEdit* RegisterEdit;  // a name or an address; Enter adds it
    QComboBox* KindBox;       // Written, Read, Written as
    QLineEdit* ValueEdit;     // the byte of Written as
    QLabel* AddNote;          // why the add line was refused
    QPushButton* AddButton;

    // The breakpoints as the caller keeps them, with the hits of the lines this session; no signal. The row
    // selected stays selected where it is still listed.
    void ShowBreakpoints(const std::vector<TLineBreakpoint>& lines,
                         const std::vector<TRegisterBreakpoint>& registers,
                         const std::map<SourceLine, int>& hits);

  signals:
    void lineEnabled(const SourceLine& line, bool enabled);
    void lineFromHit(const SourceLine& line, int fromHit);
    void lineRemoved(const SourceLine& line);
    void lineOpened(const SourceLine& line);
    void registerEnabled(int index, bool enabled);  // index into the registers shown
    void registerRemoved(int index);
    void registerAdded(const TRegisterBreakpoint& breakpoint);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildRowMenu();
    QLayout* buildAddLine();
    void setRow(int row, const QString& where, const QString& tip, const QString& condition,
                const QString& hits, bool enabled);
    // The line breakpoint of a row; none for a register's row or no row.
    const TLineBreakpoint* lineAt(int row) const;
    // The index of a row's register breakpoint; -1 for a line's row or no row.
    int registerAt(int row) const;
    bool enabledAt(int row) const;
    void onCheck(QTableWidgetItem* item);
    void updateRowMenu();
    void askFromHit(int row);
    void open(int row);
    void remove(int row);
    void add();
    void refuse(const QString& why);

    std::vector<TLineBreakpoint> lines_;
    std::vector<TRegisterBreakpoint> registers_;
    QAction *switchAction_, *fromHitAction_, *openAction_;
};
