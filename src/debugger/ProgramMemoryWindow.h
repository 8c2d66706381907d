// SPDX-License-Identifier: GPL-3.0-or-later
// The Program Memory window: every word of the part's program memory with its address, the instruction it
// holds and the source line that put it there; the execution point and the breakpoints drawn, the PC followed
// at each stop. A double-click, or F5, toggles a breakpoint on any address.
#pragma once

#include "debugger/DebugWindow.h"

#include <QAbstractTableModel>

#include <set>
#include <vector>

class QTableView;

// One row per word; built for the rows on screen only, so 8K words cost nothing until they are looked at.
class TProgramMemoryModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;
    enum Column { Mark, Address, Word, Instruction, Source, ColumnCount };

    // The program's words, and for each address the source line's place and text ("counter.asm:30" and
    // "Loop  movf  Count,W"); empty strings where no line put a word.
    void SetProgram(std::vector<uint16_t> words, std::vector<QString> places, std::vector<QString> lines);
    void SetPc(std::optional<uint32_t> pc);
    void SetBreakpoints(const std::set<uint32_t>& addresses);
    const std::set<uint32_t>& breakpoints() const { return breakpoints_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    void changedRow(uint32_t address);

    std::vector<uint16_t> words_;
    std::vector<QString> places_, lines_;
    std::optional<uint32_t> pc_;
    std::set<uint32_t> breakpoints_;
};

class TProgramMemoryWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TProgramMemoryWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);

    QTableView* Table;
    TProgramMemoryModel* Model;

    // At a stop: the PC's row is marked and brought into view.
    void ShowPc(std::optional<uint32_t> pc);

  signals:
    // The user toggled the breakpoint of a program address.
    void toggleBreakpoint(uint32_t address);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
